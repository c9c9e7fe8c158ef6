#include "toolkit/widget/TextSprite.h"

#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/raster/MaskCombine.h"
#include "platform/surface/SurfaceFactory.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find('\n', start);
        if (at == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

int pitchOf(const Surface* surface)
{
    const SurfaceDesc& desc = surface->getDesc();
    return desc.pitch > 0 ? desc.pitch : static_cast<int>(desc.width);
}

// Combines the whole source byte map into the destination map at (x, y) by the mode, clipped to the
// destination; with a factor every source byte is scaled first.
void combineInto(MemorySurface* source, MemorySurface* target, int x, int y, int mode, const float* factor)
{
    const int sw = static_cast<int>(source->getDesc().width), sh = static_cast<int>(source->getDesc().height);
    const int tw = static_cast<int>(target->getDesc().width), th = static_cast<int>(target->getDesc().height);
    const int left = std::max(0, -x), top = std::max(0, -y);
    const int right = std::min(sw, tw - x), bottom = std::min(sh, th - y);
    if (right <= left || bottom <= top || !source->pixels() || !target->pixels())
        return;
    const int sp = pitchOf(source), tp = pitchOf(target);
    const auto* src = static_cast<const std::uint8_t*>(source->pixels()) + top * sp + left;
    auto* dst = static_cast<std::uint8_t*>(target->pixels()) + (y + top) * tp + (x + left);
    raster::combineRows(mode, src, sp, dst, tp, right - left, bottom - top, factor);
}

void clearMap(MemorySurface* map)
{
    if (map->pixels())
        std::memset(map->pixels(), 0, static_cast<std::size_t>(pitchOf(map)) * map->getDesc().height);
}

} // namespace

TextSprite::TextSprite(BitmapFont* font, const std::string& text, int x, int y)
{
    if (!font)
        return;
    const int fontHeight = font->getLineHeight();
    const int step = static_cast<int>(fontHeight * 1.0);
    const std::vector<std::string> lines = splitLines(text);
    setBounds(x, y, 0, 0);

    int widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, font->measure(line));
    // At least one pixel, so that an empty text still makes surfaces.
    const int width = std::max(1, widest - font->getCharSpacing() + 1);
    const int height = std::max(1, step * static_cast<int>(lines.size()) + 1 + (fontHeight - step));

    DirectDrawSurface* image = createDirectDrawSurface(ResourceManager::getDirectDraw(), static_cast<std::uint32_t>(width + 1),
                                                       static_cast<std::uint32_t>(height + 1));
    MemorySurface* mask = createMemorySurface(static_cast<std::uint32_t>(width + 1), static_cast<std::uint32_t>(height + 1));
    MemorySurface* scratch = createMemorySurface(static_cast<std::uint32_t>(width),
                                                 static_cast<std::uint32_t>(std::max(1, fontHeight)));
    for (Surface* surface : {static_cast<Surface*>(image), static_cast<Surface*>(mask), static_cast<Surface*>(scratch)})
        if (surface)
            surface->addRef();
    if (image && mask && scratch) {
        image->fill(0);
        clearMap(mask);
        const float half = 0.5f;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            const int lineY = static_cast<int>(i) * step;
            const int lineX = (width - font->measure(line)) / 2;
            clearMap(scratch);
            font->drawStringMask(scratch, 0, 0, line, MaskMaximum);
            combineInto(scratch, mask, lineX + 1, lineY + 1, MaskMaximum, &half);
            combineInto(scratch, mask, lineX, lineY, MaskMaximum, nullptr);
            font->drawStringBlended(image, lineX, lineY, line, 255);
        }
        setSurface(image);
        setMask(mask);
        fitSizeToImage();
        copyToOwnSurface();
    }
    for (Surface* surface : {static_cast<Surface*>(image), static_cast<Surface*>(mask), static_cast<Surface*>(scratch)})
        if (surface)
            surface->release();
}
