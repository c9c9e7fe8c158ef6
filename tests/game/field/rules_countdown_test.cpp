// The rules of the playing phase on the virtual clock: the game-over countdown of a blocked top row with
// its shaking rows, the warnings over the top row, the gold shine, the music start, a treasure taken at
// the bottom, and the floaters and header texts the modes share.
#include "FieldFixture.h"

#include "game/effects/Shine.h"
#include "game/effects/Warning.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/widget/TextSprite.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using fieldtest::FieldFixture;
using fieldtest::TestPlayScene;

namespace {

class RulesTest : public FieldFixture {
protected:
    // The field's layout with one integer entry replaced or added.
    void useLayoutInt(const std::string& id, int value)
    {
        std::string layout = fieldtest::fieldLayout();
        const std::string entry = "<Integer id=\"" + id + "\">";
        const std::size_t at = layout.find(entry);
        if (at != std::string::npos)
            layout.erase(at, layout.find('\n', at) - at);
        layout.insert(layout.rfind("</Layout>"), entry + std::to_string(value) + "</Integer>\n");
        loadLayout(layout);
    }

    // The sprites of the canvas that are of type T and still on it.
    template <class T> std::vector<T*> spritesOf() const
    {
        std::vector<T*> found;
        for (Sprite* sprite : canvas->getSprites())
            if (auto* made = dynamic_cast<T*>(sprite); made && !made->isObsolete())
                found.push_back(made);
        return found;
    }

    // The sprite drawn right after (above) the named layer marker, or right before (at the layer).
    Sprite* neighbour(const char* layer, int offset) const
    {
        const std::vector<Sprite*>& all = canvas->getSprites();
        for (std::size_t i = 0; i < all.size(); ++i)
            if (all[i]->getName() == layer && static_cast<int>(i) + offset >= 0 &&
                static_cast<std::size_t>(static_cast<int>(i) + offset) < all.size())
                return all[static_cast<std::size_t>(static_cast<int>(i) + offset)];
        return nullptr;
    }

    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            frame();
    }
};

TEST_F(RulesTest, ABlockedTopRowShakesMoreAndMoreUntilClearedOrTheCountdownEnds)
{
    // INT_GAME_OVER_TIME_CLASSIC is 1000 ms for 5 rows: one more row shakes every 200 ms.
    TestPlayScene* field = playingScene("......\nG.....\nB.....\nY.....\nP.....");
    Level* level = field->getLevel();
    frame();
    EXPECT_FALSE(field->gameoverTimer.isEnabled()) << "a free top keeps the countdown stopped";
    level->setBlock(0, 0, new Block(level, 0, 0, BlockTypeColour, 0, 1, true));
    frame();
    ASSERT_TRUE(field->gameoverTimer.isEnabled());
    EXPECT_EQ(field->gameoverTimer.getElapsed(), 0) << "started by the blocked top";
    EXPECT_EQ(level->getShakingRows(), 0);

    frames(9);
    EXPECT_EQ(level->getShakingRows(), 0) << "180 ms";
    frame();
    EXPECT_EQ(level->getShakingRows(), 1) << "200 ms";
    EXPECT_TRUE(level->getBlock(0, 0)->isShaking());
    EXPECT_FALSE(level->getBlock(0, 1)->isShaking());
    EXPECT_EQ(services.count("fadeMusicHalf"), 1) << "the earthquake starts with the first row";
    frames(10);
    EXPECT_EQ(level->getShakingRows(), 2) << "400 ms";

    // Clearing the top stops the countdown and the shaking.
    level->setBlock(0, 0, nullptr);
    frame();
    EXPECT_FALSE(field->gameoverTimer.isEnabled());
    EXPECT_EQ(level->getShakingRows(), 0);
    EXPECT_FALSE(level->getBlock(0, 1)->isShaking());
    frames(100);
    EXPECT_EQ(field->getPhase(), PlayPhase::Playing);

    // The next blockage counts from 0 again and runs out after 1000 ms.
    level->setBlock(3, 0, new Block(level, 3, 0, BlockTypeColour, 2, 1, true));
    frame();
    EXPECT_EQ(field->gameoverTimer.getElapsed(), 0);
    frames(50);
    EXPECT_EQ(field->getPhase(), PlayPhase::Playing) << "1000 ms is not past the limit";
    EXPECT_EQ(level->getShakingRows(), 5);
    frame();
    EXPECT_EQ(field->getPhase(), PlayPhase::RockFall);
    EXPECT_EQ(field->getSaveState(), SaveState::Lost);
    EXPECT_EQ(level->getShakingRows(), 0);
}

