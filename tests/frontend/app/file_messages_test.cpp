// A failed load or save of the player's files reaches the player as a message box with the caption of
// the failure's kind, once per failed attempt, shown on the game's own thread; the game goes on.
#include "frontend/app/FileMessages.h"
#include "frontend/app/GameApp.h"
#include "frontend/app/GameFieldServices.h"
#include "frontend/app/StaleTemporaries.h"
#include "compat/win32/atomic_file.h"
#include "compat/win32/path.h"
#include "compat/win32/system/notify/messagebox.h"
#include "game/stats/StatsManager.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/properties/Properties.h"
#include "runtime/streams/XMLDocumentFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <thread>

namespace {

const char* const kProperties = R"xml(<String id="STRING_ERROR_READING_XML_HEADER">Read failed</String>
<String id="STRING_ERROR_WRITING_XML_HEADER">Write failed</String>
<String id="STRING_ERROR_WRITING_STATS_TEXT">Statistics not saved.</String>
<String id="STRING_ERROR_WRITING_CONFIG_TEXT">Players not saved to %s.</String>
)xml";

// The disk "fills up" after a few bytes of any new file while it lives.
class FullDisk {
public:
    FullDisk()
    {
        getrlimit(RLIMIT_FSIZE, &old);
        struct rlimit small = old;
        small.rlim_cur = 16;
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    struct rlimit old;
    void (*previousHandler)(int);
};

class FileMessages : public testing::Test {
protected:
    void SetUp() override
    {
        previousDataHome = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
        setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
        std::filesystem::create_directories(dir.path() / "quarrytide");
        store = new PropertyManager(nullptr);
        store->addRef();
        store->parse((std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
                      PropertyManager::kSchemaLocation +
                      "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n" + kProperties +
                      "</Properties>\n")
                         .c_str());
        LayoutDocument::setPropertyStore(store);
        installFileMessages();
        compat::testing::takeShownMessageBoxes();
    }
    void TearDown() override
    {
        uninstallFileMessages();
        LayoutDocument::setPropertyStore(nullptr);
        store->release();
        GameApp::deleteConfig();
        if (previousDataHome.empty())
            unsetenv("XDG_DATA_HOME");
        else
            setenv("XDG_DATA_HOME", previousDataHome.c_str(), 1);
    }

    static TiXmlDocument document()
    {
        TiXmlDocument doc;
        TiXmlElement root("Root");
        root.SetAttribute("score", "123456789012345678901234567890");
        doc.InsertEndChild(root);
        return doc;
    }

    testsupport::TempDir dir;
    std::string previousDataHome;
    PropertyManager* store = nullptr;
};

TEST_F(FileMessages, AFailedSaveOrLoadShowsOneBoxWithItsCaption)
{
    const std::string path = (dir.path() / "quarrytide" / "game").string();
    {
        FullDisk full;
        EXPECT_FALSE(saveXMLDocument(document(), path, "The game could not be saved to %s."));
    }
    TiXmlDocument read;
    EXPECT_FALSE(loadXMLDocument(read, path + "-missing", "The saved game %s could not be read.", true));

    const auto boxes = compat::testing::takeShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "The game could not be saved to " + path + ".");
    EXPECT_EQ(boxes[0].caption, "Write failed");
    EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONERROR);
    EXPECT_EQ(boxes[1].text, "The saved game " + path + "-missing could not be read.");
    EXPECT_EQ(boxes[1].caption, "Read failed");
    // Nothing of the failed write stays behind.
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "quarrytide"));
}

TEST_F(FileMessages, AMessageFromAnotherThreadWaitsForTheGamesNextFrame)
{
    std::thread worker([] { reportXMLMessage("Worker: %s", "a.sav", "STRING_ERROR_WRITING_XML_HEADER"); });
    worker.join();
    EXPECT_TRUE(compat::testing::takeShownMessageBoxes().empty());
    showWaitingFileMessages();
    const auto boxes = compat::testing::takeShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Worker: a.sav");
    EXPECT_EQ(boxes[0].caption, "Write failed");
    showWaitingFileMessages();
    EXPECT_TRUE(compat::testing::takeShownMessageBoxes().empty());
}

