#include "toolkit/dialog/Dialog.h"

#include "platform/app/Application.h"
#include "platform/app/Screen.h"
#include "platform/surface/Blit.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/dialog/DialogListener.h"
#include "toolkit/dialog/PortalShell.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/TooltipManagerSprite.h"

#include <tinyxml.h>

#include <algorithm>

namespace {

void setCursor(int shape)
{
    if (Application* app = Application::instance())
        app->setCursorShape(shape);
}

} // namespace

Dialog::Dialog()
{
    setUp();
}

Dialog::Dialog(int x, int y, int width, int height) : SpriteContainer(x, y, width, height, 10, 10, 10, 10, 10, 10)
{
    setUp();
}

void Dialog::setUp()
{
    addStateFlags(StateInputBarrier);
    addInputFlags(DialogInputFlags);
    const TiXmlElement* element = findLayoutElement("TOOLTIPS_DEFAULT");
    Sprite* made = element ? createSpriteFromXml(element) : nullptr;
    if (!made)
        return;
    made->addRef();
    if (made->isKindOf(&TooltipManagerSprite::classRecord))
        tooltipManager = static_cast<TooltipManagerSprite*>(made);
    else {
        made->setObsolete(true);
        made->release();
    }
}

Dialog::~Dialog()
{
    if (result)
        result->release();
    result = nullptr;
    if (tooltipManager)
        tooltipManager->release();
    tooltipManager = nullptr;
}

void Dialog::setResult(ButtonBlit* button)
{
    if (button)
        button->addRef();
    if (result)
        result->release();
    result = button;
}

void Dialog::notifyListener()
{
    if (listener)
        listener->onDialogClosed(this);
}

void Dialog::onAddedToCanvas()
{
    SpriteContainer::onAddedToCanvas();
    if (tooltipManager && canvas)
        canvas->addSpriteAfter(tooltipManager, this);
}

void Dialog::onRemovedFromCanvas()
{
    if (canvas) {
        if (auto* self = dynamic_cast<DialogListener*>(this)) {
            for (Sprite* sprite : canvas->getSprites()) {
                auto* above = dynamic_cast<Dialog*>(sprite);
                if (above && above != this && above->getListener() == self) {
                    above->setListener(nullptr);
                    above->setObsolete(true);
                }
            }
        }
    }
    SpriteContainer::onRemovedFromCanvas();
}

void Dialog::setObsolete(bool obsolete)
{
    SpriteContainer::setObsolete(obsolete);
    if (!obsolete || !tooltipManager)
        return;
    TooltipManagerSprite* manager = tooltipManager;
    tooltipManager = nullptr;
    manager->clearSources();
    if (SpriteCanvas* owner = manager->getCanvas())
        owner->removeSprite(manager);
    manager->release();
}

bool Dialog::onClick(ButtonBlit* button)
{
    if (!button)
        return true;
    if (button->getName() == "BUTTON_CUTOVER") {
        handOverToPortalShell();
        return true;
    }
    // The listener may drop its hold on the dialog; a held dialog stays alive until the answer is done.
    const bool held = getRefCount() > 0;
    if (held)
        addRef();
    setResult(button);
    notifyListener();
    if (closeOnButton && canvas)
        canvas->removeSprite(this);
    setEnabled(false);
    if (held)
        release();
    return true;
}

void Dialog::onLeftPressed(int x, int y, int, int)
{
    if (!draggable || !hasStateFlags(StateMouseInside))
        return;
    setCursor(CursorHand);
    dragging = true;
    grabX = getAbsoluteX() - x;
    grabY = getAbsoluteY() - y;
}

void Dialog::onMouseMoved(int x, int y, int)
{
    if (!dragging)
        return;
    int screenWidth = 0;
    int screenHeight = 0;
    Application::screenSize(screenWidth, screenHeight);
    int newX = x + grabX;
    int newY = y + grabY;
    // At an edge the grip point slides, so that moving back moves the dialog at once.
    if (newX < 0) {
        grabX -= newX;
        newX = 0;
    }
    if (newY < 0) {
        grabY -= newY;
        newY = 0;
    }
    if (newX + getWidth() > screenWidth) {
        grabX -= newX + getWidth() - screenWidth;
        newX = screenWidth - getWidth();
    }
    if (newY + getHeight() > screenHeight) {
        grabY -= newY + getHeight() - screenHeight;
        newY = screenHeight - getHeight();
    }
    setPosition(newX, newY);
}

void Dialog::onLeftReleased(int, int, int)
{
    if (!dragging)
        return;
    dragging = false;
    setCursor(CursorArrow);
}

void Dialog::drawImage(SurfaceHolder* image, Surface* target, int x, int y, int clipX, int clipY, int clipW,
                       int clipH)
{
    if (!image || !image->getSurface())
        return;
    const SurfaceDesc& desc = image->getSurface()->getDesc();
    drawImagePart(image, 0, 0, static_cast<int>(desc.width), static_cast<int>(desc.height), target, x, y, clipX,
                  clipY, clipW, clipH);
}

void Dialog::drawImagePart(SurfaceHolder* image, int srcX, int srcY, int width, int height, Surface* target, int x,
                           int y, int clipX, int clipY, int clipW, int clipH)
{
    if (!image || !target)
        return;
    // In 64 bits: sums of positions and sizes must not wrap.
    const long long left = std::max<long long>(x, clipX);
    const long long top = std::max<long long>(y, clipY);
    const long long visibleW =
        std::min<long long>(static_cast<long long>(x) + width, static_cast<long long>(clipX) + clipW) - left;
    const long long visibleH =
        std::min<long long>(static_cast<long long>(y) + height, static_cast<long long>(clipY) + clipH) - top;
    if (visibleW <= 0 || visibleH <= 0)
        return;
    blitSurface(image, static_cast<int>(srcX + left - x), static_cast<int>(srcY + top - y),
                static_cast<int>(visibleW), static_cast<int>(visibleH), target, static_cast<int>(left),
                static_cast<int>(top), nullptr);
}
