#include "frontend/scores/Highscores.h"

#include "frontend/app/GameApp.h"
#include "frontend/app/GameFieldServices.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/properties/Properties.h"
#include "runtime/streams/DataWriterFacade.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

// Three places a table, two modes and exactly three made-up names.
const char* const kLayout = R"xml(<Layout>
  <Integer id="INT_NUM_HIGHSCORES">3</Integer>
  <StringVector id="LIST_GAMEMODE_NAMES"><Item>CLASSIC</Item><Item>ENDLESS</Item></StringVector>
  <StringVector id="LIST_HIGHSCORE_DUMMY_NAMES"><Item>Ada</Item><Item>Bo</Item><Item>Cy</Item></StringVector>
</Layout>)xml";

class HighscoresTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousDataHome = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
        setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
        std::ofstream(dir.file("base.xml")) << kLayout;
        ASSERT_TRUE(LayoutDocument::loadFile(LayoutDocument::kBase, dir.file("base.xml")));
        GameApp::setConfig(new Properties());
        scores.resetToDummies(GameApp::getConfig());
    }
    void TearDown() override
    {
        GameApp::deleteConfig();
        LayoutDocument::unloadAll();
        if (previousDataHome.empty())
            unsetenv("XDG_DATA_HOME");
        else
            setenv("XDG_DATA_HOME", previousDataHome.c_str(), 1);
    }
    std::filesystem::path configFile() const { return dir.path() / "quarrytide" / "Quarrytide.cfg"; }

    testsupport::TempDir dir;
    std::string previousDataHome;
    Highscores scores;
};

TEST_F(HighscoresTest, MadeUpTablesFollowTheModes)
{
    const Highscores::Table& classic = scores.table("CLASSIC", true);
    ASSERT_EQ(classic.size(), 3u);
    EXPECT_EQ(classic[0].score, 1500);
    EXPECT_EQ(classic[0].gold, 6);
    EXPECT_EQ(classic[0].level, 3);
    EXPECT_EQ(classic[0].depth, 0.0);
    EXPECT_EQ(classic[2].score, 500);
    const Highscores::Table& endless = scores.table("ENDLESS", false);
    EXPECT_EQ(endless[2].level, 0);
    EXPECT_EQ(endless[2].depth, 5.0);
    EXPECT_FALSE(endless[0].name.empty());
    Properties& config = GameApp::getConfig();
    EXPECT_EQ(config.getString("lastscoregame"), "CLASSIC");
    EXPECT_EQ(config.getInt("lastscorerank"), 0);
}

