#include "frontend/scores/Highscores.h"

#include "frontend/app/GameApp.h"
#include "frontend/app/GameFieldServices.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/properties/Properties.h"
#include "runtime/streams/DataReaderFacade.h"
#include "runtime/streams/DataWriterFacade.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <vector>
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

namespace {

// The configuration file of a player who has played: Anna (current) and Bert, a real result in every
// place of the CLASSIC threes and one on top of the ENDLESS fours, the field's placement.
class DamagedConfigTest : public ConfigFileTest {
protected:
    void SetUp() override
    {
        ConfigFileTest::SetUp();
        GameApp::loadConfig();
        GameApp::selectPlayer("Bert");
        GameApp::selectPlayer("Anna");
        Highscores& tables = Highscores::instance();
        tables.resetToDummies();
        for (int i = 0; i < 3; ++i)
            tables.addScore("CLASSIC", false, "Anna", 20 + i, 10000 * (i + 1), 7, 1, 0.0);
        tables.addScore("ENDLESS", true, "Bert", 0, 8000, 60, 9, 44.0);
        GameApp::getConfig().setInt("game_x", 12);
        ASSERT_TRUE(GameApp::saveConfig());
        std::filesystem::copy_file(configFile(), dir.file("played.cfg"));
    }

    // The saved file read back, changed by `damage`, written again and loaded as at start-up.
    void loadDamaged(const std::function<void(Properties&)>& damage)
    {
        writeConfig([&](Properties& tree) {
            DataReaderFacade reader(1);
            reader.open(dir.file("played.cfg"));
            tree.read(reader);
            reader.close();
            damage(tree);
        });
        GameApp::setConfig(new Properties());
        Highscores::instance().resetToDummies();
        GameApp::loadConfig();
    }

    static std::vector<std::string> players()
    {
        std::vector<std::string> names;
        for (const auto& entry : GameApp::getPlayers()->entries())
            names.push_back(entry.first);
        return names;
    }

