// The play field's phase machine driven by events and by the virtual clock: every cell of the action
// table, the waits of the phases the base runs, the in-game menu with pauses requested at awkward
// moments, the hourglass keeping the countdown stopped, and the way from a lost game to leaving.
#include "FieldFixture.h"

#include "game/effects/ClearBonus.h"
#include "runtime/DebugLog.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

using fieldtest::drawIndex;
using fieldtest::FieldFixture;
using fieldtest::TestPlayScene;

namespace {

class PhaseMachineTest : public FieldFixture {};

TEST_F(PhaseMachineTest, EveryPhaseAndEventOfTheTableLeadsWhereTheTableSays)
{
    using namespace PlayPhase;
    namespace E = PlayEvent;
    // (phase, event) -> phase afterwards, for the classic table; every other cell leaves the phase alone.
    const std::map<std::pair<int, int>, int> moves = {
        {{Shown, E::StepDone}, Starting},        {{Starting, E::DialogClosed}, Intro},
        {{Intro, E::StepDone}, Playing},         {{Playing, E::Click}, Playing},
        {{Playing, E::GroupRemoved}, Playing},   {{Playing, E::ToolUsed}, ToolEffect},
        {{Playing, E::TreasureTaken}, TreasureFound}, {{Playing, E::GoldComplete}, LevelUp},
        {{Playing, E::GameLost}, RockFall},      {{Playing, E::SpeedUp}, Playing},
        {{Playing, E::Pause}, Menu},             {{FieldCleared, E::StepDone}, Playing},
        {{ToolEffect, E::StepDone}, Playing},    {{TreasureFound, E::StepDone}, TreasureToDialog},
        {{TreasureToDialog, E::DialogClosed}, Playing}, {{LevelUp, E::StepDone}, LineBonus},
        {{LineBonus, E::StepDone}, LevelSummary}, {{LevelSummary, E::DialogClosed}, CartLeaves},
        {{CartLeaves, E::StepDone}, Intro},      {{Menu, E::MenuLeave}, Leave},
        {{Menu, E::DialogClosed}, Playing},      {{RockFall, E::StepDone}, GameOver},
        {{GameOver, E::DialogClosed}, Leave},
    };
    const int phases[] = {Created, Shown, Starting, Intro, Playing, FieldCleared, ToolEffect, TreasureFound,
                          TreasureToDialog, LevelUp, LineBonus, LevelSummary, CartLeaves, Menu, RockFall,
                          GameOver, EndlessEnd, Leave};
    for (int phase : phases)
        for (int event = 0; event < E::Count; ++event) {
            SCOPED_TRACE("phase " + std::to_string(phase) + ", event " + std::to_string(event));
            TestPlayScene* field = playingScene("......\n......\n......\n......\nRGBYPR");
            field->setPhase(phase);
            const auto move = moves.find({phase, event});
            field->sendEvent(event);
            EXPECT_EQ(field->getPhase(), move == moves.end() ? phase : move->second);
            // A pause outside play only asks for the menu; in play it opens it, in the menu it is ignored.
            EXPECT_EQ(field->isMenuRequested(), event == E::Pause && phase != Playing && phase != Menu);
            EXPECT_EQ(field->speedUps, phase == Playing && event == E::SpeedUp ? 1 : 0);
            canvas->removeSprite(field);
            field->unregisterInput();
            field->release();
            scene = nullptr;
        }
}

TEST_F(PhaseMachineTest, AGameStartsThroughShownStartingAndIntoPlay)
{
    TestPlayScene* field = makeScene();
    fill("......\n......\n......\n......\nRGBYPR");
    field->autoStepFrames = 2;
    EXPECT_EQ(field->getPhase(), PlayPhase::Created);
    canvas->addSprite(field);
    EXPECT_EQ(field->getPhase(), PlayPhase::Shown);
    ASSERT_TRUE(runUntil([&] { return field->getPhase() == PlayPhase::Starting; }));
    // Starting: the next frame sends DialogClosed, which starts the game.
    frame();
    EXPECT_EQ(field->getPhase(), PlayPhase::Intro);
    ASSERT_TRUE(runUntil([&] { return field->getPhase() == PlayPhase::Playing; }));
    // Phase changes enable the buttons for the phase.
    EXPECT_TRUE(field->getMenuButton()->isEnabled());
    EXPECT_TRUE(field->getNewRowButton()->isEnabled());
    field->setPhase(PlayPhase::ToolEffect);
    EXPECT_TRUE(field->getMenuButton()->isEnabled());
    EXPECT_FALSE(field->getNewRowButton()->isEnabled());
    field->setPhase(PlayPhase::TreasureFound);
    EXPECT_FALSE(field->getMenuButton()->isEnabled());
}

TEST_F(PhaseMachineTest, AToolPhaseWaitsForTheRemovalsAndThenThreeFrames)
{
    TestPlayScene* field = playingScene("......\n......\n......\n......\nRGBYPR");
    Level* level = field->getLevel();
    level->setRemovingCount(2);
    field->sendEvent(PlayEvent::ToolUsed);
    ASSERT_EQ(field->getPhase(), PlayPhase::ToolEffect);
    for (int i = 0; i < 20; ++i)
        frame();
    EXPECT_EQ(field->getPhase(), PlayPhase::ToolEffect) << "waits while blocks are being removed";
    level->setRemovingCount(0);
    // The frame that sees no removal restarts the wait; 150 ms later the field settles.
    frame();
    for (int i = 0; i < 7; ++i)
        frame();
    EXPECT_EQ(field->getPhase(), PlayPhase::ToolEffect);
    frame();
    EXPECT_EQ(field->getPhase(), PlayPhase::Playing);
}

TEST_F(PhaseMachineTest, AClickInPlayReachesTheGroupClickAndItsRemovalSettlesTheField)
{
    TestPlayScene* field = playingScene("......\n......\n......\nG.....\nRRRGBG");
    press(cellX(1), cellY(4));
    Level* level = field->getLevel();
    EXPECT_EQ(level->getBlockCount(), 4) << "the red group left the grid";
    EXPECT_EQ(level->getLowestBlockOfType(BlockTypeColour)->getColour(), 1);
    EXPECT_EQ(field->getScore(), 10) << "a group of the minimum size scores the initial value";
    EXPECT_EQ(field->events, (std::vector<int>{PlayEvent::Click, PlayEvent::GroupRemoved}));
    EXPECT_EQ(field->getPhase(), PlayPhase::Playing);
    // The settling let the green block fall into the bottom row.
    EXPECT_EQ(leveltest::LevelFixture::gridText(level), "......\n......\n......\n......\n..GGBG");

    // During the clear-bonus display a click does nothing.
    field->setPhase(PlayPhase::FieldCleared);
    const int before = field->getScore();
    press(cellX(3), cellY(4));
    EXPECT_EQ(field->getScore(), before);
    EXPECT_EQ(field->getPhase(), PlayPhase::FieldCleared);
}

TEST_F(PhaseMachineTest, EmptyingTheFieldShowsTheClearBonusAndAddsItOnce)
{
    TestPlayScene* field = playingScene("......\n......\n......\n......\n......");
    stats().hintCounts[5] = 1;
    field->sendEvent(PlayEvent::GroupRemoved);
    ASSERT_EQ(field->getPhase(), PlayPhase::FieldCleared);
    EXPECT_EQ(field->getLevelStats().clearcount.get(), 1);
    EXPECT_EQ(field->getHintCount(5), 5) << "the game's stock of the clear hint was 6";
    EXPECT_EQ(stats().hintCounts[5], 0);
    // The bonus appears after 200 ms and counts after 550 ms.
    for (int i = 0; i < 9; ++i)
        frame();
    EXPECT_EQ(canvas->findSprite("SPRITE_BONUS_ARROW"), nullptr);
    frame();
    frame();
    EXPECT_EQ(field->getScore(), 0);
    ASSERT_TRUE(runUntil([&] { return field->getScore() != 0; }));
    EXPECT_EQ(field->getScore(), 200) << "points 100 times factor 2";
    ASSERT_TRUE(runUntil([&] { return field->getPhase() == PlayPhase::Playing; }, 2000));
    EXPECT_EQ(field->getScore(), 200);

    // Both stocks of the hint stay at 0 when emptied again.
    stats().hintCounts[5] = 0;
    for (int i = 0; i < 8; ++i) {
        field->setPhase(PlayPhase::Playing);
        field->sendEvent(PlayEvent::GroupRemoved);
    }
    EXPECT_EQ(field->getHintCount(5), 0);
    EXPECT_EQ(stats().hintCounts[5], 0);
}

TEST_F(PhaseMachineTest, TheMenuPausesTheGameAndResumingGoesOnWhereItStopped)
{
    TestPlayScene* field = playingScene("......\n......\n......\n......\nRGBYPR");
    for (int i = 0; i < 10; ++i)
        frame();
    const int levelTime = field->getLevelTimer().getElapsed();
    field->onClick(field->getMenuButton());
    ASSERT_EQ(field->getPhase(), PlayPhase::Menu);
    EXPECT_FALSE(field->isMenuRequested());
    EXPECT_EQ(services.count("openMainMenu IMAGE_GAME_MENU_CLASSIC 4 40 24 96 80"), 1);
    EXPECT_EQ(services.count("fadeMusicHalf"), 1);
    Sprite* menu = field->getOpenDialog();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->getName(), "DIALOG_INGAME_MENU");
    EXPECT_EQ(drawIndex(canvas, menu) + 1, drawIndex(canvas, field->getLayerMarker("LAYER_MENU")));
    ASSERT_NE(menu->getClipRect(), nullptr);
    EXPECT_EQ(menu->getX(), 40);
    ASSERT_TRUE(runUntil([&] { return menu->getModifiers().empty(); }));
    EXPECT_EQ(menu->getY(), 30) << "slides down to the clip rectangle's top";

