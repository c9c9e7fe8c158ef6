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
