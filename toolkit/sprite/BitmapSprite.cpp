#include "toolkit/sprite/BitmapSprite.h"

#include "platform/catalogue/ResourceManager.h"
#include "platform/raster/Blend.h"
#include "platform/surface/DrawError.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"

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
    const Rect source = sourceRect ? *sourceRect : Rect(0, 0, bounds.width, bounds.height);
    // In 64 bits: clip rectangles and positions come from hand-edited layouts.
    long long sx = source.x, sy = source.y, width = source.width, height = source.height;
    long long dx = x, dy = y;
    if (clipRect) {
        const Rect& c = *clipRect;
        if (dx < c.x) {
            const long long d = c.x - dx;
            sx += d;
            width -= d;
            dx = c.x;
        }
        if (dy < c.y) {
            const long long d = c.y - dy;
            sy += d;
            height -= d;
            dy = c.y;
        }
        if (dx + width > static_cast<long long>(c.x) + c.width)
            width = static_cast<long long>(c.x) + c.width - dx;
        if (dy + height > static_cast<long long>(c.y) + c.height)
            height = static_cast<long long>(c.y) + c.height - dy;
    }
    if (width < 1 || height < 1 || alpha <= 0)
        return;
    // Anything still beyond the 32-bit range lies far outside every surface.
    const long long limit = 0x7FFFFFFF;
    if (sx < -limit || sx > limit || sy < -limit || sy > limit || width > limit || height > limit)
        return;

    Surface* image = getSurface();
    const bool opaque = alpha >= 255;
    const auto blend = static_cast<std::uint8_t>(opaque ? 255 : alpha);
    HRESULT result = S_OK;
    const int srcX = static_cast<int>(sx), srcY = static_cast<int>(sy);
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    x = static_cast<int>(dx);
    y = static_cast<int>(dy);
    if (image && !mask) {
        result = opaque ? bltFastClipped(image, srcX, srcY, w, h, target, x, y)
                        : blitAlphaRect(image, srcX, srcY, w, h, target, x, y, blend);
    } else if (image && mask) {
        result = opaque ? blitAlphaMask(image, srcX, srcY, w, h, target, x, y, mask)
                        : blitBlendDispatch(image, srcX, srcY, w, h, target, x, y, mask, blend);
    } else if (mask) {
        const std::uint32_t tint = target->getDesc().format.packPixel(&maskColor);
        result = blitTinted(mask, srcX, srcY, w, h, target, x, y, tint, blend);
    } else {
        return;
    }
    if (result < 0) {
        restoreImage();
        // Not drawn in this frame: marked, and recorded so that the canvas keeps the mark, the rebuilt
        // picture is drawn in the next one (also as a child of a container).
        recordDrawError(result);
        setDirty(true);
    }
}
