#include "game/stats/StatsManager.h"

#include "StatsFixture.h"

#include "runtime/scramble/ScrambleTable.h"
#include "runtime/streams/XMLDocumentFile.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace {

using statstest::LayoutValues;
using statstest::StatsTest;
using testsupport::readFile;
using testsupport::writeFile;

std::string scrambled(std::string text)
{
    scrambleBuffer(reinterpret_cast<unsigned char*>(text.data()), text.size());
    return text;
}

class StatsFile : public StatsTest {
protected:
    // Writes a statistics file for the current player in its stored form.
    void storeFile(const std::string& xml)
    {
        std::filesystem::create_directories(std::filesystem::path(storedFile()).parent_path());
        writeFile(storedFile(), scrambled(xml));
    }
};

TEST_F(StatsFile, ANewPlayerStartsFromTheDefaultsSilentlyAndGetsAFile)
{
    stats.load();
    EXPECT_TRUE(layouttest::messages().empty());
    EXPECT_TRUE(stats.dirty);
    EXPECT_TRUE(stats.saveEnabled);
    EXPECT_EQ(stats.treasureCountdown, 40);
    EXPECT_TRUE(stats.lasttabpage);
    EXPECT_TRUE(stats.hintsEnabled);
    EXPECT_EQ(stats.hintCounts[0], 2);
    EXPECT_EQ(stats.hintCounts[2], 1);
    EXPECT_EQ(stats.distinctOwned, 0);
    EXPECT_EQ(stats.prevSettings.at("ENDLESS").difficulty, "NORMAL");
    EXPECT_EQ(stats.prevSettings.at("ENDLESS").blockset, 0);
    ASSERT_NE(stats.findStats("CLASSIC", "HARD"), nullptr);
    EXPECT_EQ(stats.current, nullptr);

    EXPECT_TRUE(stats.save());
    EXPECT_FALSE(stats.dirty);
    std::string stored = readFile(storedFile());
    ASSERT_FALSE(stored.empty());
    TiXmlDocument document;
    parseXMLBytes(document, reinterpret_cast<const unsigned char*>(stored.data()), stored.size(), true);
    ASSERT_NE(document.RootElement(), nullptr);
    EXPECT_EQ(document.RootElement()->ValueStr(), "Root");
    const TiXmlElement* global = document.RootElement()->FirstChildElement("GlobalStats");
    ASSERT_NE(global, nullptr);
    EXPECT_STREQ(global->Attribute("statsversion"), "2");
    EXPECT_STREQ(global->Attribute("globaltreasurecounter"), "40");
    // Nothing changed since: no second write.
    std::filesystem::remove(storedFile());
    EXPECT_TRUE(stats.save());
    EXPECT_FALSE(std::filesystem::exists(storedFile()));
}

TEST_F(StatsFile, NoPlayerMeansNoFile)
{
    files.player.clear();
    stats.load();
    EXPECT_TRUE(stats.save());
    EXPECT_FALSE(std::filesystem::exists(dir.file("home")));
    stats.setPlayerFiles(nullptr);
    stats.load();
    EXPECT_EQ(stats.statsFilePath(), "");
}

