// Every dialog of the game checked from its sprites' rectangles on the headless host, so a machine
// without a display runs the check too: each button lies inside its dialog's frame, and the tooltip it
// shows when the pointer rests on its middle stays inside the frame and covers no other control's text.
// The dialogs are reached as the screens' pictures test reaches them under a virtual X server (the same
// clicks, the same seeds); the tooltips known to stick out are the accepted exceptions, and one that no
// longer does must come off their list.
#include "support/WholeGameHeadless.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/info/HelpDialog.h"
#include "game/stats/StatsManager.h"
#include "support/DialogRectangles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using testsupport::kSettleFrames;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

class DialogRectangles : public testsupport::WholeGameHeadless {
protected:
    // The dialogs shown now are in order, but for the known tooltips.
    void expectInOrder(const std::string& where)
    {
        SpriteCanvas* shown = canvas();
        ASSERT_NE(shown, nullptr) << where;
        for (const testsupport::RectangleFault& fault : testsupport::newDialogRectangleFaults(*shown, kWidth, kHeight, &knownSeen))
            ADD_FAILURE() << where << ": " << fault.text;
        ++looks;
    }
    // Where a dialog is expected, it is there to be checked.
    void expectDialog(const std::string& name, const std::string& where)
    {
        ASSERT_NE(dialogNamed(name), nullptr) << where;
        expectInOrder(where);
    }

    std::vector<std::string> knownSeen;
    int looks = 0;
};

