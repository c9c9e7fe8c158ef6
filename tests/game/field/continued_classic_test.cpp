// A classic game continued the way the program continues it: the field saves its game with its own call
// (as the play screen does when the window closes), and a fresh field made with the continue flag takes
// it up in its start of the game. The grid, the pipe, the score, the level and the timers are what was
// left, in the frame of the restore and in every frame of the fade-in that follows.
#include "ClassicFixture.h"

#include <gtest/gtest.h>

#include <string>

using classictest::ClassicFixture;
using classictest::ClassicProbe;

namespace {

// What a player could tell apart of a classic game, cell by cell.
struct ClassicState {
    std::string grid; // code and multiplier of each cell, row by row
    std::string pipe; // the pipe's blocks in order
    int score = 0;
    int level = 0;
    int blockTime = 0;
    int levelTime = 0;
    bool treasureRunning = false;
    bool hourglassRunning = false;
};

ClassicState stateOf(ClassicProbe* field)
{
    ClassicState state;
    Level* level = field->getLevel();
    for (int y = 0; y < level->getRows(); ++y) {
        for (int x = 0; x < level->getColumns(); ++x) {
            const Block* block = level->getBlock(x, y);
            state.grid += leveltest::codeOf(block);
            state.grid += block != nullptr ? std::to_string(block->getMultiplier()) : std::string(" ");
        }
        state.grid += '\n';
    }
    for (const TempBlock* block : field->getPipe())
        state.pipe += leveltest::codeOf(block->getSource());
    state.score = field->getScore();
    state.level = level->getLevelNumber();
    state.blockTime = field->getBlockTimer().getElapsed();
    state.levelTime = field->getLevelTimer().getElapsed();
    state.treasureRunning = field->getTreasureTimer().isRunning();
    state.hourglassRunning = field->getHourglassTimer().isRunning();
    return state;
}

bool fadedIn(ClassicProbe* field)
{
    Level* level = field->getLevel();
    for (int y = 0; y < level->getRows(); ++y)
        for (int x = 0; x < level->getColumns(); ++x)
            if (const Block* block = level->getBlock(x, y); block != nullptr && block->getAlpha() != 255)
                return false;
    return true;
}

class ContinuedClassicTest : public ClassicFixture {};

TEST_F(ContinuedClassicTest, TheFieldComesBackAsLeftAndHoldsThroughItsFadeIn)
{
    ClassicProbe* field = playingClassic();
    // A game some way in: blocks waiting in the pipe, points and a second level.
    ASSERT_TRUE(runUntil([&] { return field->getPipe().size() >= 3; }, 100));
    setGrid("......\n"
            "......\n"
            "..G...\n"
            "RRGB..\n"
            "BBGRRG\n");
    field->setScore(4321);
    field->getLevel()->setLevelNumber(2);
    frame();
    const ClassicState left = stateOf(field);
    ASSERT_GE(left.pipe.size(), 3u);
    ASSERT_GT(left.levelTime, 0);
    saveAndLeave(classic);

    settings.continueSaved = 1;
    // The frame in which the game starts again.
    showField(classic, [&] { return classic->getPhase() >= PlayPhase::Intro; });
    ASSERT_GE(classic->getPhase(), PlayPhase::Intro);
    ClassicState now = stateOf(classic);
    EXPECT_EQ(now.grid, left.grid);
    EXPECT_EQ(now.pipe, left.pipe);
    EXPECT_EQ(now.score, 4321);
    EXPECT_EQ(now.level, 2);
    EXPECT_EQ(now.blockTime, left.blockTime);
    EXPECT_EQ(now.levelTime, left.levelTime);
    EXPECT_FALSE(now.treasureRunning);
    EXPECT_FALSE(now.hourglassRunning);
    EXPECT_EQ(settings.continueSaved, 0);
    EXPECT_FALSE(fadedIn(classic));

    // The blocks fade in over the next frames; the game stands as it was left, its clocks running on
    // from where they stood, until the next block is due in the pipe.
    int frames = 0;
    while (!fadedIn(classic) && frames < 100) {
        frame();
        ++frames;
        SCOPED_TRACE(frames);
        now = stateOf(classic);
        EXPECT_EQ(now.grid, left.grid);
        EXPECT_EQ(now.score, 4321);
        EXPECT_EQ(now.level, 2);
        EXPECT_EQ(now.levelTime, left.levelTime + frames * 20);
        if (left.blockTime + frames * 20 < classictest::kBlockTime)
            EXPECT_EQ(now.pipe, left.pipe);
        else
            EXPECT_EQ(now.pipe.substr(0, left.pipe.size()), left.pipe);
    }
    EXPECT_TRUE(fadedIn(classic));
    EXPECT_GT(frames, 1);
}

} // namespace
