#include "platform/raster/Blend.h"

#include "compat/ddraw/ddraw.h"
#include "platform/system/CpuFeatures.h"
#include "platform/surface/DirectDrawSurface.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/Surface.h"
#include "platform/raster/BlendJob.h"
#include "platform/raster/Clip.h"
#include "platform/raster/LockedRect.h"

#include <algorithm>

namespace {

using Worker = void (*)(const raster::BlendJob&);

// The result for a format that has no blending code (24-bit, 8-bit, unset).
constexpr HRESULT kNoBlending = -1;

bool hasBlending(int formatCode)
{
    return formatCode == raster::kFormat555 || formatCode == raster::kFormat565 || formatCode == raster::kFormatOther16
        || formatCode == raster::kFormat32;
}

// A mask map's bytes and the width its rows advance by; empty when there is no map to read.
struct MaskMap {
    const std::uint8_t* bytes = nullptr;
    long long width = 0;
    long long height = 0;
};

// Only a byte map may serve: its bytes are read without a lock, which is safe for memory surfaces
// alone (a DirectDraw surface's pixels exist only while it is locked).
bool isByteMap(Surface* mask) { return dynamic_cast<MemorySurface*>(mask) != nullptr; }

MaskMap readMaskMap(Surface* mask)
{
    const SurfaceDesc& desc = mask->getDesc();
    const auto* bytes = static_cast<const std::uint8_t*>(mask->pixels());
    if (bytes == nullptr)
        return {};
    return {bytes, desc.width, desc.height};
}

// A job over the clipped rectangle of the locked destination, reading `map` (when it has bytes) from
// the rectangle's source corner; the caller adds the source, key, colour and alpha.
raster::BlendJob destinationJob(int formatCode, const raster::BlitRect& r, const raster::LockedRect& to,
                                const MaskMap& map)
{
    raster::BlendJob job;
    job.formatCode = formatCode;
    job.width = r.width;
    job.height = r.height;
    job.dst = to.pixels;
    job.dstPitch = to.pitch;
    job.dstMasks = to.masks;
    if (map.bytes != nullptr) {
        job.map = map.bytes + r.srcY * map.width + r.srcX;
        job.mapPitch = map.width;
    }
    return job;
}

// Clip, format check, locks (destination, then source read-only), one worker over the rectangle,
// unlocks (destination, then source). `mask` is read at source coordinates when given.
HRESULT runBlend(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX, int dstY,
                 Surface* mask, std::uint32_t alpha, Worker worker)
{
    if (source == nullptr || destination == nullptr)
        return E_POINTER;
    const SurfaceDesc& src = source->getDesc();
    const SurfaceDesc& dst = destination->getDesc();
    long long readableWidth = src.width, readableHeight = src.height;
    MaskMap map;
    if (mask != nullptr) {
        map = readMaskMap(mask);
        readableWidth = std::min(readableWidth, map.width);
        readableHeight = std::min(readableHeight, map.height);
    }

    raster::BlitRect r{srcX, srcY, width, height, dstX, dstY};
    if (!raster::clipBlit(r, dst.width, dst.height, readableWidth, readableHeight))
        return S_OK;
    if (src.format.formatCode != dst.format.formatCode)
        return DDERR_INVALIDPIXELFORMAT;

    raster::LockedRect to, from;
    HRESULT hr = to.lock(destination, r.dstX, r.dstY, r.width, r.height, DDLOCK_WAIT);
    if (FAILED(hr))
        return hr;
    hr = from.lock(source, r.srcX, r.srcY, r.width, r.height, DDLOCK_WAIT | DDLOCK_READONLY);
    if (FAILED(hr)) {
        to.unlock();
        return hr;
    }

    HRESULT result = kNoBlending;
    if (hasBlending(dst.format.formatCode)) {
        raster::BlendJob job = destinationJob(dst.format.formatCode, r, to, map);
        job.src = from.pixels;
        job.srcPitch = from.pitch;
        job.srcMasks = from.masks;
        job.colorKey = src.hasColorKey() ? src.nativeColorKey : 0;
        job.alpha = alpha;
        worker(job);
        result = S_OK;
    }
    to.unlock();
    from.unlock();
    return result;
}

HRESULT runMaskBlend(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                     int dstY, Surface* mask, std::uint32_t alpha, Worker worker)
{
    if (mask == nullptr)
        return E_POINTER;
    if (!isByteMap(mask))
        return E_INVALIDARG;
    return runBlend(source, srcX, srcY, width, height, destination, dstX, dstY, mask, alpha, worker);
}

}  // namespace

HRESULT drawSurfaceClipped(Surface* source, Surface* destination, int x, int y)
{
    if (source == nullptr)
        return E_POINTER;
    const SurfaceDesc& desc = source->getDesc();
    return bltFastClipped(source, 0, 0, static_cast<int>(desc.width), static_cast<int>(desc.height), destination, x, y);
}

