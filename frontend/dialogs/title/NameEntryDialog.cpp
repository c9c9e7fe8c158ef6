#include "frontend/dialogs/title/NameEntryDialog.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontInputLabel.h"

NameEntryDialog::NameEntryDialog(bool required)
    : GameDialog({"DIALOG_NAME_ENTRY", "IMAGE_DIALOG_NAME", "IMAGE_DIALOG_BOTTOM_SMALL", 0, 0, 450, true}),
      required(required)
{
    prompt = addLabel(layoutString("STRING_PLEASE_ENTER_YOUR_NAME"), "LABEL_TEXT");

    BitmapSprite* field = createImageSprite("IMAGE_INPUT_LABEL");
    addBelow(field);
    const int boxX = static_cast<int>(getReferenceX());
    const int boxY = static_cast<int>(getReferenceY());
    const int boxW = static_cast<int>(getReferenceWidth());
    const int boxH = static_cast<int>(getReferenceHeight());

    inputLabel = createInputLabel(findLayoutElement("LABEL_NAME_ENTRY"));
    inputLabel->addRef();
    inputLabel->setWidth(field->getWidth() - 30);
    // One line of the font high, whatever the font: fitted to a one-character text, then cleared.
    inputLabel->setText("1");
    inputLabel->invalidate();
    inputLabel->fitHeightToText();
    inputLabel->setText("");
    inputLabel->setFocused(true);
    inputLabel->setPosition(boxX + boxW / 2 - inputLabel->getWidth() / 2,
                            boxY + boxH / 2 - inputLabel->getHeight() / 2 - 2);
    addChild(inputLabel, PlaceAsIs);
    setReferenceBox(static_cast<float>(boxX), static_cast<float>(boxY), static_cast<float>(boxW),
                    static_cast<float>(boxH));

    if (required) {
        okButton = addButton("BUTTON_OK");
    } else {
        std::vector<ButtonBlit*> buttons;
        addButtonRow({"BUTTON_OK", "BUTTON_CANCEL"}, &buttons);
        okButton = buttons.front();
    }
    okButton->addRef();
    // Enter answers the dialog as OK does (the field gives up its focus on Enter, so without this the
    // player would go on typing into nothing).
    addInputFlags(InputKeyReleased);
    finish();
}

NameEntryDialog::~NameEntryDialog()
{
    if (inputLabel)
        inputLabel->release();
    if (okButton)
        okButton->release();
}

void NameEntryDialog::tick()
{
    // No child of this dialog is ever marked obsolete, so the container's per-frame sweep is not run.
    if (required)
        okButton->setUsable(!inputLabel->getText().empty());
}

void NameEntryDialog::onKeyReleased(int key)
{
    if (key != PixelFontInputLabel::KeyEnter || !isEnabled())
        return;
    if (!inputLabel->getText().empty() && okButton->isUsable()) {
        okButton->click();
        return;
    }
    // Nothing typed: the dialog stays, says why, and the field takes the keyboard again.
    if (prompt) {
        prompt->setText(layoutString("STRING_NAME_ENTRY_EMPTY"));
        prompt->invalidate();
    }
    inputLabel->setFocused(true);
}

std::string NameEntryDialog::getEnteredName() const
{
    return inputLabel->getText();
}

Dialog* openNameEntryDialog(bool required)
{
    return new NameEntryDialog(required);
}
