#include "compat/ddraw/PixelTransfer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

using compat::ddraw::bytesPerPixel;
using compat::ddraw::PixelView;

struct Layout {
    const char* name;
    DDPIXELFORMAT format;
    DWORD colour; // the bits a colour key is compared on
};

DDPIXELFORMAT rgb(DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a = 0)
{
    DDPIXELFORMAT f{};
    f.dwRGBBitCount = bits;
    f.dwRBitMask = r;
    f.dwGBitMask = g;
    f.dwBBitMask = b;
    f.dwRGBAlphaBitMask = a;
    return f;
}

const Layout layouts[] = {
    {"8-bit", rgb(8, 0, 0, 0), 0xFF},
    {"5-6-5", rgb(16, 0xF800, 0x07E0, 0x001F), 0xFFFF},
    {"1-5-5-5", rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000), 0x7FFF},
    {"8-8-8", rgb(24, 0xFF0000, 0xFF00, 0xFF), 0xFFFFFF},
    {"x8-8-8-8", rgb(32, 0xFF0000, 0xFF00, 0xFF), 0xFFFFFF},
    {"8-8-8-8", rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), 0xFFFFFF},
};

// A view inside a larger buffer of noise: a byte of slack before it (so rows are not aligned) and
// padding after every row, so a read or write outside the view is caught by ASan or by a changed byte.
struct Picture {
    DDPIXELFORMAT format;
    std::vector<BYTE> bytes;
    PixelView view;

    Picture(const DDPIXELFORMAT& f, LONG width, LONG height, LONG padding, std::mt19937& rng) : format(f)
    {
        const LONG pitch = width * static_cast<LONG>(bytesPerPixel(f)) + padding;
        bytes.resize(1 + static_cast<std::size_t>(pitch) * static_cast<std::size_t>(height));
        for (BYTE& b : bytes)
            b = static_cast<BYTE>(rng());
        view = {bytes.data() + 1, pitch, width, height, &format};
    }
    BYTE* at(LONG x, LONG y) const
    {
        return view.origin + static_cast<std::ptrdiff_t>(y) * view.pitch + static_cast<std::ptrdiff_t>(x) * bytesPerPixel(format);
    }
    DWORD pixel(LONG x, LONG y) const
    {
        DWORD value = 0;
        std::memcpy(&value, at(x, y), bytesPerPixel(format));
        return value;
    }
    void set(LONG x, LONG y, DWORD value) { std::memcpy(at(x, y), &value, bytesPerPixel(format)); }
    // Every byte outside the view still holds what it held before.
    ::testing::AssertionResult outsideUnchanged(const std::vector<BYTE>& before) const
    {
        for (std::size_t offset = 0; offset < bytes.size(); ++offset) {
            const std::ptrdiff_t from = static_cast<std::ptrdiff_t>(offset) - 1;
            const bool inView = from >= 0 && from / view.pitch < view.height
                && from % view.pitch < static_cast<std::ptrdiff_t>(view.width * bytesPerPixel(format));
            if (!inView && bytes[offset] != before[offset])
                return ::testing::AssertionFailure() << "byte " << offset << " changed";
        }
        return ::testing::AssertionSuccess();
    }
    Picture(const Picture&) = delete; // the view points into this picture
    Picture& operator=(const Picture&) = delete;
};

