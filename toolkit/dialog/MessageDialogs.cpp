#include "toolkit/dialog/MessageDialogs.h"

#include "platform/app/Application.h"
#include "platform/app/Screen.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "toolkit/dialog/FramedDialog.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteContainer.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontInputLabel.h"
#include "toolkit/widget/PixelFontLabel.h"
#include "toolkit/widget/TooltipManagerSprite.h"

#include <tinyxml.h>

#include <vector>

namespace {

// A button the layout does not define still has to answer the dialog, or the player could never
// close it: it is a plain clickable area of the usual button size, named like the missing element.
constexpr int kFallbackButtonWidth = 96;
constexpr int kFallbackButtonHeight = 32;

int imageWidth(SurfaceHolder* image)
{
    return image && image->getSurface() ? static_cast<int>(image->getSurface()->getDesc().width) : 0;
}

// The text label of a message dialog, fitted to the dialog's inner width and to its text.
PixelFontLabel* createTextLabel(FramedDialog* dialog, const std::string& text, const TiXmlElement* element,
                                bool fitHeight)
{
    PixelFontLabel* label = createPixelFontLabel(text, element);
    dialog->fitChildWidth(label);
    label->invalidate();
    if (fitHeight)
        label->fitHeightToText();
    dialog->addChild(label, SpriteContainer::PlaceBelowCenter);
    return label;
}

// Steps 1 to 4 of every message dialog: frame, margins, name, text, buttons.
FramedDialog* buildMessageDialog(const std::string& name, const std::string& headerImageId, const std::string& text,
                                 const std::string& bottomImageId, const std::vector<std::string>& buttonIds,
                                 const std::vector<const TiXmlElement*>& buttonElements)
{
    SurfaceHolder* header = ResourceManager::getImage(headerImageId);
    auto* dialog = new FramedDialog(100, 100, imageWidth(header), 350, ResourceManager::getImage("IMAGE_DIALOG_SIDE_LEFT"),
                                    ResourceManager::getImage("IMAGE_DIALOG_SIDE_RIGHT"), header,
                                    ResourceManager::getImage(bottomImageId),
                                    ResourceManager::getImage("IMAGE_DIALOG_INSIDE"));
    dialog->setMarginLeft(60);
    dialog->setMarginRight(60);
    dialog->setMarginTop(75);
    dialog->setMarginBottom(65);
    dialog->setGapV(5);
    dialog->resetReference();
    dialog->setName(name);

    createTextLabel(dialog, text, findLayoutElement("LABEL_TEXT"), true);

    std::vector<ButtonBlit*> buttons;
    for (std::size_t i = 0; i < buttonIds.size(); ++i) {
        buttons.push_back(createDialogButton(buttonIds[i], buttonElements[i], dialog));
        if (TooltipManagerSprite* tooltips = dialog->getTooltipManager())
            tooltips->addSource(buttons.back());
    }
    if (buttons.size() == 1) {
        dialog->addChild(buttons[0], SpriteContainer::PlaceBelowCenter);
    } else if (buttons.size() == 2) {
        auto* row = new SpriteContainer(0, 0, dialog->getWidth(), dialog->getHeight(), 0, 0, 0, 0, 10, 10);
        row->addChild(buttons[0], SpriteContainer::PlaceOnCorner);
        row->addChild(buttons[1], SpriteContainer::PlaceRightTop);
        row->fitSizeToChildren();
        dialog->addChild(row, SpriteContainer::PlaceBelowCenter);
    }
    return dialog;
}

void finish(FramedDialog* dialog, bool draggable, bool extraHeight)
{
    dialog->setDraggable(draggable);
    dialog->setExtraHeight(extraHeight);
    dialog->fitHeightToChildren();
}

} // namespace

ButtonBlit* createDialogButton(const std::string& id, const TiXmlElement* element, ButtonListener* listener)
{
    ButtonBlit* button = nullptr;
    if (Sprite* made = element ? createSpriteFromXml(element) : nullptr) {
        if (made->isKindOf(&ButtonBlit::classRecord)) {
            button = static_cast<ButtonBlit*>(made);
        } else {
            made->addRef();
            made->setObsolete(true);
            made->release();
        }
    }
    if (!button) {
        DebugLog::instance().log("Dialog button \"" + id + "\" is missing from the layout\n");
        button = new ButtonBlit;
        button->setName(id);
        button->setSize(kFallbackButtonWidth, kFallbackButtonHeight);
    }
    button->setListener(listener);
    return button;
}

void centerOnScreen(Sprite* sprite)
{
    if (!sprite)
        return;
    int width = 0;
    int height = 0;
    Application::screenSize(width, height);
    sprite->setPosition(width / 2 - sprite->getWidth() / 2, height / 2 - sprite->getHeight() / 2);
}

