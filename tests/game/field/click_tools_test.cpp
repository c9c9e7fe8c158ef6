// The group click on a playing field: what each tool and bomb does to a small grid, the score and
// statistics of a click, the clicks that do nothing, a treasure taken, destroyed, repainted or running
// out, where a treasure drops, the hourglass stopping the countdown, the removal stars and the hovered
// group's score preview.
#include "FieldFixture.h"

#include "compat/win32/window/messages.h"
#include "compat/win32/system/machine/timer.h"
#include "game/effects/Floater.h"
#include "game/stats/StatsManager.h"
#include "platform/app/InputManager.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "toolkit/sprite/BitmapSprite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using fieldtest::FieldFixture;
using fieldtest::TestPlayScene;

namespace {

class ClickToolsTest : public FieldFixture {
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        std::string layout = fieldtest::fieldLayout();
        layout.erase(layout.rfind("</Layout>"));
        loadLayout(layout + R"xml(
  <Integer id="INT_NR_OF_STAR_FRAMES">2</Integer>
  <Integer id="INT_NR_OF_TIMER_FRAMES">2</Integer>
  <Point id="POINT_TIMER_POS" x="300" y="20"/>
  <Float id="FLOAT_TIMER_FLOAT_SPEED">0.1</Float>
  <Integer id="INT_TOOL_ICON_REMOVE_MOVES_PER_FRAME">1</Integer>
  <Integer id="INT_TREASURE_ICON_REMOVE_MOVES_PER_FRAME">1</Integer>
  <Float id="FLOAT_TREASURE_FADEIN_SPEED">0.1</Float>
  <Integer id="INT_DROP_FIRST_TREASURE_MAX_ROWS">3</Integer>
  <Integer id="INT_DROP_FIRST_TREASURE_MIN_ROWS">1</Integer>
  <Integer id="INT_DROP_TREASURE_MIN_TOPBLOCK_SPACE">0</Integer>
  <Integer id="INT_DROP_TREASURE_MIN_ROWS">1</Integer>
  <Integer id="INT_TREASURE_REMOVE_TIME">1000</Integer>
  <Integer id="INT_TREASURE_BLINK_START_TIME">400</Integer>
  <Integer id="INT_TREASURE_BLINK_TIME">100</Integer>
  <Integer id="INT_HOURGLASS_TOOL_DURATION">1000</Integer>
  <Integer id="INT_HOURGLASS_BLINK_START_TIME">600</Integer>
</Layout>)xml");
        addImage("IMAGE_STAR_SMALL_ALPHA", 8, 16, 0xFFFFFF);
        addImage("IMAGE_HOURGLASS_ICON", 10, 20, 0x808080);
        for (TreasureDesc& treasure : stats().treasures)
            treasure.dropcount = 0;
    }

    Level* level() { return scene->getLevel(); }
    std::string grid() { return gridText(level()); }

    // Puts a block of the kind into the cell (replacing what is there).
    Block* put(int x, int y, int type, int colour, int multiplier = 1)
    {
        auto* block = new Block(level(), x, y, type, colour, multiplier, true);
        level()->setBlock(x, y, block);
        return block;
    }

    void click(int x, int y) { press(cellX(x), cellY(y)); }

    // Takes the field off the canvas and lets it go, so the next case starts a new one.
    void discardScene()
    {
        canvas->removeSprite(scene);
        scene->unregisterInput();
        scene->release();
        scene = nullptr;
    }

    int removedBlocks() { return scene->getLevelStats().blocksremoved.get(); }

    // The field's speed-up flag, which the test mode's actions do not set, and the hourglass step that
    // the modes run.
    struct Peek : TestPlayScene {
        static bool PlayScene::*flag() { return &Peek::speedUpActive; }
        static bool (PlayScene::*step())() { return &Peek::updateHourglass; }
    };
    static bool PlayScene::*speedUpActive() { return Peek::flag(); }
    bool updateHourglass() { return (scene->*Peek::step())(); }

    // The mouse moves to the centre of cell (x, y) and the field reads its cell.
    void hover(int x, int y)
    {
        InputManager* input = app->getInputManager();
        const auto position = static_cast<std::intptr_t>((cellY(y) << 16) | (cellX(x) & 0xFFFF));
        input->handleMessage(WM_MOUSEMOVE, 0, position);
        input->dispatch();
        scene->updateMouseCell();
    }

