// The arithmetic of a group click: points by the clicked block's kind, the difficulty factor, the
// product of the selected multipliers and the floater text; a treasure's blink plan and where a treasure
// may drop.
#include "../level/LevelTestSupport.h"

#include "game/field/BlinkPlan.h"
#include "game/field/GroupScore.h"
#include "game/field/TreasureDrop.h"
#include "runtime/Random.h"
#include "toolkit/sprite/Sprite.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using leveltest::LevelFixture;

namespace {

// The data set's score values (properties/default.uprop) and difficulty factors (layout/base.xml).
const ScoreValues kData{10, 5, 25, 250, 20};
constexpr float kEasy = 1.0f;
constexpr float kNormal = 1.5f;
constexpr float kHard = 2.0f;

class ClickScoreTest : public LevelFixture {
protected:
    // Selects the group of the block at (x, y) and gives the listed cells their multipliers.
    Level* selectedGroup(const char* grid, int x, int y, const std::vector<std::vector<int>>& multipliers)
    {
        Level* level = levelFromGrid(grid);
        for (const std::vector<int>& m : multipliers) {
            Block* old = level->getBlock(m[0], m[1]);
            level->setBlock(m[0], m[1], new Block(level, m[0], m[1], old->getType(), old->getColour(), m[2], true));
        }
        level->selectGroup(level->getBlock(x, y));
        return level;
    }
};

struct GroupCase {
    const char* name;
    const char* grid;
    int x, y;
    std::vector<std::vector<int>> multipliers; // column, row, multiplier
    bool quattro;
    float factor;
    int points;
    int multiplier;
    const char* text;
};

TEST_F(ClickScoreTest, GroupsScoreByKindSizeMultipliersAndDifficulty)
{
    const GroupCase cases[] = {
        // 10: a group of exactly the minimum.
        {"three of a colour, easy", "RRRG", 0, 0, {}, false, kEasy, 10, 1, "+10"},
        // 10 + 5 = 15, times 1.5 = 22.5, truncated.
        {"four of a colour, normal truncates", "RRRR", 0, 0, {}, false, kNormal, 22, 1, "+22"},
        // 10 + 5 + 6 = 21, times 1.5 = 31.5.
        {"five of a colour, normal", "RRRRR", 0, 0, {}, false, kNormal, 31, 1, "+31"},
        // Quattro: four is the minimum, 10 x 2.
        {"four in quattro, hard", "RRRR", 0, 0, {}, true, kHard, 20, 1, "+20"},
        // 10 + 5 + 6 + 7 = 28; multipliers 2 x 3 on the group, the 4 on another colour does not count.
        {"six with multipliers 2 and 3", "RRRRRRG", 0, 0, {{1, 0, 2}, {4, 0, 3}, {6, 0, 4}}, false, kEasy, 28, 6,
         "+28x6"},
        {"multiplier 1 changes nothing", "RRRG", 0, 0, {{0, 0, 1}, {1, 0, 1}}, false, kHard, 20, 1, "+20"},
        // 25 per gold block, no initial value: 4 x 25 x 1.5.
        {"four gold, normal", "$$$$", 0, 0, {}, false, kNormal, 150, 1, "+150"},
        {"treasure, hard", "R\nT", 0, 1, {}, false, kHard, 500, 1, "+500"},
        // Tools score once whatever they take: 20 x 1.5.
        {"bomb, normal", "RRR\nRoR\nRRR", 1, 1, {}, false, kNormal, 30, 1, "+30"},
        {"bucket, easy", "RG\nuB", 0, 1, {}, false, kEasy, 20, 1, "+20"},
        // The product runs over every selected colour block, whatever was clicked.
        {"tnt with a multiplier in the field", "xR\nGR", 0, 0, {{1, 0, 3}}, false, kEasy, 20, 3, "+20x3"},
    };
    for (const GroupCase& c : cases) {
        SCOPED_TRACE(c.name);
        Level* level = selectedGroup(c.grid, c.x, c.y, c.multipliers);
        const Block* clicked = level->getBlock(c.x, c.y);
        const int points =
            scaleGroupPoints(groupBasePoints(kData, clicked->getType(), level->getSelectedCount(),
                                             Level::getMinimumGroup(BlockTypeColour, c.quattro)),
                             c.factor);
        EXPECT_EQ(points, c.points);
        EXPECT_EQ(groupMultiplier(*level), c.multiplier);
        EXPECT_EQ(scoreFloaterText(points, groupMultiplier(*level)), c.text);
    }
}

TEST_F(ClickScoreTest, NoBlockOrBlockerKeepsTheInitialValue)
{
    EXPECT_EQ(scaleGroupPoints(groupBasePoints(kData, BlockTypeNone, 0, 3), kNormal), 15);
    EXPECT_EQ(scaleGroupPoints(groupBasePoints(kData, BlockTypeBlocker, 1, 3), kEasy), 10);
    // A selection below the minimum adds nothing.
    EXPECT_EQ(groupBasePoints(kData, BlockTypeColour, 2, 3), 10);
}

TEST_F(ClickScoreTest, HugeGroupsAndProductsStayInsideTheIntRange)
{
    // A full-screen group: closed-form sum, no overflow before the factor.
    EXPECT_EQ(groupBasePoints(kData, BlockTypeColour, 100003, 3), 10 + 100000LL * 5 + 100000LL * 99999 / 2);
    EXPECT_EQ(scaleGroupPoints(static_cast<std::int64_t>(INT_MAX) * 4, kHard), INT_MAX);
    EXPECT_EQ(scaleGroupPoints(-7, kNormal), -10);
    EXPECT_EQ(groupTotal(1 << 20, 1 << 20), INT_MAX);

    // Twelve x8 blocks: 8^12 does not fit an int.
    std::vector<std::vector<int>> eights;
    for (int x = 0; x < 12; ++x)
        eights.push_back({x, 0, 8});
    Level* level = selectedGroup("RRRRRRRRRRRR", 0, 0, eights);
    EXPECT_EQ(groupMultiplier(*level), INT_MAX);
}

TEST(BlinkPlanTest, BlinksSpeedUpWithoutNegativeWaits)
{
    // 6000 ms at 50 frames per second are 300 frames; blinks of 600 ms are 30 frames: 11 blinks, each
    // shown 3 frames less than the one before and hidden 3 frames more.
    const std::vector<BlinkStep> treasure = makeBlinkPlan(6000, 600, 50);
    ASSERT_EQ(treasure.size(), 11u);
    for (std::size_t i = 0; i < treasure.size(); ++i) {
        EXPECT_DOUBLE_EQ(treasure[i].shown, 30.0 - 3.0 * static_cast<double>(i));
        EXPECT_DOUBLE_EQ(treasure[i].hidden, 3.0 * static_cast<double>(i));
    }

    // A span that is no whole number of blinks: 350 / 30 frames, 12 blinks, the last one still shown.
    const std::vector<BlinkStep> hourglass = makeBlinkPlan(7000, 600, 50);
    ASSERT_EQ(hourglass.size(), 12u);
    EXPECT_GT(hourglass.back().shown, 0.0);
    for (const BlinkStep& step : hourglass)
        EXPECT_GE(step.shown, 0.0);
}

TEST(BlinkPlanTest, BadTimesPlanNothingOrABoundedPlan)
{
    EXPECT_TRUE(makeBlinkPlan(6000, 0, 50).empty());
    EXPECT_TRUE(makeBlinkPlan(6000, -600, 50).empty());
    EXPECT_TRUE(makeBlinkPlan(0, 600, 50).empty());
    EXPECT_TRUE(makeBlinkPlan(-1, 600, 50).empty());
    EXPECT_EQ(makeBlinkPlan(6000, 1, 50).size(), static_cast<std::size_t>(kMaxBlinks));
    EXPECT_EQ(makeBlinkPlan(1e12, 600, 50).size(), static_cast<std::size_t>(kMaxBlinks));

    // Four blocking modifiers per blink.
    auto* sprite = new Sprite;
    sprite->addRef();
    applyBlinkPlan(sprite, makeBlinkPlan(1200, 600, 50), 0, 255, 1.0f);
    EXPECT_EQ(sprite->getModifiers().size(), 12u);
    sprite->release();
}

class TreasureDropTest : public LevelFixture {};

TEST_F(TreasureDropTest, ColumnsFitByTheirStackAndTheHeightOfTheirTopBlock)
{
    // Columns: empty; top in row 1; gold below; bomb; top in row 2; top in row 3; top in row 0.
    Level* level = levelFromGrid("......R\n.R....R\n.R$.G.R\n.RRoGBR");
    auto fitting = [level](TreasureRows range) {
        std::string columns;
        for (int x = 0; x < level->getColumns(); ++x)
            columns += columnTakesTreasure(*level, x, range) ? '+' : '-';
        return columns;
    };
    EXPECT_EQ(fitting(clampTreasureRows(4, 1, 3)), "-+--++-");
    EXPECT_EQ(fitting(clampTreasureRows(4, 2, 2)), "----+--");
    // A limit that reaches row 0 would put the treasure onto the block there.
    EXPECT_EQ(fitting(clampTreasureRows(4, 0, 3)), "-+--++-");
    // A maximum below the minimum, or past the bottom row, fits nothing more than the field allows.
    EXPECT_EQ(fitting(clampTreasureRows(4, 3, 1)), "-------");
    EXPECT_EQ(fitting(clampTreasureRows(4, 3, 40)), "-----+-");
}

TEST_F(TreasureDropTest, NoColumnFitsWhenEveryStackHoldsABarrier)
{
    Level* level = levelFromGrid("....\nR$R#\n$RuR\nRRxR");
    EXPECT_EQ(findTreasureColumn(*level, clampTreasureRows(4, 1, 3), Random::global()), -1);

    Level* open = levelFromGrid("....\n.R..\nRRRR");
    const int column = findTreasureColumn(*open, clampTreasureRows(3, 1, 2), Random::global());
    EXPECT_TRUE(column >= 0 && column < 4);
}

} // namespace
