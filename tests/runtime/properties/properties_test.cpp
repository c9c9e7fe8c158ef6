#include "runtime/GameException.h"
#include "runtime/properties/Properties.h"
#include "runtime/properties/PropertiesValue.h"
#include "runtime/streams/DataReaderFacade.h"
#include "runtime/streams/DataWriterFacade.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::string bytesOf(const Properties& tree, int form)
{
    TempDir dir;
    DataWriterFacade writer(form);
    writer.open(dir.file("tree"));
    tree.write(writer);
    writer.close();
    return readFile(dir.file("tree"));
}

// Reads `bytes` into `tree`; returns the exception text, or "" when the read succeeded.
std::string readInto(Properties& tree, const std::string& bytes, int form)
{
    TempDir dir;
    writeFile(dir.file("tree"), bytes);
    DataReaderFacade reader(form);
    reader.open(dir.file("tree"));
    try {
        tree.read(reader);
    } catch (const GameTextException& e) {
        return e.getText();
    }
    reader.close();
    return "";
}

std::string be32(uint32_t v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string binaryName(const std::string& name)
{
    return be32(static_cast<uint32_t>(name.size())) + name;
}

void fillSample(Properties& tree)
{
    tree.setInt("cfgversion", 3);
    tree.setFloat("volume", -0.75f);
    tree.setString("player one", "Ann \"the\" miner\t\x01");
    tree.defineChild("players");
    Properties* players = tree.getChild("players");
    players->setInt("count", 2);
    players->defineChild("deep");
    players->getChild("deep")->setString("_empty", "");
    players->defineChild("none");
    tree.setInt("transient", 9);
    tree.getValue("transient")->setSaved(false);
    tree.defineChild("cache");
    tree.getChild("cache")->setInt("x", 1);
    tree.getValue("cache")->setSaved(false);
}

void expectSample(Properties& tree)
{
    EXPECT_EQ(tree.size(), 4u);
    EXPECT_EQ(tree.getInt("cfgversion"), 3);
    EXPECT_EQ(tree.getFloat("volume"), -0.75f);
    EXPECT_EQ(tree.getString("player one"), "Ann \"the\" miner\t\x01");
    Properties* players = tree.getChild("players");
    ASSERT_NE(players, nullptr);
    EXPECT_EQ(players->getInt("count"), 2);
    ASSERT_NE(players->getChild("deep"), nullptr);
    EXPECT_TRUE(players->getChild("deep")->getValue("_empty")->isString());
    EXPECT_EQ(players->getChild("none")->size(), 0u);
    EXPECT_FALSE(tree.has("transient"));
    EXPECT_FALSE(tree.has("cache"));
}

} // namespace

TEST(Properties, DefineSetAndKindsOfValues)
{
    Properties tree;
    tree.defineInt("n", 1);
    tree.defineInt("n", 2);
    EXPECT_EQ(tree.getInt("n"), 1);
    tree.setInt("n", 3);
    EXPECT_EQ(tree.getInt("n"), 3);

    // A value keeps its kind.
    tree.setString("n", "text");
    tree.setFloat("n", 2.5f);
    EXPECT_EQ(tree.getInt("n"), 3);
    EXPECT_EQ(tree.getString("n"), "");
    EXPECT_EQ(tree.getFloat("n"), 0.0f);
    EXPECT_EQ(tree.getChild("n"), nullptr);

    tree.defineString("s", "a");
    tree.defineFloat("f", 1.5f);
    tree.defineChild("c");
    tree.getChild("c")->setInt("inner", 4);
    tree.defineChild("c"); // present: the child keeps its content
    EXPECT_EQ(tree.getChild("c")->getInt("inner"), 4);

    PropertiesInt five(5);
    PropertiesString other("b");
    tree.assign("n", five);
    tree.assign("s", other);
    tree.assign("absent", five);
    EXPECT_EQ(tree.getInt("n"), 5);
    EXPECT_EQ(tree.getString("s"), "b");
    EXPECT_FALSE(tree.has("absent"));
    EXPECT_TRUE(five.isSameKind(*tree.getValue("n")));
    EXPECT_FALSE(five.isSameKind(other));

    tree.put("s", new PropertiesFloat(0.25f)); // the old string value is deleted (leak checker)
    EXPECT_EQ(tree.getFloat("s"), 0.25f);
    EXPECT_TRUE(tree.remove("s"));
    EXPECT_FALSE(tree.remove("s"));
    EXPECT_EQ(tree.size(), 3u);
    EXPECT_EQ(tree.getValue("absent"), nullptr);
}