    static Properties& at(Properties& tree, std::initializer_list<const char*> path)
    {
        Properties* node = &tree;
        for (const char* name : path)
            node = node->getChild(name);
        return *node;
    }
};

TEST_F(DamagedConfigTest, AWrongKindOfNodeIsTreatedAsAbsentAndTheRestIsKept)
{
    const std::vector<std::string> both = {"Anna", "Bert"};
    struct Case {
        const char* what;
        std::function<void(Properties&)> damage;
        std::vector<std::string> players;
        bool classicKept; // the CLASSIC threes still hold Anna's results
        bool endlessKept; // the ENDLESS fours still hold Bert's result
    } cases[] = {
        {"a table is a number",
         [](Properties& t) {
             at(t, {"highscores", "CLASSIC"}).remove("TRIPLE");
             at(t, {"highscores", "CLASSIC"}).setInt("TRIPLE", 3);
         },
         both, false, true},
        {"a mode is a float",
         [](Properties& t) {
             at(t, {"highscores"}).remove("ENDLESS");
             at(t, {"highscores"}).setFloat("ENDLESS", 1.5f);
         },
         both, true, false},
        {"the highscores are a string",
         [](Properties& t) {
             t.remove("highscores");
             t.setString("highscores", "none");
         },
         both, false, false},
        {"the players are a value: the current player is kept",
         [](Properties& t) {
             t.remove("players");
             t.setInt("players", 2);
         },
         {"Anna"}, true, true},
        {"a player's entry is a value: the name is kept",
         [](Properties& t) {
             at(t, {"players"}).remove("Bert");
             at(t, {"players"}).setString("Bert", "x");
         },
         both, true, true},
        {"the last-score keys and the placement are groups or text",
         [](Properties& t) {
             t.remove("lastscorerank");
             t.defineChild("lastscorerank");
             t.remove("lastscoregame");
             t.setInt("lastscoregame", 1);
             t.remove("game_x");
             t.setString("game_x", "left");
             t.remove("firstplay");
             t.defineChild("firstplay");
         },
         both, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        loadDamaged(c.damage);
        Properties& config = GameApp::getConfig();
        EXPECT_EQ(config.getInt("firstplay"), 0);
        EXPECT_EQ(GameApp::getCurrentPlayer(), "Anna");
        EXPECT_EQ(players(), c.players);
        for (const std::string& name : c.players)
            EXPECT_NE(GameApp::getPlayers()->getChild(name), nullptr) << name;
        const Highscores::Table& classic = Highscores::instance().table("CLASSIC", false);
        ASSERT_EQ(classic.size(), 3u);
        EXPECT_EQ(classic[2].score, c.classicKept ? 10000 : 500);
        EXPECT_EQ(classic[2].name == "Anna", c.classicKept);
        const Highscores::Table& endless = Highscores::instance().table("ENDLESS", true);
        EXPECT_EQ(endless[0].score, c.endlessKept ? 8000 : 1500);

        // Every key the game writes takes its value again, and the mended file loads as saved.
        config.setInt("game_x", 30);
        EXPECT_EQ(Highscores::instance().addScore("CLASSIC", true, "Anna", 1, 99999, 1, 1, 0.0), 1);
        EXPECT_EQ(config.getInt("lastscorerank"), 1);
        ASSERT_TRUE(GameApp::saveConfig());
        GameApp::setConfig(new Properties());
        GameApp::loadConfig();
        EXPECT_EQ(GameApp::getCurrentPlayer(), "Anna");
        EXPECT_EQ(players(), c.players);
        EXPECT_EQ(GameApp::getConfig().getInt("game_x"), 30);
        EXPECT_EQ(Highscores::instance().table("CLASSIC", true)[0].score, 99999);
        EXPECT_EQ(Highscores::instance().table("CLASSIC", false)[2].score, c.classicKept ? 10000 : 500);
    }
}

TEST_F(DamagedConfigTest, DamagedEntriesKeepTheirMadeUpValuesOnly)
{
    loadDamaged([](Properties& t) {
        Properties& table = at(t, {"highscores", "CLASSIC", "TRIPLE"});
        table.remove("1");
        table.setString("1", "first");
        Properties& second = at(t, {"highscores", "CLASSIC", "TRIPLE", "2"});
        second.remove("score");
        second.setString("score", "lots");
        second.remove("name");
        second.defineChild("name");
    });
    const Highscores::Table& classic = Highscores::instance().table("CLASSIC", false);
    EXPECT_EQ(classic[0].score, 1500) << "the damaged first entry is the made-up one";
    EXPECT_NE(classic[0].name, "Anna");
    EXPECT_EQ(classic[1].score, 1000) << "a damaged score keeps the made-up score";
    EXPECT_NE(classic[1].name, "Anna");
    EXPECT_EQ(classic[1].level, 21) << "but the entry's sound values are read";
    EXPECT_EQ(classic[2].score, 10000);
}

// The version and the current player decide whether the file is the game's at all: of the wrong kind,
// they make it unusable, and the game starts afresh as with a foreign file.
TEST_F(DamagedConfigTest, AVersionOrPlayerOfTheWrongKindStartsAFirstRun)
{
    const std::function<void(Properties&)> damages[] = {
        [](Properties& t) {
            t.remove("currentplayer");
            t.setInt("currentplayer", 7);
        },
        [](Properties& t) {
            t.remove("cfgversion");
            t.defineChild("cfgversion");
        },
    };
    for (const auto& damage : damages) {
        loadDamaged(damage);
        EXPECT_EQ(GameApp::getConfig().getInt("firstplay"), 1);
        EXPECT_EQ(GameApp::getCurrentPlayer(), "");
        EXPECT_FALSE(std::filesystem::exists(configFile()));
        GameApp::selectPlayer("Cleo");
        EXPECT_EQ(GameApp::getCurrentPlayer(), "Cleo");
    }
}

// Every place of every table, the last one included, is written and read back whole.
TEST_F(HighscoresTest, EveryPlaceOfEveryTableIsWrittenAndReadBack)
{
    int n = 0;
    for (const char* mode : {"CLASSIC", "ENDLESS"})
        for (bool quattro : {false, true}) {
            Highscores::Table& table = scores.table(mode, quattro);
            for (HighscoreEntry& entry : table) {
                ++n;
                entry = {"Real" + std::to_string(n), 100 + n, 7000 + n, 300 + n, 40 + n, 50.0 + n};
            }
        }
    Properties& config = GameApp::getConfig();
    scores.write(config);
    Highscores back;
    back.read(config);
    for (const auto& [mode, groups] : scores.tables())
        for (const auto& [quattro, table] : groups) {
            SCOPED_TRACE(mode + (quattro ? " fours" : " threes"));
            const Highscores::Table& read = back.table(mode, quattro);
            ASSERT_EQ(read.size(), table.size());
            for (std::size_t i = 0; i < table.size(); ++i) {
                SCOPED_TRACE("place " + std::to_string(i + 1));
                EXPECT_EQ(read[i].name, table[i].name);
                EXPECT_EQ(read[i].level, table[i].level);
                EXPECT_EQ(read[i].score, table[i].score);
                EXPECT_EQ(read[i].time, table[i].time);
                EXPECT_EQ(read[i].gold, table[i].gold);
                EXPECT_EQ(read[i].depth, table[i].depth);
            }
        }
}

} // namespace
