#include "platform/surface/SurfaceTestSupport.h"

#include <climits>
#include <cmath>

namespace {

PixelFormat makeFormat(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t bits)
{
    PixelFormat f;
    f.set(a, r, g, b, bits);
    return f;
}

TEST(PixelAccessTest, UnpackAndPackChannels)
{
    const PixelFormat rgb555 = makeFormat(0, 0x7C00, 0x03E0, 0x001F, 16);
    const PixelFormat rgb565 = makeFormat(0, 0xF800, 0x07E0, 0x001F, 16);
    const PixelFormat xrgb = makeFormat(0, 0xFF0000, 0xFF00, 0xFF, 32);
    const PixelFormat argb = makeFormat(0xFF000000, 0xFF0000, 0xFF00, 0xFF, 32);
    struct {
        const PixelFormat* format;
        std::uint32_t pixel, colour;
    } unpacks[] = {
        {&rgb565, 0xF800, 0x00F80000}, {&rgb565, 0x07E0, 0x0000FC00}, {&rgb565, 0xFFFF, 0x00F8FCF8},
        {&rgb555, 0x7FFF, 0x00F8F8F8}, {&rgb555, 0x001F, 0x000000F8}, {&xrgb, 0x12345678, 0x00345678},
        {&argb, 0x12345678, 0x12345678},
    };
    for (const auto& c : unpacks)
        EXPECT_EQ(c.colour, c.format->unpackPixel(&c.pixel)) << std::hex << c.pixel;

    const std::uint32_t a = 0xFF, r = 0x80, g = 0x40, b = 0x20;
    std::uint32_t packed = 0;
    rgb555.packPixelChannels(&a, &r, &g, &b, &packed);
    EXPECT_EQ(0x4104u, packed);
    argb.packPixelChannels(&a, &r, &g, &b, &packed);
    EXPECT_EQ(0xFF804020u, packed);
    // Packing what was unpacked gives the pixel back.
    for (std::uint32_t pixel : {0x0000u, 0x1234u, 0xFFFFu, 0xA5A5u}) {
        const std::uint32_t colour = rgb565.unpackPixel(&pixel);
        EXPECT_EQ(pixel, rgb565.packPixel(&colour));
    }
}

using SurfacePixelTest = DisplayTest;

TEST_F(SurfacePixelTest, GetPixelReadsInsideAndAnswersZeroOutside)
{
    DirectDrawSurface* s32 = make32(3, 2);
    DirectDrawSurface* s16 = make565(3, 2);
    MemorySurface* map = makeMap(3, 2);
    DirectDrawSurface* s24 = make24(3, 2);
    for (Surface* s : {static_cast<Surface*>(s32), static_cast<Surface*>(s16), static_cast<Surface*>(map)}) {
        pattern(s);
        EXPECT_EQ(0x01u, Surface::getPixel(s, 0, 0));
        EXPECT_EQ(0x13u, Surface::getPixel(s, 2, 1));
        for (auto [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}, {INT_MAX, INT_MAX}, {INT_MIN, 0}})
            EXPECT_EQ(0u, Surface::getPixel(s, x, y)) << x << "," << y;
    }
    pattern(s24);
    EXPECT_EQ(0u, Surface::getPixel(s24, 1, 1));

    compat::testing::loseAllSurfaces();
    EXPECT_EQ(0u, Surface::getPixel(s32, 1, 1));
    EXPECT_EQ(1u, hasDrawError());
    EXPECT_EQ(0x01u, Surface::getPixel(map, 0, 0)) << "a byte map is never lost";
}

TEST_F(SurfacePixelTest, BlendRectDrainsColourByTheFactor)
{
    struct {
        float factor;
        std::uint32_t pixel, expected;
    } cases32[] = {
        {0.0f, 0x00FF0000, 0x00FF0000},
        {-1.0f, 0x00FF0000, 0x00FF0000},
        {NAN, 0x00FF0000, 0x00FF0000},
        {1.0f, 0x00FF0000, 0x002A2A2A},
        {1.0f, 0x0000FF00, 0x00AAAAAA},
        {0.5f, 0x00FF0000, 0x00941515},
        {1.0f, 0xFF808080, 0x00808080}, // grey stays grey; alpha is not kept
        // (r + 4g + b) / 6 = 155 / 6 leaves a remainder of 5: one more or less in the sum shows.
        {1.0f, 0x0010200B, 0x00191919},
        {0.5f, 0x0010200B, 0x00141C12},
        {0.25f, 0x00203040, 0x0024303C},
    };
    DirectDrawSurface* s32 = make32(1, 1);
    for (const auto& c : cases32) {
        poke(s32, 0, 0, c.pixel);
        EXPECT_EQ(S_OK, Surface::blendRect(s32, 0, 0, 1, 1, c.factor));
        EXPECT_EQ(c.expected, peek(s32, 0, 0)) << c.factor << " " << std::hex << c.pixel;
    }

    DirectDrawSurface* s16 = make565(1, 1);
    poke(s16, 0, 0, 0xF800); // red 248: grey 41 -> 5-6-5 (5, 10, 5)
    Surface::blendRect(s16, 0, 0, 1, 1, 1.0f);
    EXPECT_EQ(0x2945u, peek(s16, 0, 0));

    // Other depths are left alone.
    MemorySurface* map = makeMap(1, 1);
    poke(map, 0, 0, 0x77);
    Surface::blendRect(map, 0, 0, 1, 1, 1.0f);
    EXPECT_EQ(0x77u, peek(map, 0, 0));
}

TEST_F(SurfacePixelTest, BlendRectIsClippedToTheSurface)
{
    DirectDrawSurface* s = make32(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            poke(s, x, y, 0x00FF0000);
    Surface::blendRect(s, 1, 1, 100, 100, 1.0f);
    Surface::blendRect(s, -50, -50, 10, 10, 1.0f);
    Surface::blendRect(s, INT_MAX, 0, INT_MAX, 3, 1.0f);
    EXPECT_EQ(0x00FF0000u, peek(s, 0, 0));
    EXPECT_EQ(0x00FF0000u, peek(s, 2, 0));
    EXPECT_EQ(0x002A2A2Au, peek(s, 1, 1));
    EXPECT_EQ(0x002A2A2Au, peek(s, 2, 2));
}

} // namespace
