#include "frontend/dialogs/play/StopGameDialog.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/TextHolder.h"

namespace {

// Each answer says what it does: a plain "Yes" or "No" to "stop?" read the wrong way round gives a game
// up. The answer the menu reads stays the button's name; the words are the question's own.
struct Answer {
    const char* name;        // what the menu reads: keep (yes), give up (no), back (cancel)
    const char* templateId;  // the question's own button, when the layout has one
    const char* captionId;
    const char* tooltipId;
};

const Answer kAnswers[] = {
    {"BUTTON_YES", "BUTTON_STOP_GAME_KEEP", "STRING_STOP_GAME_KEEP", "TOOLTIP_QUIT_GAME_YES"},
    {"BUTTON_NO", "BUTTON_STOP_GAME_GIVE_UP", "STRING_STOP_GAME_GIVE_UP", "TOOLTIP_QUIT_GAME_NO"},
    {"BUTTON_CANCEL", "BUTTON_STOP_GAME_BACK", "STRING_STOP_GAME_BACK", "TOOLTIP_QUIT_GAME_CANCEL"},
};

} // namespace

StopGameDialog::StopGameDialog()
    : GameDialog({"DIALOG_STOP_GAME", "IMAGE_DIALOG_STOP_GAME", "IMAGE_DIALOG_BOTTOM_BIG", 100, 100, 350, true})
{
    addLabel(layoutString("MESSAGE_STOP_GAME_QUESTION"), "LABEL_TEXT");
    std::vector<std::string> ids;
    for (const Answer& answer : kAnswers)
        ids.push_back(findLayoutElement(answer.templateId) ? answer.templateId : answer.name);
    std::vector<ButtonBlit*> buttons;
    addButtonRow(ids, &buttons);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const Answer& answer = kAnswers[i];
        buttons[i]->setName(answer.name);
        // The question's own words and tooltips replace whatever the shared button templates carry.
        if (auto* caption = dynamic_cast<TextHolder*>(buttons[i]))
            caption->setText(layoutString(answer.captionId));
        buttons[i]->setTooltip(layoutString(answer.tooltipId));
    }
    finish();
}

Dialog* openStopGameDialog()
{
    return new StopGameDialog;
}
