#include "game/effects/Floater.h"

#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/sprite/FrameRate.h"

#include <algorithm>

Floater::Floater(const std::string& newText, BitmapFont* font, int x, int y) : BitmapSprite(nullptr, nullptr, 0, 0), font(font)
{
    setAnchor(AnchorTopCenter);
    setX(x);
    setY(y);
    setText(newText);
    setClipRect(0, 0, getResourceInt("INT_GAME_WIDTH"), getResourceInt("INT_GAME_HEIGHT"));
    colourBar = ResourceManager::getImage("IMAGE_FLOATER_COLOR_BAR");
    if (colourBar)
        colourBar->addRef();
    textColour = barColour(0);
}

Floater::~Floater()
{
    if (colourBar)
        colourBar->release();
    colourBar = nullptr;
}

std::uint32_t Floater::barColour(int row) const
{
    Surface* bar = colourBar ? colourBar->getSurface() : nullptr;
    if (!bar)
        return textColour;
    std::uint32_t pixel = Surface::getPixel(bar, 0, row);
    return bar->getDesc().format.unpackPixel(&pixel) & 0xFFFFFFu;
}

void Floater::setText(const std::string& newText)
{
    if (newText == text)
        return;
    setDirty(true);
    text = newText;
    const int width = font ? font->measure(text) : 0;
    const int height = font ? font->getLineHeight() : 0;
    setSize(width + 2, height + 2);
}

void Floater::setColor(std::uint32_t colour)
{
    if (colour == textColour)
        return;
    setDirty(true);
    textColour = colour;
}

void Floater::setY(int y)
{
    baseY = y;
    BitmapSprite::setY(std::max(0, baseY + yOffset));
}

void Floater::setYOffset(int offset)
{
    yOffset = offset;
    setY(baseY);
}

void Floater::tick()
{
    if (!cycling)
        return;
    colourPosition += getFrameRate().ratio();
    Surface* bar = colourBar ? colourBar->getSurface() : nullptr;
    const int rows = bar ? static_cast<int>(bar->getDesc().height) : 0;
    if (rows < 1)
        return;
    setColor(barColour(static_cast<int>(colourPosition) % rows));
}

void Floater::draw(Surface* target)
{
    if (!target || !font || alpha <= 0)
        return;
    const auto& format = target->getDesc().format;
    const std::uint32_t shadow = format.packPixel(&shadowColour);
    const std::uint32_t ink = format.packPixel(&textColour);
    const int x = getAbsoluteX();
    const int y = getAbsoluteY();
    const int shown = std::min(alpha, 255);
    font->drawStringTinted(target, x + 3, y + 3, text, shadow, static_cast<std::uint8_t>(shown * 0.66));
    font->drawStringTinted(target, x, y, text, ink, static_cast<std::uint8_t>(shown));
}
