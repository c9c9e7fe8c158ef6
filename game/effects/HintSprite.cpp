#include "game/effects/HintSprite.h"

#include "compat/win32/system/machine/timer.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/raster/Blend.h"
#include "platform/raster/Convert.h"
#include "platform/raster/Fill.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <tinyxml.h>

#include <algorithm>

BitmapFont* HintSprite::hintFont = nullptr;

namespace {

Surface* imageOf(SurfaceHolder* holder)
{
    return holder ? holder->getSurface() : nullptr;
}

Surface* maskOf(SurfaceHolder* holder)
{
    return holder ? holder->getMask() : nullptr;
}

int heightOf(Surface* surface)
{
    return surface ? static_cast<int>(surface->getDesc().height) : 0;
}

int widthOf(Surface* surface)
{
    return surface ? static_cast<int>(surface->getDesc().width) : 0;
}

// One piece of the panel, picture and mask, at (0, y).
void drawPiece(SurfaceHolder* piece, Surface* target, Surface* targetMask, int y)
{
    if (Surface* image = imageOf(piece))
        drawSurfaceClipped(image, target, 0, y);
    if (Surface* mask = maskOf(piece))
        drawMaskCombined(mask, targetMask, 0, y, MaskCopy);
}

} // namespace

HintSprite::HintSprite(const std::string& text, int hintNumber, bool asked)
    : BitmapSprite(nullptr, nullptr, 0, 0), hintNumber(hintNumber), asked(asked), createdAt(timeGetTime())
{
    compose(text);
}

void HintSprite::compose(const std::string& text)
{
    SurfaceHolder* top = ResourceManager::getImage("IMAGE_HINT_TOP");
    SurfaceHolder* middle = ResourceManager::getImage("IMAGE_HINT_MIDDLE");
    SurfaceHolder* bottom = ResourceManager::getImage("IMAGE_HINT_BOTTOM");
    hintFont = ResourceManager::getFont("FONT_TINY");

    // A layout without the label still gives an empty panel.
    PixelFontLabel* label = nullptr;
    if (Sprite* made = createSpriteFromXml(findLayoutElement("LABEL_HINT"))) {
        made->addRef();
        label = dynamic_cast<PixelFontLabel*>(made);
        if (!label)
            made->release();
    }
    int labelWidth = 0;
    int labelHeight = 0;
    if (label) {
        label->setText(text);
        label->setFont(hintFont);
        label->fitSizeToText();
        labelWidth = label->getWidth();
        labelHeight = label->getHeight();
    }

    const int topHeight = heightOf(imageOf(top));
    const int middleHeight = heightOf(imageOf(middle));
    const int bottomHeight = heightOf(imageOf(bottom));
    const int width = widthOf(imageOf(middle));
    const int height = labelHeight + topHeight + bottomHeight;

    DirectDrawSurface* image = nullptr;
    MemorySurface* mask = nullptr;
    if (width > 0 && height > 0) {
        image = createDirectDrawSurface(ResourceManager::getDirectDraw(), static_cast<std::uint32_t>(width),
                                        static_cast<std::uint32_t>(height));
        mask = createMemorySurface(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    }
    if (image)
        image->addRef();
    if (mask)
        mask->addRef();
    if (image && mask) {
        image->fill(0);
        fillRect8(mask, 0, 0, width, height, 0);
        drawPiece(top, image, mask, 0);
        // A middle piece without height would never fill the space.
        if (middleHeight > 0)
            for (int y = topHeight; y < height - middleHeight; y += middleHeight)
                drawPiece(middle, image, mask, y);
        drawPiece(bottom, image, mask, height - bottomHeight);
        if (label)
            label->drawAt(image, (width - labelWidth) / 2, topHeight - 5);
        setSurface(image);
        setMask(mask);
        fitSizeToImage();
        copyToOwnSurface();
    }
    if (image)
        image->release();
    if (mask)
        mask->release();
    if (label)
        label->release();
}
