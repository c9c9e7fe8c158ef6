#include "runtime/scramble/ScrambleTable.h"
#include "runtime/streams/AtomicFile.h"
#include "runtime/streams/XMLDocumentFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

struct Message {
    std::string text;
    std::string caption;
};
std::vector<Message> messages;

void recordMessage(const std::string& text, const char* captionId)
{
    messages.push_back({text, captionId});
}

class XMLDocumentFile : public testing::Test {
protected:
    void SetUp() override
    {
        messages.clear();
        setXMLMessageHandler(recordMessage);
    }
    void TearDown() override { setXMLMessageHandler(nullptr); }

    static std::string scrambled(std::string text)
    {
        scrambleBuffer(reinterpret_cast<unsigned char*>(text.data()), text.size());
        return text;
    }

    static std::string rootValue(TiXmlDocument& document)
    {
        TiXmlElement* root = document.RootElement();
        return root && root->Attribute("v") ? root->Attribute("v") : "";
    }

    testsupport::TempDir dir{true};
};

std::string fileNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const auto& name : names)
        joined += name + " ";
    return joined;
}

} // namespace

TEST_F(XMLDocumentFile, SaveWritesOnlyTheScrambledFormAndLoadReadsItBack)
{
    writeFile("save.xml", "<game v=\"plain\"/>");
    TiXmlDocument document;
    document.Parse("<game v=\"saved\"><level n=\"3\">gold</level></game>");
    ASSERT_TRUE(saveXMLDocument(document, "save.xml", "Error writing: %s"));
    EXPECT_EQ(fileNames(dir.path()), "save.xml.! ");

    std::string stored = readFile("save.xml.!");
    EXPECT_EQ(stored.find("saved"), std::string::npos);
    EXPECT_NE(scrambled(stored).find("<level n=\"3\">gold</level>"), std::string::npos);

    TiXmlDocument loaded;
    ASSERT_TRUE(loadXMLDocument(loaded, "save.xml", "Error reading: %s", true));
    EXPECT_FALSE(loaded.Error());
    EXPECT_EQ(rootValue(loaded), "saved");
    EXPECT_STREQ(loaded.RootElement()->FirstChildElement("level")->GetText(), "gold");
    EXPECT_TRUE(messages.empty());
}

TEST_F(XMLDocumentFile, LoadPrefersTheScrambledFileThenThePlainOne)
{
    std::filesystem::create_directory("layouts");
    writeFile("layouts/base.xml", "<root v=\"plain\"/>");
    TiXmlDocument document;
    ASSERT_TRUE(loadXMLDocument(document, "layouts\\base.xml", "%s", true));
    EXPECT_EQ(rootValue(document), "plain");

    writeFile("layouts/base.xml.!", scrambled("<root v=\"scrambled\"/>"));
    ASSERT_TRUE(loadXMLDocument(document, "layouts\\base.xml", "%s", true));
    EXPECT_EQ(rootValue(document), "scrambled");
    EXPECT_EQ(document.RootElement()->NextSiblingElement(), nullptr); // replaced, not appended
}

TEST_F(XMLDocumentFile, MissingFilesReportTheFormattedMessage)
{
    TiXmlDocument document;
    EXPECT_FALSE(loadXMLDocument(document, "missing.xml", "Error reading main XML file: %s (100%)", false));
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(loadXMLDocument(document, "missing.xml", "Error reading main XML file: %s (100%)", true));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Error reading main XML file: missing.xml (100%)");
    EXPECT_EQ(messages[0].caption, "STRING_ERROR_READING_XML_HEADER");
}

TEST_F(XMLDocumentFile, DamagedFilesLoadAsParseErrors)
{
    std::string whole = scrambled("<game v=\"1\"><level>gold</level></game>");
    writeFile("cut.xml.!", whole.substr(0, whole.size() / 2));
    // A plain document stored under the scrambled name turns into noise.
    writeFile("plain.xml.!", "<game v=\"1\"/>");
    for (const char* name : {"cut.xml", "plain.xml"}) {
        TiXmlDocument document;
        EXPECT_TRUE(loadXMLDocument(document, name, "%s", true)) << name;
        EXPECT_TRUE(document.Error()) << name;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(XMLDocumentFile, ParsesBytesThatCarryNoTerminator)
{
    // Exactly the document's bytes on the heap: a parser reading on to a 0 byte would overrun them.
    const std::string text = "<a v=\"x\"/>";
    std::vector<unsigned char> bytes(text.begin(), text.end());
    TiXmlDocument document;
    parseXMLBytes(document, bytes.data(), bytes.size(), false);
    EXPECT_EQ(rootValue(document), "x");
}

TEST_F(XMLDocumentFile, RefusesNestingDeepEnoughToExhaustTheStack)
{
    auto nested = [](int depth, const std::string& inner) {
        std::string text;
        for (int i = 0; i < depth; ++i)
            text += "<a x='>' y=\"/>\"><!-- <b> --><![CDATA[<c>]]>";
        text += inner;
        for (int i = 0; i < depth; ++i)
            text += "</a>";
        return text;
    };
    TiXmlDocument document;
    std::string deep = nested(200000, "");
    parseXMLBytes(document, reinterpret_cast<const unsigned char*>(deep.data()), deep.size(), false);
    EXPECT_TRUE(document.Error());

    std::string fine = nested(900, "<leaf v=\"x\"/>");
    parseXMLBytes(document, reinterpret_cast<const unsigned char*>(fine.data()), fine.size(), false);
    EXPECT_FALSE(document.Error()) << document.ErrorDesc();
}

TEST_F(XMLDocumentFile, FailedSaveKeepsThePreviousFilesAndReportsFailure)
{
    writeFile("stats.xml.!", "previous");
    writeFile("stats.xml", "plain");
    TiXmlDocument document;
    document.Parse(("<stats v=\"" + std::string(4000, 'x') + "\"/>").c_str());

    // The disk "fills up" after 100 bytes of the new file.
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 100;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    bool saved = saveXMLDocument(document, "stats.xml", "Error writing statistics: %s");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(readFile("stats.xml.!"), "previous");
    EXPECT_EQ(readFile("stats.xml"), "plain");
    EXPECT_EQ(fileNames(dir.path()), "stats.xml stats.xml.! ");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Error writing statistics: stats.xml");
    EXPECT_EQ(messages[0].caption, "STRING_ERROR_WRITING_XML_HEADER");
}

TEST_F(XMLDocumentFile, SaveIntoAMissingFolderFails)
{
    TiXmlDocument document;
    document.Parse("<a/>");
    EXPECT_FALSE(saveXMLDocument(document, "nowhere\\a.xml", "%s"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_FALSE(writeFileAtomically("nowhere/b", "x", 1));
}