    for (int i = 0; i < 30; ++i)
        frame();
    EXPECT_EQ(field->getLevelTimer().getElapsed(), levelTime) << "no play time passes in the menu";
    // Esc in the menu does not ask for the menu again.
    field->onChar(27);
    EXPECT_FALSE(field->isMenuRequested());

    answer(menu, "BUTTON_MAINMENU_RESUME");
    EXPECT_EQ(field->getPhase(), PlayPhase::Playing);
    EXPECT_EQ(field->getOpenDialog(), nullptr);
    frame();
    frame();
    EXPECT_EQ(field->getPhase(), PlayPhase::Playing) << "the menu stays closed";
    EXPECT_EQ(field->getLevelTimer().getElapsed(), levelTime + 40);
    EXPECT_EQ(services.count("openMainMenu"), 1);
}

TEST_F(PhaseMachineTest, LeavingFromTheMenuTellsTheCartAndGivingUpMarksTheGameLost)
{
    for (const char* button : {"BUTTON_YES", "BUTTON_NO"}) {
        SCOPED_TRACE(button);
        TestPlayScene* field = playingScene("......\n......\n......\n......\nRGBYPR");
        auto* cart = keep(new fieldtest::RecordingCart);
        field->giveCart(cart);
        field->sendEvent(PlayEvent::Pause);
        answer(field->getOpenDialog(), button);
        EXPECT_EQ(field->getPhase(), PlayPhase::Leave);
        EXPECT_EQ(cart->leaves, 1);
        EXPECT_EQ(field->getSaveState(), std::string(button) == "BUTTON_NO" ? SaveState::Lost : SaveState::None);
        canvas->removeSprite(field);
        field->unregisterInput();
        field->release();
        scene = nullptr;
    }
}

