// The way a player reaches every screen and dialog of the game, written once for the tests that stop
// at each of them: the title and what it opens, the treasure screen and its chest, a classic game to its
// end, an endless game kept for later. At each stop the test's own `look` checks what is shown (the
// picture under a virtual X server, the dialogs' rectangles on the headless host); a stop is named as
// its kept picture is.
#pragma once

#include "support/WholeGameHeadless.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/info/HelpDialog.h"

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

class ScreenTour : public WholeGameHeadless {
protected:
    // Share of differing pixels a kept picture allows: a still screen, and one with sparkles that come
    // and go.
    static constexpr double kStill = 0.001;
    static constexpr double kSparkling = 0.003;

    // Checks what is shown at the stop. `pictureKept`: the stop has a picture of its own to compare
    // with (allowing `allowedShare` of its pixels to differ); the others are checked only as shown.
    virtual void look(const std::string& stop, double allowedShare = kStill, bool pictureKept = true) = 0;
    // Where a dialog is expected, it is there to be looked at.
    void lookAtDialog(const std::string& dialog, const std::string& stop, double allowedShare = kStill,
                      bool pictureKept = true)
    {
        ASSERT_NE(dialogNamed(dialog), nullptr) << stop;
        look(stop, allowedShare, pictureKept);
    }

    // From the first start's name entry to the title, and every dialog the title opens.
    void tourTitle()
    {
        frames(kSettleFrames);
        lookAtDialog("DIALOG_NAME_ENTRY", "name-entry-first-start");
        // Enter with nothing typed: the dialog stays and says why.
        pressKey(VK_RETURN, true);
        frames(2);
        pressKey(VK_RETURN, false);
        frames(kSettleFrames);
        lookAtDialog("DIALOG_NAME_ENTRY", "name-entry-refused");
        ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
        look("title");

        click("BUTTON_TITLE_CHANGENAME");
        lookAtDialog("DIALOG_NAME_SELECT", "name-select");
        click("BUTTON_ADD");
        lookAtDialog("DIALOG_NAME_ENTRY", "name-entry-from-list");
        click("BUTTON_CANCEL");
        EXPECT_EQ(dialogNamed("DIALOG_NAME_ENTRY"), nullptr);
        click("BUTTON_OK");
        EXPECT_EQ(dialogNamed("DIALOG_NAME_SELECT"), nullptr);
        EXPECT_EQ(GameApp::getCurrentPlayer(), "Ann");

        click("BUTTON_TITLE_HELP");
        auto* help = dynamic_cast<HelpDialog*>(dialogNamed("DIALOG_HELP"));
        ASSERT_NE(help, nullptr);
        ASSERT_GT(help->getPageCount(), 0);
        for (int page = 0; page < help->getPageCount(); ++page) {
            SCOPED_TRACE(page);
            ASSERT_EQ(help->getCurrentPage(), page);
            lookAtDialog("DIALOG_HELP", "help-page-" + std::to_string(page + 1));
            click("BUTTON_NEXT");
        }
        click("BUTTON_OK");
        EXPECT_EQ(dialogNamed("DIALOG_HELP"), nullptr);

        click("BUTTON_TITLE_OPTIONS");
        lookAtDialog("DIALOG_OPTIONS", "options");
        click("BUTTON_INFO");
        lookAtDialog("DIALOG_CREDITS", "credits");
        click("BUTTON_OK");
        click("BUTTON_OK");
        EXPECT_EQ(dialogNamed("DIALOG_OPTIONS"), nullptr);

        for (const char* mode : {"CLASSIC", "ENDLESS"}) {
            SCOPED_TRACE(mode);
            click(std::string("BUTTON_TITLE_") + mode);
            lookAtDialog("DIALOG_START_GAME", std::string("start-game-") + mode);
            click("BUTTON_CANCEL");
            EXPECT_EQ(dialogNamed("DIALOG_START_GAME"), nullptr);
        }
    }

