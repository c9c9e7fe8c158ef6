// The endless level: depth spans and the scroll-speed curve, the depth read from the scroll position,
// the generator's bag draws with a seeded Random, a row pushed in without the picture jumping, and the
// saved state.
#include "../level/LevelTestSupport.h"

#include "game/endless/EndlessLevel.h"
#include "game/stats/StatsManager.h"
#include "runtime/Random.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using leveltest::LevelFixture;

namespace {

constexpr int kBlock = 16;

class EndlessLevelTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        loadLayout("<Layout><IntegerVector id=\"VECTOR_TREASURE_UNLOCK_AMOUNT\"><Item>0</Item><Item>1</Item>"
                   "<Item>2</Item><Item>3</Item><Item>4</Item><Item>5</Item><Item>6</Item></IntegerVector></Layout>");
        StatsManager::instance().distinctOwned = 0;
    }

    EndlessLevel* make(const std::string& xml)
    {
        documents.push_back(std::make_unique<TiXmlDocument>());
        TiXmlDocument& document = *documents.back();
        document.Parse(xml.c_str());
        EXPECT_FALSE(document.Error()) << xml;
        auto* made = static_cast<RefObject*>(EndlessLevel::create(document.RootElement()));
        auto* level = dynamic_cast<EndlessLevel*>(made);
        level->addRef();
        levels.push_back(level);
        return level;
    }

    // A 4 x 6 field of 16-pixel blocks with the given level elements, started at level 1.
    EndlessLevel* started(const std::string& levelElements, int initLines = 2)
    {
        EndlessLevel* level = make("<endlesslevel width='4' height='6' blockwidth='16' blockheight='16' "
                                   "nrofinitlines='" + std::to_string(initLines) + "'>" + levelElements +
                                   "</endlesslevel>");
        level->setLevelNumber(1);
        level->startLevel();
        return level;
    }

    // The scroll position at which the field has reached the depth.
    static double positionAt(const EndlessLevel* level, double depth)
    {
        return level->getRows() * kBlock - depth * EndlessLevel::kRowsPerDepth * kBlock;
    }

    static int kindOf(Block* block)
    {
        block->addRef();
        const int kind = block->getType() == BlockTypeColour ? block->getColour() : 100 + block->getType();
        block->release();
        return kind;
    }
};

TEST_F(EndlessLevelTest, DepthSpansFollowEachOtherAndTheSpeedEasesAcrossThem)
{
    EndlessLevel* level = started("<level leveldepth='10' minspeed='1' maxspeed='3' color1ratio='1'/>"
                                  "<level leveldepth='15' minspeed='2' maxspeed='6' color1ratio='1'/>");
    EXPECT_EQ(level->getPrevLevelEnd(), 0);
    EXPECT_EQ(level->getNextLevelEnd(), 10);

    // With the field unscrolled the depth is the field's height in rows over six.
    level->setScrollPosition(0.0);
    EXPECT_FLOAT_EQ(level->getDepth(), 1.0f);

    struct Case { double depth; float speed; };
    for (const Case& c : {Case{0.0, 1.0f}, Case{5.0, 2.0f}, Case{2.5, 1.0f + 2.0f * 0.15625f}, Case{10.0, 3.0f}}) {
        level->setScrollPosition(positionAt(level, c.depth));
        EXPECT_NEAR(level->getSpeed(), c.speed, 1e-5) << "depth " << c.depth;
    }

    level->setScrollPosition(positionAt(level, 9.99));
    EXPECT_FALSE(level->isLevelEnd());
    level->setScrollPosition(positionAt(level, 10.5));
    EXPECT_TRUE(level->isLevelEnd());

    level->setLevelNumber(2);
    level->startLevel();
    EXPECT_EQ(level->getPrevLevelEnd(), 10);
    EXPECT_EQ(level->getNextLevelEnd(), 25);
    for (const Case& c : {Case{10.0, 2.0f}, Case{17.5, 4.0f}, Case{25.0, 6.0f}}) {
        level->setScrollPosition(positionAt(level, c.depth));
        EXPECT_NEAR(level->getSpeed(), c.speed, 1e-5) << "depth " << c.depth;
    }

    // Past the last definition the last one repeats.
    level->setLevelNumber(3);
    level->startLevel();
    EXPECT_EQ(level->getNextLevelEnd(), 40);
    EXPECT_FLOAT_EQ(level->getMaxSpeed(), 6.0f);
}

