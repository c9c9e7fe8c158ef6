#include "platform/surface/SurfaceTestSupport.h"

#include "platform/system/CpuFeatures.h"
#include "platform/raster/Fill.h"

#include "compat/win32/system/machine/sysinfo.h"

#include <climits>
#include <functional>
#include <vector>

namespace {

using FillTest = DisplayTest;

struct Area {
    const char* name;
    int x, y, width, height;
};

// Rectangles against a 6 x 4 surface: inside, across every edge, beyond every edge, empty, and
// coordinates whose sums overflow int.
const Area areas[] = {
    {"inside", 1, 1, 3, 2},
    {"whole", 0, 0, 6, 4},
    {"across left", -2, 1, 4, 2},
    {"across top", 2, -3, 2, 4},
    {"across right", 4, 1, 10, 2},
    {"across bottom", 1, 3, 2, 9},
    {"around", -10, -10, 30, 30},
    {"left of", -5, 0, 5, 4},
    {"above", 0, -4, 6, 4},
    {"right of", 6, 0, 3, 4},
    {"below", 0, 4, 6, 1},
    {"empty", 2, 2, 0, 1},
    {"negative", 3, 2, -2, 1},
    {"huge", INT_MAX, INT_MAX, INT_MAX, INT_MAX},
    {"huge size", INT_MIN, INT_MIN, INT_MAX, INT_MAX},
    {"far left", INT_MIN, 0, 10, 4},
};

bool covers(const Area& a, int px, int py)
{
    return px >= a.x && py >= a.y && static_cast<long long>(px) < static_cast<long long>(a.x) + a.width
        && static_cast<long long>(py) < static_cast<long long>(a.y) + a.height;
}

// Runs a rectangle routine over every area on a patterned surface and checks that exactly the
// covered pixels changed to what `expected` says.
template <class Draw, class Expect>
void checkEveryArea(Surface* surface, Draw draw, Expect expected)
{
    const int w = static_cast<int>(surface->getDesc().width), h = static_cast<int>(surface->getDesc().height);
    for (const Area& a : areas) {
        SCOPED_TRACE(a.name);
        pattern(surface);
        EXPECT_EQ(S_OK, draw(a));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint32_t before = static_cast<std::uint32_t>(0x10 * y + x + 1);
                EXPECT_EQ(covers(a, x, y) ? expected(before) : before, peek(surface, x, y)) << x << "," << y;
            }
    }
}

TEST_F(FillTest, RectangleRoutinesTouchOnlyTheClippedArea)
{
    DirectDrawSurface* s32 = make32(6, 4);
    DirectDrawSurface* s16 = make565(6, 4);
    MemorySurface* map = makeMap(6, 4);

    checkEveryArea(s32, [&](const Area& a) { return fillRectClipped(s32, a.x, a.y, a.width, a.height, 0xFF00FF00); },
                   [](std::uint32_t) { return 0x0000FF00u; });
    checkEveryArea(s16, [&](const Area& a) { return fillRectClipped(s16, a.x, a.y, a.width, a.height, 0xFF00FF00); },
                   [](std::uint32_t) { return 0x07E0u; });
    checkEveryArea(map, [&](const Area& a) { return fillRectClipped(map, a.x, a.y, a.width, a.height, 0xFF00FF00); },
                   [](std::uint32_t) { return 0xFFu; });
    checkEveryArea(map, [&](const Area& a) { return fillRect8(map, a.x, a.y, a.width, a.height, 0x5A); },
                   [](std::uint32_t) { return 0x5Au; });
    checkEveryArea(s32, [&](const Area& a) { return invertRect(s32, a.x, a.y, a.width, a.height); },
                   [](std::uint32_t v) { return ~v; });
    checkEveryArea(s16, [&](const Area& a) { return invertRect(s16, a.x, a.y, a.width, a.height); },
                   [](std::uint32_t v) { return v ^ 0xFFFFu; });
    checkEveryArea(s32, [&](const Area& a) { return tintRectClipped(s32, a.x, a.y, a.width, a.height, 0, 0); },
                   [](std::uint32_t v) { return v & 0x00FFFFFFu; });
}

