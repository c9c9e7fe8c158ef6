// Byte-wise combination of one 8-bit mask map into another, on raw rows.
#pragma once

#include <cstddef>
#include <cstdint>

// How a source byte s meets a destination byte d.
enum MaskCombineMode : int {
    MaskNone = 0,
    MaskCopy = 1,
    MaskMaximum = 3,
    MaskMinimum = 5,
    MaskMultiply = 7,
    MaskSubtract = 9,
    MaskSubtractInverse = 10,
    MaskAdd = 11,
};

namespace raster {

// Whether the mode changes anything; 0, the even values below 11 and values above 11 do nothing.
bool isActiveMaskMode(int mode);

// The new destination byte. Add saturates at 255 instead of wrapping to a dark value.
inline std::uint8_t combineByte(int mode, std::uint32_t s, std::uint32_t d)
{
    std::uint32_t r = d;
    switch (mode) {
    case MaskCopy: r = s; break;
    case MaskMaximum: r = s > d ? s : d; break;
    case MaskMinimum: r = s < d ? s : d; break;
    case MaskMultiply: r = (d * s) >> 8; break;
    case MaskSubtract: r = d < s ? 0 : d - s; break;
    case MaskSubtractInverse: r = d < 255 - s ? 0 : d - (255 - s); break;
    case MaskAdd: r = d + s > 255 ? 255 : d + s; break;
    default: break;
    }
    return static_cast<std::uint8_t>(r & 0xFFu);
}

// A source byte scaled by the factor, truncated toward zero and held to 0..255 (a factor above 1
// brightens up to white rather than wrapping; a factor that is not a number gives 0).
std::uint32_t scaleByte(std::uint32_t s, float factor);

// Combines width x height bytes; rows advance by the pitches. With `factor`, every source byte is
// first scaled by it.
void combineRows(int mode, const std::uint8_t* src, std::ptrdiff_t srcPitch, std::uint8_t* dst, std::ptrdiff_t dstPitch,
                 int width, int height, const float* factor = nullptr);

}  // namespace raster
