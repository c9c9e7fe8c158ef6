// The endless field on the field fixture's canvas and virtual clock: the fast scroll of a new game, the
// depth read from the scroll, a new row entering without a jump, the field standing still when a due
// row meets an occupied top and the countdown ending the game, the saved scroll, and the depth formats.
#include "../field/FieldFixture.h"

#include "game/endless/EndlessActors.h"
#include "game/endless/EndlessLevel.h"
#include "game/endless/EndlessPlayScene.h"
#include "runtime/Random.h"
#include "runtime/streams/XMLDocumentFile.h"
#include "toolkit/sprite/ScrollSprite.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kBlock = 16;
constexpr int kRows = 5;
constexpr float kSpeedUp = 4.0f;
constexpr float kLevelSpeed = 0.5f;
constexpr int kGameOverMs = 200;

std::string endlessLayout()
{
    std::string text = fieldtest::fieldLayout();
    text.erase(text.rfind("</Layout>"));
    return text + R"xml(
  <endlesslevel id="LEVEL_EASY_ENDLESS" width="6" height="5" blockwidth="16" blockheight="16" nrofinitlines="2">
    <level leveldepth="100" minspeed="0.5" maxspeed="0.5" nroflines="1000" color1ratio="1" color2ratio="1"/>
  </endlesslevel>
  <scrollsprite id="SCROLL_GAME_ENDLESS" name="SCROLL_GAME_ENDLESS"/>
  <pixelfontlabel id="LABEL_DEPTH_ENDLESS" font="FONT_MUL" x="200" y="4"/>
  <String id="STRING_DEPTH_LABEL_TEMPLATE">%.2f m</String>
  <String id="STRING_GAMEOVER_DEPTH_FORMAT">%.1f m</String>
  <Rectangle id="RECT_LEVEL_BLOCKS_CLIP_RECT_ENDLESS" x="40" y="24" width="96" height="80"/>
  <Integer id="INT_MUSIC_START_DELAY">1000</Integer>
  <Float id="INT_LEVEL_RESUME_FADE_SPEED_ENDLESS">0.5</Float>
  <Integer id="INT_ENDLESS_SLOWDOWN_HEIGHT">0</Integer>
  <Float id="FLOAT_ENDLESS_SPEEDUP_SCROLL_SPEED">4.0</Float>
  <Float id="FLOAT_ENDLESS_SLOWDOWN_SCROLL_SPEED_MULTIPLIER">0.5</Float>
  <Integer id="INT_GAME_OVER_TIME_ENDLESS">200</Integer>
  <Integer id="INT_JACK_ROPE_HEIGHT">40</Integer>
  <IntegerVector id="INT_MINE_CART_GOLD_XOFFSET_ENDLESS"><i>4</i><i>8</i></IntegerVector>
  <IntegerVector id="INT_MINE_CART_GOLD_YOFFSET_ENDLESS"><i>2</i><i>3</i></IntegerVector>
  <Integer id="INT_TOOL_ICON_REMOVE_MOVES_PER_FRAME">1</Integer>
  <Float id="FLOAT_GOLD_FLY_DAMPING">0.12</Float>
  <Float id="FLOAT_GOLD_FLY_SPRINGINESS">0.75</Float>
  <Float id="FLOAT_JACK_ASCEND_SPEED">0.1</Float>
  <Integer id="INT_NR_OF_MINE_CART_GOLD_STAGES_ENDLESS">5</Integer>
</Layout>)xml";
}

// Keeps the rows of the game-over dialog it builds.
class FigureServices : public fieldtest::RecordingServices {
public:
    Dialog* openGameOverStatsDialog(int x, int y, int width, int height, const std::string& header,
                                    const std::vector<std::string>& texts,
                                    const std::vector<std::string>& values) override
    {
        rowValues = values;
        return RecordingServices::openGameOverStatsDialog(x, y, width, height, header, texts, values);
    }
    std::vector<std::string> rowValues;
};