    // The colours of the removal stars on the canvas.
    std::vector<std::uint32_t> starColours()
    {
        Surface* starMask = catalogue->getImage("IMAGE_STAR_SMALL_ALPHA")->getMask();
        std::vector<std::uint32_t> colours;
        for (Sprite* sprite : canvas->getSprites()) {
            auto* bitmap = dynamic_cast<BitmapSprite*>(sprite);
            if (bitmap && !bitmap->isObsolete() && bitmap->getMask() == starMask)
                colours.push_back(bitmap->getMaskColor());
        }
        std::sort(colours.begin(), colours.end());
        return colours;
    }
};

struct ToolCase {
    const char* name;
    const char* before;
    int x, y;
    const char* after;
    int removed;
    const char* sound;
};

TEST_F(ClickToolsTest, EachToolAndBombClearsItsCellsScoresOnceAndStartsTheToolPhase)
{
    const ToolCase cases[] = {
        {"bomb: a 5x5 square", "RGBYPR\nGBYPRG\nBYoRGB\nYPRGBY\nPRGBYP", 2, 2,
         ".....R\n.....G\n.....B\n.....Y\n.....P", 25, "SOUND_DYNAMITE"},
        {"line bomb: its row", "RGBYPR\nGBYPRG\nlYPRGB\nYPRGBY\nPRGBYP", 0, 2,
         "RGBYPR\nGBYPRG\n......\nYPRGBY\nPRGBYP", 6, "SOUND_USE_TOOL"},
        {"hammer: its cell and the strip below", "RGBYPR\nGBhPRG\nBYRRGB\nYPRGBY\nPRGBYP", 2, 1,
         "RGBYPR\nGB.PRG\nB...GB\nY...BY\nP...YP", 10, "SOUND_USE_TOOL"},
        {"colour bomb: its colour everywhere", "cGBYPR\nGBYPRG\nBYRRGB\nYPRGBY\nPRGBYP", 0, 0,
         ".GBYP.\nGBYP.G\nBY..GB\nYP.GBY\nP.GBYP", 7, "SOUND_USE_TOOL"},
        {"rainbow: like a colour bomb", "rGBYPR\nGBYPRG\nBYRRGB\nYPRGBY\nPRGBYP", 0, 0,
         ".GBYP.\nGBYP.G\nBY..GB\nYP.GBY\nP.GBYP", 7, "SOUND_USE_TOOL"},
        {"bucket: repaints its square, removes nothing", "GGBYPR\nGuYPRG\nBYBRGB\nYPRGBY\nPRGBYP", 1, 1,
         "RRRYPR\nRRRPRG\nRRRRGB\nYPRGBY\nPRGBYP", 0, "SOUND_USE_TOOL"},
        {"hourglass: only itself", "gGBYPR\nGBYPRG\nBYRRGB\nYPRGBY\nPRGBYP", 0, 0,
         ".GBYPR\nGBYPRG\nBYRRGB\nYPRGBY\nPRGBYP", 1, "SOUND_USE_TOOL"},
        {"tnt: the whole field", "RGBYPR\nGBYPRG\nBYRxGB\nYPRGBY\nPRGBYP", 3, 2, "......\n......\n......\n......\n......",
         30, "SOUND_DYNAMITE"},
    };
    for (const ToolCase& c : cases) {
        SCOPED_TRACE(c.name);
        playingScene(c.before);
        click(c.x, c.y);
        EXPECT_EQ(grid(), c.after);
        // INT_SCORE_PER_SPECIAL x 1.0 (easy), whatever the tool takes.
        EXPECT_EQ(scene->getScore(), 20);
        EXPECT_EQ(removedBlocks(), c.removed);
        EXPECT_EQ(scene->getPhase(), PlayPhase::ToolEffect);
        EXPECT_EQ(scene->events.back(), PlayEvent::ToolUsed);
        EXPECT_EQ(level()->getSelectedCount(), 0);
        discardScene();
    }
}