TEST_F(DialogRectangles, EveryDialogOfEveryScreenKeepsItsButtonsAndTooltipsInItsFrame)
{
    // The title screen and what it opens.
    expectDialog("DIALOG_NAME_ENTRY", "name entry at the first start");
    post(WM_KEYDOWN, VK_RETURN, 0, 0);
    frames(2);
    post(WM_KEYUP, VK_RETURN, 0, 0);
    frames(kSettleFrames);
    expectDialog("DIALOG_NAME_ENTRY", "name entry refused");
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    expectInOrder("title");

    click("BUTTON_TITLE_CHANGENAME");
    expectDialog("DIALOG_NAME_SELECT", "name select");
    click("BUTTON_ADD");
    expectDialog("DIALOG_NAME_ENTRY", "name entry from the list");
    click("BUTTON_CANCEL");
    click("BUTTON_OK");
    ASSERT_EQ(dialogNamed("DIALOG_NAME_SELECT"), nullptr);

    click("BUTTON_TITLE_HELP");
    auto* help = dynamic_cast<HelpDialog*>(dialogNamed("DIALOG_HELP"));
    ASSERT_NE(help, nullptr);
    ASSERT_GT(help->getPageCount(), 0);
    for (int page = 0; page < help->getPageCount(); ++page) {
        ASSERT_EQ(help->getCurrentPage(), page);
        expectDialog("DIALOG_HELP", "help page " + std::to_string(page + 1));
        click("BUTTON_NEXT");
    }
    click("BUTTON_OK");

    click("BUTTON_TITLE_OPTIONS");
    expectDialog("DIALOG_OPTIONS", "options");
    click("BUTTON_INFO");
    expectDialog("DIALOG_CREDITS", "credits");
    click("BUTTON_OK");
    click("BUTTON_OK");
    ASSERT_EQ(dialogNamed("DIALOG_OPTIONS"), nullptr);

    for (const char* mode : {"CLASSIC", "ENDLESS"}) {
        click(std::string("BUTTON_TITLE_") + mode);
        expectDialog("DIALOG_START_GAME", std::string("start game, ") + mode);
        click("BUTTON_CANCEL");
        ASSERT_EQ(dialogNamed("DIALOG_START_GAME"), nullptr);
    }

    // The treasure screen, the chest and what they open, for a player who has taken some treasures.
    takeSomeTreasures();
    Random::global().setSeed(7);
    frames(kSettleFrames);
    expectInOrder("title with treasures");
    click("BUTTON_TITLE_TREASURECHEST", 0);
    ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TREASURE"); }, 1000));
    frames(kSettleFrames);
    expectInOrder("treasure chest, gemstones");
    click("BUTTON_TREASURE_CHEST_ANTIQUITIES");
    expectInOrder("treasure chest, antiquities");
    click("BUTTON_TREASURE_DUMMY");
    expectDialog("DIALOG_TREASURE_CLAIMED", "treasure claimed from the chest");
    click("BUTTON_OK");
    click("BUTTON_TREASURE_CHEST_BONUS");
    expectDialog("DIALOG_BONUS", "bonus");
    click("BUTTON_OK");
    click("BUTTON_TREASURE_CHEST_BACK", 0);
    ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TITLE"); }, 1000));
    frames(kSettleFrames);

    // A classic game: its treasure, its menu, its level's end and its game over.
    ASSERT_NO_FATAL_FAILURE(startGame("CLASSIC"));
    expectInOrder("classic field");
    PlayScene* play = field();
    ASSERT_NO_FATAL_FAILURE(takeTreasureInGame());
    frames(kSettleFrames);
    expectDialog("DIALOG_TREASURE_CLAIMED", "treasure claimed in a game");
    click("BUTTON_OK");
    ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 500));

    clickOn(play->getMenuButton());
    expectDialog("DIALOG_INGAME_MENU", "in-game menu");
    click("BUTTON_MAINMENU_STOP");
    expectDialog("DIALOG_STOP_GAME", "stop game");
    click("BUTTON_CANCEL");
    click("BUTTON_MAINMENU_TREASURE");
    expectInOrder("treasure chest in a game");
    click("BUTTON_TREASURE_CHEST_BACK");
    click("BUTTON_MAINMENU_RESUME");
    ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 500));

    play->sendEvent(PlayEvent::GoldComplete);
    ASSERT_TRUE(runUntil([&] { return topmostStats() != nullptr; }, 3000));
    frames(kSettleFrames);
    expectInOrder("level statistics");
    click("BUTTON_CONTINUE");
    expectDialog("DIALOG_SINGLE_PLAYER", "guest score");
    click("BUTTON_OK");
    ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 3000));

    play->sendEvent(PlayEvent::GameLost);
    ASSERT_TRUE(runUntil([&] { return dialogNamed("DIALOG_HIGHSCORE_STATS") != nullptr; }, 3000));
    frames(kSettleFrames);
    expectDialog("DIALOG_HIGHSCORE_STATS", "game over");
    Dialog* scores = openHighscoreDialog();
    ASSERT_NE(scores, nullptr);
    canvas()->addSprite(scores);
    frames(kSettleFrames);
    expectDialog("DIALOG_HIGHSCORE", "highscores");
    click("BUTTON_OK");
    ASSERT_EQ(dialogNamed("DIALOG_HIGHSCORE"), nullptr);

    // Every known tooltip still sticks out somewhere; one that no longer does is mended and comes off
    // the list, so that it cannot come back unnoticed.
    for (const std::string& known : testsupport::tooltipsStillOut())
        EXPECT_NE(std::find(knownSeen.begin(), knownSeen.end(), known), knownSeen.end())
            << "\"" << known << "\" is in order now: take it off the known tooltips in support/DialogRectangles.h";
}

TEST_F(DialogRectangles, AnEndlessGameAndTheTitleWithItsSavedGame)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    ASSERT_NO_FATAL_FAILURE(startGame("ENDLESS"));
    expectInOrder("endless field");
    clickOn(field()->getMenuButton());
    expectDialog("DIALOG_INGAME_MENU", "endless in-game menu");
    click("BUTTON_MAINMENU_STOP");
    expectDialog("DIALOG_STOP_GAME", "endless stop game");
    click("BUTTON_YES", 0);
    ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TITLE"); }, 3000));
    Sprite* endless = find("BUTTON_TITLE_ENDLESS");
    ASSERT_NE(endless, nullptr);
    post(WM_MOUSEMOVE, 0, endless->getAbsoluteX() + endless->getWidth() / 2,
         endless->getAbsoluteY() + endless->getHeight() / 2);
    frames(kSettleFrames);
    expectInOrder("title with a saved endless game");
}

} // namespace
