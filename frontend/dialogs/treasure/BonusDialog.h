// The six bonuses that different treasures earn: a found bonus shows its name and explains itself in
// a tooltip, one not found yet says so and tells how many more treasures the next bonus needs.
#pragma once

#include "frontend/dialogs/GameDialog.h"

class BonusDialog : public GameDialog {
public:
    static constexpr int kBonusCount = 6;

    BonusDialog();
    unsigned instanceSize() override { return sizeof(BonusDialog); }

    void addBonusItem(int index, bool found);
};

// The tooltip of a bonus not found yet: the text's "%d" replaced by the number (no other directive of
// the text is read, so a translated text cannot make the formatting read past its one value).
std::string treasuresToGoText(int count);
