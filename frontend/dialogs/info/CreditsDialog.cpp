#include "frontend/dialogs/info/CreditsDialog.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "toolkit/dialog/DataFormat.h"

CreditsDialog::CreditsDialog()
    : GameDialog({"DIALOG_CREDITS", "IMAGE_DIALOG_QUARRYTIDE", "IMAGE_DIALOG_BOTTOM_SMALL", 0, 0, 450, true})
{
    addLabel(formatDataText(layoutString("ABOUT_VERSION"), {"1.1.0"}), "LABEL_TEXT");
    addLabel(layoutString("ABOUT_CREDITS_HEADER"), "LABEL_ABOUT_HEADER");
    addLabel(layoutString("ABOUT_CREDITS_TEXT"), "LABEL_TEXT");
    addLabel(layoutString("ABOUT_MUSIC_HEADER"), "LABEL_ABOUT_HEADER");
    addLabel(layoutString("ABOUT_MUSIC_TEXT"), "LABEL_TEXT");
    addButton("BUTTON_OK");
    finish();
}

Dialog* openCreditsDialog()
{
    return new CreditsDialog;
}