class EndlessProbe : public EndlessPlayScene {
public:
    using EndlessPlayScene::EndlessPlayScene;
    using PlayScene::speedUpActive;
    using PlayScene::mouseCellX;
    using PlayScene::mouseCellY;
    using PlayScene::pendingSprites;
    using PlayScene::droppedTreasure;
};

class EndlessFieldTest : public fieldtest::FieldFixture {
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        loadLayout(endlessLayout());
        settings.mode = "ENDLESS";
        // The cart's gold strip: five stages of 8 pixels.
        addImage("IMAGE_CART_GOLD_ENDLESS", 24, 40, 0xFFE27A);
        Random::global().setSeed(7);
    }

    void TearDown() override
    {
        dropField(field);
        FieldFixture::TearDown();
    }

    EndlessProbe* playing()
    {
        return showField(field, [&] { return field->getPhase() == PlayPhase::Playing; });
    }

    // A field taken up from the saved game, stopped right after the restore (before any scrolling).
    EndlessProbe* restored()
    {
        settings.continueSaved = 1;
        return showField(field, [&] { return field->getPhase() >= PlayPhase::Intro; });
    }

    // A block of alternating colours in every cell of the top row, shown.
    void fillTopRow(Level* level)
    {
        for (int x = 0; x < level->getColumns(); ++x) {
            auto* block = new Block(level, x, 0, BlockTypeColour, x % 2, 1, true);
            level->setBlock(x, 0, block);
            block->addToCanvas(canvas);
        }
    }

    // Rewrites attributes of the saved game's "SaveGame" element, as a hand-edited file would.
    void editSavedGame(const std::vector<std::pair<const char*, const char*>>& attributes)
    {
        const std::string path = services.getSaveGamePath("ENDLESS", "tester", "savegames");
        TiXmlDocument document;
        ASSERT_TRUE(loadXMLDocument(document, path, nullptr, false));
        TiXmlElement* game = document.RootElement()->FirstChildElement("SaveGame");
        ASSERT_NE(game, nullptr);
        for (const auto& [name, value] : attributes)
            game->SetAttribute(name, value);
        ASSERT_TRUE(saveXMLDocument(document, path, nullptr));
    }

    EndlessProbe* field = nullptr;
};

std::string newRowText(Level* level)
{
    std::string text;
    for (Block* block : level->getNewRow())
        text += leveltest::codeOf(block);
    return text;
}

TEST_F(EndlessFieldTest, NewGameScrollsFastUntilARowEntersThenAtTheLevelSpeed)
{
    EndlessProbe* scene = playing();
    EndlessLevel* level = scene->getEndlessLevel();
    ASSERT_EQ(level->getRowsAdded(), 2);
    EXPECT_TRUE(scene->speedUpActive);
    // The waiting row is full and stands just below the bottom row.
    ASSERT_EQ(static_cast<int>(level->getNewRow().size()), 6);

    const double before = scene->getScrollPosition();
    frame();
    EXPECT_DOUBLE_EQ(scene->getScrollPosition(), before - kSpeedUp);

    // The third row is due once the field has scrolled past (2 + 1) rows.
    ASSERT_TRUE(runUntil([&] { return level->getRowsAdded() == 3; }, 100));
    const double at = scene->getScrollPosition();
    EXPECT_LT(at, -3.0 * kBlock);
    EXPECT_GE(at, -3.0 * kBlock - kSpeedUp);
    EXPECT_FALSE(scene->speedUpActive);
    // The bottom row now holds blocks, drawn where the waiting row stood: no jump.
    for (int x = 0; x < 6; ++x) {
        Block* block = level->getBlock(x, kRows - 1);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block->getY(), static_cast<int>(level->getY() + (kRows - 1) * kBlock + level->scrollRemainder()));
    }
    EXPECT_EQ(static_cast<int>(level->getNewRow().size()), 6);

    // The depth is six rows a unit, counted from the field's height, and the label shows it.
    EXPECT_NEAR(level->getDepth(), (kRows * kBlock - at) / kBlock / 6.0, 1e-4);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%.2f m", static_cast<double>(level->getDepth()));
    EXPECT_EQ(scene->getDepthLabel()->getText(), expected);

    const double slow = scene->getScrollPosition();
    frame();
    EXPECT_NEAR(scene->getScrollPosition(), slow - kLevelSpeed, 1e-6);
}

