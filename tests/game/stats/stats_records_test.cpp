#include "game/stats/GameStats.h"

#include "compat/win32/system/machine/timer.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <vector>

namespace {

GameStats record(int biggestgroup, std::vector<int32_t> ids, uint32_t time = 0)
{
    GameStats stats;
    stats.biggestgroup = biggestgroup;
    stats.acquiredTreasures = std::move(ids);
    stats.time = time;
    return stats;
}

TEST(StatsRecords, MergingKeepsTheBestsAndAddsTheRest)
{
    GameStats game = record(9, {5}, 61000);
    game.biggestscore = 300;
    game.gold = 4;
    game.treasuresdropped = 1;
    game.clearcount.set(1);
    game.blocksremoved.set(40);

    GameStats level = record(7, {3, 5}, 2500);
    level.biggestscore = 450;
    level.gold = 6;
    level.treasuresdropped = 2;
    level.clearcount.set(2);
    level.blocksremoved.set(25);

    game.add(level);
    EXPECT_EQ(game.biggestgroup, 9);
    EXPECT_EQ(game.biggestscore, 450);
    EXPECT_EQ(game.gold, 10);
    EXPECT_EQ(game.treasuresdropped, 3);
    EXPECT_EQ(game.clearcount.get(), 3);
    EXPECT_EQ(game.blocksremoved.get(), 65);
    EXPECT_EQ(game.time, 63500u);
    EXPECT_EQ(game.acquiredTreasures, (std::vector<int32_t>{5, 3, 5}));

    game.add(record(12, {}));
    EXPECT_EQ(game.biggestgroup, 12);

    // A record merged into itself doubles instead of reading its own list while it grows.
    GameStats self = record(1, {1, 2});
    self.add(self);
    EXPECT_EQ(self.acquiredTreasures, (std::vector<int32_t>{1, 2, 1, 2}));
}

TEST(StatsRecords, TotalsAddGamesInMillisecondsAndKeepTheirCounts)
{
    DifficultyStats totals;
    totals.startcount = 3;
    totals.gameovercount = 2;
    totals.time = 120000;
    totals.addGame(record(5, {7}, 59999));
    EXPECT_EQ(totals.time, 179999u);
    EXPECT_EQ(totals.startcount, 3);
    EXPECT_EQ(totals.gameovercount, 2);
    EXPECT_EQ(totals.acquiredTreasures, std::vector<int32_t>{7});

    DifficultyStats copy;
    copy.assign(totals);
    EXPECT_EQ(copy.time, 179999u);
    EXPECT_EQ(copy.startcount, 3);
    EXPECT_EQ(copy.gameovercount, 2);
    EXPECT_EQ(copy.biggestgroup, 5);
    EXPECT_EQ(copy.acquiredTreasures, std::vector<int32_t>{7});
}

TEST(StatsRecords, ResetClearsTheCountsButNotTheTime)
{
    compat::testing::useVirtualClock(true, 777);
    LevelStats game;
    game.time = 5000;
    game.gold = 3;
    game.clearcount.set(2);
    game.acquiredTreasures = {1};
    GameStats& asBase = game;
    asBase.reset();
    EXPECT_EQ(game.time, 5000u);
    EXPECT_EQ(game.gold, 0);
    EXPECT_EQ(game.clearcount.get(), 0);
    EXPECT_TRUE(game.acquiredTreasures.empty());
    EXPECT_EQ(game.lastActionTime, 777u);
    compat::testing::useVirtualClock(false);
}

TEST(StatsRecords, SavedGameRecordsRoundTrip)
{
    LevelStats game;
    game.time = 59999;
    game.gold = 12;
    game.biggestgroup = 8;
    game.biggestscore = 960;
    game.treasuresdropped = 2;
    game.blocksremoved.set(140);
    game.clearcount.set(1);
    game.acquiredTreasures = {4, 4, 17};
    game.depth = 12.5;
    game.speedupused = true;
    game.success_clicked = true;
    game.highscorePlace = 3;

    TiXmlElement element("GameStats");
    game.saveXML(&element);
    EXPECT_STREQ(element.Attribute("time"), "59");
    EXPECT_STREQ(element.Attribute("depth"), "12.500000");
    ASSERT_NE(element.FirstChildElement("AquiredTreasures"), nullptr);

    LevelStats back;
    back.loadXML(&element);
    EXPECT_EQ(back.time, 59000u);
    EXPECT_EQ(back.gold, 12);
    EXPECT_EQ(back.biggestgroup, 8);
    EXPECT_EQ(back.biggestscore, 960);
    EXPECT_EQ(back.treasuresdropped, 2);
    EXPECT_EQ(back.blocksremoved.get(), 140);
    EXPECT_EQ(back.clearcount.get(), 1);
    EXPECT_EQ(back.acquiredTreasures, (std::vector<int32_t>{4, 4, 17}));
    EXPECT_DOUBLE_EQ(back.depth, 12.5);
    EXPECT_TRUE(back.speedupused);
    EXPECT_TRUE(back.success_clicked);
    EXPECT_EQ(back.highscorePlace, -1);
}

TEST(StatsRecords, DamagedSavedRecordsKeepWhatTheyCannotRead)
{
    struct Case {
        const char* name;
        const char* xml;
        uint32_t time;
        int gold;
        std::vector<int32_t> ids;
    };
    const Case cases[] = {
        {"items without ids are no treasures", "<S><AquiredTreasures><Item id=\"2\"/><Item/><Item id=\"x\"/><Item id=\"6\"/>"
                                                "</AquiredTreasures></S>", 0, 0, {2, 6}},
        {"no treasure list", "<S gold=\"5\" time=\"3\"/>", 3000, 5, {}},
        {"words for numbers", "<S gold=\"much\" time=\"long\"/>", 0, 0, {}},
        {"negative time", "<S time=\"-20\"/>", 0, 0, {}},
        {"time beyond the clock", "<S time=\"2147483647\"/>", 4294967000u, 0, {}},
    };
    for (const Case& c : cases) {
        TiXmlDocument document;
        document.Parse(c.xml);
        GameStats stats;
        stats.loadXML(document.RootElement());
        EXPECT_EQ(stats.time, c.time) << c.name;
        EXPECT_EQ(stats.gold, c.gold) << c.name;
        EXPECT_EQ(stats.acquiredTreasures, c.ids) << c.name;
    }
}

} // namespace