TEST_F(PhaseMachineTest, AMenuAskedForDuringAnAnimationOpensOnceBackInPlay)
{
    TestPlayScene* field = playingScene("......\n......\n......\n......\nRGBYPR");
    field->getLevel()->setRemovingCount(1);
    field->sendEvent(PlayEvent::ToolUsed);
    field->onClick(field->getMenuButton());
    frame();
    EXPECT_EQ(field->getPhase(), PlayPhase::ToolEffect);
    EXPECT_TRUE(field->isMenuRequested());
    EXPECT_EQ(services.count("openMainMenu"), 0);
    field->getLevel()->setRemovingCount(0);
    ASSERT_TRUE(runUntil([&] { return field->getPhase() != PlayPhase::ToolEffect; }));
    EXPECT_EQ(field->getPhase(), PlayPhase::Playing);
    EXPECT_EQ(services.count("openMainMenu"), 0);
    frame();
    EXPECT_EQ(field->getPhase(), PlayPhase::Menu);
    EXPECT_FALSE(field->isMenuRequested());
    EXPECT_EQ(services.count("openMainMenu"), 1);
}

TEST_F(PhaseMachineTest, APauseDuringTheLevelEndWaitsForTheNextLevelsPlay)
{
    // Each stage of the level end in turn gets a pause request (menu button or key); the menu opens in
    // the first frame of the next level's play, once, over a running level.
    const int stages[] = {PlayPhase::LevelUp, PlayPhase::LineBonus, PlayPhase::LevelSummary, PlayPhase::CartLeaves,
                          PlayPhase::Intro};
    for (int stage : stages) {
        SCOPED_TRACE("pause in phase " + std::to_string(stage));
        TestPlayScene* field = playingScene("......\n......\n......\n......\nRGBYPR");
        field->autoStepFrames = 3;
        services.calls.clear();
        field->sendEvent(PlayEvent::GoldComplete);
        bool asked = false;
        int frames = 0;
        while (field->getPhase() != PlayPhase::Playing && frames++ < 200) {
            if (field->getPhase() == stage && !asked) {
                if (stage == PlayPhase::LevelSummary)
                    field->onChar('p');
                else
                    field->onClick(field->getMenuButton());
                asked = true;
                EXPECT_EQ(field->getPhase(), stage);
            }
            if (field->getPhase() == PlayPhase::LevelSummary && frames > 20)
                field->sendEvent(PlayEvent::DialogClosed);
            frame();
        }
        ASSERT_TRUE(asked);
        ASSERT_EQ(field->getPhase(), PlayPhase::Playing);
        EXPECT_EQ(services.count("openMainMenu"), 0) << "no menu over the level end";
        EXPECT_TRUE(field->isMenuRequested());
        frame();
        EXPECT_EQ(field->getPhase(), PlayPhase::Menu);
        EXPECT_EQ(services.count("openMainMenu"), 1);
        const int levelTime = field->getLevelTimer().getElapsed();
        for (int i = 0; i < 10; ++i)
            frame();
        EXPECT_EQ(field->getLevelTimer().getElapsed(), levelTime);
        answer(field->getOpenDialog(), "BUTTON_MAINMENU_RESUME");
        frame();
        EXPECT_EQ(field->getPhase(), PlayPhase::Playing);
        EXPECT_EQ(field->getLevelTimer().getElapsed(), levelTime + 20);
        EXPECT_EQ(services.count("openMainMenu"), 1);
        canvas->removeSprite(field);
        field->unregisterInput();
        field->release();
        scene = nullptr;
    }
}

