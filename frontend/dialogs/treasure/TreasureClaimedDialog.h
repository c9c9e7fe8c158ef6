// One treasure close up: its name, its picture in a frame, its description and OK. Shown by the
// play field when a treasure has just been taken (with a button to the treasure chest, and the
// announcement of a bonus the treasure unlocked) and by the chest when an owned treasure is clicked.
#pragma once

#include "frontend/dialogs/GameDialog.h"

class TreasureClaimedDialog : public GameDialog {
public:
    TreasureClaimedDialog(int treasure, bool fromField);
    unsigned instanceSize() override { return sizeof(TreasureClaimedDialog); }

    // Shows the bonus announcement once, over this dialog.
    void tick() override;
    bool onClick(ButtonBlit* button) override;

    bool isBonusPending() const { return newBonusPending; }

private:
    bool newBonusPending = false;
};
