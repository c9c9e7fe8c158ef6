// One clipped, locked rectangle handed to a blending worker: where its pixels are and how to mix them.
// The workers trust it: every row of width pixels (and mask bytes) must lie inside its buffer.
#pragma once

#include "platform/raster/PixelMath.h"

#include <cstddef>
#include <cstdint>

namespace raster {

struct BlendJob {
    int formatCode = kFormat32;
    int width = 0;
    int height = 0;

    const std::uint8_t* src = nullptr;  // unused by the tint
    std::ptrdiff_t srcPitch = 0;
    ChannelMasks srcMasks;  // other 16-bit layouts only

    std::uint8_t* dst = nullptr;
    std::ptrdiff_t dstPitch = 0;
    ChannelMasks dstMasks;

    const std::uint8_t* map = nullptr;  // one alpha byte per source pixel (mask workers, tint)
    std::ptrdiff_t mapPitch = 0;

    std::uint32_t colorKey = 0;  // keyed workers
    std::uint32_t color = 0;     // tint: a native pixel of the destination's format
    std::uint32_t alpha = 0;     // constant alpha, or the factor of the map bytes
};

// The plain family: two 16-bit pixels per 32-bit word for 5-5-5 and 5-6-5, else one pixel at a time.
namespace plain {
void blendRect(const BlendJob& job);
void blendRectKeyed(const BlendJob& job);
void blendMask(const BlendJob& job);       // alpha = map byte
void blendMaskAlpha(const BlendJob& job);  // alpha = map byte * job.alpha >> 8
void tint(const BlendJob& job);            // job.color through map byte * job.alpha >> 8
}  // namespace plain

// The parallel family: groups of four 16-bit or two 32-bit pixels. Its results differ from the plain
// family's where its rounding or its group rules do; SIMD code, where the host has it, gives the same
// bits as the scalar code.
namespace fast {
void blendRect(const BlendJob& job);
void blendRectKeyed(const BlendJob& job);
void blendMask(const BlendJob& job);
}  // namespace fast

}  // namespace raster
