#include "platform/raster/Fill.h"

#include "compat/ddraw/SpanFill.h"
#include "platform/surface/DrawError.h"
#include "platform/surface/Surface.h"
#include "platform/raster/PixelAccess.h"
#include "platform/raster/PixelMath.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

using compat::ddraw::fillSpan;
using compat::ddraw::repeatedPixel;

// Locks the surface for one routine and unlocks it at the end; a failed lock is recorded.
class SurfaceLock {
public:
    explicit SurfaceLock(Surface* s) : surface(s), result(s->lock())
    {
        if (FAILED(result))
            recordDrawError(result);
    }
    ~SurfaceLock()
    {
        if (SUCCEEDED(result))
            surface->unlock();
    }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;

    bool ok() const { return SUCCEEDED(result) && surface->pixels() != nullptr; }
    HRESULT status() const { return result; }
    // The byte at (x, y), x counted in bytes.
    std::uint8_t* at(int x, int y) const
    {
        return static_cast<std::uint8_t*>(surface->pixels())
            + static_cast<std::ptrdiff_t>(y) * surface->getDesc().pitch + x;
    }

private:
    Surface* surface;
    HRESULT result;
};

std::uint32_t bitsOf(Surface* surface) { return surface->getDesc().format.bitsPerPixel; }

// count pixels of 16 or 32 bits, step bytes apart: a column.
void storeColumn(std::uint8_t* p, int count, std::uint32_t bits, std::uint32_t pixel, std::ptrdiff_t step)
{
    if (bits == 32) {
        for (int i = 0; i < count; ++i, p += step)
            raster::store32(p, pixel);
    } else {
        for (int i = 0; i < count; ++i, p += step)
            raster::store16(p, pixel);
    }
}

// d + floor((c - d) x alpha / 256), the quotient rounded toward minus infinity.
std::uint32_t tintChannel(std::uint32_t d, std::uint32_t c, std::uint32_t alpha)
{
    const int scaled = (static_cast<int>(c) - static_cast<int>(d)) * static_cast<int>(alpha);
    const int step = scaled >= 0 ? scaled / 256 : -((-scaled + 255) / 256);
    return static_cast<std::uint32_t>(static_cast<int>(d) + step);
}

int clampToInt(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

// One line of pixels from (x, y) along a row (horizontal) or a column, ends clamped to the surface.
HRESULT drawLine(Surface* surface, int x, int y, int last, bool horizontal, std::uint32_t colour)
{
    const SurfaceDesc& desc = surface->getDesc();
    const long long across = horizontal ? desc.height : desc.width;
    const long long along = horizontal ? desc.width : desc.height;
    const int fixed = horizontal ? y : x;
    int first = horizontal ? x : y;
    if (fixed < 0 || fixed >= across || first >= along || last < 0)
        return S_OK;
    first = std::max(first, 0);
    last = static_cast<int>(std::min<long long>(last, along - 1));

    SurfaceLock lock(surface);
    if (FAILED(lock.status()))
        return lock.status();
    const std::uint32_t bits = bitsOf(surface);
    if (lock.ok() && (bits == 16 || bits == 32) && first <= last) {
        const std::uint32_t pixel = surface->getDesc().format.packPixel(&colour);
        const int bytes = static_cast<int>(bits / 8);
        const int count = last - first + 1;
        if (horizontal)
            fillSpan(lock.at(first * bytes, fixed), static_cast<std::size_t>(count) * bytes,
                     repeatedPixel(pixel, bits / 8));
        else
            storeColumn(lock.at(fixed * bytes, first), count, bits, pixel, surface->getDesc().pitch);
    }
    return S_OK;
}

} // namespace

HRESULT fillRectClipped(Surface* surface, int x, int y, int width, int height, std::uint32_t colour)
{
    if (!clipRectToSurface(surface->getDesc(), x, y, width, height))
        return S_OK;
    const std::uint32_t pixel = surface->getDesc().format.packPixel(&colour);
    const std::uint32_t bits = bitsOf(surface);
    if (bits != 8 && bits != 16 && bits != 32)
        return S_OK;
    SurfaceLock lock(surface);
    if (!lock.ok() || !clipRectToSurface(surface->getDesc(), x, y, width, height))
        return S_OK;
    const int bytes = static_cast<int>(bits / 8);
    const std::uint32_t word = repeatedPixel(pixel, bits / 8);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(bytes);
    const std::ptrdiff_t pitch = surface->getDesc().pitch;
    if (pitch > 0 && static_cast<std::size_t>(pitch) == rowBytes) {
        // Rows that follow each other without a gap (full-width rows of a packed surface) are one run.
        fillSpan(lock.at(x * bytes, y), rowBytes * static_cast<std::size_t>(height), word);
        return S_OK;
    }
    for (int row = 0; row < height; ++row)
        fillSpan(lock.at(x * bytes, y + row), rowBytes, word);
    return S_OK;
}