HRESULT bltFastClipped(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                       int dstY)
{
    if (source == nullptr || destination == nullptr)
        return E_POINTER;
    const SurfaceDesc& src = source->getDesc();
    const SurfaceDesc& dst = destination->getDesc();
    raster::BlitRect r{srcX, srcY, width, height, dstX, dstY};
    if (!raster::clipBlit(r, dst.width, dst.height, src.width, src.height))
        return S_OK;
    if (src.format.bitsPerPixel != dst.format.bitsPerPixel)
        return DDERR_INVALIDPIXELFORMAT;

    auto* from = dynamic_cast<DirectDrawSurface*>(source);
    auto* to = dynamic_cast<DirectDrawSurface*>(destination);
    if (from == nullptr || to == nullptr || from->getInterface() == nullptr || to->getInterface() == nullptr)
        return E_FAIL;
    RECT area{r.srcX, r.srcY, r.srcX + r.width, r.srcY + r.height};
    const DWORD flags = DDBLTFAST_WAIT | (src.hasColorKey() ? DDBLTFAST_SRCCOLORKEY : 0);
    HRESULT hr;
    do {
        hr = to->getInterface()->BltFast(static_cast<DWORD>(r.dstX), static_cast<DWORD>(r.dstY), from->getInterface(),
                                         &area, flags);
    } while (hr == DDERR_WASSTILLDRAWING);
    return hr;
}

HRESULT blitAlpha(Surface* source, Surface* destination, int x, int y, std::uint8_t alpha)
{
    if (source == nullptr)
        return E_POINTER;
    const SurfaceDesc& desc = source->getDesc();
    return blitAlphaRect(source, 0, 0, static_cast<int>(desc.width), static_cast<int>(desc.height), destination, x, y,
                         alpha);
}

HRESULT blitAlphaRect(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                      int dstY, std::uint8_t alpha)
{
    if (source == nullptr)
        return E_POINTER;
    const bool keyed = source->getDesc().hasColorKey();
    if (hasMmx)
        return (keyed ? blendRectKeyedMmx : blendRectMmx)(source, srcX, srcY, width, height, destination, dstX, dstY,
                                                          alpha);
    return (keyed ? blendRectKeyedPlain : blendRectPlain)(source, srcX, srcY, width, height, destination, dstX, dstY,
                                                          alpha);
}

HRESULT blitAlphaMask(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                      int dstY, Surface* mask)
{
    return (hasMmx ? blendMaskMmx : blendMaskPlain)(source, srcX, srcY, width, height, destination, dstX, dstY, mask);
}

HRESULT blitBlendDispatch(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                          int dstY, Surface* mask, std::uint8_t alpha)
{
    // There is no parallel variant of the scaled mask blend.
    return blendMaskAlpha(source, srcX, srcY, width, height, destination, dstX, dstY, mask, alpha);
}

HRESULT blitTinted(Surface* mask, int mapX, int mapY, int width, int height, Surface* destination, int dstX, int dstY,
                   std::uint32_t tint, std::uint8_t alpha)
{
    if (mask == nullptr || destination == nullptr)
        return E_POINTER;
    if (!isByteMap(mask))
        return E_INVALIDARG;
    const MaskMap map = readMaskMap(mask);
    const SurfaceDesc& dst = destination->getDesc();
    raster::BlitRect r{mapX, mapY, width, height, dstX, dstY};
    if (!raster::clipBlit(r, dst.width, dst.height, map.width, map.height))
        return S_OK;

    raster::LockedRect to;
    const HRESULT hr = to.lock(destination, r.dstX, r.dstY, r.width, r.height, DDLOCK_WAIT);
    if (FAILED(hr))
        return hr;
    if (!hasBlending(dst.format.formatCode))
        return kNoBlending;
    raster::BlendJob job = destinationJob(dst.format.formatCode, r, to, map);
    job.color = tint;
    job.alpha = alpha;
    raster::plain::tint(job);
    return S_OK;
}

HRESULT blendRectPlain(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                       int dstY, std::uint8_t alpha)
{
    return runBlend(source, srcX, srcY, width, height, destination, dstX, dstY, nullptr, alpha, raster::plain::blendRect);
}

HRESULT blendRectKeyedPlain(Surface* source, int srcX, int srcY, int width, int height, Surface* destination,
                            int dstX, int dstY, std::uint8_t alpha)
{
    return runBlend(source, srcX, srcY, width, height, destination, dstX, dstY, nullptr, alpha,
                    raster::plain::blendRectKeyed);
}

HRESULT blendRectMmx(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                     int dstY, std::uint8_t alpha)
{
    return runBlend(source, srcX, srcY, width, height, destination, dstX, dstY, nullptr, alpha, raster::fast::blendRect);
}

HRESULT blendRectKeyedMmx(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                          int dstY, std::uint8_t alpha)
{
    return runBlend(source, srcX, srcY, width, height, destination, dstX, dstY, nullptr, alpha,
                    raster::fast::blendRectKeyed);
}

HRESULT blendMaskPlain(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                       int dstY, Surface* mask)
{
    return runMaskBlend(source, srcX, srcY, width, height, destination, dstX, dstY, mask, 0, raster::plain::blendMask);
}

HRESULT blendMaskMmx(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                     int dstY, Surface* mask)
{
    return runMaskBlend(source, srcX, srcY, width, height, destination, dstX, dstY, mask, 0, raster::fast::blendMask);
}

HRESULT blendMaskAlpha(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                       int dstY, Surface* mask, std::uint8_t alpha)
{
    return runMaskBlend(source, srcX, srcY, width, height, destination, dstX, dstY, mask, alpha,
                        raster::plain::blendMaskAlpha);
}