// The menu button comes in from beyond the left edge and ends there fully visible: a button left at
// the alpha it starts with could not be seen.
TEST_F(EndlessFieldTest, TheMenuButtonSlidesInToTheLeftEdgeAndShows)
{
    EndlessProbe* scene = playing();
    ButtonBlit* menu = scene->getMenuButton();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(runUntil([&] { return menu->getModifiers().empty(); }, 200));
    EXPECT_EQ(menu->getX(), 0);
    EXPECT_EQ(menu->getY(), 10);
    EXPECT_EQ(menu->getAlpha(), 255);
}

TEST_F(EndlessFieldTest, ASpeedUpScrollsFastUntilTheNextRowEntersAndIsRefusedAtAFullTop)
{
    EndlessProbe* scene = playing();
    EndlessLevel* level = scene->getEndlessLevel();
    ASSERT_TRUE(runUntil([&] { return level->getRowsAdded() == 3; }, 100));
    frame();
    scene->sendEvent(PlayEvent::SpeedUp);
    EXPECT_TRUE(scene->speedUpActive);
    const double before = scene->getScrollPosition();
    frame();
    EXPECT_DOUBLE_EQ(scene->getScrollPosition(), before - kSpeedUp);
    ASSERT_TRUE(runUntil([&] { return level->getRowsAdded() == 4; }, 100));
    EXPECT_FALSE(scene->speedUpActive);

    // With the top row occupied a speed-up is refused.
    auto* block = new Block(level, 1, 0, BlockTypeColour, 0, 1, true);
    level->setBlock(1, 0, block);
    block->addToCanvas(canvas);
    scene->sendEvent(PlayEvent::SpeedUp);
    EXPECT_FALSE(scene->speedUpActive);
}

TEST_F(EndlessFieldTest, GoldFliesIntoTheCartItsPointsCountAtOnceAndPlayGoesOn)
{
    EndlessProbe* scene = playing();
    EndlessLevel* level = scene->getEndlessLevel();
    // Two selected gold blocks side by side in the top row.
    for (int x = 0; x < 2; ++x) {
        auto* block = new Block(level, x, 0, BlockTypeGold, 0, 1, true);
        level->setBlock(x, 0, block);
        block->addToCanvas(canvas);
        block->setState(BlockStateSelected);
    }
    scene->mouseCellX = 0;
    scene->mouseCellY = 0;
    const int score = scene->getScore();
    scene->sendEvent(PlayEvent::GoldComplete);
    EXPECT_EQ(scene->getPhase(), PlayPhase::LevelUp);
    EXPECT_EQ(scene->getScore(), score + 2 * 25);
    const int flying = static_cast<int>(scene->pendingSprites.size());

    ASSERT_TRUE(runUntil([&] { return scene->getPhase() == PlayPhase::Playing; }, 500))
        << scene->getPhase() << " " << scene->getSubStep() << " " << scene->pendingSprites.size() << " " << flying;
    EXPECT_TRUE(scene->pendingSprites.empty());
    EXPECT_EQ(scene->getMineCart()->getGoldLevel(), flying);
    EXPECT_EQ(scene->getScore(), score + 2 * 25);
}

