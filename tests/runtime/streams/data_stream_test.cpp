#include "runtime/GameException.h"
#include "runtime/streams/BinaryDataReader.h"
#include "runtime/streams/BinaryDataWriter.h"
#include "runtime/streams/DataReaderFacade.h"
#include "runtime/streams/DataWriterFacade.h"
#include "runtime/streams/TextDataReader.h"
#include "runtime/streams/TextDataWriter.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::string thrownText(const std::function<void()>& call)
{
    try {
        call();
    } catch (const GameTextException& e) {
        EXPECT_EQ(e.getCode(), 0);
        return e.getText();
    }
    return "(nothing thrown)";
}

// Writes through a fresh writer of `form` and returns the file's bytes.
std::string written(int form, const std::function<void(DataWriter&)>& write)
{
    TempDir dir;
    DataWriterFacade writer(form);
    writer.open(dir.file("out"));
    write(writer);
    writer.close();
    return readFile(dir.file("out"));
}

struct ReaderFixture {
    ReaderFixture(const std::string& bytes, int form) : reader(form)
    {
        writeFile(dir.file("in"), bytes);
        reader.open(dir.file("in"));
    }
    TempDir dir;
    DataReaderFacade reader;
};

const std::string endOfData = "ERROR: Unexpected end of data.\n";

} // namespace

TEST(BinaryStream, WritesTheExactBytes)
{
    EXPECT_EQ(written(1,
                      [](DataWriter& w) {
                          w.writeInt(1);
                          w.writeFloat(1.0f);
                          w.writeString("ab");
                      }),
              std::string("\x00\x00\x00\x01\x00\x00\x80\x3F\x00\x00\x00\x02" "ab", 14));
    EXPECT_EQ(written(1,
                      [](DataWriter& w) {
                          w << int32_t{-2} << uint32_t{258} << -2.5f << "" << uint8_t{0xAB} << DataControl{0};
                          w.writeIdentifier("id_1");
                      }),
              std::string("\xFF\xFF\xFF\xFE" "\x00\x00\x01\x02" "\x00\x00\x20\xC0" "\x00\x00\x00\x00" "\xAB"
                          "\x00\x00\x00\x04" "id_1",
                          25));
}

TEST(BinaryStream, ReadsBackWhatWasWritten)
{
    std::string bytes = written(1, [](DataWriter& w) {
        w << int32_t{-7} << uint32_t{0xDEADBEEF} << uint8_t{200} << 3.25f << "with\0nul";
        w.writeString(std::string("x\0y", 3));
        w.writeIdentifier("name");
    });
    ReaderFixture in(bytes, 1);
    int32_t i = 0;
    uint32_t l = 0;
    uint8_t b = 0;
    float f = 0;
    std::string s;
    in.reader >> i >> l >> b >> f >> s;
    EXPECT_EQ(i, -7);
    EXPECT_EQ(l, 0xDEADBEEFu);
    EXPECT_EQ(b, 200);
    EXPECT_EQ(f, 3.25f);
    EXPECT_EQ(s, "with");
    EXPECT_EQ(in.reader.readString(), std::string("x\0y", 3));
    EXPECT_EQ(in.reader.readIdentifier(), "name");
    EXPECT_EQ(in.reader.eof(), 0);
    in.reader.close();
}

TEST(BinaryStream, TruncatedOrDamagedDataEndsInAnException)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::function<void(DataReader&)> read;
    };
    const std::vector<Case> cases = {
        {"int past the end", std::string("\x00\x00\x01", 3), [](DataReader& r) { r.readInt(); }},
        {"byte of an empty file", "", [](DataReader& r) { r.readByte(); }},
        {"float cut short", std::string("\x00\x00", 2), [](DataReader& r) { r.readFloat(); }},
        {"length past the end", std::string("\x00\x00\x00\x05" "abc", 7), [](DataReader& r) { r.readString(); }},
        {"huge length", std::string("\xFF\xFF\xFF\xFF" "abc", 7), [](DataReader& r) { r.readString(); }},
        {"missing length", std::string("\x00\x00", 2), [](DataReader& r) { r.readIdentifier(); }},
    };
    for (const Case& c : cases) {
        ReaderFixture in(c.bytes, 1);
        EXPECT_EQ(thrownText([&] { c.read(in.reader); }), endOfData) << c.name;
        EXPECT_EQ(in.reader.eof(), 1) << c.name;
    }

    // The very last bytes still read.
    ReaderFixture exact(std::string("\x00\x00\x00\x02" "hi", 6), 1);
    EXPECT_EQ(exact.reader.readString(), "hi");
    EXPECT_EQ(thrownText([&] { exact.reader.readByte(); }), endOfData);
}