TEST_F(RulesTest, ACountdownWithoutTimeIsOverAtOnce)
{
    for (int limit : {0, -500}) {
        SCOPED_TRACE(limit);
        useLayoutInt("INT_GAME_OVER_TIME_CLASSIC", limit);
        TestPlayScene* field = playingScene("......\n......\n......\n......\nRGBYPR");
        frame();
        Level* level = field->getLevel();
        level->setBlock(0, 0, new Block(level, 0, 0, BlockTypeColour, 0, 1, true));
        frame();
        EXPECT_EQ(field->getPhase(), PlayPhase::Playing) << "this frame starts the countdown";
        frame();
        EXPECT_EQ(field->getPhase(), PlayPhase::RockFall);
        EXPECT_EQ(field->shakingRowsFor(0), 5);
        canvas->removeSprite(field);
        field->unregisterInput();
        field->release();
        scene = nullptr;
    }
}

TEST_F(RulesTest, WarningsStandOverEveryColumnWhoseTopCellIsTaken)
{
    TestPlayScene* field = playingScene(".R..G.\n.R..G.\n.R..G.\nRRGGBB\nRGBYPR");
    field->showTopRowWarnings();
    const std::vector<Warning*> warnings = spritesOf<Warning>();
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0]->getBlock(), field->getLevel()->getBlock(1, 0));
    EXPECT_EQ(warnings[1]->getBlock(), field->getLevel()->getBlock(4, 0));
    EXPECT_EQ(warnings[0]->getBaseX(), 40 + 16);
    EXPECT_EQ(warnings[1]->getBaseX(), 40 + 4 * 16);
    EXPECT_EQ(warnings[0]->getName(), "SPRITE_WARNING");
    EXPECT_EQ(*warnings[0]->getClipRect(), Rect(40, 24, 96, 80)) << "clipped like the field";
    EXPECT_EQ(neighbour("LAYER_WARNINGS", -1), warnings[1]);
    // They drop onto the top row.
    ASSERT_TRUE(runUntil([&] { return warnings[0]->getModifiers().size() == 1; }, 200));
    EXPECT_EQ(warnings[0]->getBaseY(), 24);
}

TEST_F(RulesTest, GoldShinesNowAndThenAndAFieldWithoutGoldNever)
{
    for (const char* grid : {"......\n......\n......\nRGBYPR\nRGBYPR", "......\n......\n......\nRG$YPR\nRGBYPR"}) {
        SCOPED_TRACE(grid);
        const bool gold = std::string(grid).find('$') != std::string::npos;
        PlayScene::shineFrameCounter = 0;
        TestPlayScene* field = playingScene(grid);
        int shines = 0;
        for (int i = 0; i < 1500; ++i) {
            frame();
            for (Shine* shine : spritesOf<Shine>()) {
                if (shine->getModifiers().size() == 1 && shine->getY() == 480) {
                    ++shines;
                    EXPECT_EQ(neighbour("LAYER_SHINES", 1), shine) << "just above the shine layer";
                }
            }
        }
        // Ten chances, each taken half of the time.
        if (gold) {
            EXPECT_GE(shines, 1);
            EXPECT_LE(shines, 10);
        } else {
            EXPECT_EQ(shines, 0);
        }
        canvas->removeSprite(field);
        field->unregisterInput();
        field->release();
        scene = nullptr;
    }
}

