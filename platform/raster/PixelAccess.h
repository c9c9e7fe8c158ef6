// Per-pixel services of the software rasteriser: reading and writing native pixels in surface
// memory and clipping rectangles to a surface. Surface::getPixel and Surface::blendRect live here.
#pragma once

#include "platform/SurfaceDesc.h"

#include <cstdint>
#include <cstring>

// Pixel memory is reached through memcpy: rows need not be aligned for the compiler to be right,
// and it still compiles to single loads and stores.
inline std::uint16_t loadPixel16(const std::uint8_t* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline std::uint32_t loadPixel32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void storePixel16(std::uint8_t* p, std::uint16_t v) { std::memcpy(p, &v, sizeof v); }
inline void storePixel32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, sizeof v); }

// Clips the rectangle (x, y, width, height) to the surface described; false when nothing of it
// lies on the surface. Coordinates far outside int range arithmetic are handled.
bool clipRectToSurface(const SurfaceDesc& desc, int& x, int& y, int& width, int& height);