TEST(TextStream, WritesSeparatorsLineEndsAndEscapes)
{
    EXPECT_EQ(written(0,
                      [](DataWriter& w) {
                          w.writeInt(12);
                          w.writeLong(10);
                          w.writeByte(255);
                          w.writeFloat(0.5f);
                          w.writeControl(0);
                          w.writeString("a\"b");
                      }),
              "12, 0x0000000A, 0xFF, 0.500000, \n\"a\\\"b\"");
    EXPECT_EQ(written(0,
                      [](DataWriter& w) {
                          w.writeString(std::string("\a\b\t\n\v\f\\r", 8));
                          w.writeControl(7); // only code 0 ends a line
                          w.writeIdentifier("_x9");
                          w.writeControl(0);
                          w.writeControl(0); // pending line ends after the last value are dropped
                      }),
              "\"\\a\\b\\t\\n\\v\\f\\r\", _x9");
}

TEST(TextStream, ReadsBackWhatWasWritten)
{
    std::string text = written(0, [](DataWriter& w) {
        w << int32_t{12} << uint32_t{10} << uint8_t{255} << 0.5f << DataControl{0} << "a\"b, c\td";
        w.writeIdentifier("ident");
        w.writeInt(-3);
    });
    ReaderFixture in(text, 0);
    int32_t i = 0;
    uint32_t l = 0;
    uint8_t b = 0;
    float f = 0;
    std::string s;
    in.reader >> i >> l >> b >> f >> s;
    EXPECT_EQ(i, 12);
    EXPECT_EQ(l, 10u);
    EXPECT_EQ(b, 255);
    EXPECT_EQ(f, 0.5f);
    EXPECT_EQ(s, "a\"b, c\td");
    EXPECT_EQ(in.reader.readIdentifier(), "ident");
    EXPECT_EQ(in.reader.readInt(), -3);
    EXPECT_EQ(in.reader.eof(), 1);
    EXPECT_EQ(thrownText([&] { in.reader.readInt(); }), endOfData);
}

TEST(TextStream, TypedReadsConvertTokenKinds)
{
    ReaderFixture in("0x1f, 2.9, -2.9 ,\t7, 0x10, 3.5, abc, \"q\", 1.0e30, word, [4]", 0);
    EXPECT_EQ(in.reader.readInt(), 31);
    EXPECT_EQ(in.reader.readInt(), 2);
    EXPECT_EQ(in.reader.readInt(), -2);
    EXPECT_EQ(in.reader.readFloat(), 7.0f);
    EXPECT_EQ(in.reader.readFloat(), 16.0f);
    EXPECT_EQ(in.reader.readFloat(), 3.5f);
    EXPECT_EQ(in.reader.readString(), "abc"); // identifiers are strings too
    EXPECT_EQ(thrownText([&] { in.reader.readIdentifier(); }), "ERROR: Not a identifier value.\n");
    EXPECT_EQ(in.reader.readInt(), 2147483647); // saturates instead of overflowing
    EXPECT_EQ(thrownText([&] { in.reader.readInt(); }), "ERROR: Not a numeric value.\n");
    EXPECT_EQ(thrownText([&] { in.reader.readFloat(); }), "ERROR: Not a floating point value.\n");

    ReaderFixture numbers("5, 0x1", 0);
    EXPECT_EQ(thrownText([&] { numbers.reader.readString(); }), "ERROR: Not a string value.\n");
    EXPECT_EQ(thrownText([&] { numbers.reader.readIdentifier(); }), "ERROR: Not a identifier value.\n");
}