    // From the title, for a player who has taken some treasures: the treasure screen, both pages of the
    // chest, a treasure and the bonus it opens, and back to the title.
    void tourTreasures()
    {
        takeSomeTreasures();
        Random::global().setSeed(7);
        frames(kSettleFrames);
        look("title-with-treasures", kSparkling);

        click("BUTTON_TITLE_TREASURECHEST", 0);
        ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TREASURE"); }, 1000));
        frames(kSettleFrames);
        look("treasure-chest-gemstones", kSparkling);

        click("BUTTON_TREASURE_CHEST_ANTIQUITIES");
        look("treasure-chest-antiquities", kSparkling);
        click("BUTTON_TREASURE_DUMMY");
        lookAtDialog("DIALOG_TREASURE_CLAIMED", "treasure-claimed-from-chest");
        click("BUTTON_OK");
        EXPECT_EQ(dialogNamed("DIALOG_TREASURE_CLAIMED"), nullptr);

        click("BUTTON_TREASURE_CHEST_BONUS");
        lookAtDialog("DIALOG_BONUS", "bonus");
        click("BUTTON_OK");
        EXPECT_EQ(dialogNamed("DIALOG_BONUS"), nullptr);

        click("BUTTON_TREASURE_CHEST_BACK", 0);
        ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TITLE"); }, 1000));
        frames(kSettleFrames);
    }

    // From the title: a classic game, its treasure, its menu, its level's end and its game over, and the
    // highscore tables with the result just entered.
    void tourClassicGame()
    {
        ASSERT_NO_FATAL_FAILURE(startGame("CLASSIC"));
        look("classic-field");

        // A treasure taken: the field announces it and brings its dialog, with the way to the chest.
        PlayScene* play = field();
        ASSERT_NO_FATAL_FAILURE(takeTreasureInGame());
        frames(kSettleFrames);
        lookAtDialog("DIALOG_TREASURE_CLAIMED", "treasure-claimed-in-game");
        click("BUTTON_OK");
        EXPECT_EQ(dialogNamed("DIALOG_TREASURE_CLAIMED"), nullptr);
        ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 500));

        clickOn(play->getMenuButton());
        lookAtDialog("DIALOG_INGAME_MENU", "ingame-menu");
        click("BUTTON_MAINMENU_STOP");
        lookAtDialog("DIALOG_STOP_GAME", "stop-game");
        click("BUTTON_CANCEL");
        EXPECT_EQ(dialogNamed("DIALOG_STOP_GAME"), nullptr);
        click("BUTTON_MAINMENU_TREASURE");
        look("treasure-chest-in-game", kSparkling);
        click("BUTTON_TREASURE_CHEST_BACK");
        click("BUTTON_MAINMENU_RESUME");
        ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 500));

        // The gold of the level is complete: the level's statistics, then a guest's score (nobody signed
        // in at a game portal) shown without the offer to send it.
        play->sendEvent(PlayEvent::GoldComplete);
        ASSERT_TRUE(runUntil([&] { return topmostStats() != nullptr; }, 3000));
        frames(kSettleFrames);
        look("level-statistics");
        click("BUTTON_CONTINUE");
        lookAtDialog("DIALOG_SINGLE_PLAYER", "guest-score");
        click("BUTTON_OK");
        ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 3000));

        // The field fills up: the game is over.
        play->sendEvent(PlayEvent::GameLost);
        ASSERT_TRUE(runUntil([&] { return dialogNamed("DIALOG_HIGHSCORE_STATS") != nullptr; }, 3000));
        frames(kSettleFrames);
        lookAtDialog("DIALOG_HIGHSCORE_STATS", "game-over");

        // The local highscore tables, opened through their opener on the result just entered.
        Dialog* scores = openHighscoreDialog();
        ASSERT_NE(scores, nullptr);
        canvas()->addSprite(scores);
        frames(kSettleFrames);
        lookAtDialog("DIALOG_HIGHSCORE", "highscores");
        click("BUTTON_OK");
        EXPECT_EQ(dialogNamed("DIALOG_HIGHSCORE"), nullptr);
    }

    // From the title: an endless game kept for later; back on the title screen the saved-game mark
    // stands beside the endless button while the pointer rests on it.
    void tourEndlessGame()
    {
        ASSERT_NO_FATAL_FAILURE(startGame("ENDLESS"));
        look("endless-field");
        clickOn(field()->getMenuButton());
        lookAtDialog("DIALOG_INGAME_MENU", "endless-ingame-menu", kStill, false);
        click("BUTTON_MAINMENU_STOP");
        lookAtDialog("DIALOG_STOP_GAME", "endless-stop-game", kStill, false);
        click("BUTTON_YES", 0);
        ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TITLE"); }, 3000));
        Sprite* endless = find("BUTTON_TITLE_ENDLESS");
        ASSERT_NE(endless, nullptr);
        movePointer(endless->getAbsoluteX() + endless->getWidth() / 2, endless->getAbsoluteY() + endless->getHeight() / 2);
        frames(kSettleFrames);
        look("title-saved-endless", kSparkling);
    }
};

} // namespace testsupport
