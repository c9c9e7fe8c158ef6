#include "platform/raster/PixelConvert.h"

#include <gtest/gtest.h>

using raster::convertPixel;

namespace {

PixelFormat format(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t bits)
{
    PixelFormat f;
    f.set(a, r, g, b, bits);
    return f;
}

}  // namespace

TEST(PixelConvert, ChannelsPassThroughEightBits)
{
    const PixelFormat rgb565 = format(0, 0xF800, 0x07E0, 0x001F, 16);
    const PixelFormat rgb555 = format(0, 0x7C00, 0x03E0, 0x001F, 16);
    const PixelFormat xrgb = format(0, 0x00FF0000, 0x0000FF00, 0x000000FF, 32);
    const PixelFormat argb = format(0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF, 32);
    struct Case {
        const PixelFormat* from;
        const PixelFormat* to;
        std::uint32_t in, out;
    } cases[] = {
        {&rgb565, &xrgb, 0xFFFF, 0x00F8FCF8},  // narrow channels come back with zero low bits
        {&xrgb, &rgb565, 0x00FFFFFF, 0xFFFF},
        {&rgb565, &argb, 0xF800, 0x00F80000},  // a 16-bit source has no alpha
        {&argb, &xrgb, 0x80123456, 0x00123456},
        {&argb, &argb, 0x80123456, 0x80123456},
        {&rgb565, &rgb555, 0x07E0, 0x03E0},
        {&rgb555, &rgb565, 0x7FFF, 0xFFDF},
        {&rgb565, &rgb565, 0x1234, 0x1234},
    };
    for (const Case& c : cases)
        EXPECT_EQ(convertPixel(*c.from, *c.to, c.in), c.out) << std::hex << c.in;
}