TEST_F(PhaseMachineTest, ResumingWhileAnHourglassRunsKeepsTheCountdownStopped)
{
    TestPlayScene* field = playingScene("R.....\nR.....\nR.....\nR.....\nRGBYPR");
    auto* hourglass = keep(new Sprite(0, 0, 4, 4));
    TestPlayScene::hold(field->hourglassSprite, hourglass);
    field->hourglassTimer.restart(timeGetTime());
    field->gameoverTimer.restart(timeGetTime());
    field->sendEvent(PlayEvent::Pause);
    EXPECT_TRUE(field->hourglassTimer.isPaused());
    EXPECT_TRUE(field->gameoverTimer.isPaused());
    answer(field->getOpenDialog(), "BUTTON_MAINMENU_RESUME");
    EXPECT_FALSE(field->hourglassTimer.isPaused());
    EXPECT_TRUE(field->gameoverTimer.isPaused()) << "the hourglass holds the countdown";

    // Without the hourglass the countdown of an occupied top goes on.
    TestPlayScene::dropSprite(field->hourglassSprite);
    field->hourglassTimer.stop();
    field->sendEvent(PlayEvent::Pause);
    answer(field->getOpenDialog(), "BUTTON_MAINMENU_RESUME");
    EXPECT_FALSE(field->gameoverTimer.isPaused());
}

TEST_F(PhaseMachineTest, TakingATreasurePausesTheGameUntilItsDialogIsClosed)
{
    // The top row is blocked, so the game-over countdown runs too.
    TestPlayScene* field = playingScene("R.....\nG.....\nB.....\nY.....\nRGBYPR");
    stats().currentTreasure = 5;
    for (int i = 0; i < 5; ++i)
        frame();
    const int levelTime = field->getLevelTimer().getElapsed();
    const int countdown = field->gameoverTimer.getElapsed();
    ASSERT_GT(countdown, 0);
    field->sendEvent(PlayEvent::TreasureTaken);
    ASSERT_EQ(field->getPhase(), PlayPhase::TreasureFound);
    frame();
    EXPECT_EQ(services.count("openTreasureClaimedDialog 5"), 1);
    Sprite* dialog = field->getOpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(drawIndex(canvas, dialog), -1) << "held, not shown yet";
    // 2550 ms of header, then the way to the dialog.
    for (int i = 0; i < 126; ++i)
        frame();
    EXPECT_EQ(field->getPhase(), PlayPhase::TreasureFound);
    frame();
    EXPECT_EQ(field->getPhase(), PlayPhase::TreasureToDialog);
    ASSERT_TRUE(runUntil([&] { return drawIndex(canvas, dialog) >= 0; }));
    EXPECT_EQ(field->getLevelTimer().getElapsed(), levelTime) << "the level stood still";
    EXPECT_EQ(field->gameoverTimer.getElapsed(), countdown);
    answer(dialog, "BUTTON_CONTINUE");
    EXPECT_EQ(field->getPhase(), PlayPhase::Playing);
    frame();
    EXPECT_EQ(field->getLevelTimer().getElapsed(), levelTime + 20) << "and runs again afterwards";
    EXPECT_EQ(field->gameoverTimer.getElapsed(), countdown + 20) << "the countdown goes on from where it was";
}

