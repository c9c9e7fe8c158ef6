#include "frontend/dialogs/title/NameSelectDialog.h"

#include "compat/win32/path.h"
#include "frontend/app/GameApp.h"
#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/title/NameEntryDialog.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "runtime/properties/Properties.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/ListBoxComponent.h"

#include <tinyxml.h>

#include <cstdio>

namespace {

ListBoxComponent* createNameList()
{
    if (const TiXmlElement* element = findLayoutElement("LISTBOX_NAME_SELECT")) {
        if (Sprite* made = createSpriteFromXml(element)) {
            if (made->isKindOf(&ListBoxComponent::classRecord))
                return static_cast<ListBoxComponent*>(made);
            made->addRef();
            made->setObsolete(true);
            made->release();
        }
    }
    DebugLog::instance().log("Name list \"LISTBOX_NAME_SELECT\" is missing from the layout\n");
    auto* list = new ListBoxComponent;
    list->setSize(200, 150);
    return list;
}

ListBoxItem* createNameItem(const std::string& name)
{
    ListBoxItem* item = nullptr;
    if (const TiXmlElement* element = findLayoutElement("LISTBOX_ITEM")) {
        if (Sprite* made = createSpriteFromXml(element)) {
            if (made->isKindOf(&ListBoxItem::classRecord)) {
                item = static_cast<ListBoxItem*>(made);
            } else {
                made->addRef();
                made->setObsolete(true);
                made->release();
            }
        }
    }
    if (!item)
        item = new ListBoxItem;
    item->setText(name);
    return item;
}

// The question's format takes the name once; the name itself is never read as a format.
std::string removeQuestion(const std::string& name)
{
    std::string text = layoutString("STRING_REMOVE_NAME_TEXT");
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, name);
    return text;
}

} // namespace

NameSelectDialog::NameSelectDialog()
    : GameDialog({"DIALOG_NAME_SELECT", "IMAGE_DIALOG_NAME", "IMAGE_DIALOG_BOTTOM_SMALL", 0, 0, 450, true})
{
    addLabel(layoutString("STRING_SELECT_YOUR_NAME"), "LABEL_TEXT");

    BitmapSprite* frame = createImageSprite("IMAGE_LISTBOX");
    addChild(frame, PlaceBelowLeft);
    const int boxX = static_cast<int>(getReferenceX());
    const int boxY = static_cast<int>(getReferenceY());
    const int boxW = static_cast<int>(getReferenceWidth());
    const int boxH = static_cast<int>(getReferenceHeight());

    nameList = createNameList();
    nameList->addRef();
    nameList->setPosition(boxX + boxW / 2 - nameList->getWidth() / 2, boxY + boxH / 2 - nameList->getHeight() / 2);
    addChild(nameList, PlaceAsIs);

    const std::string current = GameApp::getCurrentPlayer();
    ListBoxItem* currentItem = nullptr;
    for (const auto& entry : GameApp::getPlayers()->entries()) {
        ListBoxItem* item = createNameItem(entry.first);
        nameList->addItem(item);
        if (entry.first == current)
            currentItem = item;
    }
    // With the current player missing from the list the first name stands in, so OK and CLEAR always
    // have a name to act on.
    if (!currentItem && nameList->getItemCount() > 0)
        currentItem = nameList->getItem(0);
    nameList->setSelected(currentItem);

    setReferenceBox(static_cast<float>(boxX), static_cast<float>(boxY), static_cast<float>(boxW),
                    static_cast<float>(boxH));

    std::vector<ButtonBlit*> row;
    addButtonRow({"BUTTON_ADD", "BUTTON_CLEAR"}, &row);
    addButton = row[0];
    clearButton = row[1];
    // The clear button's template is shared with the highscore dialog; here it removes a name.
    clearButton->setTooltip(layoutString("TOOLTIP_REMOVE_NAME"));
    addButton->addRef();
    clearButton->addRef();
    okButton = GameDialog::addButton("BUTTON_OK");
    okButton->addRef();
    applyButtonRule();
    finish();
}

NameSelectDialog::~NameSelectDialog()
{
    for (Sprite* held : {static_cast<Sprite*>(nameList), static_cast<Sprite*>(addButton),
                         static_cast<Sprite*>(clearButton), static_cast<Sprite*>(okButton)})
        if (held)
            held->release();
}

std::string NameSelectDialog::getSelectedName() const
{
    const ListBoxItem* item = nameList->getSelected();
    return item ? item->getText() : std::string();
}

void NameSelectDialog::applyButtonRule()
{
    const int count = nameList->getItemCount();
    const bool selected = nameList->getSelected() != nullptr;
    addButton->setUsable(count < kMaxNames);
    clearButton->setUsable(count > 1 && selected);
    okButton->setUsable(selected);
}

bool NameSelectDialog::onClick(ButtonBlit* button)
{
    const std::string& name = button->getName();
    if (name == "BUTTON_OK") {
        if (!nameList->getSelected())
            return true;
        return GameDialog::onClick(button);
    }
    if (name == "BUTTON_ADD") {
        if (nameList->getItemCount() < kMaxNames)
            openChild(openNameEntryDialog(false));
    } else if (name == "BUTTON_CLEAR") {
        if (!nameList->getSelected() || nameList->getItemCount() <= 1)
            return true;
        openChild(showYesNoDialog("DIALOG_DELETE_NAME", "IMAGE_DIALOG_NAME", removeQuestion(getSelectedName())));
    }
    return true;
}

void NameSelectDialog::appendName(const std::string& name)
{
    ListBoxItem* item = createNameItem(name);
    nameList->addItem(item);
    nameList->setSelected(item);
    GameApp::getPlayers()->defineChild(name);
}

void NameSelectDialog::deleteSelectedName()
{
    ListBoxItem* item = nameList->getSelected();
    if (!item || nameList->getItemCount() <= 1)
        return;
    const std::string name = item->getText();
    // The current player's statistics must not be written back once its files are gone.
    if (name == GameApp::getCurrentPlayer())
        GameApp::dropCurrentPlayer();
    const std::string path = GameApp::getPlayerFilePath(name, "data");
    std::remove(compat::hostPath(path + ".!").c_str());
    std::remove(compat::hostPath(path).c_str());
    GameApp::getPlayers()->remove(name);
    nameList->removeItem(item);
}

void NameSelectDialog::onDialogClosed(Dialog* dialog)
{
    GameDialog::onDialogClosed(dialog);
    const ButtonBlit* result = dialog ? dialog->getResult() : nullptr;
    const std::string answer = result ? result->getName() : std::string();
    const std::string name = dialog ? dialog->getName() : std::string();
    if (name == "DIALOG_NAME_ENTRY" && answer == "BUTTON_OK") {
        const auto* entry = dynamic_cast<NameEntryDialog*>(dialog);
        const std::string entered = entry ? entry->getEnteredName() : std::string();
        if (!entered.empty()) {
            for (int i = 0; i < nameList->getItemCount(); ++i) {
                if (nameList->getItem(i)->getText() == entered) {
                    nameList->setSelected(nameList->getItem(i));
                    applyButtonRule();
                    return;
                }
            }
            if (nameList->getItemCount() < kMaxNames)
                appendName(entered);
        }
    } else if (name == "DIALOG_DELETE_NAME" && answer == "BUTTON_YES") {
        deleteSelectedName();
    }
    applyButtonRule();
}

Dialog* openNameSelectDialog()
{
    return new NameSelectDialog;
}