TEST_F(ClickToolsTest, AColourGroupScoresCountsAndSettles)
{
    settings.difficulty = "HARD";
    playingScene("......\n......\nRR....\nRRG...\nGGBB..");
    put(0, 2, BlockTypeColour, 0, 2);
    put(1, 3, BlockTypeColour, 0, 3);
    click(0, 3);
    // Four of a colour: 10 + 5 = 15, x 2.0 (hard) = 30 points, multiplier 2 x 3.
    EXPECT_EQ(scene->getScore(), 180);
    EXPECT_EQ(removedBlocks(), 4);
    EXPECT_EQ(scene->getLevelStats().biggestgroup, 4);
    EXPECT_EQ(scene->getLevelStats().biggestscore, 180);
    EXPECT_EQ(scene->getSaveState(), SaveState::Playing);
    EXPECT_EQ(scene->events.back(), PlayEvent::GroupRemoved);
    // The removal settled the field: the rest fell.
    EXPECT_EQ(grid(), "......\n......\n......\n..G...\nGGBB..");
    EXPECT_EQ(level()->getRemovingCount(), 4);
}

TEST_F(ClickToolsTest, ClicksBelowTheMinimumOrOnNothingChangeNothing)
{
    playingScene("......\n......\n......\nRG....\nRG....");
    scene->getGameStats().lastActionTime = 7;
    click(4, 0);
    EXPECT_EQ(scene->getGameStats().lastActionTime, 7u);
    click(0, 4);
    EXPECT_NE(scene->getGameStats().lastActionTime, 7u);
    EXPECT_EQ(grid(), "......\n......\n......\nRG....\nRG....");
    EXPECT_EQ(scene->getScore(), 0);
    EXPECT_EQ(scene->getSaveState(), SaveState::None);
    EXPECT_EQ(level()->getSelectedCount(), 0);
    EXPECT_EQ(scene->getPhase(), PlayPhase::Playing);
}

TEST_F(ClickToolsTest, GoldIsCountedAndLeftToTheMode)
{
    playingScene("......\n......\n......\n$$....\n$R....");
    click(0, 4);
    // 3 x 25 x 1.0; the gold stays until the mode's cart takes it.
    EXPECT_EQ(scene->getScore(), 75);
    EXPECT_EQ(scene->getLevelStats().gold, 3);
    EXPECT_EQ(scene->events.back(), PlayEvent::GoldComplete);
    EXPECT_EQ(grid(), "......\n......\n......\n$$....\n$R....");
}

TEST_F(ClickToolsTest, ATreasureInTheBottomRowIsTakenAndRecorded)
{
    playingScene("......\n......\n......\nR.....\nRG....");
    SurfaceHolder* picture = addImage("IMAGE_TREASURE_TEST", 12, 12, 0x123456);
    stats().treasures[3].setSurface(picture);
    stats().currentTreasure = 3;
    Block* treasure = put(1, 4, BlockTypeTreasure, 3);
    TestPlayScene::hold(scene->droppedTreasure, treasure);
    scene->treasureTimer.restart(timeGetTime() + 5000);
    const int taken = stats().totalTaken;

    click(1, 4);
    EXPECT_EQ(scene->getScore(), 250);
    EXPECT_EQ(scene->getLevelStats().acquiredTreasures, std::vector<int32_t>{3});
    EXPECT_EQ(stats().totalTaken, taken + 1);
    EXPECT_EQ(scene->droppedTreasure, nullptr);
    EXPECT_FALSE(scene->treasureTimer.isEnabled());
    EXPECT_NE(scene->treasureSprite, nullptr);
    EXPECT_EQ(scene->getPhase(), PlayPhase::TreasureFound);
    EXPECT_EQ(level()->getBlock(1, 4), nullptr);
    stats().treasures[3].setSurface(nullptr);
}

TEST_F(ClickToolsTest, ABombDestroysATreasureAndItsTimer)
{
    playingScene("......\n......\nRGo...\nRGB...\nRGBY..");
    TestPlayScene::hold(scene->droppedTreasure, put(0, 3, BlockTypeTreasure, 2));
    scene->treasureTimer.restart(timeGetTime() + 5000);
    click(2, 2);
    EXPECT_EQ(scene->droppedTreasure, nullptr);
    EXPECT_FALSE(scene->treasureTimer.isEnabled());
    EXPECT_EQ(scene->getLevelStats().acquiredTreasures.size(), 0u);
}