TEST_F(EndlessFieldTest, ADueRowAtAnOccupiedTopStopsTheFieldAndTheCountdownEndsTheGame)
{
    EndlessProbe* scene = playing();
    EndlessLevel* level = scene->getEndlessLevel();
    // Fill the top row: nothing happens until the next row becomes due.
    fillTopRow(level);
    frame();
    EXPECT_FALSE(scene->isTopAlarm());
    EXPECT_EQ(scene->getPhase(), PlayPhase::Playing);

    ASSERT_TRUE(runUntil([&] { return scene->isTopAlarm(); }, 100));
    const double stopped = scene->getScrollPosition();
    EXPECT_LT(stopped, -3.0 * kBlock);
    EXPECT_EQ(level->getRowsAdded(), 2);
    frame();
    frame();
    EXPECT_DOUBLE_EQ(scene->getScrollPosition(), stopped);
    EXPECT_EQ(scene->getPhase(), PlayPhase::Playing);

    // The countdown runs out after its time and the rock fall begins.
    ASSERT_TRUE(runUntil([&] { return scene->getPhase() != PlayPhase::Playing; }, kGameOverMs / 20 + 3));
    EXPECT_EQ(scene->getPhase(), PlayPhase::RockFall);
    EXPECT_EQ(scene->getSaveState(), SaveState::Lost);
}

TEST_F(EndlessFieldTest, ALostGameShowsTheDepthReachedAndLeavesThroughTheEndlessEnd)
{
    FigureServices figures;
    FieldServices::install(&figures);
    EndlessProbe* scene = playing();
    EndlessLevel* level = scene->getEndlessLevel();
    fillTopRow(level);
    scene->setScore(75);
    ASSERT_TRUE(runUntil([&] { return scene->getPhase() == PlayPhase::GameOver; }, 600));
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(level->getBlock(x, y), nullptr);
    ASSERT_TRUE(runUntil([&] { return scene->getOpenDialog() && scene->getOpenDialog()->getCanvas(); }, 300));
    EXPECT_EQ(scene->getOpenDialog()->getName(), "DIALOG_HIGHSCORE_STATS");
    char depth[32];
    std::snprintf(depth, sizeof depth, "%.1f m", scene->getGameStats().depth);
    ASSERT_EQ(figures.rowValues.size(), 5u);
    EXPECT_EQ(figures.rowValues[0], depth);
    EXPECT_EQ(figures.rowValues[1], "75");

    // The figures answered (and the score hand-over question after them, when it comes), the menu
    // button slides away and the field is left.
    answer(scene->getOpenDialog(), "BUTTON_OK");
    if (scene->getOpenDialog() && scene->getOpenDialog()->getName() == "DIALOG_UPDATE_SCORES")
        answer(scene->getOpenDialog(), "BUTTON_NO");
    ASSERT_TRUE(runUntil([&] { return scene->getPhase() == PlayPhase::EndlessEnd; }, 100)) << scene->getPhase();
    ASSERT_TRUE(runUntil([&] { return scene->getPhase() == PlayPhase::Leave; }, 300));
    EXPECT_LE(scene->getMenuButton()->getX(), -scene->getMenuButton()->getWidth() + 1);
    scorePending = false;
    uploadScore = 0;
    FieldServices::install(&services);
}

TEST_F(EndlessFieldTest, ANonPositiveCountdownEndsABlockedGameAtOnce)
{
    std::string layout = endlessLayout();
    const std::string time = "<Integer id=\"INT_GAME_OVER_TIME_ENDLESS\">200<";
    layout.replace(layout.find(time), time.size(), "<Integer id=\"INT_GAME_OVER_TIME_ENDLESS\">0<");
    loadLayout(layout);
    EndlessProbe* scene = playing();
    EndlessLevel* level = scene->getEndlessLevel();
    auto* block = new Block(level, 2, 0, BlockTypeColour, 0, 1, true);
    level->setBlock(2, 0, block);
    block->addToCanvas(canvas);
    ASSERT_TRUE(runUntil([&] { return scene->isTopAlarm(); }, 100));
    ASSERT_TRUE(runUntil([&] { return scene->getPhase() == PlayPhase::RockFall; }, 3));
}

TEST_F(EndlessFieldTest, ClearingTheTopLetsTheDueRowInAndTheFieldScrollsOn)
{
    EndlessProbe* scene = playing();
    EndlessLevel* level = scene->getEndlessLevel();
    auto* block = new Block(level, 0, 0, BlockTypeColour, 0, 1, true);
    level->setBlock(0, 0, block);
    block->addToCanvas(canvas);
    ASSERT_TRUE(runUntil([&] { return scene->isTopAlarm(); }, 100));

    canvas->removeSprite(block);
    level->setBlock(0, 0, nullptr);
    frame();
    EXPECT_FALSE(scene->isTopAlarm());
    EXPECT_EQ(level->getRowsAdded(), 3);
    EXPECT_EQ(scene->getPhase(), PlayPhase::Playing);
}