TEST(Properties, BinaryFormBytes)
{
    Properties tree;
    tree.setInt("n", 7);
    EXPECT_EQ(bytesOf(tree, 1), std::string("\x01\x00\x00\x00\x01n\x00\x00\x00\x07\x05", 11));

    Properties empty;
    EXPECT_EQ(bytesOf(empty, 1), "\x05");

    Properties mixed;
    mixed.setString("a b", "v");
    mixed.setFloat("f", 1.0f);
    mixed.defineChild("k");
    mixed.getChild("k")->setInt("i", -1);
    EXPECT_EQ(bytesOf(mixed, 1), "\x03" + binaryName("a b") + binaryName("v") + "\x02" + binaryName("f") +
                                     std::string("\x00\x00\x80\x3F", 4) + "\x04" + binaryName("k") + "\x01" +
                                     binaryName("i") + be32(0xFFFFFFFF) + "\x05\x05");
}

TEST(Properties, TextFormBytes)
{
    Properties tree;
    tree.setInt("n", 7);
    tree.setString("not an id", "x");
    EXPECT_EQ(bytesOf(tree, 0), "0x01, n, 7, \n0x03, \"not an id\", \"x\", \n0x05");
}

TEST(Properties, RoundTripsThroughBothForms)
{
    for (int form : {0, 1}) {
        Properties original;
        fillSample(original);
        std::string bytes = bytesOf(original, form);

        Properties copy;
        copy.setInt("stale", 1); // reading replaces the whole content
        ASSERT_EQ(readInto(copy, bytes, form), "") << form;
        expectSample(copy);
        EXPECT_EQ(bytesOf(copy, form), bytes) << form;
    }
}

TEST(Properties, DamagedStreamsEndInTheReadError)
{
    const std::string readError = "ERROR reading properties\n";
    const std::string endOfData = "ERROR: Unexpected end of data.\n";

    Properties tree;
    const std::string good = "\x01" + binaryName("a") + be32(1);
    EXPECT_EQ(readInto(tree, good + "\x09" + binaryName("b"), 1), readError);
    EXPECT_EQ(tree.getInt("a"), 1) << "entries before the bad tag stay";
    EXPECT_EQ(readInto(tree, good + std::string("\x00", 1), 1), readError);

    // Truncated anywhere, or a name length beyond the data.
    for (std::size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_EQ(readInto(tree, good.substr(0, cut), 1), endOfData) << cut;
    EXPECT_EQ(readInto(tree, good, 1), endOfData) << "no end tag";
    EXPECT_EQ(readInto(tree, "\x03" + be32(0xFFFFFFF0) + "abc", 1), endOfData);

    // Nesting as deep as the limit reads; deeper nesting is refused instead of exhausting the stack.
    auto nested = [](int levels) {
        std::string bytes;
        for (int i = 0; i < levels; ++i)
            bytes += "\x04" + binaryName("c");
        return bytes + std::string(static_cast<std::size_t>(levels) + 1, '\x05');
    };
    Properties deep;
    EXPECT_EQ(readInto(deep, nested(Properties::maxReadDepth), 1), "");
    EXPECT_EQ(readInto(deep, nested(Properties::maxReadDepth + 1), 1), readError);
    EXPECT_EQ(readInto(deep, nested(200000), 1), readError);

    std::string textNested;
    for (int i = 0; i < 1000; ++i)
        textNested += "4, c, ";
    EXPECT_EQ(readInto(deep, textNested, 0), readError);
}