HRESULT tintRectClipped(Surface* surface, int x, int y, int width, int height, std::uint32_t colour,
                        std::uint32_t alpha)
{
    if (!clipRectToSurface(surface->getDesc(), x, y, width, height))
        return S_OK;
    const std::uint32_t bits = bitsOf(surface);
    if (bits != 16 && bits != 32)
        return S_OK;
    SurfaceLock lock(surface);
    if (!lock.ok() || !clipRectToSurface(surface->getDesc(), x, y, width, height))
        return S_OK;
    const PixelFormat& format = surface->getDesc().format;
    const std::uint32_t a = alpha & 0xFF;
    const std::uint32_t red = (colour >> 16) & 0xFF, green = (colour >> 8) & 0xFF, blue = colour & 0xFF;
    // An 0x00RRGGBB colour tinted; the byte above red becomes 0.
    auto tint = [&](std::uint32_t d) {
        return tintChannel((d >> 16) & 0xFF, red, a) << 16 | tintChannel((d >> 8) & 0xFF, green, a) << 8
            | tintChannel(d & 0xFF, blue, a);
    };
    const int bytes = static_cast<int>(bits / 8);
    for (int row = 0; row < height; ++row) {
        std::uint8_t* p = lock.at(x * bytes, y + row);
        for (int column = 0; column < width; ++column, p += bytes) {
            if (bits == 16) {
                const std::uint32_t pixel = raster::load16(p);
                const std::uint32_t tinted = tint(format.unpackPixel(&pixel));
                raster::store16(p, format.packPixel(&tinted));
            } else {
                raster::store32(p, tint(raster::load32(p)));
            }
        }
    }
    return S_OK;
}

HRESULT drawHLine(Surface* surface, int x1, int y, int x2, int y2, std::uint32_t colour)
{
    return drawLine(surface, x1, y, x2, true, colour);
}

HRESULT drawVLine(Surface* surface, int x, int y1, int x2, int y2, std::uint32_t colour)
{
    return drawLine(surface, x, y1, y2, false, colour);
}

HRESULT drawRect(Surface* surface, int x, int y, int width, int height, std::uint32_t colour)
{
    const int right = clampToInt(static_cast<long long>(x) + width - 1);
    const int bottom = clampToInt(static_cast<long long>(y) + height - 1);
    drawHLine(surface, x, y, right, 0, colour);
    drawHLine(surface, x, bottom, right, 0, colour);
    drawVLine(surface, x, y, 0, bottom, colour);
    drawVLine(surface, right, y, 0, bottom, colour);
    return S_OK;
}

HRESULT invertRect(Surface* surface, int x, int y, int width, int height)
{
    const std::uint32_t bits = bitsOf(surface);
    if (bits != 16 && bits != 32)
        return S_OK;
    SurfaceLock lock(surface);
    if (!lock.ok() || !clipRectToSurface(surface->getDesc(), x, y, width, height))
        return S_OK;
    const int bytes = static_cast<int>(bits / 8);
    for (int row = 0; row < height; ++row) {
        std::uint8_t* p = lock.at(x * bytes, y + row);
        for (int column = 0; column < width; ++column, p += bytes) {
            if (bits == 16)
                raster::store16(p, raster::load16(p) ^ 0xFFFFu);
            else
                raster::store32(p, raster::load32(p) ^ 0xFFFFFFFFu);
        }
    }
    return S_OK;
}

HRESULT fillRect8(Surface* surface, int x, int y, int width, int height, std::uint8_t value)
{
    SurfaceLock lock(surface);
    // Clipped to the surface's pixels: for a byte map those are its bytes, for deeper surfaces
    // the bytes stay within the first part of each row.
    if (!lock.ok() || !clipRectToSurface(surface->getDesc(), x, y, width, height))
        return S_OK;
    for (int row = 0; row < height; ++row)
        std::memset(lock.at(x, y + row), value, static_cast<std::size_t>(width));
    return S_OK;
}