TEST_F(EndlessFieldTest, TheMenuButtonOpensTheMenuWhilePlaying)
{
    EndlessProbe* scene = playing();
    scene->onClick(scene->getMenuButton());
    frame();
    EXPECT_EQ(scene->getPhase(), PlayPhase::Menu);
    EXPECT_EQ(services.count("openMainMenu"), 1);
}

TEST_F(EndlessFieldTest, SavedScrollIsAWholeNumber)
{
    EndlessProbe* scene = playing();
    for (int i = 0; i < 3; ++i)
        frame();
    scene->getScrollSprite()->scroll(0.75);
    TiXmlElement element("SaveGame");
    scene->saveModeState(&element);
    int saved = 1;
    ASSERT_EQ(element.QueryIntAttribute("levelypos", &saved), TIXML_SUCCESS);
    EXPECT_EQ(saved, static_cast<int>(scene->getScrollPosition()));
    EXPECT_NE(element.Attribute("minecartgoldamount"), nullptr);
}

TEST_F(EndlessFieldTest, ASavedGameComesBackAtItsScrollWithItsRows)
{
    EndlessProbe* scene = playing();
    ASSERT_TRUE(runUntil([&] { return scene->getEndlessLevel()->getRowsAdded() == 4; }, 200));
    scene->getScrollSprite()->scroll(0.75);
    scene->setScore(321);
    scene->getMineCart()->setGoldLevel(3);
    const int savedAt = static_cast<int>(scene->getScrollPosition());
    const std::string before = gridText(scene->getLevel());
    scene->saveGame();
    canvas->removeSprite(scene);
    scene->release();
    field = nullptr;

    settings.continueSaved = 1;
    EndlessProbe* restored = playing();
    EndlessLevel* level = restored->getEndlessLevel();
    // The field stands where it was saved (whole pixels), at the level speed, with the rows it had.
    EXPECT_FALSE(restored->speedUpActive);
    EXPECT_NEAR(restored->getScrollPosition(), savedAt, kLevelSpeed * 3);
    EXPECT_EQ(level->getRowsAdded(), 4);
    EXPECT_EQ(gridText(level), before);
    EXPECT_EQ(restored->getScore(), 321);
    EXPECT_EQ(restored->getMineCart()->getGoldAmount(), 3);
    EXPECT_EQ(settings.continueSaved, 0);
    // The waiting row is back below the bottom row.
    ASSERT_EQ(static_cast<int>(level->getNewRow().size()), 6);
    for (Block* block : level->getNewRow())
        EXPECT_EQ(block->getY(), static_cast<int>(level->getY() + kRows * kBlock + level->scrollRemainder()));
}

TEST_F(EndlessFieldTest, ARestoredGameHoldsEveryCellTheScrollTheCartAndTheDepthSpan)
{
    EndlessProbe* scene = playing();
    ASSERT_TRUE(runUntil([&] { return scene->getEndlessLevel()->getRowsAdded() == 4; }, 200));
    scene->getScrollSprite()->scroll(0.75);
    scene->getMineCart()->setGoldLevel(2);
    Level* before = scene->getLevel();
    before->repaintBlock(before->getBlock(2, 4), BlockTypeGold, 0);
    const int savedAt = static_cast<int>(scene->getScrollPosition());
    const std::string grid = gridText(before);
    const std::string waiting = newRowText(before);
    const int prevEnd = scene->getEndlessLevel()->getPrevLevelEnd();
    const int nextEnd = scene->getEndlessLevel()->getNextLevelEnd();
    saveAndLeave(field);

    EndlessProbe* back = restored();
    EndlessLevel* level = back->getEndlessLevel();
    EXPECT_EQ(back->getScrollPosition(), savedAt);
    EXPECT_EQ(level->getScrollPosition(), savedAt);
    EXPECT_EQ(back->getMineCart()->getGoldAmount(), 2);
    EXPECT_EQ(level->getRowsAdded(), 4);
    EXPECT_EQ(level->getPixelsCreated(), 4 * kBlock);
    EXPECT_EQ(level->getPrevLevelEnd(), prevEnd);
    EXPECT_EQ(level->getNextLevelEnd(), nextEnd);
    EXPECT_EQ(gridText(level), grid);
    EXPECT_EQ(newRowText(level), waiting);
    EXPECT_EQ(level->getGoldCount(), std::count(grid.begin(), grid.end(), '$'));
    EXPECT_EQ(back->getSaveState(), SaveState::Playing);
}