// A damaged saved game may put the depth far from the level's span: the speed stays at the nearer end
// instead of running off the curve (which would scroll the field by astronomic distances).
TEST_F(EndlessLevelTest, FarOutsideItsSpanTheSpeedStaysAtTheNearerEnd)
{
    EndlessLevel* level = started("<level leveldepth='10' minspeed='1' maxspeed='3' color1ratio='1'/>");
    struct Case { int prev, next; float speed; };
    for (const Case& c : {Case{1000, 1005, 1.0f}, Case{-1005, -1000, 3.0f}, Case{-2147483647 - 1, -2147483549, 3.0f}}) {
        TiXmlElement saved("Level");
        saved.SetAttribute("prevlevelend", c.prev);
        saved.SetAttribute("nextlevelend", c.next);
        level->loadState(&saved);
        level->setScrollPosition(positionAt(level, 2.0));
        EXPECT_FLOAT_EQ(level->getSpeed(), c.speed) << c.prev << ".." << c.next;
    }
}

TEST_F(EndlessLevelTest, EveryBagEntryCanBeDrawnTheLastOneToo)
{
    // Colour entries then one bucket appended last: the bucket must come.
    EndlessLevel* level = started("<level nroflines='1000' color1ratio='3' bucketratio='1'/>", 0);
    Random::global().setSeed(11);
    std::set<int> kinds;
    for (int i = 0; i < 200; ++i)
        kinds.insert(kindOf(level->createNextBlock(0, 5)));
    EXPECT_TRUE(kinds.count(100 + BlockTypeBucket));

    // A bag of a single entry always gives it.
    EndlessLevel* single = started("<level nroflines='1000' color3ratio='1'/>", 0);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(kindOf(single->createNextBlock(0, 5)), 2);
}

TEST_F(EndlessLevelTest, FirstLevelStartRowsHoldNoSpecialsAndNewBlocksWaitDisabled)
{
    EndlessLevel* level = started("<level nroflines='1000' color1ratio='1' hammerratio='5'/>", 2);
    Random::global().setSeed(3);
    level->createInitialLines();
    EXPECT_EQ(gridText(level), "....\n....\n....\n....\nRRRR\nRRRR");
    EXPECT_EQ(level->getRowsAdded(), 2);
    EXPECT_EQ(level->getPixelsCreated(), 2 * kBlock);
    for (int x = 0; x < 4; ++x)
        EXPECT_TRUE(level->getBlock(x, 5)->isEnabled());

    // Past the start rows the hammers come.
    std::set<int> kinds;
    for (int i = 0; i < 40; ++i) {
        Block* block = level->createNextBlock(0, 5);
        block->addRef();
        EXPECT_FALSE(block->isEnabled());
        kinds.insert(kindOf(block));
        block->release();
    }
    EXPECT_TRUE(kinds.count(100 + BlockTypeHammer));
}

TEST_F(EndlessLevelTest, GoldComesOnlyFromItsOwnRollAndEmptiesTheBagFirstTime)
{
    EndlessLevel* level = started("<level nroflines='0' goldspacing='0' color1ratio='4' goldratio='50'/>", 0);
    Random::global().setSeed(5);
    int gold = 0;
    for (int i = 0; i < 100; ++i) {
        const int kind = kindOf(level->createNextBlock(0, 5));
        if (kind == 100 + BlockTypeGold)
            ++gold;
        else
            EXPECT_EQ(kind, 0);
    }
    EXPECT_GT(gold, 0);
    EXPECT_EQ(level->getGoldGenerated(), gold);
}

