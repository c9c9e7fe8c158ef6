#include "game/stats/TreasureDesc.h"

#include "StatsFixture.h"

#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/XmlCreation.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>

namespace {

using statstest::LayoutValues;
using statstest::StatsTest;
using statstest::treasure;

// The table's draw, repeated by hand: the value the program-wide generator gives next for `bound`.
int32_t nextDraw(int64_t seed, int32_t bound)
{
    Random copy;
    copy.setSeed(seed);
    return copy.nextInt(bound);
}

TEST_F(StatsTest, DescriptionsReadTheirAttributesAndKeepFieldsForUnknownWords)
{
    TiXmlDocument document;
    document.Parse("<treasuredesc name=\"Ruby\" normalfrequency=\"6\" foundfrequency=\"2\" sparkle=\"no\" "
                   "color=\"#FF8000\" rarity=\"rare\" type=\"jewel\" description=\"Red\" surface=\"IMAGE_NONE\"/>");
    auto create = ObjectFactory::findCreator("treasuredesc");
    ASSERT_NE(create, nullptr);
    std::unique_ptr<TreasureDesc> ruby(static_cast<TreasureDesc*>(create(document.RootElement())));
    EXPECT_EQ(ruby->name, "Ruby");
    EXPECT_EQ(ruby->normalfrequency, 6);
    EXPECT_EQ(ruby->foundfrequency, 2);
    EXPECT_FALSE(ruby->sparkle);
    EXPECT_EQ(ruby->color, 0xFF8000);
    EXPECT_EQ(ruby->rarity, TreasureDesc::Rare);
    EXPECT_EQ(ruby->type, TreasureDesc::Jewel);
    EXPECT_EQ(ruby->description, "Red");
    EXPECT_EQ(ruby->getSurface(), nullptr);

    TiXmlDocument unknown;
    unknown.Parse("<treasuredesc rarity=\"legendary\" type=\"hat\" sparkle=\"1\"/>");
    ruby->readXML(unknown.RootElement());
    EXPECT_EQ(ruby->rarity, TreasureDesc::Rare);
    EXPECT_EQ(ruby->type, TreasureDesc::Jewel);
    EXPECT_TRUE(ruby->sparkle);
    EXPECT_EQ(ruby->name, "Ruby");
}

TEST_F(StatsTest, TheTableHoldsTwentyFourEntriesWhateverTheDataHas)
{
    LayoutValues few;
    few.treasures = treasure(4, 1, "gem") + treasure(3, 1);
    useLayout(few);
    stats.loadTreasureDescs();
    EXPECT_EQ(stats.treasures[1].normalfrequency, 3);
    for (int id = 0; id < StatsManager::kTreasureCount; ++id)
        EXPECT_EQ(stats.treasures[id].id, id);
    EXPECT_EQ(stats.treasures[2].normalfrequency, 0);
    EXPECT_EQ(stats.treasures[23].type, TreasureDesc::Gem);

    LayoutValues many;
    for (int i = 0; i < 30; ++i)
        many.treasures += treasure(i + 1, 1);
    useLayout(many);
    stats.loadTreasureDescs();
    EXPECT_EQ(stats.treasures[23].normalfrequency, 24);
    EXPECT_EQ(stats.treasures[23].id, 23);
}

TEST_F(StatsTest, DrawPicksByRunningSumsOfWeights)
{
    LayoutValues values;
    values.treasures = treasure(5, 1) + treasure(0, 1) + treasure(3, 1);
    useLayout(values);
    stats.load();
    stats.loadTreasureDescs();
    for (int64_t seed = 1; seed <= 40; ++seed) {
        Random::global().setSeed(seed);
        stats.pickNextTreasure();
        int32_t r = nextDraw(seed, 9);
        EXPECT_EQ(stats.currentTreasure, r <= 5 ? 0 : 2) << "seed " << seed << " r " << r;
    }
    EXPECT_EQ(stats.treasures[0].drawLimit, 5);
    EXPECT_EQ(stats.treasures[1].drawLimit, 5);
    EXPECT_EQ(stats.treasures[2].drawLimit, 8);
    EXPECT_EQ(stats.treasures[3].drawLimit, 8);

    // With no weight anywhere the draw is 0 and the head of the table wins.
    useLayout(LayoutValues());
    stats.loadTreasureDescs();
    stats.pickNextTreasure();
    EXPECT_EQ(stats.currentTreasure, 0);
}

TEST_F(StatsTest, OwnedTreasuresStopDroppingAfterTheFirstFewUntilTheChestIsFull)
{
    LayoutValues values;
    values.untilNotRandom = 2;
    for (int i = 0; i < 24; ++i)
        values.treasures += treasure(1, 1);
    useLayout(values);
    stats.loadTreasureDescs();
    stats.load();

    stats.currentTreasure = 0;
    stats.acquireTreasure();
    stats.pickNextTreasure();
    EXPECT_EQ(stats.treasures[0].drawLimit, 1) << "one treasure taken: every treasure can drop";

    stats.currentTreasure = 0;
    stats.acquireTreasure();
    stats.pickNextTreasure();
    EXPECT_EQ(stats.treasures[0].drawLimit, -1) << "two taken: the owned one is out";
    EXPECT_EQ(stats.treasures[1].drawLimit, 1);
    EXPECT_NE(stats.currentTreasure, 0);

    for (int id = 1; id < 24; ++id) {
        stats.currentTreasure = id;
        stats.acquireTreasure();
    }
    EXPECT_EQ(stats.distinctOwned, 24);
    stats.pickNextTreasure();
    EXPECT_EQ(stats.treasures[0].drawLimit, 1) << "all owned: all drop again";
    EXPECT_EQ(stats.treasures[23].drawLimit, 24);
}

TEST_F(StatsTest, CountdownRestartsBetweenMinimumAndMaximum)
{
    stats.load();
    for (int i = 0; i < 200; ++i) {
        stats.restartTreasureCountdown();
        EXPECT_GE(stats.treasureCountdown, 20);
        EXPECT_LE(stats.treasureCountdown, 29);
    }
    LayoutValues values;
    values.dropMin = values.dropMax = 12;
    useLayout(values);
    stats.restartTreasureCountdown();
    EXPECT_EQ(stats.treasureCountdown, 12);
    values.dropMax = 3;
    useLayout(values);
    stats.restartTreasureCountdown();
    EXPECT_EQ(stats.treasureCountdown, 12);
}

TEST_F(StatsTest, ADueTreasureDropsAndIsCounted)
{
    LayoutValues values;
    values.treasures = treasure(0, 0) + treasure(7, 1);
    useLayout(values);
    stats.loadTreasureDescs();
    stats.load();
    EXPECT_EQ(stats.treasureCountdown, 40);
    EXPECT_FALSE(stats.isTreasureDue());
    stats.treasureCountdown = 0;
    EXPECT_TRUE(stats.isTreasureDue());

    stats.dirty = false;
    Random::global().setSeed(99);
    int32_t r = nextDraw(99, 8);
    stats.dropTreasure();
    EXPECT_EQ(stats.currentTreasure, r == 0 ? 0 : 1);
    EXPECT_EQ(stats.treasures[stats.currentTreasure].dropcount, 1);
    EXPECT_EQ(stats.droppedThisGame, 1);
    EXPECT_EQ(stats.treasuresdroppedsince, 1);
    EXPECT_TRUE(stats.dirty);
    EXPECT_GE(stats.treasureCountdown, 20);
    EXPECT_LE(stats.treasureCountdown, 29);
    EXPECT_FALSE(stats.isTreasureDue());
}

TEST_F(StatsTest, TakingTreasuresCountsThemAndReportsTheBonusReached)
{
    LayoutValues values;
    values.unlockAmounts = "<Item>3</Item><Item>6</Item><Item>10</Item>";
    for (int i = 0; i < 24; ++i)
        values.treasures += treasure(1, 1, i == 6 ? "gem" : "coin");
    useLayout(values);
    stats.loadTreasureDescs();
    stats.load();

    for (int id = 0; id < 5; ++id) {
        stats.currentTreasure = id;
        stats.acquireTreasure();
    }
    stats.treasuresdroppedsince = 4;
    stats.currentTreasure = 5;
    stats.acquireTreasure();
    EXPECT_EQ(stats.newBonus, 1) << "the sixth different treasure reaches the second threshold";
    EXPECT_EQ(stats.treasuresdroppedsince, 0);
    EXPECT_FALSE(stats.lasttabpage);

    stats.currentTreasure = 6;
    stats.acquireTreasure();
    EXPECT_EQ(stats.newBonus, 0);
    EXPECT_TRUE(stats.lasttabpage);

    stats.currentTreasure = 2;
    stats.acquireTreasure();
    EXPECT_EQ(stats.newBonus, 0);
    EXPECT_EQ(stats.distinctOwned, 7);
    EXPECT_EQ(stats.totalTaken, 8);
    EXPECT_EQ(stats.takenThisGame, 8);
    EXPECT_EQ(stats.treasures[2].aquirecount, 2);

    // No treasure picked (or one out of the table): nothing is taken.
    stats.currentTreasure = -1;
    stats.acquireTreasure();
    stats.currentTreasure = 24;
    stats.acquireTreasure();
    EXPECT_EQ(stats.totalTaken, 8);
}

} // namespace

TEST_F(StatsTest, ATreasureElementWhereASpriteBelongsBuildsNothing)
{
    // A treasure description is not a sprite: a layout that names one in a sprite's place gets no
    // sprite, rather than a description read as one.
    TiXmlDocument document;
    document.Parse("<treasuredesc name=\"Ruby\"/>");
    EXPECT_EQ(createSpriteFromXml(document.RootElement()), nullptr);
    std::unique_ptr<TreasureDesc> ruby(
        static_cast<TreasureDesc*>(ObjectFactory::createFromXml(document.RootElement(), TreasureDesc::kFamily)));
    ASSERT_NE(ruby, nullptr);
    EXPECT_EQ(ruby->name, "Ruby");
}