// The program continues an endless game through the field's start with the continue flag: in the frame
// of the restore and in every frame of the fade-in, the cells, the waiting row, the score, the level and
// the timers are those that were left, the timers running on from where they stood.
TEST_F(EndlessFieldTest, AContinuedGameHoldsAsLeftThroughItsFadeIn)
{
    EndlessProbe* scene = playing();
    ASSERT_TRUE(runUntil([&] { return scene->getEndlessLevel()->getRowsAdded() == 4; }, 200));
    scene->setScore(555);
    scene->getLevel()->setLevelNumber(3);
    frame();
    const std::string grid = gridText(scene->getLevel());
    const std::string waiting = newRowText(scene->getLevel());
    const int levelTime = scene->getLevelTimer().getElapsed();
    ASSERT_GT(levelTime, 0);
    saveAndLeave(field);

    EndlessProbe* back = restored();
    Level* level = back->getLevel();
    const auto faded = [&] {
        for (int y = 0; y < level->getRows(); ++y)
            for (int x = 0; x < level->getColumns(); ++x)
                if (const Block* block = level->getBlock(x, y); block != nullptr && block->getAlpha() != 255)
                    return false;
        return true;
    };
    EXPECT_FALSE(faded());
    int frames = 0;
    do {
        SCOPED_TRACE(frames);
        EXPECT_EQ(gridText(level), grid);
        EXPECT_EQ(newRowText(level), waiting);
        EXPECT_EQ(back->getScore(), 555);
        EXPECT_EQ(level->getLevelNumber(), 3);
        EXPECT_EQ(back->getLevelTimer().getElapsed(), levelTime + frames * 20);
        EXPECT_FALSE(back->getTreasureTimer().isRunning());
        EXPECT_FALSE(back->getHourglassTimer().isRunning());
        if (faded())
            break;
        frame();
    } while (++frames < 100);
    EXPECT_TRUE(faded());
    EXPECT_GT(frames, 1);
}

TEST_F(EndlessFieldTest, ATreasureStillFallingComesBackAsTheFieldsTreasure)
{
    EndlessProbe* scene = playing();
    Level* level = scene->getLevel();
    level->setBlock(1, 3, new Block(level, 1, 3, BlockTypeTreasure, 2, 1, true));
    level->setBlock(4, 4, new Block(level, 4, 4, BlockTypeTreasure, 5, 1, true));
    scene->getTreasureTimer().restart(timeGetTime());
    saveAndLeave(scene);
    stats().currentTreasure = -1;

    EndlessProbe* back = restored();
    // The lowest treasure, scanning rows from the bottom up.
    EXPECT_EQ(back->droppedTreasure, back->getLevel()->getBlock(4, 4));
    EXPECT_EQ(stats().currentTreasure, 5);
}

