// Picks who is playing from the known players, adds a name through the name-entry dialog and deletes
// one (with its statistics files) after a yes/no question. At most five names can be reached and at
// least one stays. The title screen reads the chosen name after "BUTTON_OK".
#pragma once

#include "frontend/dialogs/GameDialog.h"

#include <string>

class ButtonBlit;
class ListBoxComponent;

class NameSelectDialog : public GameDialog {
public:
    static constexpr int kMaxNames = 5;

    NameSelectDialog();
    ~NameSelectDialog() override;
    unsigned instanceSize() override { return sizeof(NameSelectDialog); }

    // The selected entry's text; empty when nothing is selected.
    std::string getSelectedName() const;

    bool onClick(ButtonBlit* button) override;
    void onDialogClosed(Dialog* dialog) override;

    ListBoxComponent* getNameList() const { return nameList; }
    ButtonBlit* getAddButton() const { return addButton; }
    ButtonBlit* getClearButton() const { return clearButton; }
    ButtonBlit* getOkButton() const { return okButton; }

private:
    void appendName(const std::string& name);
    // ADD while fewer than five names, CLEAR while more than one, OK and CLEAR only with a selection.
    void applyButtonRule();
    void deleteSelectedName();

    ListBoxComponent* nameList = nullptr;
    ButtonBlit* addButton = nullptr;
    ButtonBlit* clearButton = nullptr;
    ButtonBlit* okButton = nullptr;
};
