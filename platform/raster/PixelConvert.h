// Copying pixels from one format into another through 8-bit channels, on raw rows.
#pragma once

#include "platform/surface/PixelFormat.h"

#include <cstddef>
#include <cstdint>

namespace raster {

// One native pixel of `from` as the same colour in `to`: each channel unpacked to 8 bits (a channel
// of n < 8 bits comes back with 8 - n zero low bits, a missing one as 0) and packed again.
std::uint32_t convertPixel(const PixelFormat& from, const PixelFormat& to, std::uint32_t pixel);

// width x height pixels of 2 or 4 bytes each; rows advance by the pitches.
void convertRows(const PixelFormat& from, const std::uint8_t* src, std::ptrdiff_t srcPitch, const PixelFormat& to,
                 std::uint8_t* dst, std::ptrdiff_t dstPitch, int width, int height);

}  // namespace raster
