#include "platform/raster/Convert.h"

#include "platform/surface/DrawError.h"
#include "platform/surface/Surface.h"
#include "platform/raster/Clip.h"
#include "platform/raster/PixelConvert.h"

#include <algorithm>
#include <cstring>

namespace {

// Both surfaces locked whole for the length of one copy: the source first, then the destination;
// unlocked in the other order. A failure is recorded and leaves nothing locked.
class LockedPair {
public:
    // overwritten: the copy writes every pixel of the destination, which need not keep what it held.
    LockedPair(Surface* source, Surface* destination, bool overwritten = false)
        : source(source), destination(destination)
    {
        HRESULT hr = source->lock();
        if (FAILED(hr)) {
            recordDrawError(hr);
            return;
        }
        hr = overwritten ? destination->lockToOverwrite() : destination->lock();
        if (FAILED(hr)) {
            recordDrawError(hr);
            source->unlock();
            return;
        }
        sourceBytes = static_cast<std::uint8_t*>(source->pixels());
        destinationBytes = static_cast<std::uint8_t*>(destination->pixels());
        locked = true;
    }
    ~LockedPair()
    {
        if (locked) {
            destination->unlock();
            source->unlock();
        }
    }
    LockedPair(const LockedPair&) = delete;
    LockedPair& operator=(const LockedPair&) = delete;

    bool ready() const { return locked && sourceBytes != nullptr && destinationBytes != nullptr; }

    Surface* source;
    Surface* destination;
    const std::uint8_t* sourceBytes = nullptr;
    std::uint8_t* destinationBytes = nullptr;

private:
    bool locked = false;
};

// The widest rectangle of whole pixels that each row of the surface holds.
long long usableWidth(const SurfaceDesc& desc, long long bytesPerPixel)
{
    const long long rowPixels = desc.pitch > 0 ? desc.pitch / bytesPerPixel : 0;
    return std::min<long long>(desc.width, rowPixels);
}

// Clips to both surfaces as they stand; locking may have refreshed their descriptions.
bool clipTo(raster::BlitRect& r, const Surface* source, const Surface* destination, long long sourceBpp,
            long long destinationBpp)
{
    const SurfaceDesc& src = source->getDesc();
    const SurfaceDesc& dst = destination->getDesc();
    return raster::clipBlit(r, usableWidth(dst, destinationBpp), dst.height, usableWidth(src, sourceBpp), src.height);
}

bool isConvertedDepth(std::uint32_t bits) { return bits == 16 || bits == 32; }

HRESULT combine(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX, int dstY,
                int mode, const float* factor)
{
    if (!raster::isActiveMaskMode(mode) || source == nullptr || destination == nullptr)
        return S_OK;
    raster::BlitRect r{srcX, srcY, width, height, dstX, dstY};
    if (!clipTo(r, source, destination, 1, 1))
        return S_OK;
    LockedPair locks(source, destination);
    if (!locks.ready() || !clipTo(r, source, destination, 1, 1))
        return S_OK;
    const std::ptrdiff_t srcPitch = source->getDesc().pitch;
    const std::ptrdiff_t dstPitch = destination->getDesc().pitch;
    raster::combineRows(mode, locks.sourceBytes + r.srcY * srcPitch + r.srcX, srcPitch,
                        locks.destinationBytes + r.dstY * dstPitch + r.dstX, dstPitch, r.width, r.height, factor);
    return S_OK;
}

}  // namespace

HRESULT blitConverted(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                      int dstY)
{
    if (source == nullptr || destination == nullptr)
        return S_OK;
    const std::uint32_t srcBits = source->getDesc().format.bitsPerPixel;
    const std::uint32_t dstBits = destination->getDesc().format.bitsPerPixel;
    if (!isConvertedDepth(srcBits) || !isConvertedDepth(dstBits))
        return S_OK;
    const long long srcBytes = srcBits / 8, dstBytes = dstBits / 8;
    raster::BlitRect r{srcX, srcY, width, height, dstX, dstY};
    if (!clipTo(r, source, destination, srcBytes, dstBytes))
        return S_OK;
    const SurfaceDesc& before = destination->getDesc();
    const bool wholeDestination = r.dstX == 0 && r.dstY == 0 && static_cast<std::uint32_t>(r.width) == before.width
                                  && static_cast<std::uint32_t>(r.height) == before.height;
    LockedPair locks(source, destination, wholeDestination);
    // A lock may report another format than the description held (a rebuilt surface): check again.
    const SurfaceDesc& src = source->getDesc();
    const SurfaceDesc& dst = destination->getDesc();
    const raster::BlitRect asked = r;
    const bool clipped = locks.ready() && src.format.bitsPerPixel == srcBits && dst.format.bitsPerPixel == dstBits
                         && clipTo(r, source, destination, srcBytes, dstBytes);
    if (wholeDestination && locks.destinationBytes != nullptr && dst.pitch > 0
        && (!clipped || std::memcmp(&asked, &r, sizeof r) != 0)) {
        // The destination was locked on the promise of being written whole: keep it from showing
        // whatever its memory held.
        std::memset(locks.destinationBytes, 0, static_cast<std::size_t>(dst.pitch) * dst.height);
    }
    if (!clipped)
        return S_OK;
    raster::convertRows(src.format, locks.sourceBytes + r.srcY * src.pitch + r.srcX * srcBytes, src.pitch, dst.format,
                        locks.destinationBytes + r.dstY * dst.pitch + r.dstX * dstBytes, dst.pitch, r.width, r.height);
    return S_OK;
}

HRESULT drawSurfaceConverted(Surface* source, Surface* destination, int x, int y)
{
    if (source == nullptr)
        return S_OK;
    const SurfaceDesc& desc = source->getDesc();
    return blitConverted(source, 0, 0, static_cast<int>(desc.width), static_cast<int>(desc.height), destination, x, y);
}

HRESULT combineMask(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                    int dstY, int mode)
{
    return combine(source, srcX, srcY, width, height, destination, dstX, dstY, mode, nullptr);
}

HRESULT drawMaskCombined(Surface* source, Surface* destination, int x, int y, int mode)
{
    if (source == nullptr)
        return S_OK;
    const SurfaceDesc& desc = source->getDesc();
    return combineMask(source, 0, 0, static_cast<int>(desc.width), static_cast<int>(desc.height), destination, x, y,
                       mode);
}

HRESULT combineMaskScaled(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                          int dstY, int mode, float factor)
{
    return combine(source, srcX, srcY, width, height, destination, dstX, dstY, mode, &factor);
}

HRESULT drawMaskCombinedScaled(Surface* source, Surface* destination, int x, int y, int mode, float factor)
{
    if (source == nullptr)
        return S_OK;
    const SurfaceDesc& desc = source->getDesc();
    return combineMaskScaled(source, 0, 0, static_cast<int>(desc.width), static_cast<int>(desc.height), destination, x,
                             y, mode, factor);
}
