// Hints: which of the sixteen applies first, the two stocks they are spent from, the panel sliding in
// with its blocks blinking, and the automatic requests and removals of the playing phase.
#include "FieldFixture.h"

#include "game/effects/HintSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using fieldtest::FieldFixture;
using fieldtest::TestPlayScene;

namespace {

// The field with the hint state a test sets directly.
class HintScene : public TestPlayScene {
public:
    using TestPlayScene::TestPlayScene;
    using PlayScene::hasClicked;
    using PlayScene::hintTimer;
    using PlayScene::speedUpUsed;
};

class HintsTest : public FieldFixture {
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        std::string layout = fieldtest::fieldLayout();
        layout.insert(layout.rfind("</Layout>"), R"xml(
  <Rectangle id="RECT_HINT_CLIP_RECT_CLASSIC" x="40" y="0" width="96" height="104"/>
  <Rectangle id="RECT_HINT_CLIP_RECT_ENDLESS" x="40" y="0" width="96" height="104"/>
  <Integer id="INT_HINT_Y_POS_CLASSIC">4</Integer>
  <Integer id="INT_HINT_Y_POS_ENDLESS">4</Integer>
  <Integer id="INT_HINT_TIME">5000</Integer>
  <pixelfontlabel id="LABEL_HINT" style="normal" wrapstyle="normal"/>
  <StringVector id="STRINGS_HINTS">
    <i>0</i><i>1</i><i>2</i><i>3</i><i>4</i><i>5</i><i>6</i><i>7</i>
    <i>8</i><i>9</i><i>10</i><i>11</i><i>12</i><i>13</i><i>14</i><i>15</i>
  </StringVector>
)xml");
        loadLayout(layout);
        // The application made the catalogue that is current now; the panel's pictures go there.
        fixtureCatalogue = catalogue;
        catalogue = ResourceManager::instance();
        catalogue->storeFont("FONT_TINY", font);
        // Caps of 10 rows over a 40-pixel middle piece: a one-line hint is 25 rows high.
        addImage("IMAGE_HINT_TOP", 40, 10, 0x203040);
        addImage("IMAGE_HINT_MIDDLE", 40, 8, 0x304050);
        addImage("IMAGE_HINT_BOTTOM", 40, 10, 0x405060);
        setStocks(true, 1, 1);
    }

    void TearDown() override
    {
        catalogue = fixtureCatalogue;
        FieldFixture::TearDown();
    }

    // Hints on or off, and the same count in every kind of the player's and the game's stocks.
    void setStocks(bool enabled, int player, int game)
    {
        stats().hintsEnabled = enabled;
        for (int i = 0; i < PlayScene::kHintKinds; ++i)
            stats().hintCounts[i] = player;
        gameStock = game;
    }

    // A playing field on the grid with the stocks set and `idleMs` since the last action.
    HintScene* field(const std::string& grid, std::uint32_t idleMs = 0)
    {
        auto* made = new HintScene(&settings);
        made->addRef();
        scene = made;
        fill(grid);
        canvas->addSprite(made);
        made->setPhase(PlayPhase::Playing);
        for (int& count : made->hintCounts)
            count = gameStock;
        made->getGameStats().lastActionTime = timeGetTime() - idleMs;
        return made;
    }

    // Replaces the field of an earlier table row.
    void dropField()
    {
        if (!scene)
            return;
        canvas->removeSprite(scene);
        scene->unregisterInput();
        scene->release();
        scene = nullptr;
    }

    int gameStock = 1;
    ResourceManager* fixtureCatalogue = nullptr;
};

struct OrderCase {
    const char* name;
    const char* grid;
    int request;
    int expected; // -1: no hint
    std::vector<std::pair<int, int>> blocks;
};