TEST_F(EndlessFieldTest, DamagedScrollAndRowCountsOfASavedGameStayWithinTheFieldsNumbers)
{
    struct Case {
        const char* levelypos;
        const char* rows;
        const char* nextEnd;
        double scroll;
    } cases[] = {
        {"nan", "3", "2147483647", 0.0},
        {"1e300", "3", "2147483647", 0.0},
        {"-1e300", "3", "2147483647", 0.0},
        {"-37.5", "3", "2147483647", -37.5},
        {"-20", "2147483647", "2147483647", -20.0},
        // A span of a few units far below the depth reached.
        {"-20", "3", "-2147483549", -20.0},
    };
    for (const Case& c : cases) {
        EndlessProbe* scene = playing();
        saveAndLeave(scene);
        editSavedGame({{"levelypos", c.levelypos}, {"nrlinescreated", c.rows}, {"prevlevelend", "-2147483648"},
                       {"nextlevelend", c.nextEnd}});
        EndlessProbe* back = restored();
        EndlessLevel* level = back->getEndlessLevel();
        EXPECT_EQ(back->getScrollPosition(), c.scroll) << c.levelypos;
        EXPECT_GT(level->getRowsAdded(), 0) << c.rows;
        EXPECT_EQ(static_cast<long long>(level->getPixelsCreated()),
                  static_cast<long long>(level->getRowsAdded()) * kBlock);
        EXPECT_TRUE(std::isfinite(level->getSpeed()));
        // The field plays on from there and saves whole pixels again.
        for (int i = 0; i < 5; ++i)
            frame();
        TiXmlElement element("SaveGame");
        back->saveModeState(&element);
        int saved = 1;
        EXPECT_EQ(element.QueryIntAttribute("levelypos", &saved), TIXML_SUCCESS);
        canvas->removeSprite(back);
        back->release();
        field = nullptr;
    }
}

TEST_F(EndlessFieldTest, TheCartRidesWithTheFieldUntilTheRopeIsSpentThenTheElevatorPullsItUp)
{
    auto* miner = keep(new JackEndless);
    auto* cart = keep(new MineCartEndless(1, miner));
    cart->setPosition(400, 0);
    canvas->addSprite(cart);

    for (double y : {0.0, -10.5, -25.0, -40.0}) {
        cart->followScroll(y);
        EXPECT_EQ(cart->getY(), static_cast<int>(y)) << y;
        EXPECT_TRUE(cart->getModifiers().empty());
    }
    cart->followScroll(-41.0);
    EXPECT_FALSE(cart->getModifiers().empty());
    EXPECT_EQ(miner->getPose(), 2);
    const int channel = cart->getElevatorChannel();
    // While the move runs the cart ignores the field and starts no second sound.
    cart->followScroll(-60.0);
    EXPECT_EQ(cart->getElevatorChannel(), channel);

    ASSERT_TRUE(runUntil([&] { return cart->getModifiers().empty(); }, 200));
    frame();
    EXPECT_EQ(cart->getY(), 0);
    EXPECT_EQ(cart->getX(), 400);
    EXPECT_EQ(cart->getElevatorChannel(), -1);
    // The offset is measured anew from the top; the miner calms down.
    cart->followScroll(-70.0);
    EXPECT_EQ(cart->getY(), 0);
    EXPECT_EQ(miner->getPose(), 1);
    cart->followScroll(-80.0);
    EXPECT_EQ(cart->getY(), -10);
    canvas->removeSprite(cart);
}

TEST_F(EndlessFieldTest, ALeavingCartIsEmptiedOnceItsMoveEnds)
{
    auto* cart = keep(new MineCartEndless(1, nullptr));
    cart->setGoldLevel(5);
    cart->setLeaving(true);
    cart->followScroll(-5.0);
    EXPECT_FALSE(cart->isLeaving());
    EXPECT_EQ(cart->getGoldAmount(), 0);
}

TEST(EndlessDepthFormat, FillsExactlyOneFloatingConversion)
{
    struct Case {
        const char* format;
        const char* shown;
    } cases[] = {
        {"%.1f m", "12.5 m"},
        {"Depth: %6.2f", "Depth:  12.50"},
        {"100%% %.0f", "100% 12"},
        // A format that would read a wrong or missing argument is shown as it is, the depth appended.
        {"Depth %d", "Depth %d12.5"},
        {"%s deep", "%s deep12.5"},
        {"%f and %f", "%f and %f12.5"},
        {"no conversion ", "no conversion 12.5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatDepth(c.format, 12.5), c.shown) << c.format;
}

} // namespace
