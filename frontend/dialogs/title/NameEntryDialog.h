// Asks for a player name in a one-line text input. When the name is required there is no CANCEL
// button and OK only answers while the input holds text.
#pragma once

#include "frontend/dialogs/GameDialog.h"

#include <string>

class PixelFontInputLabel;

class NameEntryDialog : public GameDialog {
public:
    explicit NameEntryDialog(bool required);
    ~NameEntryDialog() override;
    unsigned instanceSize() override { return sizeof(NameEntryDialog); }

    void tick() override;
    // The text typed so far (read by the listener after "BUTTON_OK").
    std::string getEnteredName() const;
    PixelFontInputLabel* getInput() const { return inputLabel; }
    ButtonBlit* getOkButton() const { return okButton; }

private:
    PixelFontInputLabel* inputLabel = nullptr;
    ButtonBlit* okButton = nullptr;
    bool required = false;
};