TEST_F(RulesTest, TheMusicStartsOnceItsTimeHasCome)
{
    TestPlayScene* field = playingScene("......\n......\n......\n......\nRGBYPR");
    field->musicStartTime = static_cast<int>(timeGetTime()) + 100;
    frames(5);
    EXPECT_EQ(services.count("playMusic"), 0) << "100 ms is not past";
    frame();
    EXPECT_EQ(services.count("playMusic STRING_MUSIC_INGAME"), 1);
    EXPECT_EQ(field->musicStartTime, -2);
    frames(5);
    EXPECT_EQ(services.count("playMusic"), 1);
}

TEST_F(RulesTest, ATreasureThatReachesTheBottomIsTakenWithoutAClick)
{
    // The bottom row's top is at 24 + 4 x 16 = 88; the border offset moves the line it must reach.
    struct Case {
        int offset;
        bool taken;
    };
    for (const Case& c : {Case{0, true}, Case{4, true}, Case{-4, false}}) {
        SCOPED_TRACE(c.offset);
        useLayoutInt("INT_TREASURE_AQUIRE_BORDER_OFFSET", c.offset);
        TestPlayScene* field = playingScene("......\n......\n......\nRGBYPR\nRGTYPR");
        frame();
        const bool tookIt = std::find(field->events.begin(), field->events.end(), PlayEvent::TreasureTaken) !=
                            field->events.end();
        EXPECT_EQ(tookIt, c.taken);
        EXPECT_EQ(field->getPhase(), c.taken ? PlayPhase::TreasureFound : PlayPhase::Playing);
        canvas->removeSprite(field);
        field->unregisterInput();
        field->release();
        scene = nullptr;
    }
}

TEST_F(RulesTest, FloatersRiseAndFadeAboveTheFloaterLayer)
{
    TestPlayScene* field = playingScene("......\n......\n......\n......\nRGBYPR");
    field->createFloater("+12", 80, 100, 0xFFFFFF);
    Sprite* floater = neighbour("LAYER_FLOATERS", 1);
    ASSERT_NE(floater, nullptr);
    EXPECT_EQ(floater->getName(), "SPRITE_FLOATER");
    floater->addRef();
    int highest = 100;
    ASSERT_TRUE(runUntil(
        [&] {
            highest = std::min(highest, floater->getY());
            return floater->getCanvas() == nullptr;
        },
        1000));
    EXPECT_EQ(highest, 100 - 75);
    floater->release();
}

TEST_F(RulesTest, AHeaderTextDropsToTheMiddleOfTheFieldAndWobbles)
{
    TestPlayScene* field = playingScene("......\n......\n......\n......\nRGBYPR");
    std::string layout = fieldtest::fieldLayout();
    layout.insert(layout.rfind("</Layout>"), "<String id=\"STRING_STATS_HEADER\">12</String>\n");
    loadLayout(layout);
    PlayScene::bigFont = font;
    field->showHeaderText("STRING_STATS_HEADER");
    auto* header = dynamic_cast<TextSprite*>(field->headerSprite);
    ASSERT_NE(header, nullptr);
    // Top centre at the field's middle (40 + 6 x 16 / 2), above the screen.
    EXPECT_EQ(header->getX(), 88);
    EXPECT_EQ(header->getY(), -header->getHeight());
    EXPECT_EQ(header->getModifiers().size(), 2u);
    canvas->addSprite(header);
    // The middle of the field less half the text's height: 24 + 5 x 16 / 2 - height / 2.
    const int target = 24 + 40 - header->getHeight() / 2;
    ASSERT_TRUE(runUntil([&] { return header->getModifiers().size() == 1; }, 500));
    EXPECT_NEAR(header->getY(), target, 1);
    ASSERT_TRUE(runUntil([&] { return header->getModifiers().empty(); }, 2000));
    EXPECT_EQ(header->getY(), target);
    EXPECT_EQ(header->getX(), 88) << "it only wobbles up and down";
}