TEST_F(PhaseMachineTest, ALostGameEntersTheHighscoreShowsItsDialogAndLeaves)
{
    TestPlayScene* field = playingScene("R.....\nR.....\nR.....\nR.....\nRGBYPR");
    stats().onGameStarted(settings);
    const int gamesBefore = stats().current->gameovercount;
    field->setScore(1234);
    field->getLevelStats().gold = 7;
    auto* warning = keep(new Sprite(0, 0, 4, 4));
    warning->setName("SPRITE_WARNING");
    canvas->addSprite(warning);
    auto* cart = keep(new fieldtest::RecordingCart);
    field->giveCart(cart);

    field->sendEvent(PlayEvent::GameLost);
    EXPECT_EQ(field->getPhase(), PlayPhase::RockFall);
    EXPECT_TRUE(warning->isObsolete());

    // The mode's end animation leaves a header over the field.
    auto* header = keep(new Sprite(0, -20, 100, 20));
    TestPlayScene::hold(field->headerSprite, header);
    canvas->addSprite(header);
    field->sendEvent(PlayEvent::StepDone);
    EXPECT_EQ(field->getPhase(), PlayPhase::GameOver);
    EXPECT_EQ(services.count("addScore CLASSIC 0 tester 1 1234 0 7 0"), 1);
    EXPECT_EQ(field->getGameStats().highscorePlace, 3);
    EXPECT_EQ(field->getGameStats().gold, 7) << "the level's record is folded into the game's";
    EXPECT_EQ(field->getLevelStats().gold, 0);
    EXPECT_EQ(stats().current->gameovercount, gamesBefore + 1);

    frame();
    Sprite* dialog = field->getOpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(field->hourglassTimer.isEnabled());
    EXPECT_FALSE(field->treasureTimer.isEnabled());
    EXPECT_EQ(drawIndex(canvas, dialog), -1) << "the header slides first";
    ASSERT_TRUE(runUntil([&] { return drawIndex(canvas, dialog) >= 0; }));
    EXPECT_EQ(header->getY(), 110) << "it stopped on the dialog's own header";
    EXPECT_TRUE(header->isObsolete());
    answer(dialog, "BUTTON_CONTINUE");
    EXPECT_EQ(field->getPhase(), PlayPhase::Leave);
    EXPECT_EQ(cart->leaves, 1);
}

TEST_F(PhaseMachineTest, AGameOverWithoutHeaderStillShowsItsDialog)
{
    TestPlayScene* field = playingScene("R.....\nR.....\nR.....\nR.....\nRGBYPR");
    field->sendEvent(PlayEvent::GameLost);
    field->sendEvent(PlayEvent::StepDone);
    frame();
    frame();
    ASSERT_NE(field->getOpenDialog(), nullptr);
    EXPECT_GE(drawIndex(canvas, field->getOpenDialog()), 0);
}

TEST_F(PhaseMachineTest, TheTopRowCountdownStartsStopsAndEndsTheGame)
{
    TestPlayScene* field = playingScene("R.....\nG.....\nR.....\nG.....\nRGBYPR");
    frame();
    EXPECT_TRUE(field->gameoverTimer.isEnabled());
    EXPECT_FALSE(field->gameoverTimer.isPaused());
    for (int i = 0; i < 20; ++i)
        frame();
    // Clearing the top row before the limit (1000 ms) stops the countdown.
    field->getLevel()->setBlock(0, 0, nullptr);
    frame();
    EXPECT_FALSE(field->gameoverTimer.isEnabled());
    EXPECT_EQ(field->getLevel()->getShakingRows(), 0);
    // Blocked again: the countdown starts from 0 and, once past the limit, ends the game.
    fill("R.....\nG.....\nR.....\nG.....\nRGBYPR");
    frame();
    EXPECT_LT(field->gameoverTimer.getElapsed(), 40);
    ASSERT_TRUE(runUntil([&] { return field->getPhase() != PlayPhase::Playing; }, 100));
    EXPECT_EQ(field->getPhase(), PlayPhase::RockFall);
    EXPECT_EQ(field->getSaveState(), SaveState::Lost);
    EXPECT_GT(field->gameoverTimer.getElapsed(), 1000);
}

} // namespace