// Runs long enough for the block stores, ending at every offset within a block: each covers exactly
// pixels 1..length of the first row.
TEST_F(FillTest, LongRunsCoverExactlyTheirPixels)
{
    constexpr int width = 70;
    DirectDrawSurface* s32 = make32(width, 2);
    DirectDrawSurface* s16 = make565(width, 2);
    MemorySurface* map = makeMap(width, 2);
    struct Case {
        const char* name;
        Surface* surface;
        std::function<void(Surface*, int)> draw;
        std::uint32_t expected;
    } cases[] = {
        {"32-bit fill", s32, [](Surface* s, int n) { fillRectClipped(s, 1, 0, n, 1, 0xFF123456); }, 0x00123456},
        {"16-bit fill", s16, [](Surface* s, int n) { fillRectClipped(s, 1, 0, n, 1, 0xFF00FF00); }, 0x07E0},
        {"byte map fill", map, [](Surface* s, int n) { fillRectClipped(s, 1, 0, n, 1, 0xFF00FF00); }, 0xFF},
        {"byte fill", map, [](Surface* s, int n) { fillRect8(s, 1, 0, n, 1, 0x5A); }, 0x5A},
        {"16-bit row", s16, [](Surface* s, int n) { drawHLine(s, 1, 0, n, 0, 0xFF00FF00); }, 0x07E0},
    };
    for (const Case& c : cases)
        for (int length = 1; length < width - 1; ++length) {
            SCOPED_TRACE(::testing::Message() << c.name << ", " << length << " pixels");
            pattern(c.surface);
            std::vector<std::uint32_t> before;
            for (int i = 0; i < 2 * width; ++i)
                before.push_back(peek(c.surface, i % width, i / width));
            c.draw(c.surface, length);
            for (int i = 0; i < 2 * width; ++i) {
                const int x = i % width, y = i / width;
                const bool covered = y == 0 && x >= 1 && x <= length;
                ASSERT_EQ(covered ? c.expected : before[static_cast<std::size_t>(i)], peek(c.surface, x, y)) << x << "," << y;
            }
        }
}

// Full-width bands, where rows that lie back to back are filled as one run: odd widths (whose rows may
// be padded) and every depth, each band exactly its rows.
TEST_F(FillTest, FullWidthBandsOfOddAndEvenWidths)
{
    for (std::uint32_t width = 1; width <= 9; ++width) {
        struct Case {
            const char* name;
            Surface* surface;
            std::uint32_t colour, expected;
        } cases[] = {{"32-bit", make32(width, 5), 0xFF123456, 0x00123456},
                     {"16-bit", make565(width, 5), 0xFF1046A0, 0x1234},
                     {"byte map", makeMap(width, 5), 0x00000056, 0x56}};
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.name << ", width " << width);
            pattern(c.surface);
            fillRectClipped(c.surface, 0, 1, static_cast<int>(width), 2, c.colour);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < static_cast<int>(width); ++x) {
                    const std::uint32_t before = static_cast<std::uint32_t>(0x10 * y + x + 1);
                    ASSERT_EQ(y == 1 || y == 2 ? c.expected : before, peek(c.surface, x, y)) << x << "," << y;
                }
        }
    }
}

TEST_F(FillTest, FillOfAScreenSizedSurfaceFromOutsideTheCorner)
{
    DirectDrawSurface* screen = make565(640, 480);
    fillRectClipped(screen, -10, -10, 20, 20, 0xFFFFFFFF);
    EXPECT_EQ(0xFFFFu, peek(screen, 9, 9));
    EXPECT_EQ(0u, peek(screen, 10, 9));
    EXPECT_EQ(0u, peek(screen, 9, 10));
}

