#include "platform/raster/PixelAccess.h"
#include "platform/raster/PixelMath.h"

#include "platform/surface/DrawError.h"
#include "platform/surface/Surface.h"

#include <cmath>

bool clipRectToSurface(const SurfaceDesc& desc, int& x, int& y, int& width, int& height)
{
    const long long surfaceWidth = desc.width;
    const long long surfaceHeight = desc.height;
    long long left = x, top = y, w = width, h = height;
    if (left >= surfaceWidth || top >= surfaceHeight || left + w < 1 || top + h < 1)
        return false;
    if (left < 0) {
        w += left;
        left = 0;
    }
    if (top < 0) {
        h += top;
        top = 0;
    }
    if (left + w > surfaceWidth)
        w = surfaceWidth - left;
    if (top + h > surfaceHeight)
        h = surfaceHeight - top;
    if (w <= 0 || h <= 0)
        return false;
    x = static_cast<int>(left);
    y = static_cast<int>(top);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

std::uint32_t Surface::getPixel(Surface* surface, int x, int y)
{
    if (x < 0 || y < 0)
        return 0;
    const HRESULT locked = surface->lock();
    if (FAILED(locked)) {
        recordDrawError(locked);
        return 0;
    }
    const SurfaceDesc& desc = surface->getDesc();
    const auto* row = static_cast<const std::uint8_t*>(surface->pixels());
    std::uint32_t value = 0;
    if (row != nullptr && static_cast<std::uint32_t>(x) < desc.width && static_cast<std::uint32_t>(y) < desc.height) {
        row += static_cast<std::ptrdiff_t>(y) * desc.pitch;
        switch (desc.format.bitsPerPixel) {
        case 8:
            value = row[x];
            break;
        case 16:
            value = raster::load16(row + 2 * static_cast<std::ptrdiff_t>(x));
            break;
        case 32:
            value = raster::load32(row + 4 * static_cast<std::ptrdiff_t>(x));
            break;
        default:
            break;
        }
    }
    surface->unlock();
    return value;
}

namespace {

// c x keep + grey, truncated toward zero, kept to its low 8 bits (also for factors above 1).
std::uint32_t drainChannel(std::uint32_t channel, float keep, double grey)
{
    double value = std::fmod(std::trunc(static_cast<double>(channel) * keep + grey), 256.0);
    if (value < 0)
        value += 256.0;
    return static_cast<std::uint32_t>(value);
}

} // namespace

HRESULT Surface::blendRect(Surface* surface, int x, int y, int width, int height, float factor)
{
    if (!(factor > 0) || !std::isfinite(factor))
        return S_OK;
    const float keep = 1.0f - factor;
    const float share = factor / 6.0f;

    const std::int32_t code = surface->getDesc().format.formatCode;
    std::uint32_t bytesPerPixel;
    if (code == PixelFormat::Rgb555 || code == PixelFormat::Rgb565 || code == PixelFormat::Other16)
        bytesPerPixel = 2;
    else if (code == PixelFormat::Bits32)
        bytesPerPixel = 4;
    else
        return S_OK;

    const HRESULT locked = surface->lock();
    if (FAILED(locked)) {
        recordDrawError(locked);
        return S_OK;
    }
    const SurfaceDesc& desc = surface->getDesc();
    auto* base = static_cast<std::uint8_t*>(surface->pixels());
    if (base != nullptr && desc.format.bitsPerPixel == bytesPerPixel * 8
        && clipRectToSurface(desc, x, y, width, height)) {
        for (int row = 0; row < height; ++row) {
            std::uint8_t* p = base + static_cast<std::ptrdiff_t>(y + row) * desc.pitch
                + static_cast<std::ptrdiff_t>(x) * bytesPerPixel;
            for (int column = 0; column < width; ++column, p += bytesPerPixel) {
                const std::uint32_t pixel = bytesPerPixel == 2 ? raster::load16(p) : raster::load32(p);
                const std::uint32_t colour = desc.format.unpackPixel(&pixel);
                const std::uint32_t r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
                const double grey = static_cast<double>(r + 4 * g + b) * share;
                const std::uint32_t drained = drainChannel(r, keep, grey) << 16 | drainChannel(g, keep, grey) << 8
                    | drainChannel(b, keep, grey);
                const std::uint32_t packed = desc.format.packPixel(&drained);
                if (bytesPerPixel == 2)
                    raster::store16(p, packed);
                else
                    raster::store32(p, packed);
            }
        }
    }
    surface->unlock();
    return S_OK;
}
