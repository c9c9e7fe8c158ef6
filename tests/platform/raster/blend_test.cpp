// The blending routines on real surfaces: clipping, format checks, locking, dispatch and the
// clipped hardware copy. The arithmetic itself is covered on raw rows in blend_workers_test.cpp.
#include "platform/surface/SurfaceTestSupport.h"

#include "platform/system/CpuFeatures.h"
#include "platform/raster/Blend.h"

#include <string>

namespace {

class BlendTest : public DisplayTest {
protected:
    void TearDown() override
    {
        hasMmx = savedMmx;
        DisplayTest::TearDown();
    }

    static void fillWith(Surface* s, std::uint32_t value)
    {
        for (int y = 0; y < static_cast<int>(s->getDesc().height); ++y)
            for (int x = 0; x < static_cast<int>(s->getDesc().width); ++x)
                poke(s, x, y, value);
    }
    static void fillMap(MemorySurface* map, std::uint8_t value)
    {
        std::memset(map->pixels(), value, map->getDesc().width * map->getDesc().height);
    }
    static std::vector<std::uint32_t> rowOf(Surface* s, int y)
    {
        std::vector<std::uint32_t> out;
        for (int x = 0; x < static_cast<int>(s->getDesc().width); ++x)
            out.push_back(peek(s, x, y));
        return out;
    }
    static std::string drawnColumns(Surface* s, int y)
    {
        std::string drawn;
        for (std::uint32_t p : rowOf(s, y))
            drawn += p != 0 ? 'x' : '.';
        return drawn;
    }
    // A surface that is not locked accepts a device context.
    static bool unlocked(DirectDrawSurface* s)
    {
        HDC dc = nullptr;
        if (s->getInterface()->GetDC(&dc) != DD_OK)
            return false;
        s->getInterface()->ReleaseDC(dc);
        return true;
    }
    DirectDrawSurface* make555(std::uint32_t width, std::uint32_t height)
    {
        return hold(createDirectDrawSurfaceFromDesc(dd, describe(width, height, 16, 0x7C00, 0x03E0, 0x001F)));
    }

    int savedMmx = hasMmx;
};

// Every routine of the family, drawing source onto destination at (dx, dy) with the map where it
// takes one (opaque: map bytes 255, alpha 255).
struct Routine {
    const char* name;
    HRESULT (*run)(Surface* src, int sx, int sy, int w, int h, Surface* dst, int dx, int dy, Surface* map);
};
const Routine kBlendRoutines[] = {
    {"blendRectPlain", [](Surface* s, int sx, int sy, int w, int h, Surface* d, int dx, int dy, Surface*) {
         return blendRectPlain(s, sx, sy, w, h, d, dx, dy, 255);
     }},
    {"blendRectKeyedPlain", [](Surface* s, int sx, int sy, int w, int h, Surface* d, int dx, int dy, Surface*) {
         return blendRectKeyedPlain(s, sx, sy, w, h, d, dx, dy, 255);
     }},
    {"blendRectMmx", [](Surface* s, int sx, int sy, int w, int h, Surface* d, int dx, int dy, Surface*) {
         return blendRectMmx(s, sx, sy, w, h, d, dx, dy, 255);
     }},
    {"blendRectKeyedMmx", [](Surface* s, int sx, int sy, int w, int h, Surface* d, int dx, int dy, Surface*) {
         return blendRectKeyedMmx(s, sx, sy, w, h, d, dx, dy, 255);
     }},
    {"blendMaskPlain", [](Surface* s, int sx, int sy, int w, int h, Surface* d, int dx, int dy, Surface* m) {
         return blendMaskPlain(s, sx, sy, w, h, d, dx, dy, m);
     }},
    {"blendMaskMmx", [](Surface* s, int sx, int sy, int w, int h, Surface* d, int dx, int dy, Surface* m) {
         return blendMaskMmx(s, sx, sy, w, h, d, dx, dy, m);
     }},
    {"blendMaskAlpha", [](Surface* s, int sx, int sy, int w, int h, Surface* d, int dx, int dy, Surface* m) {
         return blendMaskAlpha(s, sx, sy, w, h, d, dx, dy, m, 255);
     }},
    {"blitTinted", [](Surface*, int sx, int sy, int w, int h, Surface* d, int dx, int dy, Surface* m) {
         return blitTinted(m, sx, sy, w, h, d, dx, dy, 0xFFFFFF, 255);
     }},
};

}  // namespace