TEST_F(RulesTest, HoveringSelectsTheGroupUnderTheMouseAndLeavingItClearsTheSelection)
{
    TestPlayScene* field = playingScene("......\n......\n......\nRR....\nRGB...");
    InputManager* input = app->getInputManager();
    auto moveTo = [&](int x, int y) {
        input->handleMessage(WM_MOUSEMOVE, 0, static_cast<std::intptr_t>((y << 16) | (x & 0xFFFF)));
        input->dispatch();
        frame();
    };
    moveTo(cellX(0), cellY(4));
    EXPECT_EQ(field->getLevel()->getSelectedCount(), 3);
    EXPECT_EQ(field->getLevel()->getBlock(1, 3)->getState(), BlockStateSelected);
    // A single block is no group: nothing stays selected.
    moveTo(cellX(2), cellY(4));
    EXPECT_EQ(field->getLevel()->getSelectedCount(), 0);
    EXPECT_EQ(field->getLevel()->getBlock(0, 4)->getState(), BlockStateNormal);
    moveTo(cellX(0), cellY(3));
    EXPECT_EQ(field->getLevel()->getSelectedCount(), 3);
    // An empty cell clears the selection.
    moveTo(cellX(4), cellY(1));
    EXPECT_EQ(field->getLevel()->getSelectedCount(), 0);
    EXPECT_EQ(canvas->findSprite("SPRITE_TEMP_FLOATER"), nullptr);
}

TEST_F(RulesTest, BlocksGoOnTheCanvasClippedAndDropOutOfTheFieldWhenTheGameIsLost)
{
    std::string layout = fieldtest::fieldLayout();
    layout.insert(layout.rfind("</Layout>"),
                  "<Rectangle id=\"RECT_LEVEL_BLOCKS_CLIP_RECT_CLASSIC\" x=\"40\" y=\"24\" width=\"96\" height=\"80\"/>\n");
    loadLayout(layout);
    TestPlayScene* field = playingScene("......\n......\n......\n.T....\nRGo...");
    Level* level = field->getLevel();
    field->putBlocksOnCanvas(true);
    for (const auto& [x, y] : {std::pair{1, 3}, std::pair{0, 4}, std::pair{2, 4}}) {
        Block* block = level->getBlock(x, y);
        EXPECT_EQ(block->getCanvas(), canvas);
        EXPECT_EQ(block->getAlpha(), 0);
        EXPECT_EQ(*block->getClipRect(), Rect(40, 24, 96, 80));
    }

    // The treasure lying in the field and a bomb with its icon fall out, one after the other, as the
    // rocks fall at the end of a game.
    field->setPhase(PlayPhase::RockFall);
    Block* treasure = level->getBlock(1, 3);
    Block* bomb = level->getBlock(2, 4);
    TestPlayScene::hold(field->droppedTreasure, treasure);
    Held<Block> keepTreasure(treasure);
    Held<Block> keepBomb(bomb);
    field->dropBlockOut(treasure, 0, 0);
    field->dropBlockOut(bomb, 20, 10);
    EXPECT_EQ(field->droppedTreasure, nullptr);
    EXPECT_EQ(bomb->getIcon(), nullptr);
    EXPECT_EQ(bomb->getAlpha(), 255);
    EXPECT_EQ(bomb->getState(), BlockStateRemoving);
    EXPECT_EQ(level->getRemovingCount(), 2);
    const int bombY = bomb->getY();
    frames(10);
    EXPECT_EQ(bomb->getY(), bombY) << "the bomb waits for its delay";
    ASSERT_TRUE(runUntil([&] { return treasure->getCanvas() == nullptr && bomb->getCanvas() == nullptr; }, 2000));
    EXPECT_EQ(level->getRemovingCount(), 0);
}

} // namespace
