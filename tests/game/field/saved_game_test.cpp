// The saved game: what leaving the field writes or deletes in each state, a game in progress read back
// cell by cell, and a writer killed part-way that never leaves a broken saved game behind.
#include "FieldFixture.h"

#include "runtime/streams/XMLDocumentFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using fieldtest::FieldFixture;
using fieldtest::TestPlayScene;

namespace {

const char* const kGrid = "......\n"
                          "..R...\n"
                          ".GR$..\n"
                          "BGRT#.\n"
                          "YYBBRP\n";

std::string levelText(const Level* level)
{
    std::string text;
    for (int y = 0; y < level->getHeight(); ++y) {
        for (int x = 0; x < level->getWidth(); ++x)
            text += leveltest::codeOf(level->getBlock(x, y));
        text += '\n';
    }
    return text;
}

class SavedGameTest : public FieldFixture {
protected:
    std::string savePath() const { return services.saveDirectory + "tester_CLASSIC.sav"; }
    bool anySavedFile() const
    {
        return std::filesystem::exists(savePath()) || std::filesystem::exists(savePath() + ".!");
    }

    // The saved document's "SaveGame" element, or null when nothing readable is saved.
    TiXmlElement* readSaved(TiXmlDocument& document) const
    {
        if (!loadXMLDocument(document, savePath(), "%s", false) || document.Error() || !document.RootElement())
            return nullptr;
        return document.RootElement()->FirstChildElement("SaveGame");
    }

