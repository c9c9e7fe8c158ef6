// The "Color" value of the property store: the four channels and their packed 0xAARRGGBB form, which
// every constructor and the assignment keep equal.
#pragma once

#include <cstdint>

class ColorValue {
public:
    ColorValue() = default;
    explicit ColorValue(uint32_t argb)
        : alpha(static_cast<uint8_t>(argb >> 24)), red(static_cast<uint8_t>(argb >> 16)),
          green(static_cast<uint8_t>(argb >> 8)), blue(static_cast<uint8_t>(argb))
    {
        packed = pack(alpha, red, green, blue);
    }
    ColorValue(const ColorValue&) = default;
    ColorValue& operator=(const ColorValue&) = default;
    virtual ~ColorValue() = default;

    static uint32_t pack(uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue)
    {
        return (uint32_t{alpha} << 24) | (uint32_t{red} << 16) | (uint32_t{green} << 8) | uint32_t{blue};
    }

    uint32_t packed = 0;
    uint8_t alpha = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};