TEST_F(HintsTest, TheFirstHintThatAppliesAndIsInStockIsChosen)
{
    const OrderCase cases[] = {
        {"gold before everything", "..T...\n.$....\n#o$...", 16, 3, {{2, 2}}},
        {"the treasure when nothing is golden", "..T...\nT.....\n#o....", 16, 7, {{0, 1}}},
        {"then blockers", "......\nc.....\n#o....", 16, 6, {{0, 2}}},
        {"then colour bombs, bombs, tnt", "x.....\nc.....\nRo....", 16, 8, {{0, 1}}},
        {"bombs before tnt", "x.....\nRo....", 16, 9, {{1, 1}}},
        {"tnt before line bombs", "l.....\nRx....", 16, 10, {{1, 1}}},
        {"line bombs before buckets", "u.....\nRl....", 16, 11, {{1, 1}}},
        {"buckets before hammers", "h.....\nRu....", 16, 12, {{1, 1}}},
        {"hammers before hourglasses", "g.....\nRh....", 16, 13, {{1, 1}}},
        {"hourglasses before rainbows", "r.....\nRg....", 16, 14, {{1, 1}}},
        {"rainbows last of the kinds", "R.....\nGr....", 16, 15, {{1, 1}}},
        {"the lowest, leftmost of its kind", "...o..\n..o.o.\nRGBYPR", 16, 9, {{2, 1}}},
        {"a hint asked for by number skips the others", "$.....\n#T....", 7, 7, {{1, 1}}},
        {"asked for but not on the field", "$.....\nRG....", 7, -1, {}},
        {"nothing applies", "......\nRGB...", 16, -1, {}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        HintScene* made = field(c.grid);
        std::vector<Block*> blocks;
        HintSprite* hint = made->showHint(blocks, c.request);
        if (c.expected < 0) {
            EXPECT_EQ(hint, nullptr);
        } else {
            ASSERT_NE(hint, nullptr);
            hint->addRef();
            EXPECT_EQ(hint->getHintNumber(), c.expected);
            EXPECT_EQ(hint->isAsked(), c.request == c.expected);
            ASSERT_EQ(blocks.size(), c.blocks.size());
            for (std::size_t i = 0; i < blocks.size(); ++i)
                EXPECT_EQ(blocks[i], made->getLevel()->getBlock(c.blocks[i].first, c.blocks[i].second)) << i;
            hint->release();
        }
        dropField();
    }
}

struct StockCase {
    const char* name;
    bool enabled;
    int playerGold;
    int gameGold;
    int request;
    int expected;
};

TEST_F(HintsTest, StocksDecideWhatAnyRequestShowsButNotAHintAskedForByNumber)
{
    // Gold and a treasure lie in the field: the gold hint comes first while both its stocks last.
    const StockCase cases[] = {
        {"both stocks last", true, 1, 1, 16, 3},
        {"the player's gold hints are spent", true, 0, 1, 16, 7},
        {"the game's gold hints are spent", true, 1, 0, 16, 7},
        {"hints switched off", false, 1, 1, 16, -1},
        {"switched off, asked for by number", false, 0, 0, 3, 3},
        {"spent, asked for by number", true, 0, 0, 3, 3},
    };
    for (const StockCase& c : cases) {
        SCOPED_TRACE(c.name);
        setStocks(c.enabled, 1, 1);
        stats().hintCounts[3] = c.playerGold;
        HintScene* made = field("..T...\n.$....\nRGB...");
        made->hintCounts[3] = c.gameGold;
        std::vector<Block*> blocks;
        HintSprite* hint = made->showHint(blocks, c.request);
        EXPECT_EQ(hint ? hint->getHintNumber() : -1, c.expected);
        if (hint) {
            hint->addRef();
            hint->release();
        }
        dropField();
    }
}

struct IdleCase {
    const char* name;
    const char* grid;
    std::uint32_t idleMs;
    bool clicked;
    bool speedUpUsed;
    int levelNumber;
    int expected;
};

TEST_F(HintsTest, IdleHintsWaitThreeSecondsAndFollowTheGamesProgress)
{
    // 30 blocks fill the field; 20 and 10 are fewer than 26, 10 is also 15 or fewer.
    const char* full = "RGBYPR\nGBYPRG\nBYPRGB\nYPRGBY\nPRGBYP";
    const char* twenty = "......\nGBYPRG\nBYPRGB\nYPRGBY\n..RG..";
    const char* ten = "......\n......\n......\nYPRGBY\n..RG..";
    const IdleCase cases[] = {
        {"not idle long enough", full, 3000, false, false, 1, -1},
        {"idle before the first removal", full, 3001, false, false, 1, 0},
        {"after a removal, a full field", full, 5000, true, false, 1, -1},
        {"after a removal, a thinner field", twenty, 5000, true, false, 1, 1},
        {"speed-up used already", twenty, 5000, true, true, 1, -1},
        {"few blocks left, but the first level", ten, 5000, true, true, 1, -1},
        {"few blocks left in a later level", ten, 5000, true, true, 2, 5},
    };
    for (const IdleCase& c : cases) {
        SCOPED_TRACE(c.name);
        HintScene* made = field(c.grid, c.idleMs);
        made->hasClicked = c.clicked;
        made->speedUpUsed = c.speedUpUsed;
        made->getLevel()->setLevelNumber(c.levelNumber);
        std::vector<Block*> blocks;
        HintSprite* hint = made->showHint(blocks, 16);
        EXPECT_EQ(hint ? hint->getHintNumber() : -1, c.expected);
        EXPECT_TRUE(blocks.empty());
        if (hint) {
            hint->addRef();
            hint->release();
        }
        dropField();
    }
}

TEST_F(HintsTest, MultiplierHintListsEveryMultiplierBlockColumnByColumnFromTheBottom)
{
    HintScene* made = field("......\n......\nRGBYPR\nGBYPRG");
    Level* level = made->getLevel();
    const std::vector<std::pair<int, int>> multiplied = {{4, 2}, {1, 3}, {1, 2}, {4, 3}};
    for (const auto& [x, y] : multiplied) {
        const Block* old = level->getBlock(x, y);
        level->setBlock(x, y, new Block(level, x, y, old->getType(), old->getColour(), 2, true));
    }
    std::vector<Block*> blocks;
    HintSprite* hint = made->showHint(blocks, 16);
    ASSERT_NE(hint, nullptr);
    hint->addRef();
    EXPECT_EQ(hint->getHintNumber(), 2);
    const std::vector<std::pair<int, int>> order = {{1, 3}, {1, 2}, {4, 3}, {4, 2}};
    ASSERT_EQ(blocks.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(blocks[i], level->getBlock(order[i].first, order[i].second)) << i;
    hint->release();
}

TEST_F(HintsTest, NoHintOutsidePlayAndTheToolPhase)
{
    HintScene* made = field("T.....\nRGB...");
    for (int phase : {PlayPhase::Playing, PlayPhase::ToolEffect, PlayPhase::FieldCleared, PlayPhase::Menu,
                      PlayPhase::TreasureFound}) {
        SCOPED_TRACE(phase);
        made->setPhase(phase);
        std::vector<Block*> blocks;
        HintSprite* hint = made->showHint(blocks, 7);
        EXPECT_EQ(hint != nullptr, phase == PlayPhase::Playing || phase == PlayPhase::ToolEffect);
        if (hint) {
            hint->addRef();
            hint->release();
        }
    }
}

TEST_F(HintsTest, AShownHintSlidesInCentredSpendsBothStocksAndMakesItsBlocksBlink)
{
    HintScene* made = field("......\n......\n......\n..T...\nRGBYPR");
    stats().hintCounts[7] = 2;
    made->hintCounts[7] = 3;
    made->requestHint(16);
    HintSprite* hint = made->getHint();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->getHintNumber(), 7);
    EXPECT_EQ(stats().hintCounts[7], 1);
    EXPECT_EQ(made->hintCounts[7], 2);
    // Top centre at the rectangle's middle: 40 + 96 / 2.
    EXPECT_EQ(hint->getAbsoluteX(), 88 - 20);
    EXPECT_EQ(hint->getY(), 4);
    EXPECT_EQ(*hint->getClipRect(), Rect(40, 0, 96, 104));
    // Just below its layer's marker.
    const std::vector<Sprite*>& all = canvas->getSprites();
    const auto at = std::find(all.begin(), all.end(), hint);
    ASSERT_NE(at, all.end());
    EXPECT_EQ((*(at + 1))->getName(), "LAYER_HINTDIALOG");
    // A wait, then 13 times down, up and a pause.
    EXPECT_EQ(made->getLevel()->getBlock(2, 3)->getModifiers().size(), 1u + 13u * 3u);
    EXPECT_TRUE(made->getLevel()->getBlock(0, 4)->getModifiers().empty());

    // It slides in from above its place and rests there.
    frame();
    EXPECT_LT(hint->getY(), 4);
    EXPECT_EQ(hint->getAbsoluteX(), 68) << "only up and down";
    ASSERT_TRUE(runUntil([&] { return !hint->isMoving(); }));
    EXPECT_EQ(hint->getY(), 4);
}

TEST_F(HintsTest, AHintAskedForWithSpentStocksShowsButNoStockGoesBelowZero)
{
    setStocks(true, 0, 0);
    HintScene* made = field("......\n......\n......\n..T...\nRGBYPR");
    made->requestHint(7);
    ASSERT_NE(made->getHint(), nullptr);
    EXPECT_EQ(stats().hintCounts[7], 0);
    EXPECT_EQ(made->hintCounts[7], 0);

    // The clear bonus spends hint 5 the same way.
    stats().useHint(5);
    EXPECT_EQ(stats().hintCounts[5], 0);
    made->spendHint(5);
    EXPECT_EQ(made->hintCounts[5], 0);
}

TEST_F(HintsTest, AnAutomaticHintDoesNotCoverAFieldThatReachesUpToIt)
{
    // The panel's lower edge is at 4 + 25 = 29; one block height more is 45. Row 1 starts at 40, row 2 at 56.
    struct Case {
        const char* grid;
        int request;
        bool shown;
    };
    for (const Case& c : {Case{"......\nT.....\nRGBYPR", 16, false}, Case{"......\n......\nT.....\nRGBYPR", 16, true},
                          Case{"......\nT.....\nRGBYPR", 7, true}}) {
        SCOPED_TRACE(c.grid);
        HintScene* made = field(c.grid);
        made->requestHint(c.request);
        EXPECT_EQ(made->getHint() != nullptr, c.shown);
        EXPECT_EQ(stats().hintCounts[7], c.shown ? 0 : 1) << "only a shown hint is spent";
        setStocks(true, 1, 1);
        dropField();
    }
}

TEST_F(HintsTest, PlayOffersAHintEveryTwoSecondsAndTakesItAwayAfterItsTime)
{
    HintScene* made = field("......\n......\n......\n..T...\nRGBYPR");
    made->hintTimer.restart(timeGetTime());
    // Just past 2000 ms of the hint stopwatch.
    ASSERT_TRUE(runUntil([&] { return made->getHint() != nullptr; }, 200));
    EXPECT_EQ(made->hintTimer.getElapsed(), 0) << "restarted with the request";
    HintSprite* hint = made->getHint();
    hint->addRef();
    const std::uint32_t shownAt = hint->getCreatedAt();
    // "INT_HINT_TIME" later it leaves, sliding up and off the canvas.
    ASSERT_TRUE(runUntil([&] { return made->getHint() == nullptr; }, 400));
    EXPECT_GT(timeGetTime() - shownAt, 5000u);
    EXPECT_LE(timeGetTime() - shownAt, 5020u);
    // The next one waits 50 ms more than the usual 2000.
    EXPECT_EQ(made->hintTimer.getElapsed(), -50);
    ASSERT_TRUE(runUntil([&] { return hint->getCanvas() == nullptr; }, 200));
    EXPECT_LE(hint->getY(), -hint->getHeight() + 1);
    hint->release();
}

TEST_F(HintsTest, AShownHintLeavesWhenTheFieldGrowsUpToIt)
{
    HintScene* made = field("......\n......\n......\n..T...\nRGBYPR");
    made->requestHint(16);
    ASSERT_NE(made->getHint(), nullptr);
    ASSERT_TRUE(runUntil([&] { return !made->getHint()->isMoving(); }));
    Level* level = made->getLevel();
    level->setBlock(5, 0, new Block(level, 5, 0, BlockTypeColour, 0, 1, true));
    frame();
    EXPECT_EQ(made->getHint(), nullptr);
}

TEST_F(HintsTest, TheTextComesFromTheListByNumberAndAShortListGivesAnEmptyPanel)
{
    // Three texts only: hint 1 has its one line, hint 7 none, so its panel is only the caps.
    std::string layout = fieldtest::fieldLayout();
    layout.insert(layout.rfind("</Layout>"), R"xml(
  <Rectangle id="RECT_HINT_CLIP_RECT_CLASSIC" x="40" y="0" width="96" height="104"/>
  <Integer id="INT_HINT_Y_POS_CLASSIC">4</Integer>
  <pixelfontlabel id="LABEL_HINT" style="normal" wrapstyle="normal"/>
  <StringVector id="STRINGS_HINTS"><i>0</i><i>1</i><i>2</i></StringVector>
)xml");
    loadLayout(layout);
    struct Case {
        const char* grid;
        int request;
        int number;
        int height;
    };
    for (const Case& c : {Case{"......\nRGB...", 16, 1, 25}, Case{"T.....\nRGB...", 7, 7, 20}}) {
        SCOPED_TRACE(c.number);
        HintScene* made = field(c.grid, 5000);
        made->hasClicked = true;
        std::vector<Block*> blocks;
        HintSprite* hint = made->showHint(blocks, c.request);
        ASSERT_NE(hint, nullptr);
        hint->addRef();
        EXPECT_EQ(hint->getHintNumber(), c.number);
        EXPECT_EQ(hint->getHeight(), c.height);
        hint->release();
        dropField();
    }
    // Numbers outside the sixteen are never in stock and spend nothing.
    HintScene* made = field("......\nRGB...");
    EXPECT_FALSE(made->isHintInStock(16));
    EXPECT_FALSE(made->isHintInStock(-1));
    made->spendHint(16);
    made->spendHint(-1);
}

} // namespace