TEST_F(EndlessLevelTest, MultiplierAboveTheCapComesAsOne)
{
    // Every colour entry carries multiplier 4 (multiplierratio 10 raises each of one entry to 4 last).
    EndlessLevel* level = started("<level nroflines='1000' color1ratio='1' multiplierratio='10'/>", 0);
    Random::global().setSeed(1);
    Block* first = level->createNextBlock(0, 5);
    EXPECT_EQ(first->getMultiplier(), 4);
    level->setBlock(0, 5, first);
    // The store allows 16: 4 x 4 fits, 4 x 4 x 4 does not.
    Block* second = level->createNextBlock(1, 5);
    EXPECT_EQ(second->getMultiplier(), 4);
    level->setBlock(1, 5, second);
    Block* third = level->createNextBlock(2, 5);
    EXPECT_EQ(third->getMultiplier(), 1);
    level->setBlock(2, 5, third);
}

TEST_F(EndlessLevelTest, InsertedRowMovesNoBlockOnScreen)
{
    EndlessLevel* level = started("<level nroflines='1000' color1ratio='1' color2ratio='1'/>", 3);
    Random::global().setSeed(9);
    level->createInitialLines();
    level->setScrollPosition(-37.5);
    for (int i = 0; i < 4; ++i)
        level->makeWaitingBlock();

    std::vector<std::vector<int>> before(4, std::vector<int>(6, -1));
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 6; ++y)
            if (Block* block = level->getBlock(x, y))
                before[x][y] = block->getY();
    std::vector<int> waitingY;
    std::vector<Block*> waiting = level->getNewRow();
    for (Block* block : waiting) {
        block->addRef();
        waitingY.push_back(block->getY());
    }
    const int countBefore = level->getBlockCount();

    level->insertRow();

    for (int x = 0; x < 4; ++x)
        for (int y = 1; y < 6; ++y)
            if (before[x][y] >= 0) {
                ASSERT_NE(level->getBlock(x, y - 1), nullptr);
                EXPECT_EQ(level->getBlock(x, y - 1)->getY(), before[x][y]) << x << "," << y;
            }
    for (std::size_t i = 0; i < waiting.size(); ++i) {
        Block* block = waiting[i];
        EXPECT_EQ(level->getBlock(block->getColumn(), 5), block);
        EXPECT_EQ(block->getY(), waitingY[i]);
        EXPECT_TRUE(block->isEnabled());
        block->release();
    }
    EXPECT_EQ(level->getBlockCount(), countBefore + 4);
    EXPECT_TRUE(level->getNewRow().empty());
    EXPECT_EQ(level->getRowsAdded(), 4);
    EXPECT_EQ(level->getPixelsCreated(), 4 * kBlock);
    gridText(level);
}

TEST_F(EndlessLevelTest, SavedStateRoundTrips)
{
    const std::string levels = "<level leveldepth='10' color1ratio='1' color2ratio='1'/>"
                               "<level leveldepth='15' color1ratio='1'/>";
    EndlessLevel* level = started(levels, 2);
    Random::global().setSeed(4);
    level->createInitialLines();
    level->setLevelNumber(2);
    level->startLevel();
    for (int i = 0; i < 4; ++i)
        level->makeWaitingBlock();
    level->insertRow();

    TiXmlElement saved("Level");
    level->saveState(&saved);
    int rows = 0;
    saved.QueryIntAttribute("nrlinescreated", &rows);
    EXPECT_EQ(rows, 3);

    EndlessLevel* restored = started(levels, 2);
    restored->loadState(&saved);
    EXPECT_EQ(restored->getRowsAdded(), 3);
    EXPECT_EQ(restored->getPrevLevelEnd(), 10);
    EXPECT_EQ(restored->getNextLevelEnd(), 25);
    EXPECT_EQ(restored->getPixelsCreated(), 3 * kBlock);
    EXPECT_EQ(gridText(restored), gridText(level));
}

} // namespace