TEST_F(ClickToolsTest, ABucketRepaintsAroundATreasureButKeepsIt)
{
    playingScene("......\n......\n......\nGuB...\nRGB...");
    Block* treasure = put(0, 4, BlockTypeTreasure, 5);
    TestPlayScene::hold(scene->droppedTreasure, treasure);
    scene->treasureTimer.restart(timeGetTime() + 5000);
    click(1, 3);
    EXPECT_EQ(grid(), "......\n......\n......\nRRR...\nTRR...");
    EXPECT_EQ(treasure->getType(), BlockTypeTreasure);
    EXPECT_EQ(treasure->getColour(), 5);
    EXPECT_EQ(scene->droppedTreasure, treasure);
    EXPECT_TRUE(scene->treasureTimer.isEnabled());
}

// A tool's effect runs to its end and the field then settles as after a group: what the tool left
// hanging falls, a selection made meanwhile is let go, and a blast that emptied the field earns the
// field-cleared bonus before play goes on.
TEST_F(ClickToolsTest, AToolsEffectEndsWithTheFieldSettled)
{
    // The blocks are drawn, so their removal runs its course and ends.
    const auto shown = [&](const char* grid) {
        playingScene(grid);
        for (int y = 0; y < level()->getRows(); ++y)
            for (int x = 0; x < level()->getColumns(); ++x)
                if (Block* block = level()->getBlock(x, y))
                    canvas->addSprite(block);
    };
    shown("RGBYPR\nGBhPRG\nBYRRGB\nYPRGBY\nPRGBYP");
    click(2, 1);
    ASSERT_EQ(scene->getPhase(), PlayPhase::ToolEffect);
    EXPECT_EQ(grid(), "RGBYPR\nGB.PRG\nB...GB\nY...BY\nP...YP") << "nothing falls during the effect";
    level()->markSelected(level()->getBlock(4, 0));
    ASSERT_GT(level()->getSelectedCount(), 0);
    ASSERT_TRUE(runUntil([&] { return scene->getPhase() != PlayPhase::ToolEffect; }));
    EXPECT_EQ(scene->getPhase(), PlayPhase::Playing);
    EXPECT_EQ(grid(), "R...PR\nG...RG\nB...GB\nYG.YBY\nPBBPYP");
    EXPECT_EQ(level()->getSelectedCount(), 0);
    discardScene();

    // The tnt takes every block: the effect ends in the field-cleared bonus, counted once.
    shown("RGBYPR\nGBYPRG\nBYRxGB\nYPRGBY\nPRGBYP");
    click(3, 2);
    ASSERT_EQ(scene->getPhase(), PlayPhase::ToolEffect);
    ASSERT_TRUE(runUntil([&] { return scene->getPhase() != PlayPhase::ToolEffect; }));
    EXPECT_EQ(scene->getPhase(), PlayPhase::FieldCleared);
    EXPECT_EQ(scene->getLevelStats().clearcount.get(), 1);
    ASSERT_TRUE(runUntil([&] { return scene->getPhase() == PlayPhase::Playing; }, 2000));
    // INT_SCORE_PER_SPECIAL for the tnt, then the bonus: 100 points times the factor 2.
    EXPECT_EQ(scene->getScore(), 20 + 200);
}

TEST_F(ClickToolsTest, TheHourglassStopsTheCountdownAndShakingAndShowsItsPicture)
{
    playingScene("R.....\nG.....\nB.....\nY.....\ngP....");
    scene->gameoverTimer.restart(timeGetTime());
    level()->setShakingRows(2);
    click(0, 4);
    EXPECT_FALSE(scene->gameoverTimer.isEnabled());
    EXPECT_TRUE(scene->hourglassTimer.isEnabled());
    EXPECT_EQ(scene->hourglassTimer.getElapsed(), 0);
    EXPECT_EQ(level()->getShakingRows(), 0);
    ASSERT_NE(scene->hourglassSprite, nullptr);
    EXPECT_TRUE(runUntil([&] { return scene->hourglassSprite->getModifiers().empty(); }));
    // Centred on the timer's place.
    EXPECT_EQ(scene->hourglassSprite->getX(), 300);
    EXPECT_EQ(scene->hourglassSprite->getY(), 20);

    // Restored without an icon: straight at its place; the old picture fades out.
    Sprite* old = scene->hourglassSprite;
    old->addRef();
    scene->startHourglassEffect(nullptr);
    EXPECT_NE(scene->hourglassSprite, old);
    EXPECT_EQ(scene->hourglassSprite->getX(), 300);
    EXPECT_FALSE(old->getModifiers().empty());
    old->release();
}

