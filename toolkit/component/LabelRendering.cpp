// How a label reaches the screen: its off-screen buffer (made, captured from the background, rendered
// again only when invalid), the drawing of its lines and drop shadow, and its repair after a lost
// display.
#include "toolkit/component/Label.h"

#include "platform/font/BitmapFont.h"
#include "platform/raster/Blend.h"
#include "platform/raster/Fill.h"
#include "platform/raster/MaskCombine.h"
#include "platform/surface/Blit.h"
#include "platform/surface/DrawError.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"
#include "platform/catalogue/ResourceManager.h"

#include <climits>
#include <cstring>

namespace {

std::uint32_t native(Surface* surface, std::uint32_t rgb)
{
    return surface->getDesc().format.packPixel(&rgb);
}

int pitchOf(const Surface* surface)
{
    const SurfaceDesc& desc = surface->getDesc();
    return desc.pitch > 0 ? desc.pitch : static_cast<int>(desc.width);
}

void clearMask(MemorySurface* mask)
{
    if (mask && mask->pixels())
        std::memset(mask->pixels(), 0, static_cast<std::size_t>(pitchOf(mask)) * mask->getDesc().height);
}

} // namespace

void Label::createBuffer()
{
    if (buffer) {
        buffer->release();
        buffer = nullptr;
    }
    buffer = new SurfaceHolder;
    buffer->addRef();
    long long width = size.width, height = size.height;
    if (isShadow()) {
        width += shadow.offset.x;
        height += shadow.offset.y;
    }
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX)
        return; // nothing to draw into
    SurfaceDesc desc;
    desc.width = static_cast<std::uint32_t>(width);
    desc.height = static_cast<std::uint32_t>(height);
    desc.memoryType = static_cast<std::uint32_t>(options.memoryType);
    if (FAILED(buffer->createSurface(ResourceManager::getDirectDraw(), desc)))
        buffer->setSurface(nullptr);
    if (Surface* surface = buffer->getSurface()) {
        std::string fontName = "???";
        SurfaceHolder* image = font ? font->getImage() : nullptr;
        if (image && image->getSurface())
            fontName = image->getSurface()->getName();
        else if (image && image->getMask())
            fontName = image->getMask()->getName();
        surface->setName("LabelBuffer[" + fontName + "]");
    }
    if (!isCaptureBackground()) {
        MemorySurface* mask = createMemorySurface(desc.width, desc.height);
        if (mask) {
            clearMask(mask);
            buffer->setMask(mask);
            buffer->getOptions()->flags |= BlitOptions::BlendMask;
        }
    }
}

void Label::copyBackground(Surface* target, int x, int y)
{
    Surface* surface = buffer ? buffer->getSurface() : nullptr;
    if (!surface || !target)
        return;
    recordDrawError(bltFastClipped(target, x, y, static_cast<int>(surface->getDesc().width),
                                   static_cast<int>(surface->getDesc().height), surface, 0, 0));
}

void Label::drawLines(Surface* surface, int x, int y, bool tinted, std::uint32_t rgb, std::uint8_t a)
{
    for (unsigned i = 0; i < lines.size() && i < linePositions.size(); ++i) {
        const PointValue& at = *linePositions.elementAt(i);
        const std::string& line = *lines.elementAt(i);
        if (tinted)
            font->drawStringColored(surface, x + at.x, y + at.y, line, native(surface, rgb), a);
        else
            font->drawStringBlended(surface, x + at.x, y + at.y, BitmapFont::withoutMarkup(line), a);
    }
}

void Label::drawShadow(Surface* surface, int x, int y)
{
    const auto a = static_cast<std::uint8_t>((shadow.alpha * alpha) >> 8);
    const std::uint32_t shade = native(surface, shadow.colour);
    for (unsigned i = 0; i < lines.size() && i < linePositions.size(); ++i) {
        const PointValue& at = *linePositions.elementAt(i);
        font->drawStringHidingMarkup(surface, x + at.x + shadow.offset.x, y + at.y + shadow.offset.y,
                                     *lines.elementAt(i), shade, a);
    }
}

void Label::renderBuffer(Surface* target)
{
    if (!font)
        return;
    const int ax = getAbsoluteX(), ay = getAbsoluteY();
    if (!buffer) {
        createBuffer();
        if (isCaptureBackground())
            copyBackground(target, ax, ay);
    } else if (!isCaptureBackground()) {
        if (Surface* surface = buffer->getSurface())
            surface->fill(0);
        clearMask(buffer->getMask());
    } else {
        copyBackground(target, ax, ay);
    }
    Surface* surface = buffer->getSurface();
    if (surface) {
        if (isShadow() && isCaptureBackground())
            drawShadow(surface, 0, 0);
        if (isCaptureBackground()) {
            drawLines(surface, 0, 0, colourMode == Tinted, colour, alpha);
        } else {
            MemorySurface* mask = buffer->getMask();
            if (colourMode == Tinted)
                fillRectClipped(surface, 0, 0, static_cast<int>(surface->getDesc().width),
                                static_cast<int>(surface->getDesc().height), native(surface, colour));
            for (unsigned i = 0; i < lines.size() && i < linePositions.size(); ++i) {
                const PointValue& at = *linePositions.elementAt(i);
                const std::string plain = BitmapFont::withoutMarkup(*lines.elementAt(i));
                if (colourMode != Tinted)
                    font->drawString(surface, at.x, at.y, plain);
                if (mask)
                    font->drawStringMask(mask, at.x, at.y, plain, MaskMaximum);
            }
        }
    }
    // A render that failed is tried again in the next frame.
    invalid = hasDrawError() ? 1 : 0;
}

void Label::paint(Surface* target, const FrameTime&)
{
    if (!font || !target)
        return;
    const int ax = getAbsoluteX(), ay = getAbsoluteY();
    if (isInvalid()) {
        refresh();
        renderBuffer(target);
    }
    if (!isBuffered()) {
        if (isShadow())
            drawShadow(target, ax, ay);
        drawLines(target, ax, ay, colourMode == Tinted, colour, alpha);
        return;
    }
    if (isShadow() && !isCaptureBackground())
        drawShadow(target, ax, ay);
    Surface* surface = buffer ? buffer->getSurface() : nullptr;
    if (!surface)
        return;
    const int width = static_cast<int>(surface->getDesc().width), height = static_cast<int>(surface->getDesc().height);
    if (!isCaptureBackground() && alpha != 255)
        blitSurfaceAlphaChecked(surface, 0, 0, width, height, target, ax, ay, buffer->getMask(), alpha, buffer);
    else
        blitSurface(buffer, 0, 0, width, height, target, ax, ay, nullptr);
}

void Label::restoreLost()
{
    if (font && font->getImage())
        font->getImage()->check();
    if (buffer)
        buffer->check();
    setInvalid(true);
}