TEST_F(StatsFile, EverythingRemembersComesBackFromTheFile)
{
    LayoutValues values;
    for (int i = 0; i < 24; ++i)
        values.treasures += statstest::treasure(1, 1);
    useLayout(values);
    stats.loadTreasureDescs();
    stats.load();

    GameSettings settings;
    settings.mode = "ENDLESS";
    settings.difficulty = "HARD";
    settings.blockset = 2;
    settings.quattro = true;
    stats.onGameStarted(settings);
    LevelStats game;
    game.time = 61500;
    game.gold = 17;
    game.biggestgroup = 9;
    game.biggestscore = 800;
    game.treasuresdropped = 2;
    game.blocksremoved.set(321);
    game.clearcount.set(2);
    stats.onGameEnded(game);
    GameSettings puzzle;
    puzzle.mode = "PUZZLE";
    puzzle.difficulty = "ODD";
    stats.onGameStarted(puzzle);
    stats.currentTreasure = 7;
    stats.acquireTreasure();
    stats.treasures[3].dropcount = 5;
    stats.useHint(0);
    stats.treasureCountdown = 13;
    stats.treasuresdroppedsince = 2;
    ASSERT_TRUE(stats.save());

    StatsManager back;
    back.setPlayerFiles(&files);
    back.loadTreasureDescs();
    back.load();
    EXPECT_FALSE(back.dirty);
    EXPECT_TRUE(layouttest::messages().empty());
    const DifficultyStats* hard = back.findStats("ENDLESS", "HARD");
    ASSERT_NE(hard, nullptr);
    EXPECT_EQ(hard->time, 61000u) << "whole seconds in the file";
    EXPECT_EQ(hard->gold, 17);
    EXPECT_EQ(hard->biggestgroup, 9);
    EXPECT_EQ(hard->biggestscore, 800);
    EXPECT_EQ(hard->treasuresdropped, 2);
    EXPECT_EQ(hard->blocksremoved.get(), 321);
    EXPECT_EQ(hard->clearcount.get(), 2);
    EXPECT_EQ(hard->startcount, 1);
    EXPECT_EQ(hard->gameovercount, 1);
    const DifficultyStats* odd = back.findStats("PUZZLE", "ODD");
    ASSERT_NE(odd, nullptr) << "a mode outside the list is kept";
    EXPECT_EQ(odd->startcount, 1);
    EXPECT_EQ(back.prevSettings.at("ENDLESS").difficulty, "HARD");
    EXPECT_EQ(back.prevSettings.at("ENDLESS").blockset, 2);
    EXPECT_TRUE(back.prevSettings.at("ENDLESS").quattro);
    EXPECT_EQ(back.prevSettings.at("CLASSIC").difficulty, "NORMAL");
    EXPECT_EQ(back.treasures[7].aquirecount, 1);
    EXPECT_EQ(back.treasures[3].dropcount, 5);
    EXPECT_EQ(back.distinctOwned, 1);
    EXPECT_EQ(back.totalTaken, 1);
    EXPECT_EQ(back.hintCounts[0], 1);
    EXPECT_EQ(back.hintCounts[2], 1);
    EXPECT_EQ(back.treasureCountdown, 13);
    EXPECT_EQ(back.treasuresdroppedsince, 2);
    EXPECT_FALSE(back.lasttabpage);
    EXPECT_TRUE(back.hintsEnabled);

    // Saved again unchanged, the file is the same document.
    std::string first = readFile(storedFile());
    back.dirty = true;
    ASSERT_TRUE(back.save());
    EXPECT_EQ(readFile(storedFile()), first);
}

TEST_F(StatsFile, AFailedWriteKeepsThePreviousFileAndTheChanges)
{
    stats.load();
    ASSERT_TRUE(stats.save());
    const std::string previous = readFile(storedFile());
    stats.treasureCountdown = 3;
    stats.dirty = true;

    // The disk "fills up" after a few bytes of the new file.
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 64;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    bool saved = stats.save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved);
    EXPECT_TRUE(stats.dirty);
    EXPECT_EQ(readFile(storedFile()), previous);
    size_t stored = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(storedFile()).parent_path()))
        stored += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(stored, 1u) << "no temporary file is left behind";
    ASSERT_EQ(layouttest::messages().size(), 1u);
    EXPECT_EQ(layouttest::messages()[0].text, "STRING_ERROR_WRITING_STATS_TEXT");

    // With room again the same changes are written.
    EXPECT_TRUE(stats.save());
    StatsManager back;
    back.setPlayerFiles(&files);
    back.load();
    EXPECT_EQ(back.treasureCountdown, 3);
}

TEST_F(StatsFile, AnUnreadableFileIsReportedAndTheDefaultsStand)
{
    const char* const damaged[] = {
        "",
        "<Root><GlobalStats globaltreasurecounter=\"7\"",
        "\x01\x02 not xml at all",
        "<Root></Wrong>",
    };
    for (const char* text : damaged) {
        layouttest::messages().clear();
        storeFile(text);
        stats.saveEnabled = false;
        stats.load();
        EXPECT_EQ(stats.treasureCountdown, 40) << text;
        EXPECT_TRUE(stats.dirty) << text;
        ASSERT_EQ(layouttest::messages().size(), 1u) << text;
        EXPECT_EQ(layouttest::messages()[0].text, "STRING_ERROR_READING_STATS_TEXT");
        // The next save replaces it, but the damaged file is kept aside, not lost.
        EXPECT_EQ(readFile(storedFile() + ".damaged"), scrambled(text)) << text;
    }
}