TEST_F(ClickToolsTest, TheHourglassCountsDownBlinksFasterAndThenLetsTheFieldGo)
{
    playingScene("......\n......\n......\n......\nRGB...");
    scene->hourglassTimer.restart(timeGetTime());
    scene->startHourglassEffect(nullptr);
    Sprite* hourglass = scene->hourglassSprite;
    ASSERT_NE(hourglass, nullptr);
    ASSERT_EQ(hourglass->getFrameCount(), 2);

    EXPECT_TRUE(updateHourglass());
    EXPECT_EQ(hourglass->getFrame(), 0);
    EXPECT_TRUE(hourglass->getModifiers().empty());
    compat::testing::advanceClock(500);
    EXPECT_TRUE(updateHourglass());
    EXPECT_EQ(hourglass->getFrame(), 1);
    // From the blink start: 400 ms left are 20 frames, blinks of 100 ms are 5: five blinks.
    compat::testing::advanceClock(100);
    EXPECT_TRUE(updateHourglass());
    EXPECT_EQ(hourglass->getModifiers().size(), 20u);

    // A speed-up overrides it.
    scene->*speedUpActive() = true;
    EXPECT_FALSE(updateHourglass());
    scene->*speedUpActive() = false;

    compat::testing::advanceClock(400);
    EXPECT_TRUE(updateHourglass());
    EXPECT_FALSE(scene->hourglassTimer.isEnabled());
    EXPECT_EQ(scene->hourglassSprite, nullptr);
    EXPECT_FALSE(updateHourglass());
}

TEST_F(ClickToolsTest, AFirstTreasureDropsDeepIntoTheOnlyFittingColumn)
{
    playingScene("......\n......\n..R...\n$$R$$$\n$$R$$$");
    ASSERT_TRUE(scene->dropTreasure());
    // Rows 5 - 3 = 2 to 5 - 1 = 4 for the top block: column 2; the treasure takes the cell above it.
    Block* treasure = level()->getBlock(2, 1);
    ASSERT_NE(treasure, nullptr);
    EXPECT_EQ(treasure->getType(), BlockTypeTreasure);
    EXPECT_EQ(treasure->getColour(), stats().currentTreasure);
    EXPECT_EQ(scene->droppedTreasure, treasure);

    // Every column holds gold now or is too high: nothing drops, and the drop stays due.
    stats().treasureCountdown = 0;
    level()->removeBlock(treasure, 0);
    TestPlayScene::dropSprite(scene->droppedTreasure);
    put(2, 3, BlockTypeGold, 0);
    EXPECT_FALSE(scene->dropTreasure());
    EXPECT_TRUE(stats().isTreasureDue());
}

TEST_F(ClickToolsTest, ATreasureOnAColumnJustBelowTheTopStillFallsIntoView)
{
    stats().treasures[0].dropcount = 1;
    playingScene("......\n$R$$$$\n$R$$$$\n$R$$$$\n$R$$$$");
    ASSERT_TRUE(scene->dropTreasure());
    Block* treasure = level()->getBlock(1, 0);
    ASSERT_NE(treasure, nullptr);
    EXPECT_EQ(treasure->getType(), BlockTypeTreasure);
    EXPECT_TRUE(runUntil([&] { return treasure->getY() == 24; }));
}

TEST_F(ClickToolsTest, ATreasureBlinksNearItsEndAndThenVanishes)
{
    playingScene("......\n......\n......\nR.....\nRT....");
    Block* treasure = level()->getBlock(1, 4);
    TestPlayScene::hold(scene->droppedTreasure, treasure);
    scene->treasureTimer.restart(timeGetTime() + 1000);

    scene->updateTreasure();
    EXPECT_TRUE(treasure->getModifiers().empty());
    compat::testing::advanceClock(700);
    scene->updateTreasure();
    // 400 ms of blinks of 100 ms: 5 blinks of four modifiers.
    EXPECT_EQ(treasure->getModifiers().size(), 20u);

    compat::testing::advanceClock(300);
    scene->updateTreasure();
    EXPECT_EQ(scene->droppedTreasure, nullptr);
    EXPECT_FALSE(scene->treasureTimer.isEnabled());
    EXPECT_EQ(level()->getBlock(1, 4), nullptr);
    EXPECT_EQ(scene->getScore(), 0);
}