    // A field in play on the grid, with a score, spent hints and a level statistics record.
    TestPlayScene* gameInProgress()
    {
        playingScene(kGrid);
        scene->setScore(1234);
        scene->hintCounts[2] = 0;
        scene->hintCounts[15] = 9;
        scene->getLevel()->setLevelNumber(4);
        scene->getLevelStats().gold = 3;
        scene->getLevelStats().blocksremoved.set(20);
        scene->getGameStats().gold = 10;
        scene->getGameStats().blocksremoved.set(100);
        frame(500);
        scene->setSaveState(SaveState::Playing);
        return scene;
    }
};

TEST_F(SavedGameTest, LeavingWritesOrDeletesTheSavedGameByState)
{
    struct Case {
        int state;
        bool written;
        int levelnr;
        int gold;
    };
    const Case cases[] = {
        {SaveState::None, false, 0, 0},
        {SaveState::Lost, false, 0, 0},
        // In progress: the level as it is and the records apart.
        {SaveState::Playing, true, 4, 10},
        // A finished level continues with the next one; the level's record is folded into the game's.
        {SaveState::LevelDone, true, 5, 13},
        {SaveState::Ended, true, 4, 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        gameInProgress();
        // An older saved game of the player and mode, in both forms a reader takes.
        testsupport::writeFile(savePath(), "<Root><SaveGame score=\"1\"/></Root>");
        testsupport::writeFile(savePath() + ".!", "old");
        scene->setSaveState(c.state);
        scene->saveGame();
        EXPECT_EQ(scene->getSaveState(), SaveState::Saved);

        TiXmlDocument document;
        TiXmlElement* saved = readSaved(document);
        if (!c.written) {
            EXPECT_FALSE(anySavedFile());
        } else {
            ASSERT_NE(saved, nullptr);
            // The plain file of the name is gone: only the new scrambled one is read.
            EXPECT_FALSE(std::filesystem::exists(savePath()));
            int value = -1;
            EXPECT_EQ(std::string(saved->Attribute("gamemode")), "CLASSIC");
            EXPECT_EQ(std::string(saved->Attribute("difficulty")), "EASY");
            saved->QueryIntAttribute("score", &value);
            EXPECT_EQ(value, 1234);
            saved->QueryIntAttribute("levelnr", &value);
            EXPECT_EQ(value, c.levelnr);
            saved->QueryIntAttribute("isgameinprogress", &value);
            EXPECT_EQ(value, c.state == SaveState::Playing ? 1 : 0);
            ASSERT_NE(saved->FirstChildElement("GameStats"), nullptr);
            saved->FirstChildElement("GameStats")->QueryIntAttribute("gold", &value);
            EXPECT_EQ(value, c.gold);
            // The running level and the stopwatches only for a game in progress, after the hints.
            std::string children;
            for (const TiXmlElement* child = saved->FirstChildElement(); child; child = child->NextSiblingElement())
                children += std::string(child->Value()) + " ";
            EXPECT_EQ(children, c.state == SaveState::Playing
                                    ? "LevelStats GameStats HintStats BlockList NewRow BlockTimer LevelTimer "
                                      "TreasureTimer HourglassTime GameoverTimer "
                                    : "LevelStats GameStats HintStats ");
        }

        // A second leave (the screen, then the application) keeps what the first one left.
        const bool before = anySavedFile();
        scene->saveGame();
        EXPECT_EQ(anySavedFile(), before);
        EXPECT_EQ(readSaved(document) != nullptr, c.written);

        canvas->removeSprite(scene);
        scene->release();
        scene = nullptr;
    }
}

TEST_F(SavedGameTest, AGameInProgressComesBackCellByCell)
{
    gameInProgress();
    Level* level = scene->getLevel();
    level->setBlock(0, 0, new Block(level, 0, 0, BlockTypeColour, leveltest::colourOfCode('B'), 3, true));
    const std::string before = levelText(level);
    const int levelTime = scene->getLevelTimer().getElapsed();
    saveAndLeave(scene);

    settings.continueSaved = 1;
    TestPlayScene* restored = makeScene();
    ASSERT_TRUE(restored->restoreGameInProgress(true));
    EXPECT_EQ(levelText(restored->getLevel()), before);
    for (int y = 0; y < restored->getLevel()->getHeight(); ++y)
        for (int x = 0; x < restored->getLevel()->getWidth(); ++x) {
            if (const Block* block = restored->getLevel()->getBlock(x, y)) {
                EXPECT_EQ(block->getMultiplier(), x == 0 && y == 0 ? 3 : 1) << x << "," << y;
            }
        }
    EXPECT_EQ(restored->getScore(), 1234);
    EXPECT_EQ(restored->getLevel()->getLevelNumber(), 4);
    EXPECT_EQ(restored->getHintCount(2), 0);
    EXPECT_EQ(restored->getHintCount(15), 9);
    EXPECT_EQ(restored->getLevelStats().gold, 3);
    EXPECT_EQ(restored->getGameStats().blocksremoved.get(), 100);
    EXPECT_EQ(restored->getLevelTimer().getElapsed(), levelTime);
    EXPECT_EQ(settings.continueSaved, 1);
}

TEST_F(SavedGameTest, AFinishedLevelIsNotTakenUpAsAGameInProgress)
{
    gameInProgress();
    scene->setSaveState(SaveState::LevelDone);
    saveAndLeave(scene);

    settings.continueSaved = 1;
    TestPlayScene* restored = makeScene();
    EXPECT_FALSE(restored->restoreGameInProgress(true));
    EXPECT_EQ(restored->getLevel()->getLevelNumber(), 5);
    EXPECT_EQ(restored->getScore(), 1234);
}

// A writer killed at any moment leaves the last complete saved game: the file is replaced whole or not
// at all.
TEST_F(SavedGameTest, AWriterKilledPartWayLeavesACompleteSavedGame)
{
    gameInProgress();
    scene->saveGame();
    std::random_device seeds;
    const unsigned seed = seeds();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(200, 20000);

    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves over and over with a changing score until killed (or, bounded, gives up).
            for (int i = 0; i < 200000; ++i) {
                scene->setScore(i);
                scene->setSaveState(SaveState::Playing);
                scene->saveGame();
            }
            _exit(0);
        }
        usleep(static_cast<useconds_t>(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);

        TiXmlDocument document;
        TiXmlElement* saved = readSaved(document);
        ASSERT_NE(saved, nullptr);
        int value = -1;
        EXPECT_EQ(saved->QueryIntAttribute("score", &value), TIXML_SUCCESS);
        const TiXmlElement* cells = saved->FirstChildElement("BlockList");
        ASSERT_NE(cells, nullptr);
        int count = 0;
        for (const TiXmlElement* cell = cells->FirstChildElement(); cell; cell = cell->NextSiblingElement())
            ++count;
        EXPECT_EQ(count, 30);
        EXPECT_NE(saved->FirstChildElement("GameoverTimer"), nullptr);
    }
}

} // namespace
