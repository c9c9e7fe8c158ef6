// Asks during a game whether to stop it: "BUTTON_YES", "BUTTON_NO" or "BUTTON_CANCEL", each with its
// own tooltip. The answer is the result button; the menu that opens it decides what follows.
#pragma once

#include "frontend/dialogs/GameDialog.h"

class StopGameDialog : public GameDialog {
public:
    StopGameDialog();
    unsigned instanceSize() override { return sizeof(StopGameDialog); }
};