TEST_F(ClickToolsTest, RemovedBlocksLeaveStarsInTheColourOfTheirKindButTheClickedToolDoesNot)
{
    PropertyManager* store = app->getPropertyManager();
    const std::string colours =
        std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
        PropertyManager::kSchemaLocation + "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n"
        "<Color id=\"COLOR_REMOVE_STAR_COLOR1\">FF110000</Color><Color id=\"COLOR_REMOVE_STAR_COLOR2\">FF220000</Color>"
        "<Color id=\"COLOR_REMOVE_STAR_COLOR3\">FF330000</Color><Color id=\"COLOR_REMOVE_STAR_COLOR4\">FF440000</Color>"
        "<Color id=\"COLOR_REMOVE_STAR_COLOR5\">FF550000</Color><Color id=\"COLOR_REMOVE_STAR_GOLD\">FF000001</Color>"
        "<Color id=\"COLOR_REMOVE_STAR_BLOCKER\">FF000002</Color><Color id=\"COLOR_REMOVE_STAR_TREASURE\">FF000003</Color>"
        "<Color id=\"COLOR_REMOVE_STAR_BOMB\">FF000004</Color><Color id=\"COLOR_REMOVE_STAR_SHOVEL\">FF000005</Color>"
        "<Color id=\"COLOR_REMOVE_STAR_HAMMER\">FF000006</Color><Color id=\"COLOR_REMOVE_STAR_HOURGLASS\">FF000007</Color>"
        "<Color id=\"COLOR_REMOVE_STAR_TNT\">FF000008</Color>\n</Properties>\n";
    ASSERT_EQ(store->parse(colours.c_str()), 1);
    PropertyManager* previous = LayoutDocument::propertyStore();
    LayoutDocument::setPropertyStore(store);

    playingScene("RR....\n......\n..o...\n......\nG#..T.");
    // A treasure whose colour is its treasure index 17 (no colour of the table).
    Block* treasure = put(4, 4, BlockTypeTreasure, 17);
    TestPlayScene::hold(scene->droppedTreasure, treasure);
    click(2, 2);
    // Two of colour 1, one of colour 2, a blocker and the treasure; none for the bomb itself. The
    // colours stay 0xAARRGGBB: the star converts them when it draws.
    EXPECT_EQ(starColours(), (std::vector<std::uint32_t>{0xFF000002, 0xFF000003, 0xFF110000, 0xFF110000, 0xFF220000}));
    LayoutDocument::setPropertyStore(previous);
}

TEST_F(ClickToolsTest, TheScorePreviewStaysMovesWithItsGroupOrMakesWayForAnother)
{
    playingScene("......\n......\n......\nRRB...\nRBB...");
    hover(0, 3);
    level()->selectGroup(level()->getBlock(0, 3));
    scene->showScorePreview();
    auto* preview = dynamic_cast<Floater*>(canvas->findSprite("SPRITE_TEMP_FLOATER"));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->getText(), "+10");
    // The mean of the cells' corners (40, 72), (56, 72), (40, 88), half a block to the right.
    EXPECT_EQ(preview->getX(), 53);
    EXPECT_EQ(preview->getBaseY(), 77);
    EXPECT_EQ(preview->getAlpha(), 0);

    // The same group again: the shown preview stays.
    scene->showScorePreview();
    EXPECT_EQ(canvas->findSprite("SPRITE_TEMP_FLOATER"), preview);

    // The field moved under the same group: the preview follows.
    level()->setPosition(40, 20);
    scene->showScorePreview();
    EXPECT_EQ(canvas->findSprite("SPRITE_TEMP_FLOATER"), preview);
    EXPECT_EQ(preview->getBaseY(), 73);
    level()->setPosition(40, 24);

    // Another group of the same points: a new preview in its place.
    hover(2, 3);
    level()->deselectAll();
    level()->selectGroup(level()->getBlock(2, 3));
    scene->showScorePreview();
    Sprite* next = canvas->findSprite("SPRITE_TEMP_FLOATER");
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, preview);
    EXPECT_TRUE(preview->isObsolete());

    scene->hideScorePreview();
    EXPECT_EQ(canvas->findSprite("SPRITE_TEMP_FLOATER"), nullptr);
}

} // namespace
