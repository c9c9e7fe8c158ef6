// The dialogs the play field builds itself: the claimed treasure and the score hand-over's questions and
// answers. Building one only holds it as the open dialog; the caller shows it and hears its answer.
#include "game/field/PlayScene.h"

#include "game/field/FieldServices.h"
#include "game/stats/StatsManager.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/strings/StringUtils.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/dialog/FramedDialog.h"
#include "toolkit/dialog/MessageDialogs.h"

#include <string>
#include <vector>

namespace {
// Shows the advertisement beside the hand-over question.
constexpr unsigned kMessageShowAdvert = 0x5220;

// The text with its first "%s" (or "%d", "%i") replaced by the value; any other '%' stays as it is, so
// a translated text can never be read as a conversion.
std::string fillNumber(const std::string& text, int value)
{
    for (std::string::size_type at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1)) {
        if (at + 1 < text.size() && (text[at + 1] == 's' || text[at + 1] == 'd' || text[at + 1] == 'i'))
            return text.substr(0, at) + intToString(value) + text.substr(at + 2);
    }
    return text;
}
} // namespace

void PlayScene::openDialog(int kind)
{
    Dialog* dialog = nullptr;
    switch (kind) {
    case PlayDialog::TreasureClaimed:
        dialog = FieldServices::get().openTreasureClaimedDialog(StatsManager::instance().currentTreasure, true);
        break;
    case PlayDialog::UpdateScores:
        dialog = showYesNoDialogLarge("DIALOG_UPDATE_SCORES", "IMAGE_DIALOG_UPDATE_SCORES",
                                      getResourceString("STRING_UPDATE_QUESTION"), true);
        FieldServices::get().postGameWindowMessage(kMessageShowAdvert, 1, 0);
        break;
    case PlayDialog::SinglePlayer:
        dialog = showOkSliderDialog("DIALOG_SINGLE_PLAYER", "IMAGE_DIALOG_UPDATE_CONFIRM",
                                    fillNumber(getResourceString("STRING_SINGLE_PLAYER"), uploadScore),
                                    getResourceString("STRING_SINGLE_PLAYER_AD"), true);
        break;
    case PlayDialog::Waiting:
        dialog = showCutoverDialog("DIALOG_WAITING", "IMAGE_DIALOG_UPDATE_CONFIRM", getResourceString("STRING_WAITING"));
        break;
    case PlayDialog::UpdateSuccess:
        dialog = showOkDialog("DIALOG_UPDATE_SUCCESS", "IMAGE_DIALOG_UPDATE_CONFIRM",
                              getResourceString("STRING_UPDATE_SUCCESS"));
        break;
    case PlayDialog::UpdateFail:
        dialog = showOkDialog("DIALOG_UPDATEA_FAIL", "IMAGE_DIALOG_UPDATE_CONFIRM", getResourceString("STRING_UPDATE_FAIL"));
        break;
    default:
        return;
    }
    if (!dialog)
        return;
    dialog->addRef();
    dropSprite(openDialogSprite);
    openDialogSprite = dialog;
}

void PlayScene::openStatsDialog(const char* header, const std::vector<std::string>& texts,
                                const std::vector<std::string>& values, const std::string& name)
{
    std::vector<std::string> localised;
    for (const std::string& id : texts)
        localised.push_back(getResourceString(id));
    Dialog* dialog = FieldServices::get().openGameOverStatsDialog(getX(), getY(), getWidth(), getHeight(),
                                                                  getResourceString(header), localised, values);
    if (!dialog)
        return;
    if (!name.empty())
        dialog->setName(name);
    dialog->addRef();
    dialog->setListener(this);
    dropSprite(openDialogSprite);
    openDialogSprite = dialog;
}
