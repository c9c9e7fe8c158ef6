#include "platform/raster/MaskCombine.h"

#include <array>

namespace raster {

bool isActiveMaskMode(int mode)
{
    switch (mode) {
    case MaskCopy:
    case MaskMaximum:
    case MaskMinimum:
    case MaskMultiply:
    case MaskSubtract:
    case MaskSubtractInverse:
    case MaskAdd: return true;
    default: return false;
    }
}

namespace {

// The mode is a template argument so that each mode's loop is compiled without the switch.
template <int Mode>
void combineAll(const std::uint8_t* src, std::ptrdiff_t srcPitch, std::uint8_t* dst, std::ptrdiff_t dstPitch, int width,
                int height, const float* factor)
{
    if (factor) {
        std::array<std::uint8_t, 256> scaled;  // the scaled value of every source byte
        for (std::uint32_t s = 0; s < 256; ++s)
            scaled[s] = static_cast<std::uint8_t>(scaleByte(s, *factor));
        for (int y = 0; y < height; ++y, src += srcPitch, dst += dstPitch)
            for (int x = 0; x < width; ++x)
                dst[x] = combineByte(Mode, scaled[src[x]], dst[x]);
        return;
    }
    for (int y = 0; y < height; ++y, src += srcPitch, dst += dstPitch)
        for (int x = 0; x < width; ++x)
            dst[x] = combineByte(Mode, src[x], dst[x]);
}

}  // namespace

std::uint32_t scaleByte(std::uint32_t s, float factor)
{
    const float v = static_cast<float>(s) * factor;
    if (!(v > 0.0f))
        return 0;
    return v >= 255.0f ? 255u : static_cast<std::uint32_t>(v);
}

void combineRows(int mode, const std::uint8_t* src, std::ptrdiff_t srcPitch, std::uint8_t* dst, std::ptrdiff_t dstPitch,
                 int width, int height, const float* factor)
{
    switch (mode) {
    case MaskCopy: return combineAll<MaskCopy>(src, srcPitch, dst, dstPitch, width, height, factor);
    case MaskMaximum: return combineAll<MaskMaximum>(src, srcPitch, dst, dstPitch, width, height, factor);
    case MaskMinimum: return combineAll<MaskMinimum>(src, srcPitch, dst, dstPitch, width, height, factor);
    case MaskMultiply: return combineAll<MaskMultiply>(src, srcPitch, dst, dstPitch, width, height, factor);
    case MaskSubtract: return combineAll<MaskSubtract>(src, srcPitch, dst, dstPitch, width, height, factor);
    case MaskSubtractInverse: return combineAll<MaskSubtractInverse>(src, srcPitch, dst, dstPitch, width, height, factor);
    case MaskAdd: return combineAll<MaskAdd>(src, srcPitch, dst, dstPitch, width, height, factor);
    default: return;
    }
}

}  // namespace raster
