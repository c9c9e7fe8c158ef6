#include "frontend/dialogs/GameDialog.h"

#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/dialog/MessageDialogs.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"
#include "toolkit/widget/TooltipManagerSprite.h"

#include <tinyxml.h>

namespace {

int imageWidth(SurfaceHolder* image)
{
    return image && image->getSurface() ? static_cast<int>(image->getSurface()->getDesc().width) : 0;
}

ButtonBlit* createButton(const std::string& id)
{
    return createDialogButton(id, findLayoutElement(id), nullptr);
}

} // namespace

GameDialog::GameDialog(const GameDialogFrame& frame)
    : FramedDialog(frame.x, frame.y, imageWidth(ResourceManager::getImage(frame.headerImageId)), frame.height,
                   ResourceManager::getImage("IMAGE_DIALOG_SIDE_LEFT"),
                   ResourceManager::getImage("IMAGE_DIALOG_SIDE_RIGHT"), ResourceManager::getImage(frame.headerImageId),
                   ResourceManager::getImage(frame.bottomImageId), ResourceManager::getImage("IMAGE_DIALOG_INSIDE")),
      draggableWhenDone(frame.draggable)
{
    setMarginLeft(kGameDialogMarginLeft);
    setMarginRight(kGameDialogMarginRight);
    setMarginTop(kGameDialogMarginTop);
    setMarginBottom(kGameDialogMarginBottom);
    setGapV(kGameDialogGap);
    resetReference();
    setName(frame.name);
}

GameDialog::~GameDialog() = default;

void GameDialog::onDialogClosed(Dialog* /*dialog*/)
{
    reenableAfterChildDialog(this);
}

ButtonBlit* GameDialog::addButton(const std::string& id)
{
    ButtonBlit* button = createButton(id);
    button->setListener(this);
    addTooltip(button);
    addChild(button, PlaceBelowCenter);
    return button;
}

// (dialogs with inner rows)
ButtonBlit* GameDialog::makeButton(const std::string& id)
{
    ButtonBlit* button = createButton(id);
    button->setListener(this);
    addTooltip(button);
    return button;
}

SpriteContainer* GameDialog::addButtonRow(const std::vector<std::string>& ids, std::vector<ButtonBlit*>* made)
{
    // The buttons stand side by side while they fit between the frame's sides; the ones that do not
    // fit go on a row of their own below, so no button ever sticks out over the frame.
    const int room = getWidth() - 2 * kGameDialogFrameInset;
    SpriteContainer* row = nullptr;
    SpriteContainer* last = nullptr;
    int rowWidth = 0;
    for (const std::string& id : ids) {
        ButtonBlit* button = createButton(id);
        button->setListener(this);
        addTooltip(button);
        const int wider = rowWidth + (row != nullptr ? kButtonRowGap : 0) + button->getWidth();
        if (row != nullptr && wider > room) {
            row->fitSizeToChildren();
            addChild(row, PlaceBelowCenter);
            last = row;
            row = nullptr;
        }
        if (row == nullptr) {
            row = new SpriteContainer(0, 0, getWidth(), getHeight(), 0, 0, 0, 0, kButtonRowGap, kButtonRowGap);
            row->addChild(button, PlaceOnCorner);
            rowWidth = button->getWidth();
        } else {
            row->addChild(button, PlaceRightTop);
            rowWidth = wider;
        }
        if (made)
            made->push_back(button);
    }
    if (row == nullptr)
        return last;
    row->fitSizeToChildren();
    addChild(row, PlaceBelowCenter);
    return row;
}

PixelFontLabel* GameDialog::addLabel(const std::string& text, const std::string& elementId)
{
    PixelFontLabel* label = createPixelFontLabel(text, findLayoutElement(elementId));
    fitChildWidth(label);
    label->invalidate();
    label->fitHeightToText();
    addChild(label, PlaceBelowCenter);
    return label;
}

void GameDialog::addBelow(Sprite* child)
{
    addChild(child, PlaceBelowCenter);
}

void GameDialog::addTooltip(Sprite* control)
{
    auto* source = dynamic_cast<TooltipSource*>(control);
    if (source && getTooltipManager())
        getTooltipManager()->addSource(source);
}

void GameDialog::finish()
{
    setDraggable(draggableWhenDone);
    fitHeightToChildren();
    centerOnScreen(this);
}

void GameDialog::openChild(Dialog* child, bool closeOnButton)
{
    if (!child)
        return;
    child->setListener(this);
    child->setCloseOnButton(closeOnButton);
    setEnabled(false);
    if (SpriteCanvas* canvas = getCanvas())
        canvas->addSprite(child);
}

std::string layoutString(const std::string& id)
{
    const std::string* text = LayoutDocument::peekResourceString(id);
    return text ? *text : id;
}

int layoutInt(const std::string& id, int fallback)
{
    const int value = getResourceInt(id);
    return value != 0 ? value : fallback;
}

void reenableAfterChildDialog(Dialog* parent)
{
    if (parent)
        parent->setEnabled(true);
}