TEST_F(StatsFile, DamagedEntriesAreSkippedAndTheRestIsRead)
{
    struct Case {
        const char* name;
        const char* body;
    };
    const Case cases[] = {
        {"treasure ids outside the table",
         "<TreasureStats><Item treasureid=\"-1\" aquirecount=\"4\"/><Item treasureid=\"24\" aquirecount=\"4\"/>"
         "<Item treasureid=\"99999999999\" aquirecount=\"4\"/><Item aquirecount=\"4\"/><Item treasureid=\"two\"/>"
         "<Item treasureid=\"2\" aquirecount=\"3\" dropcount=\"5\"/></TreasureStats>"},
        {"a treasure listed twice counts once",
         "<TreasureStats><Item treasureid=\"2\" aquirecount=\"1\"/><Item treasureid=\"2\" aquirecount=\"3\" "
         "dropcount=\"5\"/></TreasureStats>"},
        {"negative counts read as none",
         "<TreasureStats><Item treasureid=\"5\" aquirecount=\"-8\" dropcount=\"-1\"/>"
         "<Item treasureid=\"2\" aquirecount=\"3\" dropcount=\"5\"/></TreasureStats>"},
        {"hint ids outside the kinds",
         "<HintStats><Item id=\"16\" count=\"9\"/><Item id=\"-1\" count=\"9\"/><Item count=\"9\"/>"
         "<Item id=\"1\" count=\"4\"/></HintStats>"
         "<TreasureStats><Item treasureid=\"2\" aquirecount=\"3\" dropcount=\"5\"/></TreasureStats>"},
        {"modes and difficulties without names",
         "<GameModeStats prev_blockset=\"2\"><DifficultyStats difficulty=\"EASY\" gold=\"5\"/></GameModeStats>"
         "<GameModeStats gamemode=\"CLASSIC\"><DifficultyStats gold=\"5\"/><Other difficulty=\"EASY\" time=\"-5\" "
         "startcount=\"x\"/></GameModeStats>"
         "<TreasureStats><Item treasureid=\"2\" aquirecount=\"3\" dropcount=\"5\"/></TreasureStats>"},
    };
    for (const Case& c : cases) {
        layouttest::messages().clear();
        storeFile(std::string("<Root><GlobalStats globaltreasurecounter=\"11\" hints=\"0\"/>") + c.body + "</Root>");
        stats.load();
        EXPECT_TRUE(layouttest::messages().empty()) << c.name;
        EXPECT_FALSE(stats.dirty) << c.name;
        EXPECT_EQ(stats.treasureCountdown, 11) << c.name;
        EXPECT_FALSE(stats.hintsEnabled) << c.name;
        EXPECT_EQ(stats.distinctOwned, 1) << c.name;
        EXPECT_EQ(stats.totalTaken, 3) << c.name;
        EXPECT_EQ(stats.treasures[2].dropcount, 5) << c.name;
        for (int id = 0; id < StatsManager::kTreasureCount; ++id) {
            if (id != 2) {
                EXPECT_EQ(stats.treasures[id].aquirecount, 0) << c.name << " treasure " << id;
            }
        }
        EXPECT_EQ(stats.hintCounts[0], 2) << c.name;
        const DifficultyStats* easy = stats.findStats("CLASSIC", "EASY");
        ASSERT_NE(easy, nullptr) << c.name;
        EXPECT_EQ(easy->gold, 0) << c.name;
        EXPECT_EQ(easy->time, 0u) << c.name;
        EXPECT_EQ(stats.getModeStats().size(), 2u) << c.name;
    }
}

TEST_F(StatsFile, LoadingSavesTheRecordFirst)
{
    stats.load();
    stats.treasureCountdown = 9;
    stats.load();
    EXPECT_EQ(stats.treasureCountdown, 9);

    // With saving switched off (another player is being selected) nothing is written.
    stats.treasureCountdown = 5;
    stats.dirty = true;
    stats.saveEnabled = false;
    stats.load();
    EXPECT_EQ(stats.treasureCountdown, 9);
}