TEST_F(BlendTest, RectanglesAreClippedToDestinationAndSource)
{
    // Source (and map) 8 x 2 of white / 255, destination 10 x 2 of black.
    struct Case {
        const char* what;
        int sx, sy, w, h, dx, dy;
        const char* drawn;  // row 0 of the destination: 'x' where a pixel changed
    } cases[] = {
        {"left of the destination", 0, 0, 10, 1, -5, 0, "xxx......."},
        {"past the destination", 0, 0, 6, 1, 7, 0, ".......xxx"},
        {"past the source", 4, 0, 10, 1, 0, 0, "xxxx......"},
        {"left of the source", -3, 0, 5, 1, 0, 0, "...xx....."},
        {"wholly outside the destination", 0, 0, 4, 1, 10, 0, ".........."},
        {"below the source", 0, 2, 4, 5, 0, 0, ".........."},
    };
    for (const Routine& routine : kBlendRoutines)
        for (const Case& c : cases) {
            DirectDrawSurface* src = make32(8, 2);
            DirectDrawSurface* dst = make32(10, 2);
            MemorySurface* map = makeMap(8, 2);
            fillWith(src, 0xFFFFFF);
            fillWith(dst, 0);
            fillMap(map, 255);
            EXPECT_EQ(S_OK, routine.run(src, c.sx, c.sy, c.w, c.h, dst, c.dx, c.dy, map)) << routine.name << ": " << c.what;
            EXPECT_EQ(drawnColumns(dst, 0), c.drawn) << routine.name << ": " << c.what;
            EXPECT_EQ(drawnColumns(dst, 1), "..........") << routine.name << ": " << c.what;
            EXPECT_TRUE(unlocked(src) && unlocked(dst)) << routine.name;
        }
}

TEST_F(BlendTest, MaskMapSmallerThanTheSourceBoundsTheRectangle)
{
    // A 3 x 1 map under an 8 x 2 source: only the bytes that exist are read.
    for (const Routine& routine : kBlendRoutines) {
        if (std::string(routine.name).find("Rect") != std::string::npos)
            continue;
        DirectDrawSurface* src = make32(8, 2);
        DirectDrawSurface* dst = make32(8, 2);
        MemorySurface* map = makeMap(3, 1);
        fillWith(src, 0xFFFFFF);
        fillWith(dst, 0);
        fillMap(map, 255);
        EXPECT_EQ(S_OK, routine.run(src, 0, 0, 8, 2, dst, 0, 0, map)) << routine.name;
        EXPECT_EQ(drawnColumns(dst, 0), "xxx.....") << routine.name;
        EXPECT_EQ(drawnColumns(dst, 1), "........") << routine.name;
    }
}

TEST_F(BlendTest, ClippedColumnsComeFromTheShiftedSource)
{
    DirectDrawSurface* src = make32(10, 1);
    DirectDrawSurface* dst = make32(10, 1);
    MemorySurface* map = makeMap(10, 1);
    pattern(src);
    fillMap(map, 255);
    fillWith(dst, 0);
    ASSERT_EQ(S_OK, blendMaskPlain(src, 0, 0, 10, 1, dst, -5, 0, map));
    EXPECT_EQ(rowOf(dst, 0), (std::vector<std::uint32_t>{6, 7, 8, 9, 10, 0, 0, 0, 0, 0}));
}

TEST_F(BlendTest, FormatsMustMatchAndNeedABlendingCode)
{
    DirectDrawSurface* s565 = make565(4, 4);
    DirectDrawSurface* d32 = make32(4, 4);
    DirectDrawSurface* s24 = make24(4, 4);
    DirectDrawSurface* d24 = make24(4, 4);
    MemorySurface* map = makeMap(4, 4);
    fillMap(map, 255);
    for (const Routine& routine : kBlendRoutines) {
        if (std::string(routine.name) != "blitTinted") {
            EXPECT_EQ(DDERR_INVALIDPIXELFORMAT, routine.run(s565, 0, 0, 4, 4, d32, 0, 0, map)) << routine.name;
        }
        EXPECT_EQ(-1, routine.run(s24, 0, 0, 4, 4, d24, 0, 0, map)) << routine.name;
        EXPECT_TRUE(unlocked(s24) && unlocked(d24)) << routine.name;
    }
    EXPECT_EQ(DDERR_INVALIDPIXELFORMAT, bltFastClipped(s565, 0, 0, 4, 4, d32, 0, 0));

    // A mask map is a byte map: a DirectDraw surface, whose pixels exist only under a lock, is refused.
    DirectDrawSurface* notAMap = make32(4, 4);
    for (const Routine& routine : kBlendRoutines) {
        if (std::string(routine.name).find("Rect") == std::string::npos) {
            EXPECT_EQ(E_INVALIDARG, routine.run(notAMap, 0, 0, 4, 4, notAMap, 0, 0, notAMap)) << routine.name;
        }
    }

    // The hardware copy compares depths only, so 24-bit surfaces still copy.
    poke(s24, 1, 1, 0x123456);
    EXPECT_EQ(S_OK, bltFastClipped(s24, 0, 0, 4, 4, d24, 0, 0));
    EXPECT_EQ(0x123456u, peek(d24, 1, 1));
}

