// Asks during a game whether to keep it for later: "BUTTON_YES" keeps it, "BUTTON_NO" gives it up,
// "BUTTON_CANCEL" goes back; each button carries its own words and tooltip. The answer is the result
// button, read by its name; the menu that opens it decides what follows.
#pragma once

#include "frontend/dialogs/GameDialog.h"

class StopGameDialog : public GameDialog {
public:
    StopGameDialog();
    unsigned instanceSize() override { return sizeof(StopGameDialog); }
};