TEST_F(StatsTest, HintsSwitchOnWithFreshCountsAndOffWithTheLastOne)
{
    stats.load();
    stats.dirty = false;
    stats.setHintsEnabled(true);
    EXPECT_FALSE(stats.dirty) << "no change, not even dirty";

    stats.useHint(0);
    stats.useHint(2);
    EXPECT_TRUE(stats.hintsEnabled);
    stats.useHint(0);
    EXPECT_FALSE(stats.hintsEnabled) << "the last hint switches hints off";
    stats.useHint(1);
    stats.useHint(1);
    EXPECT_EQ(stats.hintCounts[1], 0) << "while off a hint only lowers its count, never below 0";
    EXPECT_FALSE(stats.hintsEnabled);
    stats.useHint(16);
    stats.useHint(-1);

    stats.setHintsEnabled(true);
    EXPECT_EQ(stats.hintCounts[0], 2);
    EXPECT_EQ(stats.hintCounts[1], 0);
    EXPECT_EQ(stats.hintCounts[2], 1);

    // A list longer than the sixteen kinds fills only those.
    LayoutValues longList;
    longList.hintCounts.clear();
    for (int i = 0; i < 20; ++i)
        longList.hintCounts += "<Item>" + std::to_string(i + 1) + "</Item>";
    useLayout(longList);
    stats.setHintsEnabled(false);
    stats.setHintsEnabled(true);
    EXPECT_EQ(stats.hintCounts[15], 16);
}

TEST_F(StatsTest, UnlocksFollowTheDifferentTreasuresOwned)
{
    // Thresholds 0, 3, 6, 10.
    stats.load();
    struct Case {
        int owned;
        int untilUnlock;
        bool second;
        bool third;
    };
    const Case cases[] = {{0, 3, false, false}, {5, 1, true, false}, {6, 4, true, true}, {10, 0, true, true},
                          {24, 0, true, true}};
    for (const Case& c : cases) {
        stats.distinctOwned = c.owned;
        EXPECT_EQ(stats.getTreasuresUntilUnlock(), c.untilUnlock) << c.owned;
        EXPECT_TRUE(stats.isUnlocked(0)) << c.owned;
        EXPECT_EQ(stats.isUnlocked(1), c.second) << c.owned;
        EXPECT_EQ(stats.isUnlocked(2), c.third) << c.owned;
        EXPECT_FALSE(stats.isUnlocked(4)) << "an index the list lacks stays locked";
        EXPECT_FALSE(stats.isUnlocked(-1));
    }
    stats.distinctOwned = 6;
    EXPECT_DOUBLE_EQ(stats.getTreasureProgress(), 0.25);
}

TEST_F(StatsTest, GamesAreCountedPerModeAndDifficulty)
{
    stats.load();
    stats.dirty = false;
    // A game over before any start has no record to add to.
    stats.onGameEnded(LevelStats());

    GameSettings settings;
    settings.mode = "CLASSIC";
    settings.difficulty = "EASY";
    stats.droppedThisGame = 4;
    stats.onGameStarted(settings);
    EXPECT_EQ(stats.current, stats.findStats("CLASSIC", "EASY"));
    EXPECT_EQ(stats.current->startcount, 1);
    EXPECT_EQ(stats.droppedThisGame, 0);
    EXPECT_EQ(stats.prevSettings.at("CLASSIC").difficulty, "EASY");

    stats.treasureCountdown = 31;
    LevelStats game;
    game.time = 1500;
    game.gold = 3;
    stats.onGameEnded(game);
    stats.onGameEnded(game);
    EXPECT_EQ(stats.current->gameovercount, 2);
    EXPECT_EQ(stats.current->time, 3000u);
    EXPECT_EQ(stats.current->gold, 6);
    EXPECT_GE(stats.treasureCountdown, 20) << "a countdown above the maximum is drawn anew";
    EXPECT_LE(stats.treasureCountdown, 29);

    stats.treasureCountdown = 30;
    stats.onGameEnded(game);
    EXPECT_EQ(stats.treasureCountdown, 30);
    EXPECT_TRUE(stats.dirty);
}

} // namespace
