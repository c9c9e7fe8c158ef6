#include "toolkit/sprite/BitmapSprite.h"

#include "platform/raster/Blend.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/catalogue/ResourceManager.h"

const ClassRecord BitmapSprite::classRecord("BitmapSprite", &Sprite::classRecord);

BitmapSprite::BitmapSprite(Surface* image, Surface* surfaceMask, int x, int y)
{
    holder = new SurfaceHolder;
    holder->addRef();
    setSurface(image);
    setMask(surfaceMask);
    setX(x);
    setY(y);
    fitSizeToImage();
}

BitmapSprite::~BitmapSprite()
{
    if (mask)
        mask->release();
    mask = nullptr;
    holder->release();
    holder = nullptr;
}

void BitmapSprite::setSurface(Surface* surface)
{
    if (surface == holder->getSurface())
        return;
    holder->setSurface(surface);
    setDirty(true);
}

Surface* BitmapSprite::getSurface() const
{
    return holder->getSurface();
}

void BitmapSprite::setMask(Surface* newMask)
{
    if (newMask == mask)
        return;
    if (newMask)
        newMask->addRef();
    if (mask)
        mask->release();
    mask = newMask;
    setDirty(true);
}

void BitmapSprite::setAlpha(int newAlpha)
{
    if (newAlpha == alpha)
        return;
    alpha = newAlpha;
    setDirty(true);
}

void BitmapSprite::setMaskColor(std::uint32_t colour)
{
    if (colour == maskColor)
        return;
    maskColor = colour;
    setDirty(true);
}

void BitmapSprite::fitSizeToImage()
{
    const Surface* image = getSurface();
    const Surface* source = image ? image : mask;
    if (source)
        setSize(static_cast<int>(source->getDesc().width), static_cast<int>(source->getDesc().height));
}

void BitmapSprite::setFrames(int count, int width, int height)
{
    frameCount = count;
    frameStepX = 0;
    frameStepY = height;
    setSize(width, height);
    setFrameRect(0, 0, width, height);
}

void BitmapSprite::setFrameCountFromImage(int count)
{
    const Surface* image = getSurface();
    const Surface* source = image ? image : mask;
    if (count < 1 || !source)
        return;
    setFrames(count, static_cast<int>(source->getDesc().width), static_cast<int>(source->getDesc().height) / count);
}

void BitmapSprite::copyToOwnSurface()
{
    Surface* image = getSurface();
    if (!image)
        return;
    if (FAILED(holder->createSource(ResourceManager::getDirectDraw(), image->getDesc())) || !holder->getSource())
        return;
    bltFastClipped(image, 0, 0, static_cast<int>(image->getDesc().width), static_cast<int>(image->getDesc().height),
                   holder->getSource(), 0, 0);
}

void BitmapSprite::restoreImage()
{
    holder->check();
}

void BitmapSprite::draw(Surface* target)
{
    drawAt(target, getAbsoluteX(), getAbsoluteY());
}

void BitmapSprite::drawAt(Surface* target, int x, int y)
{
    if (!target)
        return;
    Rect source = sourceRect ? *sourceRect : Rect(0, 0, bounds.width, bounds.height);
    int width = source.width;
    int height = source.height;
    if (clipRect) {
        const Rect& c = *clipRect;
        if (x < c.x) {
            const int d = c.x - x;
            source.x += d;
            width -= d;
            x = c.x;
        }
        if (y < c.y) {
            const int d = c.y - y;
            source.y += d;
            height -= d;
            y = c.y;
        }
        if (static_cast<long long>(x) + width > static_cast<long long>(c.x) + c.width)
            width = static_cast<int>(static_cast<long long>(c.x) + c.width - x);
        if (static_cast<long long>(y) + height > static_cast<long long>(c.y) + c.height)
            height = static_cast<int>(static_cast<long long>(c.y) + c.height - y);
    }
    if (width < 1 || height < 1 || alpha <= 0)
        return;

    Surface* image = getSurface();
    const bool opaque = alpha >= 255;
    const auto blend = static_cast<std::uint8_t>(opaque ? 255 : alpha);
    HRESULT result = S_OK;
    if (image && !mask) {
        result = opaque ? bltFastClipped(image, source.x, source.y, width, height, target, x, y)
                        : blitAlphaRect(image, source.x, source.y, width, height, target, x, y, blend);
    } else if (image && mask) {
        result = opaque ? blitAlphaMask(image, source.x, source.y, width, height, target, x, y, mask)
                        : blitBlendDispatch(image, source.x, source.y, width, height, target, x, y, mask, blend);
    } else if (mask) {
        const std::uint32_t tint = target->getDesc().format.packPixel(&maskColor);
        result = blitTinted(mask, source.x, source.y, width, height, target, x, y, tint, blend);
    } else {
        return;
    }
    if (result < 0)
        restoreImage();
}
