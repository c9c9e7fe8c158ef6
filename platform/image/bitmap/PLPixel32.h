// One palette entry or 32-bit pixel, in memory order blue, green, red, alpha.
#pragma once

#include <cstdint>

struct PLPixel32 {
    std::uint8_t b;
    std::uint8_t g;
    std::uint8_t r;
    std::uint8_t a;
};
static_assert(sizeof(PLPixel32) == 4, "palette entries and pixels are 4 bytes");