TEST_F(HighscoresTest, ResultsTakeTheirPlaceInOneOrder)
{
    // Against the made-up CLASSIC threes: (level, score, gold, depth 0) = (3,1500,6) (2,1000,4) (1,500,2).
    struct Case {
        const char* what;
        int level, score, gold;
        int rank;
    } cases[] = {
        {"best score goes first", 1, 2000, 0, 1},
        {"equal to the first goes above it", 3, 1500, 6, 1},
        {"equal to the last goes above it", 1, 500, 2, 3},
        // Same depth and score as the last, lower level, more gold: refused by both tests alike.
        {"level counts before gold", 0, 500, 9, 0},
        {"below the last", 1, 400, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Highscores fresh;
        fresh.resetToDummies(GameApp::getConfig());
        GameApp::getConfig().setInt("lastscorerank", 7);
        EXPECT_EQ(fresh.qualifies("CLASSIC", false, c.level, c.score, 0, c.gold, 0.0), c.rank != 0);
        EXPECT_EQ(fresh.addScore("CLASSIC", false, "Zed", c.level, c.score, 0, c.gold, 0.0), c.rank);
        const Highscores::Table& table = fresh.table("CLASSIC", false);
        EXPECT_EQ(table.size(), 3u);
        if (c.rank != 0) {
            EXPECT_EQ(table[c.rank - 1].name, "Zed");
            EXPECT_EQ(GameApp::getConfig().getInt("lastscorerank"), c.rank);
            EXPECT_EQ(GameApp::getConfig().getString("lastscoregame"), "CLASSIC");
            EXPECT_TRUE(std::filesystem::exists(configFile()));
        } else {
            EXPECT_EQ(table[2].score, 500);
            EXPECT_EQ(GameApp::getConfig().getInt("lastscorerank"), 7);
        }
    }
}

TEST_F(HighscoresTest, ShortTableTakesEveryResult)
{
    Highscores empty;
    EXPECT_EQ(empty.addScore("ENDLESS", true, "A", 0, 10, 0, 0, 1.0), 1);
    EXPECT_EQ(empty.addScore("ENDLESS", true, "B", 0, 5, 0, 0, 1.0), 2);
    EXPECT_EQ(empty.addScore("ENDLESS", true, "C", 0, 5, 0, 0, 2.0), 1);
    EXPECT_EQ(GameApp::getConfig().getInt("lastscorequattro"), 1);
}

TEST_F(HighscoresTest, TablesSurviveTheConfigurationWithDepthTruncated)
{
    scores.addScore("ENDLESS", false, "Deep", 4, 9000, 77, 12, 70.9);
    Properties& config = GameApp::getConfig();
    scores.write(config);
    Highscores back;
    back.read(config);
    const HighscoreEntry& first = back.table("ENDLESS", false)[0];
    EXPECT_EQ(first.name, "Deep");
    EXPECT_EQ(first.time, 77);
    EXPECT_EQ(first.gold, 12);
    EXPECT_EQ(first.depth, 70.0);

    // A stored entry missing values keeps the made-up ones; entries past the table are not read.
    Properties* group = config.getChild("highscores")->getChild("CLASSIC")->getChild("TRIPLE");
    group->clear();
    group->defineChild("1");
    group->getChild("1")->setString("name", "Half");
    group->defineChild("4");
    Highscores partial;
    partial.read(config);
    const Highscores::Table& classic = partial.table("CLASSIC", false);
    ASSERT_EQ(classic.size(), 3u);
    EXPECT_EQ(classic[0].name, "Half");
    EXPECT_EQ(classic[0].score, 1500);
}

class ConfigFileTest : public HighscoresTest {
protected:
    void writeConfig(const std::function<void(Properties&)>& fill)
    {
        Properties stored;
        fill(stored);
        std::filesystem::create_directories(configFile().parent_path());
        DataWriterFacade writer(1);
        writer.open(configFile().string());
        stored.write(writer);
        writer.close();
    }
};

TEST_F(ConfigFileTest, AnUnusableFileStartsAFirstRun)
{
    struct Case {
        const char* what;
        std::function<void(Properties&)> fill;
    } cases[] = {
        {"foreign version",
         [](Properties& p) {
             p.setString("cfgversion", "1.0.9");
             p.setString("currentplayer", "Anna");
         }},
        {"no player", [](Properties& p) { p.setString("cfgversion", "1.1.0"); }},
        {"empty player",
         [](Properties& p) {
             p.setString("cfgversion", "1.1.0");
             p.setString("currentplayer", "");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeConfig(c.fill);
        GameApp::setConfig(new Properties());
        GameApp::loadConfig();
        Properties& config = GameApp::getConfig();
        EXPECT_FALSE(std::filesystem::exists(configFile()));
        EXPECT_EQ(config.getInt("firstplay"), 1);
        EXPECT_EQ(config.getString("cfgversion"), "1.1.0");
        EXPECT_EQ(config.getString("gameversion"), "1.1.0");
        EXPECT_EQ(config.getString("currentplayer"), "");
        EXPECT_NE(config.getChild("players"), nullptr);
        EXPECT_NE(config.getChild("highscores"), nullptr);
    }

    // A cut-off file is no worse than a foreign one.
    std::ofstream(configFile(), std::ios::binary) << "\x03\x00";
    GameApp::setConfig(new Properties());
    GameApp::loadConfig();
    EXPECT_EQ(GameApp::getConfig().getInt("firstplay"), 1);
}

TEST_F(ConfigFileTest, SavedPlayersAndScoresComeBack)
{
    GameApp::loadConfig();
    EXPECT_EQ(GameApp::getConfig().getInt("firstplay"), 1);
    GameApp::selectPlayer("Anna");
    Highscores::instance().resetToDummies();
    Highscores::instance().addScore("CLASSIC", false, "Anna", 9, 99999, 5, 5, 0.0);
    GameApp::getConfig().setInt("game_x", 12);
    ASSERT_TRUE(GameApp::saveConfig());

    GameApp::setConfig(new Properties());
    GameApp::loadConfig();
    Properties& config = GameApp::getConfig();
    EXPECT_EQ(config.getInt("firstplay"), 0);
    EXPECT_EQ(GameApp::getCurrentPlayer(), "Anna");
    EXPECT_NE(GameApp::getPlayers()->getChild("Anna"), nullptr);
    EXPECT_EQ(config.getInt("game_x"), 12);
    EXPECT_EQ(Highscores::instance().table("CLASSIC", false)[0].score, 99999);

    // The same name in other letters' case is the same player.
    GameApp::selectPlayer("ANNA");
    EXPECT_EQ(GameApp::getCurrentPlayer(), "Anna");
    EXPECT_EQ(GameApp::getPlayers()->size(), 1u);

    // A deleted current player does not come back when another is chosen.
    GameApp::getPlayers()->remove("Anna");
    GameApp::selectPlayer("Bert");
    EXPECT_EQ(GameApp::getPlayers()->getChild("Anna"), nullptr);
    EXPECT_NE(GameApp::getPlayers()->getChild("Bert"), nullptr);
}

TEST_F(ConfigFileTest, ANewPlayerGetsItsStatisticsFileAtOnce)
{
    GameFieldServices::instance().install();
    GameApp::loadConfig();
    GameApp::selectPlayer("Ann:a");
    GameFieldServices::instance().uninstall();
    const std::filesystem::path data = dir.path() / "quarrytide" / "data";
    EXPECT_TRUE(std::filesystem::exists(data / "Ann_a.cfg.!") || std::filesystem::exists(data / "Ann_a.cfg"));
}

TEST_F(ConfigFileTest, PlayerFileNamesAreMadeSafe)
{
    const std::string path = GameApp::getSaveGamePath("CLASSIC", "A:b c", "savegames");
    EXPECT_EQ(path.substr(path.size() - std::string("A_b_c_CLASSIC.sav").size()), "A_b_c_CLASSIC.sav");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "quarrytide" / "savegames"));
    const std::string stats = GameApp::getPlayerFilePath("x/y", "data");
    EXPECT_EQ(stats.substr(stats.size() - 8), "\\x_y.cfg");
    EXPECT_FALSE(GameApp::saveGameExists("CLASSIC", "A:b c", "savegames"));
}

} // namespace
