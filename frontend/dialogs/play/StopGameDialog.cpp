#include "frontend/dialogs/play/StopGameDialog.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "toolkit/widget/ButtonBlit.h"

StopGameDialog::StopGameDialog()
    : GameDialog({"DIALOG_STOP_GAME", "IMAGE_DIALOG_STOP_GAME", "IMAGE_DIALOG_BOTTOM_BIG", 100, 100, 350, true})
{
    addLabel(layoutString("MESSAGE_STOP_GAME_QUESTION"), "LABEL_TEXT");
    std::vector<ButtonBlit*> buttons;
    addButtonRow({"BUTTON_YES", "BUTTON_NO", "BUTTON_CANCEL"}, &buttons);
    // The question's own tooltips replace whatever the shared button templates carry.
    const char* const tooltips[] = {"TOOLTIP_QUIT_GAME_YES", "TOOLTIP_QUIT_GAME_NO", "TOOLTIP_QUIT_GAME_CANCEL"};
    for (std::size_t i = 0; i < buttons.size(); ++i)
        buttons[i]->setTooltip(layoutString(tooltips[i]));
    finish();
}

Dialog* openStopGameDialog()
{
    return new StopGameDialog;
}
