// The start-game dialog opens with the choices the player last started a game of that mode with: in
// the same session after the game was given up, and after the program was closed and started again.
// A mode the player never started opens with the new player's choice (normal).
#include "support/WholeGameHeadless.h"

#include "toolkit/widget/ButtonBlit.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class RememberedChoices : public testsupport::WholeGameHeadless {
protected:
    // The difficulty toggle shown selected in the open start-game dialog, "" for none or several.
    std::string chosenDifficulty()
    {
        std::string chosen;
        for (const char* toggle : {"TOGGLE_EASY", "TOGGLE_NORMAL", "TOGGLE_HARD"}) {
            auto* button = dynamic_cast<ButtonBlit*>(find(toggle));
            if (button != nullptr && button->isSelected())
                chosen = chosen.empty() ? toggle : "several";
        }
        return chosen;
    }
    std::string openedWith(const std::string& mode)
    {
        click("BUTTON_TITLE_" + mode);
        if (dialogNamed("DIALOG_START_GAME") == nullptr) {
            ADD_FAILURE() << "no start-game dialog for " << mode;
            return "";
        }
        const std::string chosen = chosenDifficulty();
        click("BUTTON_CANCEL");
        return chosen;
    }
};

TEST_F(RememberedChoices, TheStartGameDialogOpensWithTheLastStartedChoicesOfItsMode)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    EXPECT_EQ(openedWith("CLASSIC"), "TOGGLE_NORMAL") << "a new player starts on normal";

    ASSERT_NO_FATAL_FAILURE(startGame("CLASSIC", "TOGGLE_EASY"));
    // The game given up through the in-game menu.
    clickOn(field()->getMenuButton());
    click("BUTTON_MAINMENU_STOP");
    click("BUTTON_NO", 0);
    ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TITLE"); }, 3000));
    frames(testsupport::kSettleFrames);

    EXPECT_EQ(openedWith("CLASSIC"), "TOGGLE_EASY");
    EXPECT_EQ(openedWith("ENDLESS"), "TOGGLE_NORMAL") << "each mode keeps its own choices";

    ASSERT_NO_FATAL_FAILURE(restartProgram());
    EXPECT_EQ(GameApp::getCurrentPlayer(), "Ann");
    EXPECT_EQ(openedWith("CLASSIC"), "TOGGLE_EASY") << "kept with the player's statistics";
}

} // namespace