// The configuration and the statistics on a full disk: each failed save is told once, the old files stay.
TEST_F(FileMessages, PlayersHighscoresAndStatisticsThatCannotBeSavedAreTold)
{
    GameFieldServices::instance().install();
    GameApp::setConfig(new Properties());
    GameApp::loadConfig();
    GameApp::selectPlayer("Anna");
    const std::string config = GameApp::configPath();
    const std::string before = testsupport::readFile(compat::hostPath(config));
    compat::testing::takeShownMessageBoxes();
    StatsManager::instance().treasureCountdown = 7;
    StatsManager::instance().dirty = true;
    {
        FullDisk full;
        EXPECT_FALSE(GameApp::saveConfig());
        EXPECT_FALSE(StatsManager::instance().save());
    }
    GameFieldServices::instance().uninstall();
    const auto boxes = compat::testing::takeShownMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Players not saved to " + compat::hostPath(config) + ".");
    EXPECT_EQ(boxes[0].caption, "Write failed");
    EXPECT_EQ(boxes[1].text, "Statistics not saved.");
    EXPECT_EQ(testsupport::readFile(compat::hostPath(config)), before);
}

// Only names of the writer's exact form are taken: a marker then six letters or digits, after a name.
TEST(StaleTemporaries, OnlyTheGamesOwnLeftoversBesideThePlayersFilesGo)
{
    testsupport::TempDir home;
    const char* previous = std::getenv("XDG_DATA_HOME");
    const std::string kept = previous ? previous : "";
    setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    const std::filesystem::path data = home.path() / "quarrytide";
    std::filesystem::create_directories(data / "savegames");
    std::filesystem::create_directories(data / "data");
    std::filesystem::create_directories(data / "other");
    const std::string marker = compat::kPartialMarker;
    const std::filesystem::path stale[] = {
        data / ("Quarrytide.cfg" + marker + "a1B2c3"),
        data / "savegames" / ("Anna_CLASSIC.sav.!" + marker + "ZZZZZZ"),
        data / "data" / ("Anna.cfg.!" + marker + "000000"),
    };
    const std::filesystem::path others[] = {
        data / "Quarrytide.cfg",
        data / "Quarrytide.cfg.a1B2c3",                           // the old form: not recognisably ours
        data / (marker + "a1B2c3"),                               // no file name before the marker
        data / ("notes" + marker + "a1B2c"),                      // five characters
        data / ("notes" + marker + "a1B2c34"),                    // seven
        data / ("notes" + marker + "a1B-c3"),                     // not a letter or digit
        data / "other" / ("Anna.cfg" + marker + "a1B2c3"),        // not beside the player's files
    };
    for (const auto& path : stale)
        testsupport::writeFile(path.string(), "left over");
    for (const auto& path : others)
        testsupport::writeFile(path.string(), "keep");
    std::filesystem::create_directory(data / ("folder" + marker + "a1B2c3"));

    EXPECT_EQ(removeStaleTemporaries(), 3);
    for (const auto& path : stale)
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
    for (const auto& path : others)
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_TRUE(std::filesystem::is_directory(data / ("folder" + marker + "a1B2c3")));

    // The writer's own temporaries have that form, and a finished write leaves none.
    compat::ReplacingFile file;
    ASSERT_TRUE(file.open((data / "Quarrytide.cfg").string(), "wb"));
    bool found = false;
    for (const auto& entry : std::filesystem::directory_iterator(data))
        found = found || compat::isPartialFileName(entry.path().filename().string());
    EXPECT_TRUE(found);
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(removeStaleTemporaries(), 0);

    if (kept.empty())
        unsetenv("XDG_DATA_HOME");
    else
        setenv("XDG_DATA_HOME", kept.c_str(), 1);
}

} // namespace