TEST(TextStream, TokenizerStatesAndTheirErrors)
{
    struct Case {
        const char* text;
        int kind;
        const char* token;
    };
    const Case tokens[] = {
        {"[12] ,", 7, "12"},      {"12", 2, "12"},           {"12 ,x", 2, "12"},    {"0x1F", 6, "0x1F"},
        {"1.5", 3, "1.5"},        {"_a1", 5, "_a1"},         {"\"a,b c\"", 4, "a,b c"}, {"\"open", 4, "open"},
        {"\"a\\\\b\"", 4, "a\\b"}, {"\"a\\nb\"", 4, "a\nb"}, {",", 2, ""},           {"\"\\", 4, ""},
        {"-7\r\n,", 2, "-7"},
    };
    for (const Case& c : tokens) {
        TempDir dir;
        writeFile(dir.file("in"), c.text);
        TextDataReader reader;
        reader.open(dir.file("in"));
        std::string token;
        EXPECT_EQ(reader.readToken(token), c.kind) << c.text;
        EXPECT_EQ(token, c.token) << c.text;
        reader.close();
    }

    const std::pair<const char*, const char*> errors[] = {
        {"[1a]", "ERROR: Invalide array identifier character.\n"},
        {"ab-c", "ERROR: Invalide identifier character.\n"},
        {"12 x", "ERROR: No delimiter found.\n"},
        {"\"s\" x", "ERROR: No delimiter found.\n"},
        {"  \n ", "ERROR: Unexpected end of data.\n"},
    };
    for (auto [text, message] : errors) {
        ReaderFixture in(text, 0);
        EXPECT_EQ(thrownText([&] { in.reader.readString(); }), message)
            << text;
    }
}

TEST(DataStreams, OpenCloseAndIdentifierErrors)
{
    TempDir dir;
    for (int form : {0, 1}) {
        DataReaderFacade reader(form);
        EXPECT_EQ(thrownText([&] { reader.open(dir.file("missing")); }), "ERROR: Could not open file for reading.\n");
        DataWriterFacade writer(form);
        EXPECT_EQ(thrownText([&] { writer.open(dir.file("no/such/dir/out")); }),
                  "ERROR: Could not open file for writing.\n");

        writeFile(dir.file("in"), "1");
        DataReaderFacade twice(form);
        twice.open(dir.file("in"));
        EXPECT_EQ(thrownText([&] { twice.open(dir.file("in")); }), "ERROR: File not closed.\n");

        DataWriterFacade named(form);
        named.open(dir.file("ids"));
        EXPECT_EQ(thrownText([&] { named.open(dir.file("ids")); }), "ERROR: File not closed.\n");
        for (const char* bad : {"1abc", "", "a b"})
            EXPECT_EQ(thrownText([&] { named.writeIdentifier(bad); }), "ERROR: Not a identifier value.\n") << bad;
        named.close();
        EXPECT_EQ(readFile(dir.file("ids")), "") << "nothing written for a rejected identifier";
    }
    EXPECT_EQ(thrownText([] { DataReaderFacade bad(2); }), "ERROR: Unknown data stream form.\n");
    EXPECT_EQ(thrownText([] { DataWriterFacade bad(-1); }), "ERROR: Unknown data stream form.\n");
}

TEST(DataStreams, AnUnfinishedWriteKeepsThePreviousFile)
{
    TempDir dir;
    const std::string path = dir.file("config");
    writeFile(path, "previous");
    {
        BinaryDataWriter writer;
        writer.open(path);
        writer.writeInt(5);
        // Destroyed without close, as when an exception leaves the writing code.
    }
    EXPECT_EQ(readFile(path), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "temporary file left";

    BinaryDataWriter writer;
    writer.open(path);
    writer.writeInt(5);
    writer.close();
    EXPECT_EQ(readFile(path), std::string("\x00\x00\x00\x05", 4));
}

TEST(DataStreams, ReadersLeftOpenReleaseTheirFiles)
{
    auto openFiles = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    TempDir dir;
    writeFile(dir.file("in"), "\x00\x00");
    const auto before = openFiles();
    for (int form : {0, 1}) {
        DataReaderFacade reader(form);
        reader.open(dir.file("in"));
        EXPECT_THROW(reader.readString(), GameTextException); // an error path that never reaches close
    }
    EXPECT_EQ(openFiles(), before);
}
