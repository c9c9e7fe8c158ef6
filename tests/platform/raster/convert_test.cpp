// The converting copy and the mask combination on real surfaces: depth pairs, clipping, locking.
// The per-pixel and per-byte rules are covered in pixel_convert_test.cpp and mask_combine_test.cpp.
#include "platform/surface/SurfaceTestSupport.h"

#include "platform/raster/Convert.h"

namespace {

using ConvertTest = DisplayTest;

std::vector<std::uint8_t> bytesOf(MemorySurface* map)
{
    const auto* p = static_cast<const std::uint8_t*>(map->pixels());
    return {p, p + map->getDesc().width * map->getDesc().height};
}

void setBytes(MemorySurface* map, const std::vector<std::uint8_t>& bytes)
{
    std::memcpy(map->pixels(), bytes.data(), bytes.size());
}

}  // namespace

TEST_F(ConvertTest, ConvertsBetweenSixteenAndThirtyTwoBits)
{
    DirectDrawSurface* s565 = make565(2, 1);
    DirectDrawSurface* s32 = make32(2, 1);
    poke(s565, 0, 0, 0xFFFF);
    poke(s565, 1, 0, 0xF800);
    ASSERT_EQ(S_OK, drawSurfaceConverted(s565, s32, 0, 0));
    EXPECT_EQ(0x00F8FCF8u, peek(s32, 0, 0));
    EXPECT_EQ(0x00F80000u, peek(s32, 1, 0));

    poke(s32, 0, 0, 0x00FFFFFF);
    poke(s32, 1, 0, 0x00102030);
    ASSERT_EQ(S_OK, drawSurfaceConverted(s32, s565, 0, 0));
    EXPECT_EQ(0xFFFFu, peek(s565, 0, 0));
    EXPECT_EQ(0x1106u, peek(s565, 1, 0));

    // 24 bits on either side: nothing changes.
    DirectDrawSurface* s24 = make24(2, 1);
    poke(s24, 0, 0, 0x123456);
    ASSERT_EQ(S_OK, drawSurfaceConverted(s24, s565, 0, 0));
    ASSERT_EQ(S_OK, drawSurfaceConverted(s565, s24, 0, 0));
    EXPECT_EQ(0xFFFFu, peek(s565, 0, 0));
    EXPECT_EQ(0x123456u, peek(s24, 0, 0));
}

TEST_F(ConvertTest, ClipsToBothSurfaces)
{
    // A 4 x 2 source drawn into a 3 x 3 destination at (-1, 2) with a rectangle wider and taller than
    // the source: only source pixels (1..3, 0) land, in row 2.
    DirectDrawSurface* src = make32(4, 2);
    DirectDrawSurface* dst = make32(3, 3);
    pattern(src);
    ASSERT_EQ(S_OK, blitConverted(src, 0, 0, 9, 9, dst, -1, 2));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(peek(dst, x, y), y == 2 ? static_cast<std::uint32_t>(x + 2) : 0u) << x << "," << y;

    MemorySurface* from = makeMap(2, 2);
    MemorySurface* to = makeMap(3, 2);
    setBytes(from, {1, 2, 3, 4});
    setBytes(to, {0, 0, 0, 0, 0, 0});
    ASSERT_EQ(S_OK, combineMask(from, 1, 0, 5, 5, to, 1, 0, MaskCopy));
    EXPECT_EQ(bytesOf(to), (std::vector<std::uint8_t>{0, 2, 0, 0, 4, 0}));
}

TEST_F(ConvertTest, CombinesMapsByMode)
{
    MemorySurface* from = makeMap(3, 1);
    MemorySurface* to = makeMap(3, 1);
    struct Case {
        int mode;
        std::vector<std::uint8_t> expected;
    } cases[] = {
        {MaskCopy, {255, 100, 0}},   {MaskMaximum, {255, 100, 50}}, {MaskMinimum, {200, 10, 0}},
        {MaskAdd, {255, 110, 50}},   {MaskSubtract, {0, 0, 50}},    {2, {200, 10, 50}},
        {0, {200, 10, 50}},
    };
    for (const Case& c : cases) {
        setBytes(from, {255, 100, 0});
        setBytes(to, {200, 10, 50});
        ASSERT_EQ(S_OK, drawMaskCombined(from, to, 0, 0, c.mode));
        EXPECT_EQ(bytesOf(to), c.expected) << "mode " << c.mode;
    }
    setBytes(to, {200, 10, 50});
    ASSERT_EQ(S_OK, drawMaskCombinedScaled(from, to, 0, 0, MaskCopy, 0.5f));
    EXPECT_EQ(bytesOf(to), (std::vector<std::uint8_t>{127, 50, 0}));
}

TEST_F(ConvertTest, FailedLocksAreRecordedAndDrawNothing)
{
    DirectDrawSurface* src = make32(2, 2);
    DirectDrawSurface* dst = make32(2, 2);
    compat::testing::loseAllSurfaces();
    ASSERT_EQ(S_OK, blitConverted(src, 0, 0, 2, 2, dst, 0, 0));
    EXPECT_EQ(1u, hasDrawError());
    EXPECT_EQ(DDERR_SURFACELOST, lastDrawError());

    // Only the destination fails: the source is unlocked again.
    resetDrawError();
    DirectDrawSurface* fresh = make32(2, 2);
    ASSERT_EQ(S_OK, combineMask(fresh, 0, 0, 2, 2, dst, 0, 0, MaskCopy));
    EXPECT_EQ(DDERR_SURFACELOST, lastDrawError());
    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, fresh->getInterface()->GetDC(&dc));
    fresh->getInterface()->ReleaseDC(dc);
}
