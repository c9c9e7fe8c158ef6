// Asks for a player name in a one-line text input. When the name is required there is no CANCEL
// button and OK only answers while the input holds text. Enter answers as OK while a name is typed;
// with nothing typed it is refused, and the prompt says why.
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
    void onKeyReleased(int key) override;
    // The text typed so far (read by the listener after "BUTTON_OK").
    std::string getEnteredName() const;
    PixelFontInputLabel* getInput() const { return inputLabel; }
    ButtonBlit* getOkButton() const { return okButton; }

private:
    PixelFontLabel* prompt = nullptr; // held by the dialog as its child
    PixelFontInputLabel* inputLabel = nullptr;
    ButtonBlit* okButton = nullptr;
    bool required = false;
};