PixelFontLabel* createPixelFontLabel(const std::string& text, const TiXmlElement* element)
{
    auto* label = new PixelFontLabel;
    label->setText(text);
    label->readXML(element);
    return label;
}

PixelFontInputLabel* createInputLabel(const TiXmlElement* element)
{
    auto* field = new PixelFontInputLabel;
    field->readXML(element);
    return field;
}

BitmapSprite* createImageSpriteFromImage(SurfaceHolder* image)
{
    auto* sprite = new BitmapSprite(nullptr, nullptr, 0, 0);
    if (!image || !image->getSurface())
        return sprite;
    const SurfaceDesc& desc = image->getSurface()->getDesc();
    sprite->setSize(static_cast<int>(desc.width), static_cast<int>(desc.height));
    sprite->setSurface(image->getSurface());
    sprite->setMask(image->getMask());
    return sprite;
}

BitmapSprite* createImageSprite(const std::string& imageId)
{
    return createImageSpriteFromImage(ResourceManager::getImage(imageId));
}

SpriteContainer* createLabeledControl(const std::string& text, const TiXmlElement* labelElement, ButtonBlit* control,
                                      ButtonListener* listener)
{
    auto* row = new SpriteContainer(0, 0, 0, 0, 0, 0, 0, 0, 10, 10);
    PixelFontLabel* label = createPixelFontLabel(text, labelElement);
    BitmapFont* font = label->getFont();
    label->setWidth((font ? font->measureMarkup(text) : 0) + 15);
    label->fitHeightToText();
    if (control) {
        control->setListener(listener);
        row->addChild(control, SpriteContainer::PlaceOnCorner);
    }
    row->addChild(label, SpriteContainer::PlaceRightMiddle);
    row->fitSizeToChildren();
    if (control)
        row->setTooltip(control->getTooltip());
    return row;
}

FramedDialog* showOkDialog(const std::string& name, const std::string& headerImageId, const std::string& text)
{
    FramedDialog* dialog = buildMessageDialog(name, headerImageId, text, "IMAGE_DIALOG_BOTTOM_SMALL", {"BUTTON_OK"},
                                              {findLayoutElement("BUTTON_OK")});
    finish(dialog, true, false);
    centerOnScreen(dialog);
    return dialog;
}

FramedDialog* showYesNoDialog(const std::string& name, const std::string& headerImageId, const std::string& text)
{
    FramedDialog* dialog =
        buildMessageDialog(name, headerImageId, text, "IMAGE_DIALOG_BOTTOM_SMALL", {"BUTTON_YES", "BUTTON_NO"},
                           {findLayoutElement("BUTTON_YES"), findLayoutElement("BUTTON_NO")});
    finish(dialog, true, false);
    centerOnScreen(dialog);
    return dialog;
}

FramedDialog* showYesNoDialogLarge(const std::string& name, const std::string& headerImageId, const std::string& text,
                                   bool large)
{
    FramedDialog* dialog = buildMessageDialog(name, headerImageId, text,
                                              large ? "IMAGE_DIALOG_BOTTOM_EXTREME" : "IMAGE_DIALOG_BOTTOM_SMALL",
                                              {"BUTTON_YES", "BUTTON_NO"},
                                              {findLayoutElement("BUTTON_YES"), findLayoutElement("BUTTON_NO")});
    finish(dialog, false, large);
    centerOnScreen(dialog);
    return dialog;
}

FramedDialog* showOkSliderDialog(const std::string& name, const std::string& headerImageId, const std::string& text,
                                 const std::string& secondText, bool showSecondText)
{
    FramedDialog* dialog = buildMessageDialog(name, headerImageId, text, "IMAGE_DIALOG_BOTTOM_SMALL", {"BUTTON_OK"},
                                              {findLayoutElement("BUTTON_OK")});
    finish(dialog, true, showSecondText);
    if (showSecondText) {
        PixelFontLabel* second = createTextLabel(dialog, secondText, findLayoutElement("LABEL_SLIDER"), false);
        second->setY(200);
    }
    centerOnScreen(dialog);
    return dialog;
}

FramedDialog* showCutoverDialog(const std::string& name, const std::string& headerImageId, const std::string& text)
{
    FramedDialog* dialog = buildMessageDialog(name, headerImageId, text, "IMAGE_DIALOG_BOTTOM_SMALL",
                                              {"BUTTON_CUTOVER"}, {findLayoutElement("BUTTON_CUTOVER")});
    finish(dialog, false, false);
    centerOnScreen(dialog);
    return dialog;
}
