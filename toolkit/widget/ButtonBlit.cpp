#include "toolkit/widget/ButtonBlit.h"

#include "platform/app/Application.h"
#include "platform/catalogue/CatalogueSound.h"
#include "resources/layout/XmlAttr.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/ButtonListener.h"

#include <tinyxml.h>

const ClassRecord ButtonBlit::classRecord("ButtonBlit", &XMLSprite::classRecord);

namespace {

int cursorShape()
{
    Application* app = Application::instance();
    return app ? app->getCursorShape() : 0;
}

void setCursor(int shape)
{
    if (Application* app = Application::instance())
        app->setCursorShape(shape);
}

} // namespace

ButtonBlit::ButtonBlit()
{
    addStateFlags(StateConsumesPress);
    addInputFlags(902);
}

void ButtonBlit::readXML(const TiXmlElement* element)
{
    XMLSprite::readXML(element);
    if (!element)
        return;
    XmlAttr::getBool(element, "dohand", doHand);
    XmlAttr::getString(element, "group", group);
    XmlAttr::getBool(element, "toggle", toggle);
    std::string key;
    // An empty value means no hotkey.
    if (XmlAttr::getString(element, "hotkey", key))
        hotkey = key.empty() ? 0 : key[0];
    XmlAttr::getInt(element, "hotkeycode", hotkeyCode);
    XmlAttr::getString(element, "presssound", pressSound);
    XmlAttr::getString(element, "entersound", enterSound);
    XmlAttr::getString(element, "leavesound", leaveSound);
    XmlAttr::getString(element, "deselectsound", deselectSound);
    XmlAttr::getString(element, "tooltip", tooltip);

    const TiXmlElement* area = element->FirstChildElement("hitarea");
    if (!area)
        area = XmlAttr::findChild(element, "hitarea");
    if (area) {
        HitArea rect;
        bool relative = true;
        XmlAttr::getInt(area, "left", rect.left);
        XmlAttr::getInt(area, "top", rect.top);
        XmlAttr::getInt(area, "right", rect.right);
        XmlAttr::getInt(area, "bottom", rect.bottom);
        XmlAttr::getBool(area, "relative", relative);
        setHitArea(&rect, relative);
    }
}

void ButtonBlit::setHitArea(const HitArea* area, bool relative)
{
    hitArea = area ? std::make_unique<HitArea>(*area) : nullptr;
    hitAreaRelative = relative;
}

void ButtonBlit::setState(int newState)
{
    if (newState == state)
        return;
    setDirty(true);
    state = newState;
}

void ButtonBlit::setUsable(bool usable)
{
    const bool selected = isSelected();
    if (usable) {
        const bool over = contains(lastX, lastY);
        setState(selected ? (over ? StateSelectedHighlight : StateSelectedNormal)
                          : (over ? StateHighlight : StateNormal));
    } else {
        setState(selected ? StateSelectedDisabled : StateDisabled);
    }
}

void ButtonBlit::setSelected(bool selected)
{
    if (state < 0 || state > 7)
        return;
    setState(state % 4 + (selected ? 4 : 0));
}

bool ButtonBlit::contains(int x, int y)
{
    if (!hitArea)
        return XMLSprite::contains(x, y);
    const HitArea& a = *hitArea;
    if (!hitAreaRelative)
        return a.left <= x && x < a.left + a.right && a.top <= y && y < a.top + a.bottom;
    const int ax = getAbsoluteX();
    const int ay = getAbsoluteY();
    return ax + a.left <= x && x < ax + getWidth() + a.right && ay + a.top <= y && y < ay + getHeight() + a.bottom;
}

Rect ButtonBlit::getTooltipRect()
{
    const int ax = getAbsoluteX();
    const int ay = getAbsoluteY();
    if (!hitArea)
        return Rect{ax, ay, getWidth(), getHeight()};
    const HitArea& a = *hitArea;
    if (!hitAreaRelative)
        return Rect{a.left, a.top, a.right, a.bottom};
    return Rect{ax + a.left, ay + a.top, getWidth() + a.right - a.left, getHeight() + a.bottom - a.top};
}

void ButtonBlit::click()
{
    if (pressSoundPlayed)
        pressSoundPlayed = false;
    else
        playEffect(pressSound);
    if (listener)
        listener->onClick(this);
    if (cursorShape() == CursorHand && !isUsable())
        setCursor(CursorArrow);
}

void ButtonBlit::playEffect(const std::string& soundId)
{
    if (!soundId.empty())
        playSound(soundId, 255);
}

void ButtonBlit::enter()
{
    playEffect(enterSound);
    if (listener)
        listener->onEnter(this);
}

void ButtonBlit::leave()
{
    playEffect(leaveSound);
    if (listener)
        listener->onLeave(this);
}

void ButtonBlit::onMouseMoved(int x, int y, int buttons)
{
    const bool now = contains(x, y);
    const bool before = contains(lastX, lastY);
    if (now && !before) {
        if (doHand && isUsable())
            setCursor(CursorHand);
        enter();
        if (state == StateNormal)
            setState(StateHighlight);
        else if (state == StateSelectedNormal)
            setState(StateSelectedHighlight);
    } else if (before && !now) {
        setCursor(CursorArrow);
        leave();
        if (state == StateHighlight)
            setState(StateNormal);
        else if (state == StateSelectedHighlight)
            setState(StateSelectedNormal);
    } else if (state == StatePressed && (buttons & 1) == 0) {
        setState(StateNormal);
    }
    if (now && cursorShape() == CursorArrow && doHand && isUsable())
        setCursor(CursorHand);
    lastX = x;
    lastY = y;
}

void ButtonBlit::onLeftPressed(int x, int y, int, int)
{
    if (!isUsable())
        return;
    pressX = x;
    pressY = y;
    if (!contains(x, y))
        return;
    if (isSelected()) {
        playEffect(deselectSound);
        setState(StateSelectedPressed);
    } else {
        playEffect(pressSound);
        setState(StatePressed);
    }
    if (hasStateFlags(StateConsumesPress) && getCanvas())
        getCanvas()->consumeEvent();
    pressSoundPlayed = true;
}

void ButtonBlit::onLeftReleased(int x, int y, int)
{
    if (!isUsable())
        return;
    const bool pressedDown = state == StatePressed || state == StateSelectedPressed;
    if (!contains(pressX, pressY) || !contains(x, y)) {
        if (pressedDown) {
            setState(isSelected() ? StateSelectedNormal : StateNormal);
            pressSoundPlayed = false;
        }
        return;
    }
    click();
    if (state != StatePressed && state != StateSelectedPressed)
        return;
    if (toggle)
        setState(state == StatePressed ? StateSelectedHighlight : StateHighlight);
    else if (!group.empty())
        setState(state == StatePressed ? StateSelectedHighlight : StateSelectedPressed);
    else
        setState(StateHighlight);
}

void ButtonBlit::onKeyReleased(int key)
{
    if (hotkeyCode >= 0 && key == hotkeyCode && isUsable())
        click();
}

void ButtonBlit::onKeyTyped(int character)
{
    if (hotkey != 0 && static_cast<char>(character) == hotkey && isUsable())
        click();
}