TEST_F(FillTest, InvertTwiceRestoresTheRectangle)
{
    DirectDrawSurface* s = make565(6, 4);
    pattern(s);
    invertRect(s, 1, 1, 4, 2);
    EXPECT_NE(0x12u, peek(s, 1, 1));
    invertRect(s, 1, 1, 4, 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(static_cast<std::uint32_t>(0x10 * y + x + 1), peek(s, x, y));
}

TEST_F(FillTest, UnsupportedDepthsAreLeftAlone)
{
    DirectDrawSurface* s24 = make24(3, 2);
    pattern(s24);
    fillRectClipped(s24, 0, 0, 3, 2, 0xFFFFFFFF);
    invertRect(s24, 0, 0, 3, 2);
    tintRectClipped(s24, 0, 0, 3, 2, 0xFFFFFF, 128);
    drawRect(s24, 0, 0, 3, 2, 0xFFFFFFFF);
    EXPECT_EQ(0x01u, peek(s24, 0, 0));
    EXPECT_EQ(0x13u, peek(s24, 2, 1));

    MemorySurface* map = makeMap(3, 2);
    pattern(map);
    invertRect(map, 0, 0, 3, 2);
    drawHLine(map, 0, 0, 2, 0, 0xFFFFFFFF);
    EXPECT_EQ(0x01u, peek(map, 0, 0));
}

TEST_F(FillTest, LinesAreClampedToTheSurface)
{
    struct Line {
        const char* name;
        bool horizontal;
        int a, at, b; // from a to b along the row or column `at`
        int first, last; // pixels expected, -1 for none
    } lines[] = {
        {"inside", true, 1, 2, 3, 1, 3},
        {"reversed", true, 5, 2, 3, -1, -1},
        {"single", true, 2, 0, 2, 2, 2},
        {"left end before", true, -4, 1, 2, 0, 2},
        {"right end past", true, 4, 1, 99, 4, 5},
        {"last row", true, 0, 3, 5, 0, 5},
        {"row past the last", true, 0, 4, 5, -1, -1},
        {"row above", true, 0, -1, 5, -1, -1},
        {"right of", true, 6, 1, 9, -1, -1},
        {"left of", true, -9, 1, -1, -1, -1},
        {"column", false, 1, 2, 2, 1, 2},
        {"column clamped", false, -3, 5, 100, 0, 3},
        {"column past the last", false, 0, 6, 3, -1, -1},
        {"column below", false, 4, 0, 9, -1, -1},
        {"huge", true, INT_MIN, 1, INT_MAX, 0, 5},
    };
    DirectDrawSurface* s = make32(6, 4);
    for (const Line& l : lines) {
        SCOPED_TRACE(l.name);
        s->fill(0);
        const HRESULT r = l.horizontal ? drawHLine(s, l.a, l.at, l.b, 12345, 0x00ABCDEF)
                                       : drawVLine(s, l.at, l.a, 12345, l.b, 0x00ABCDEF);
        EXPECT_EQ(S_OK, r);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                const int along = l.horizontal ? x : y, across = l.horizontal ? y : x;
                const bool drawn = across == l.at && along >= l.first && along <= l.last && l.first >= 0;
                EXPECT_EQ(drawn ? 0x00ABCDEFu : 0u, peek(s, x, y)) << x << "," << y;
            }
    }
}

TEST_F(FillTest, OutlineDrawsTheVisibleEdges)
{
    DirectDrawSurface* s = make565(6, 4);
    struct {
        int x, y, w, h;
    } rects[] = {{1, 1, 3, 2}, {2, 2, 1, 1}, {-1, -1, 4, 4}, {3, 1, 10, 10}, {0, 0, 6, 4}};
    for (const auto& r : rects) {
        s->fill(0);
        EXPECT_EQ(S_OK, drawRect(s, r.x, r.y, r.w, r.h, 0xFFFFFFFF));
        const int right = r.x + r.w - 1, bottom = r.y + r.h - 1;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool onEdge = ((y == r.y || y == bottom) && x >= r.x && x <= right)
                    || ((x == r.x || x == right) && y >= r.y && y <= bottom);
                EXPECT_EQ(onEdge ? 0xFFFFu : 0u, peek(s, x, y)) << r.x << "," << r.y << " at " << x << "," << y;
            }
    }
}

