// The game's about box: the version line, who made the game, who made its music, and OK.
#pragma once

#include "frontend/dialogs/GameDialog.h"

class CreditsDialog : public GameDialog {
public:
    CreditsDialog();
    unsigned instanceSize() override { return sizeof(CreditsDialog); }
};