TEST_F(BlendTest, FailedLocksLeaveNothingLocked)
{
    DirectDrawSurface* src = make32(4, 4);
    DirectDrawSurface* dst = make32(4, 4);
    MemorySurface* map = makeMap(4, 4);
    fillWith(dst, 0x111111);

    // The source is busy (a device context is open on it): its lock fails after the destination's.
    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, src->getInterface()->GetDC(&dc));
    EXPECT_EQ(DDERR_SURFACEBUSY, blitAlphaRect(src, 0, 0, 4, 4, dst, 0, 0, 128));
    EXPECT_EQ(DDERR_SURFACEBUSY, blitAlphaMask(src, 0, 0, 4, 4, dst, 0, 0, map));
    EXPECT_TRUE(unlocked(dst));
    src->getInterface()->ReleaseDC(dc);

    compat::testing::loseAllSurfaces();
    EXPECT_EQ(DDERR_SURFACELOST, blitAlphaRect(src, 0, 0, 4, 4, dst, 0, 0, 128));
    EXPECT_EQ(DDERR_SURFACELOST, blitTinted(map, 0, 0, 4, 4, dst, 0, 0, 0, 128));
    EXPECT_EQ(DDERR_SURFACELOST, bltFastClipped(src, 0, 0, 4, 4, dst, 0, 0));
    // A rectangle that clips away locks nothing, so it succeeds even now.
    EXPECT_EQ(S_OK, blitAlphaRect(src, 0, 0, 4, 4, dst, 4, 0, 128));
    EXPECT_EQ(0u, hasDrawError());
}

TEST_F(BlendTest, DispatchFollowsTheMmxFlagAndTheColourKey)
{
    // White onto black at 255 in 5-5-5: the plain pair gives the source, the parallel code one less.
    // A source keyed with white draws nothing in either family.
    for (int mmx : {0, 1}) {
        hasMmx = mmx;
        const std::uint32_t expected = mmx ? 0x7BDE : 0x7FFF;
        DirectDrawSurface* src = make555(2, 1);
        DirectDrawSurface* dst = make555(2, 1);
        MemorySurface* map = makeMap(2, 1);
        fillMap(map, 255);
        fillWith(src, 0x7FFF);

        fillWith(dst, 0);
        ASSERT_EQ(S_OK, blitAlpha(src, dst, 0, 0, 255));
        EXPECT_EQ(rowOf(dst, 0), (std::vector<std::uint32_t>{expected, expected})) << mmx;

        // Mask 255 copies in both families; scaled by 255 it blends at 254 whatever the flag says.
        fillWith(dst, 0);
        ASSERT_EQ(S_OK, blitAlphaMask(src, 0, 0, 2, 1, dst, 0, 0, map));
        EXPECT_EQ(rowOf(dst, 0), (std::vector<std::uint32_t>{0x7FFF, 0x7FFF})) << mmx;
        fillWith(dst, 0);
        ASSERT_EQ(S_OK, blitBlendDispatch(src, 0, 0, 2, 1, dst, 0, 0, map, 255));
        EXPECT_EQ(rowOf(dst, 0), (std::vector<std::uint32_t>{0x7FFF, 0x7FFF})) << mmx;  // pair formula at 254

        src->setColorKeyValue(0xFFFFFFFF);
        fillWith(dst, 0);
        ASSERT_EQ(S_OK, blitAlpha(src, dst, 0, 0, 255));
        EXPECT_EQ(rowOf(dst, 0), (std::vector<std::uint32_t>{0, 0})) << mmx;
    }
}

TEST_F(BlendTest, TintAndKeyedCopyOnSurfaces)
{
    // 5-6-5 tint: white through map bytes 255, 255, 0 at alpha 255.
    DirectDrawSurface* dst = make565(3, 1);
    MemorySurface* map = makeMap(3, 1);
    fillWith(dst, 0);
    static_cast<std::uint8_t*>(map->pixels())[0] = 255;
    static_cast<std::uint8_t*>(map->pixels())[1] = 255;
    static_cast<std::uint8_t*>(map->pixels())[2] = 0;
    ASSERT_EQ(S_OK, blitTinted(map, 0, 0, 3, 1, dst, 0, 0, 0xFFFF, 255));
    EXPECT_EQ(rowOf(dst, 0), (std::vector<std::uint32_t>{0xFFFF, 0xFFFF, 0}));

    // The hardware copy skips the source's key (black) and is clipped like the blends.
    DirectDrawSurface* src = make32(4, 1);
    DirectDrawSurface* to = make32(4, 1);
    poke(src, 0, 0, 0x00AA0000);
    poke(src, 1, 0, 0);
    poke(src, 2, 0, 0x0000BB00);
    poke(src, 3, 0, 0x000000CC);
    fillWith(to, 0x00010101);
    src->setColorKeyValue(0xFF000000);
    ASSERT_EQ(S_OK, drawSurfaceClipped(src, to, -1, 0));
    EXPECT_EQ(rowOf(to, 0), (std::vector<std::uint32_t>{0x00010101, 0x0000BB00, 0x000000CC, 0x00010101}));
}