TEST_F(FillTest, TintMovesChannelsTowardTheColour)
{
    struct {
        std::uint32_t pixel, colour, alpha, expected;
    } cases32[] = {
        {0xFF102030, 0x00FFFFFF, 0, 0x00102030},   // alpha 0: channels kept, top byte cleared
        {0x00000000, 0x00FF8001, 255, 0x00FE7F00}, // colour above: one below it
        {0x00FFFFFF, 0x00000000, 255, 0x00000000}, // colour below: reached
        {0x00000000, 0x00FFFFFF, 128, 0x007F7F7F},
        {0x00FFFFFF, 0x00000000, 128, 0x007F7F7F}, // -127.5 rounds toward minus infinity
        {0x00102030, 0x00102030, 200, 0x00102030},
        {0x00000000, 0x00FFFFFF, 0x1FF, 0x00FEFEFE}, // only the low byte of alpha counts
    };
    DirectDrawSurface* s32 = make32(1, 1);
    for (const auto& c : cases32) {
        poke(s32, 0, 0, c.pixel);
        tintRectClipped(s32, 0, 0, 1, 1, c.colour, c.alpha);
        EXPECT_EQ(c.expected, peek(s32, 0, 0)) << std::hex << c.pixel << " " << c.colour << " " << c.alpha;
    }

    DirectDrawSurface* s16 = make565(1, 1);
    struct {
        std::uint32_t pixel, colour, alpha, expected;
    } cases16[] = {
        {0x0000, 0x00FFFFFF, 255, 0xFFFF}, // 254 in each channel, low bits dropped
        {0xFFFF, 0x00000000, 128, 0x7BEF}, // 248 and 252 halve to 124 and 126
        {0x07E0, 0x00FF0000, 0, 0x07E0},
    };
    for (const auto& c : cases16) {
        poke(s16, 0, 0, c.pixel);
        tintRectClipped(s16, 0, 0, 1, 1, c.colour, c.alpha);
        EXPECT_EQ(c.expected, peek(s16, 0, 0)) << std::hex << c.pixel << " " << c.colour << " " << c.alpha;
    }
}

TEST_F(FillTest, FailedLockIsRecordedAndOnlyLinesReportIt)
{
    DirectDrawSurface* s = make32(4, 4);
    compat::testing::loseAllSurfaces();
    EXPECT_EQ(S_OK, fillRectClipped(s, 0, 0, 2, 2, 0));
    EXPECT_EQ(1u, hasDrawError());
    EXPECT_EQ(DDERR_SURFACELOST, lastDrawError());
    resetDrawError();
    EXPECT_EQ(S_OK, invertRect(s, 0, 0, 2, 2));
    EXPECT_EQ(S_OK, fillRect8(s, 0, 0, 2, 2, 1));
    EXPECT_EQ(S_OK, tintRectClipped(s, 0, 0, 2, 2, 0, 9));
    EXPECT_EQ(S_OK, drawRect(s, 0, 0, 2, 2, 0));
    EXPECT_EQ(1u, hasDrawError());
    EXPECT_EQ(DDERR_SURFACELOST, drawHLine(s, 0, 0, 3, 0, 0));
    EXPECT_EQ(DDERR_SURFACELOST, drawVLine(s, 0, 0, 0, 3, 0));
    EXPECT_EQ(S_OK, drawHLine(s, 0, 9, 3, 0, 0)) << "a line off the surface locks nothing";
}

TEST(CpuFeaturesTest, MmxFlagFollowsTheProcessor)
{
#if defined(__x86_64__)
    EXPECT_EQ(1, hasMmx); // every 64-bit x86 processor has MMX
    EXPECT_NE(0u, getCpuFeatures() & 0x800000u);
#endif
    compat::testing::setProcessorType(PROCESSOR_INTEL_486);
    EXPECT_EQ(0u, getCpuFeatures());
    compat::testing::setProcessorType(PROCESSOR_INTEL_386);
    EXPECT_EQ(0u, getCpuFeatures());
    compat::testing::setProcessorType(0);
}

} // namespace
