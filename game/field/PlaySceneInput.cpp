// The player's input to the play field: mouse buttons, keys, the field's buttons and the answers of the
// in-game dialogs all become events of the phase machine; what they do in each phase is the action
// table's business.
#include "game/field/PlayScene.h"

#include "game/field/FieldServices.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/ButtonBlit.h"

#include <string>

namespace {
// Takes the advertisement beside the hand-over question down again.
constexpr unsigned kMessageHideAdvert = 0x5221;
} // namespace

void PlayScene::onKeyTyped(int character)
{
    onChar(character);
}

void PlayScene::onLeftPressed(int x, int y, int buttons, int doubleClick)
{
    mousePressed(x, y, buttons, doubleClick);
}

void PlayScene::onRightPressed(int x, int y, int buttons, int doubleClick)
{
    rightPressed(x, y, buttons, doubleClick);
}

void PlayScene::keyTyped(char character)
{
    onChar(static_cast<unsigned char>(character));
}

void PlayScene::mousePressed(int, int, int, int)
{
    sendEvent(PlayEvent::Click);
}

void PlayScene::rightPressed(int, int, int, int)
{
    if (phase == PlayPhase::Playing)
        sendEvent(PlayEvent::SpeedUp);
}

// All three keys arrive as typed characters; the pause key is looked at first, so a pause key that is
// a space pauses rather than speeds up.
void PlayScene::onChar(int character)
{
    const std::string& pauseKey = getResourceString("KEY_PAUSE");
    if (!pauseKey.empty() && character == static_cast<unsigned char>(pauseKey[0]))
        sendEvent(PlayEvent::Pause);
    else if (character == ' ')
        sendEvent(PlayEvent::SpeedUp);
    else if (character == 27)
        sendEvent(PlayEvent::Pause);
}

bool PlayScene::onClick(ButtonBlit* button)
{
    if (!button)
        return false;
    const std::string& name = button->getName();
    // The element ids carry the mode ("BUTTON_GAME_MENU_CLASSIC"); the name may be either.
    if (name.compare(0, 16, "BUTTON_GAME_MENU") == 0) {
        menuRequested = true;
        sendEvent(PlayEvent::Pause);
    } else if (name == "BUTTON_NEW_ROW") {
        sendEvent(PlayEvent::SpeedUp);
    }
    return false;
}

bool PlayScene::onEnter(ButtonBlit*)
{
    return false;
}

bool PlayScene::onLeave(ButtonBlit*)
{
    return false;
}

void PlayScene::closeAnsweredDialog(Dialog* dialog)
{
    if (auto* open = dynamic_cast<Dialog*>(openDialogSprite))
        open->setListener(nullptr);
    dropSprite(openDialogSprite);
    if (dialog && dialog->getCanvas())
        dialog->getCanvas()->removeSprite(dialog);
}

void PlayScene::showDialogOfKind(int kind)
{
    openDialog(kind);
    showOpenDialog();
}

void PlayScene::showScoreQuestion()
{
    showDialogOfKind(FieldServices::get().isGuest() ? PlayDialog::SinglePlayer : PlayDialog::UpdateScores);
}

void PlayScene::onDialogClosed(Dialog* dialog)
{
    if (!dialog)
        return;
    // Held through the handling, so that a dialog the handling opens can never take its address.
    Sprite* shownBefore = openDialogSprite;
    if (shownBefore)
        shownBefore->addRef();
    const ButtonBlit* pressed = dialog->getResult();
    const std::string button = pressed ? pressed->getName() : std::string();
    const std::string& name = dialog->getName();

    // The menu and the hand-over question answered without a button change nothing.
    if (!pressed && (name == "DIALOG_INGAME_MENU" || name == "DIALOG_UPDATE_SCORES")) {
        if (shownBefore)
            shownBefore->release();
        return;
    }

    if (name == "DIALOG_INGAME_MENU") {
        if (button == "BUTTON_YES") {
            sendEvent(PlayEvent::MenuLeave);
        } else if (button == "BUTTON_NO") {
            // The game is given up: no saved game is left behind. The player's statistics file stays;
            // what the game added to it is written with the next save of the statistics.
            saveState = SaveState::Lost;
            sendEvent(PlayEvent::MenuLeave);
        } else if (button == "BUTTON_MAINMENU_RESUME") {
            sendEvent(PlayEvent::DialogClosed);
        }
    } else if (name == "DIALOG_HIGHSCORE_STATS") {
        if (uploadScore == 0) {
            sendEvent(PlayEvent::DialogClosed);
        } else {
            closeAnsweredDialog(dialog);
            showScoreQuestion();
        }
    } else if (name == "DIALOG_UPDATE_SCORES") {
        if (button == "BUTTON_YES") {
            closeAnsweredDialog(dialog);
            showDialogOfKind(PlayDialog::Waiting);
            scoreUploadState = 1;
        } else if (button == "BUTTON_NO") {
            if (scorePending)
                closeAnsweredDialog(dialog);
            sendEvent(PlayEvent::DialogClosed);
        }
        FieldServices::get().postGameWindowMessage(kMessageHideAdvert, 0, 0);
    } else if (name == "DIALOG_SINGLE_PLAYER") {
        if (scorePending)
            closeAnsweredDialog(dialog);
        sendEvent(PlayEvent::DialogClosed);
    } else if (name == "DIALOG_WAITING") {
        closeAnsweredDialog(dialog);
        if (scoreUploadResult == 1)
            showDialogOfKind(PlayDialog::UpdateSuccess);
        else if (scoreUploadResult == 2)
            showDialogOfKind(PlayDialog::UpdateFail);
    } else if (name == "DIALOG_UPDATE_SUCCESS" || name == "DIALOG_UPDATEA_FAIL") {
        if (scorePending)
            closeAnsweredDialog(dialog);
        sendEvent(PlayEvent::DialogClosed);
    } else if (scorePending && uploadScore != 0) {
        // A statistics dialog of the mode gives way to the hand-over question.
        if (statsDialog && statsDialog->getCanvas())
            statsDialog->getCanvas()->removeSprite(statsDialog);
        dropSprite(statsDialog);
        if (auto* open = dynamic_cast<Dialog*>(openDialogSprite))
            open->setListener(nullptr);
        showScoreQuestion();
    } else {
        sendEvent(PlayEvent::DialogClosed);
    }

    // The answered dialog is let go unless the handling opened another one.
    if (openDialogSprite && openDialogSprite == shownBefore) {
        if (auto* open = dynamic_cast<Dialog*>(openDialogSprite))
            open->setListener(nullptr);
        dropSprite(openDialogSprite);
    }
    if (shownBefore)
        shownBefore->release();
}
