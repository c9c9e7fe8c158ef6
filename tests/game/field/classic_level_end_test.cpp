// A whole classic level played through the input manager on the virtual clock: a row rises from the
// pipe, groups are cleared, the gold flies into the cart, the empty rows earn the line bonus, the
// statistics dialog comes and its Continue brings level 2 with a new cart. Scores are worked out by hand
// from the fixture's values: a group of three of a colour 10, gold 25 a piece at the click and again as
// each piece lands in the cart, 40 per empty row times the level number.
#include "ClassicFixture.h"

#include "game/actors/MineCart.h"

using classictest::ClassicFixture;
using classictest::ClassicProbe;

namespace {

class ClassicLevelEndTest : public ClassicFixture {
protected:
    // Clicks the cell through the input manager and waits until the field plays again.
    void clickCell(int x, int y)
    {
        press(cellX(x), cellY(y));
        ASSERT_TRUE(runUntil(
            [&] { return classic->getPhase() == PlayPhase::Playing && classic->getLevel()->getRemovingCount() == 0; },
            200));
    }
};

TEST_F(ClassicLevelEndTest, AWholeLevelFromTheFirstRowToLevelTwo)
{
    ClassicProbe* field = playingClassic();
    ASSERT_EQ(rowsHeld(), 2);
    // A row comes up from the pipe after six block times.
    ASSERT_TRUE(runUntil([&] { return rowsHeld() == 3; }, 200));
    EXPECT_EQ(field->getScore(), 0);

    field->holdPipe();
    setGrid("......\n"
            "......\n"
            "......\n"
            ".RRR..\n"
            "$$$GGG");

    clickCell(2, 3);
    EXPECT_EQ(field->getScore(), 10);
    clickCell(4, 4);
    EXPECT_EQ(field->getScore(), 20);

    // The gold: 3 x 25 at once, then three pieces fly.
    MineCart* oldCart = field->getMineCart();
    oldCart->addRef();
    press(cellX(0), cellY(4));
    EXPECT_EQ(field->getPhase(), PlayPhase::LevelUp);
    EXPECT_EQ(field->getSaveState(), SaveState::LevelDone);
    EXPECT_EQ(field->getScore(), 95);
    EXPECT_EQ(field->pendingSprites.size(), 3u);

    // Each landed piece adds 25: 170 once the cart holds all three.
    ASSERT_TRUE(runUntil([&] { return field->getPhase() == PlayPhase::LineBonus; }, 500));
    EXPECT_EQ(field->getScore(), 170);
    EXPECT_TRUE(scorePending);

    // Five empty rows: 5 x 40 x level 1.
    ASSERT_TRUE(runUntil([&] { return field->getPhase() == PlayPhase::LevelSummary; }, 500));
    EXPECT_EQ(field->getScore(), 370);
    EXPECT_EQ(field->getShownScore(), 370);
    EXPECT_EQ(services.count("openGameOverStatsDialog"), 1);

    ASSERT_TRUE(runUntil([&] { return field->getOpenDialog() && field->getOpenDialog()->getCanvas(); }, 300));
    answer(field->getOpenDialog(), "BUTTON_CONTINUE");
    // The score hand-over's question follows; the player declines it.
    ASSERT_EQ(field->getPhase(), PlayPhase::LevelSummary);
    ASSERT_NE(field->getOpenDialog(), nullptr);
    answer(field->getOpenDialog(), "BUTTON_NO");
    EXPECT_EQ(field->getPhase(), PlayPhase::CartLeaves);
    EXPECT_FALSE(scorePending);
    EXPECT_EQ(field->getSaveState(), SaveState::Ended);
    EXPECT_EQ(field->getLevel()->getLevelNumber(), 2);
    EXPECT_NE(field->getMineCart(), oldCart);

    // The new cart rolls in, then level 2 starts with its rows and the score kept.
    ASSERT_TRUE(runUntil([&] { return field->getPhase() == PlayPhase::Playing; }, 1000));
    EXPECT_EQ(field->getSaveState(), SaveState::Playing);
    EXPECT_EQ(field->getScore(), 370);
    EXPECT_EQ(rowsHeld(), 2);
    oldCart->release();
}

TEST_F(ClassicLevelEndTest, OnlyRowsEmptyBeforeTheirTurnEarnTheLineBonus)
{
    ClassicProbe* field = playingClassic();
    field->holdPipe();
    // Gold in column 0 of the top row; two rows keep a blocker each.
    setGrid("$$$...\n"
            "......\n"
            "#.....\n"
            "......\n"
            ".....#");
    press(cellX(1), cellY(0));
    EXPECT_EQ(field->getScore(), 75);
    ASSERT_TRUE(runUntil([&] { return field->getPhase() == PlayPhase::LevelSummary; }, 1000));
    // Gold 75 + 3 x 25 landed; the blockers fall and close up in the bottom row, so rows 0 to 3 are
    // empty: 4 x 40. The bottom row's blockers are cleared without a bonus.
    EXPECT_EQ(field->getScore(), 75 + 75 + 4 * 40);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(cell(x, y), nullptr) << x << "," << y;
}

} // namespace
