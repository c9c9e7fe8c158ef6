// The classic field: its start, the pipe that fills one block per block time and pushes a full row into
// the field, the speed-up, the hourglass that holds the pipe, and the fatal errors of a broken layout.
#include "ClassicFixture.h"

#include "game/block/BlockIcon.h"
#include "game/block/TempBlock.h"
#include "runtime/GameException.h"

#include <string>

using classictest::ClassicFixture;
using classictest::ClassicProbe;

namespace {

class ClassicFieldTest : public ClassicFixture {};

TEST_F(ClassicFieldTest, MissingLevelOrMenuButtonStopsWithTheIdentifier)
{
    struct Case {
        bool level;
        bool button;
        const char* id;
    };
    for (const Case& c : {Case{false, true, "LEVEL_EASY_CLASSIC"}, Case{true, false, "BUTTON_GAME_MENU_CLASSIC"}}) {
        SCOPED_TRACE(c.id);
        loadLayout(classictest::classicLayout(c.level, c.button));
        try {
            ClassicProbe field(&settings);
            ADD_FAILURE() << "no error";
        } catch (const GameTextException& error) {
            EXPECT_NE(std::string(error.getText()).find(c.id), std::string::npos) << error.getText();
        }
    }
}

TEST_F(ClassicFieldTest, LevelOneStartsWithTwoRowsAndAnEmptyPipe)
{
    ClassicProbe* field = playingClassic();
    EXPECT_EQ(field->getLevel()->getLevelNumber(), 1);
    EXPECT_EQ(rowsHeld(), 2);
    EXPECT_TRUE(field->getPipe().empty());
    EXPECT_EQ(field->getSaveState(), SaveState::Playing);
    EXPECT_EQ(services.count("openGameOverStatsDialog"), 0);
}

TEST_F(ClassicFieldTest, TheMenuButtonAndEscOpenTheMenuWhilePlaying)
{
    for (bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Esc" : "menu button");
        ClassicProbe* field = playingClassic();
        if (escape)
            field->keyTyped(27);
        else
            field->onClick(field->getMenuButton());
        frame();
        EXPECT_EQ(field->getPhase(), PlayPhase::Menu);
        EXPECT_FALSE(field->isMenuRequested());
        canvas->removeSprite(field);
        field->release();
        classic = nullptr;
    }
    EXPECT_EQ(services.count("openMainMenu"), 2);
}

TEST_F(ClassicFieldTest, PipeFillsOneBlockPerBlockTimeThenPushesTheRowIn)
{
    ClassicProbe* field = playingClassic();
    Level* level = field->getLevel();
    // One block per block time: after 3.5 block times three blocks wait.
    for (int i = 0; i < 18; ++i)
        frame();
    EXPECT_EQ(level->getNewRow().size(), 3u);
    EXPECT_EQ(field->getPipe().size(), 3u);
    // Blocks enter from the far end and settle in their slots, right to left.
    ASSERT_TRUE(runUntil([&] { return level->getNewRow().size() == 6u && level->isNewRowSettled(); }, 200));
    const Point& shift = getResourcePoint("POINT_PIPE_SHIFT_POS");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(level->getNewRow()[static_cast<std::size_t>(i)]->getX(), shift.x - i * 16) << i;
    // The next due step pushes the row in and empties the pipe.
    ASSERT_TRUE(runUntil([&] { return rowsHeld() == 3; }, 20));
    EXPECT_TRUE(field->getPipe().empty());
    EXPECT_TRUE(level->getNewRow().empty());
}

// A waiting gold block shows in the shaft as it does in the field: its copy there carries the icon,
// on the canvas, at the copy's place.
TEST_F(ClassicFieldTest, AWaitingBlockShowsItsIconInTheShaft)
{
    ClassicProbe* field = playingClassic();
    field->holdPipe();
    Level* level = field->getLevel();
    auto* gold = new Block(level, 0, level->getRows(), BlockTypeGold, 0, 1, true);
    field->addPipeBlock(gold);
    ASSERT_EQ(field->getPipe().size(), 1u);
    TempBlock* shown = field->getPipe().back();
    ASSERT_NE(gold->getIcon(), nullptr);
    BlockIcon* icon = shown->getIcon();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->getCanvas(), canvas);
    EXPECT_EQ(icon->getX(), shown->getX() + icon->getOffsetX());
    EXPECT_EQ(icon->getY(), shown->getY() + icon->getOffsetY());
}

TEST_F(ClassicFieldTest, SpeedUpBringsBlocksAtTheFastTimeUnlessTheTopIsReached)
{
    ClassicProbe* field = playingClassic();
    field->onChar(' ');
    EXPECT_TRUE(field->speedUpActive);
    EXPECT_TRUE(field->speedUpUsed);
    // Fast blocks: 200 ms bring two blocks at the normal time, more at the fast one.
    for (int i = 0; i < 10; ++i)
        frame();
    EXPECT_GE(field->getLevel()->getNewRow().size(), 4u);

    // With the top row occupied the request is ignored.
    field->speedUpActive = false;
    setGrid("R.....\n......\n......\nGGGGGG\nRRRRRR");
    field->onChar(' ');
    EXPECT_FALSE(field->speedUpActive);
}

TEST_F(ClassicFieldTest, FullPipeUnderAnOccupiedTopRunsTheCountdownInstead)
{
    ClassicProbe* field = playingClassic();
    Level* level = field->getLevel();
    ASSERT_TRUE(runUntil([&] { return level->getNewRow().size() == 6u && level->isNewRowSettled(); }, 200));
    setGrid("R.....\nG.....\nR.....\nGGGGGG\nRRRRRR");
    field->speedUpActive = true;
    for (int i = 0; i < 8; ++i)
        frame();
    EXPECT_EQ(level->getNewRow().size(), 6u);
    EXPECT_EQ(field->getPipe().size(), 6u);
    EXPECT_TRUE(field->gameoverTimer.isEnabled());
    EXPECT_FALSE(field->speedUpActive);
    EXPECT_EQ(level->getBlock(1, 0), nullptr);
}

TEST_F(ClassicFieldTest, RunningHourglassHoldsThePipe)
{
    ClassicProbe* field = playingClassic();
    field->hourglassTimer.restart(timeGetTime());
    for (int i = 0; i < 20; ++i)
        frame();
    EXPECT_TRUE(field->getLevel()->getNewRow().empty());
    // Once its time is over the pipe fills again.
    ASSERT_TRUE(runUntil([&] { return !field->getLevel()->getNewRow().empty(); }, 100));
    EXPECT_FALSE(field->hourglassTimer.isEnabled());
}

} // namespace