// Same-size copies at widths around the vector width: keyed pixels keep the target's, whatever the
// bits outside the colour channels hold in the source or the key, and nothing outside the target
// view changes.
TEST(PixelTransferTest, KeyedCopyOfEveryWidthSkipsOnlyKeyColours)
{
    std::mt19937 rng(7);
    for (const Layout& layout : layouts)
        for (LONG width : {1, 3, 7, 8, 9, 15, 16, 17, 31, 33}) {
            SCOPED_TRACE(::testing::Message() << layout.name << ", " << width << " wide");
            const DWORD bits = layout.format.dwRGBBitCount;
            const DWORD all = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1u;
            const DWORD key = static_cast<DWORD>(rng()) | ~layout.colour; // junk outside the colour bits
            Picture source(layout.format, width, 3, 3, rng), target(layout.format, width, 3, 5, rng);
            for (LONG y = 0; y < 3; ++y)
                for (LONG x = 0; x < width; ++x)
                    if (rng() % 3 == 0)
                        source.set(x, y, ((key & layout.colour) | (static_cast<DWORD>(rng()) & ~layout.colour)) & all);
            const std::vector<BYTE> sourceBefore = source.bytes, targetBefore = target.bytes;
            std::vector<DWORD> expected;
            for (LONG y = 0; y < 3; ++y)
                for (LONG x = 0; x < width; ++x) {
                    const DWORD s = source.pixel(x, y);
                    expected.push_back((s & layout.colour) == (key & layout.colour) ? target.pixel(x, y) : s);
                }

            compat::ddraw::transferPixels(source.view, target.view, &key);

            std::size_t i = 0;
            for (LONG y = 0; y < 3; ++y)
                for (LONG x = 0; x < width; ++x)
                    ASSERT_EQ(expected[i++], target.pixel(x, y)) << x << "," << y;
            EXPECT_EQ(sourceBefore, source.bytes);
            EXPECT_TRUE(target.outsideUnchanged(targetBefore));
        }
}

// Nearest-pixel stretches, growing and shrinking, with a key: target (x, y) shows source
// (x * sw / tw, y * sh / th) unless that pixel is keyed.
TEST(PixelTransferTest, StretchPicksNearestPixelsAndSkipsKeyed)
{
    struct Stretch {
        LONG sw, sh, tw, th;
        std::vector<LONG> columns, rows;
    } stretches[] = {
        {3, 2, 5, 3, {0, 0, 1, 1, 2}, {0, 0, 1}},
        {5, 3, 3, 2, {0, 1, 3}, {0, 1}},
        {4, 1, 4, 3, {0, 1, 2, 3}, {0, 0, 0}},
    };
    const DDPIXELFORMAT f = rgb(32, 0xFF0000, 0xFF00, 0xFF);
    const DWORD key = 0x00FF00FF;
    std::mt19937 rng(3);
    for (const Stretch& s : stretches) {
        SCOPED_TRACE(::testing::Message() << s.sw << "x" << s.sh << " to " << s.tw << "x" << s.th);
        Picture source(f, s.sw, s.sh, 4, rng), target(f, s.tw, s.th, 4, rng);
        source.set(1, 0, 0xAA000000u | key); // keyed: junk outside the colour bits does not matter
        std::vector<DWORD> expected;
        for (LONG y = 0; y < s.th; ++y)
            for (LONG x = 0; x < s.tw; ++x) {
                const LONG sx = s.columns[static_cast<std::size_t>(x)], sy = s.rows[static_cast<std::size_t>(y)];
                expected.push_back(sx == 1 && sy == 0 ? target.pixel(x, y) : source.pixel(sx, sy));
            }
        compat::ddraw::transferPixels(source.view, target.view, &key);
        std::size_t i = 0;
        for (LONG y = 0; y < s.th; ++y)
            for (LONG x = 0; x < s.tw; ++x)
                EXPECT_EQ(expected[i++], target.pixel(x, y)) << x << "," << y;
    }
}

// Fills of every depth cover exactly the view, whatever the width's remainder.
TEST(PixelTransferTest, FillCoversExactlyTheView)
{
    std::mt19937 rng(5);
    for (const Layout& layout : layouts)
        for (LONG width : {1, 5, 16, 17, 33, 70}) {
            SCOPED_TRACE(::testing::Message() << layout.name << ", " << width << " wide");
            Picture target(layout.format, width, 2, 3, rng);
            const std::vector<BYTE> before = target.bytes;
            const DWORD value = 0x87654321;
            compat::ddraw::fillPixels(target.view, value);
            const DWORD bits = layout.format.dwRGBBitCount;
            const DWORD expected = bits == 32 ? value : value & ((1u << bits) - 1u);
            EXPECT_TRUE(target.outsideUnchanged(before));
            for (LONG y = 0; y < 2; ++y)
                for (LONG x = 0; x < width; ++x)
                    ASSERT_EQ(expected, target.pixel(x, y)) << x << "," << y;
        }
}

} // namespace
