#include "toolkit/widget/PixelFontButton.h"

#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/XmlAttr.h"
#include "runtime/DebugLog.h"

#include <algorithm>
#include <cstdint>

const ClassRecord PixelFontButton::classRecord("PixelFontButton", &PixelButton::classRecord);

namespace {

const char* const colorAttributes[8] = {
    "normalcolor",         "highlightcolor",         "pressedcolor",         "disabledcolor",
    "selectednormalcolor", "selectedhighlightcolor", "selectedpressedcolor", "selecteddisabledcolor",
};

std::uint32_t native(Surface* target, int colour)
{
    const auto rgb = static_cast<std::uint32_t>(colour);
    return target->getDesc().format.packPixel(&rgb);
}

std::uint8_t clampAlpha(int value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

} // namespace

PixelFontButton::PixelFontButton()
{
    std::fill(std::begin(stateColors), std::end(stateColors), DefaultCaptionColor);
}

void PixelFontButton::readXML(const TiXmlElement* element)
{
    PixelButton::readXML(element);
    if (!element)
        return;
    XmlAttr::getText(element, caption);
    std::string fontId;
    // An identifier the catalogue does not hold keeps the font the button had.
    if (XmlAttr::getString(element, "font", fontId)) {
        if (BitmapFont* resource = ResourceManager::getFont(fontId))
            setFont(resource);
        else
            DebugLog::instance().log("PixelFontButton: no font resource \"" + fontId + "\"\n");
    }
    XmlAttr::getBool(element, "colordraw", colorDraw);
    for (int i = 0; i < 8; ++i)
        XmlAttr::getInt(element, colorAttributes[i], stateColors[i]);
    XmlAttr::getInt(element, "shadowcolor", shadowColor);
    XmlAttr::getBool(element, "drawshadow", drawShadow);
    XmlAttr::getInt(element, "shadowalpha", shadowAlpha);
    XmlAttr::getInt(element, "shadowoffsetx", shadowOffsetX);
    XmlAttr::getInt(element, "shadowoffsety", shadowOffsetY);
    XmlAttr::getInt(element, "pressedoffsetx", pressedOffsetX);
    XmlAttr::getInt(element, "pressedoffsety", pressedOffsetY);
}

void PixelFontButton::setText(const std::string& text)
{
    if (text != caption)
        setDirty(true);
    caption = text;
}

void PixelFontButton::setFont(BitmapFont* newFont)
{
    if (newFont != font)
        setDirty(true);
    font = newFont;
}

void PixelFontButton::setShadowColor(int colour)
{
    if (colour != shadowColor)
        setDirty(true);
    shadowColor = colour;
}

int PixelFontButton::getStateColor(int forState) const
{
    return forState >= 0 && forState < 8 ? stateColors[forState] : 0;
}

void PixelFontButton::setStateColor(int forState, int colour)
{
    if (forState < 0 || forState >= 8)
        return;
    stateColors[forState] = colour;
    setDirty(true);
}

void PixelFontButton::drawAt(Surface* target, int x, int y)
{
    PixelButton::drawAt(target, x, y);
    if (!target || !font || caption.empty())
        return;
    // Each half is truncated on its own, as the layout data expects. A caption is plain text: a "^" is a
    // character like any other, measured and drawn as such.
    const int tx = x + getWidth() / 2 - font->measure(caption) / 2;
    const int ty = y + getHeight() / 2 - font->getLineHeight() / 2;
    if (drawShadow) {
        font->drawStringTinted(target, tx + shadowOffsetX, ty + shadowOffsetY, caption,
                                     native(target, shadowColor), clampAlpha((alpha * shadowAlpha) >> 8));
    }
    const bool pressed = state == StatePressed || state == StateSelectedPressed;
    const int cx = pressed ? tx + pressedOffsetX : tx;
    const int cy = pressed ? ty + pressedOffsetY : ty;
    SurfaceHolder* picture = font->getImage();
    if (colorDraw || !picture || !picture->getSurface())
        font->drawStringTinted(target, cx, cy, caption, native(target, getStateColor(state)), clampAlpha(alpha));
    else
        font->drawStringBlended(target, cx, cy, caption, clampAlpha(alpha));
}
