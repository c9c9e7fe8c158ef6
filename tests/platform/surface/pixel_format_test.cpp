#include "platform/surface/PixelFormat.h"
#include "platform/surface/SurfaceDesc.h"

#include <gtest/gtest.h>

namespace {

struct FormatCase {
    const char* name;
    std::uint32_t alpha, red, green, blue, bits;
    std::int32_t code;
    std::int32_t losses[4]; // alpha, red, green, blue
    std::int32_t shifts[4];
};

const FormatCase formatCases[] = {
    {"5-5-5", 0, 0x7C00, 0x03E0, 0x001F, 16, 0, {8, 3, 3, 3}, {0, 10, 5, 0}},
    {"5-5-5 with alpha bit", 0x8000, 0x7C00, 0x03E0, 0x001F, 16, 0, {7, 3, 3, 3}, {15, 10, 5, 0}},
    {"5-6-5", 0, 0xF800, 0x07E0, 0x001F, 16, 1, {8, 3, 2, 3}, {0, 11, 5, 0}},
    {"odd 16-bit masks", 0, 0x7C00, 0x03E0, 0x003E, 16, 2, {8, 3, 3, 3}, {0, 10, 5, 1}},
    {"R8G8B8", 0, 0xFF0000, 0xFF00, 0xFF, 24, 3, {8, 0, 0, 0}, {0, 16, 8, 0}},
    {"X8R8G8B8", 0, 0xFF0000, 0xFF00, 0xFF, 32, 4, {8, 0, 0, 0}, {0, 16, 8, 0}},
    {"A8R8G8B8", 0xFF000000, 0xFF0000, 0xFF00, 0xFF, 32, 4, {0, 0, 0, 0}, {24, 16, 8, 0}},
    {"byte map", 0xFF, 0xFF, 0xFF, 0xFF, 8, 5, {0, 0, 0, 0}, {0, 0, 0, 0}},
    {"all zero", 0, 0, 0, 0, 0, 5, {8, 8, 8, 8}, {0, 0, 0, 0}},
    // A mask with a gap loses every bit position it spans.
    {"gapped mask", 0, 0x0900, 0, 0, 16, 2, {8, 4, 8, 8}, {0, 8, 0, 0}},
};

TEST(PixelFormatTest, SetDerivesLossesShiftsAndCode)
{
    for (const FormatCase& c : formatCases) {
        SCOPED_TRACE(c.name);
        PixelFormat f;
        EXPECT_EQ(c.code, f.set(c.alpha, c.red, c.green, c.blue, c.bits));
        EXPECT_EQ(c.code, f.formatCode);
        EXPECT_EQ(c.bits, f.bitsPerPixel);
        const std::int32_t losses[4] = {f.alphaLoss, f.redLoss, f.greenLoss, f.blueLoss};
        const std::int32_t shifts[4] = {f.alphaShift, f.redShift, f.greenShift, f.blueShift};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(c.losses[i], losses[i]) << "channel " << i;
            EXPECT_EQ(c.shifts[i], shifts[i]) << "channel " << i;
        }
    }
}

TEST(PixelFormatTest, NewFormatIsEmptyWithCodeFive)
{
    PixelFormat f;
    EXPECT_EQ(5, f.formatCode);
    EXPECT_EQ(0u, f.bitsPerPixel);
    std::uint32_t white = 0xFFFFFFFF;
    EXPECT_EQ(0u, f.packPixel(&white));
}

PixelFormat makeFormat(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t bits)
{
    PixelFormat f;
    f.set(a, r, g, b, bits);
    return f;
}

TEST(PixelFormatTest, PackPixelPlacesEachChannel)
{
    const PixelFormat rgb555 = makeFormat(0, 0x7C00, 0x03E0, 0x001F, 16);
    const PixelFormat rgb565 = makeFormat(0, 0xF800, 0x07E0, 0x001F, 16);
    const PixelFormat xrgb = makeFormat(0, 0xFF0000, 0xFF00, 0xFF, 32);
    const PixelFormat argb = makeFormat(0xFF000000, 0xFF0000, 0xFF00, 0xFF, 32);
    const PixelFormat byteMap = makeFormat(0xFF, 0xFF, 0xFF, 0xFF, 8);
    struct {
        const PixelFormat* format;
        std::uint32_t colour;
        std::uint32_t pixel;
    } cases[] = {
        {&rgb565, 0xFF00FF00, 0x07E0},
        {&rgb565, 0x00FF0000, 0xF800},
        {&rgb565, 0xFFFFFFFF, 0xFFFF},
        {&rgb565, 0x00080400, 0x0820}, // the low bits of each channel drop out
        {&rgb555, 0xFF804020, 0x4104},
        {&rgb555, 0x00FFFFFF, 0x7FFF},
        {&xrgb, 0x80123456, 0x00123456}, // no alpha channel: alpha byte drops out
        {&argb, 0x80123456, 0x80123456},
        {&byteMap, 0x10203040, 0x70},   // OR of the four bytes
        {&byteMap, 0xFF00FF00, 0xFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "colour 0x" << c.colour);
        EXPECT_EQ(c.pixel, c.format->packPixel(&c.colour));
    }
}

TEST(SurfaceDescTest, NewDescriptionIsEmpty)
{
    SurfaceDesc d;
    EXPECT_EQ(0u, d.width);
    EXPECT_EQ(0u, d.height);
    EXPECT_EQ(0, d.pitch);
    EXPECT_EQ(0u, d.memoryType);
    EXPECT_EQ(0u, d.kind);
    EXPECT_FALSE(d.hasColorKey());
    EXPECT_EQ(5, d.format.formatCode);
}

TEST(SurfaceDescTest, ColourKeyIsPackedUnderTheCurrentFormatAndRepackedWhenSetAgain)
{
    SurfaceDesc d;
    d.setColorKeyValue(0xFFFF00FF);
    ASSERT_TRUE(d.hasColorKey());
    EXPECT_EQ(0xFFFF00FFu, *d.colorKey);
    EXPECT_EQ(0u, d.nativeColorKey); // all-zero format packs to 0

    d.format.set(0, 0xF800, 0x07E0, 0x001F, 16);
    const std::uint32_t* cell = d.colorKey.get();
    d.setColorKey(d.colorKey.get()); // re-applying its own key must not read a freed cell
    EXPECT_EQ(cell, d.colorKey.get());
    EXPECT_EQ(0xF81Fu, d.nativeColorKey);

    d.setColorKey(nullptr);
    EXPECT_FALSE(d.hasColorKey());
    EXPECT_EQ(0u, d.nativeColorKey);
    d.setColorKey(nullptr); // removing a key that is not there is harmless
    EXPECT_FALSE(d.hasColorKey());
}

TEST(SurfaceDescTest, CopyOwnsItsKeyAndRepacksItUnderTheCopiedFormat)
{
    SurfaceDesc d;
    d.width = 3;
    d.height = 2;
    d.memoryType = SurfaceDesc::VideoMemory;
    d.kind = SurfaceDesc::DirectDrawKind;
    d.setColorKeyValue(0x0000FF00);
    d.format.set(0, 0xF800, 0x07E0, 0x001F, 16); // format changed after the key: the copy repacks
    d.pitch = 8;

    SurfaceDesc copy(d);
    EXPECT_EQ(3u, copy.width);
    EXPECT_EQ(2u, copy.height);
    EXPECT_EQ(8, copy.pitch);
    EXPECT_EQ(2u, copy.memoryType);
    EXPECT_EQ(2u, copy.kind);
    EXPECT_EQ(1, copy.format.formatCode);
    ASSERT_TRUE(copy.hasColorKey());
    EXPECT_NE(d.colorKey.get(), copy.colorKey.get());
    EXPECT_EQ(0x07E0u, copy.nativeColorKey);

    SurfaceDesc assigned;
    assigned = copy;
    EXPECT_EQ(0x07E0u, assigned.nativeColorKey);
    EXPECT_NE(copy.colorKey.get(), assigned.colorKey.get());

    copy.reset();
    EXPECT_FALSE(copy.hasColorKey());
    EXPECT_EQ(0u, copy.width);
    EXPECT_EQ(5, copy.format.formatCode);
    EXPECT_EQ(0u, copy.format.redMask);
}

TEST(SurfaceDescTest, ComputePitch)
{
    struct {
        std::uint32_t width, height, bits;
        HRESULT result;
        std::int32_t pitch;
    } cases[] = {
        {10, 3, 16, S_OK, 20}, {10, 3, 32, S_OK, 40}, {10, 3, 24, E_FAIL, -7},
        {10, 3, 8, E_FAIL, -7}, {0, 3, 32, E_FAIL, -7}, {10, 0, 16, E_FAIL, -7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits);
        SurfaceDesc d;
        d.width = c.width;
        d.height = c.height;
        d.format.set(0, 0, 0, 0, c.bits);
        d.pitch = -7;
        EXPECT_EQ(c.result, d.computePitch());
        EXPECT_EQ(c.pitch, d.pitch);
    }
}

TEST(SurfaceDescTest, UpdateFromDirectDrawDescriptionKeepsKindMemoryAndKey)
{
    SurfaceDesc d;
    d.memoryType = 2;
    d.kind = 2;
    d.setColorKeyValue(0x00FF0000);
    DDSURFACEDESC2 ddsd{};
    ddsd.dwWidth = 7;
    ddsd.dwHeight = 5;
    ddsd.lPitch = 16;
    ddsd.ddpfPixelFormat.dwRGBBitCount = 16;
    ddsd.ddpfPixelFormat.dwRBitMask = 0xF800;
    ddsd.ddpfPixelFormat.dwGBitMask = 0x07E0;
    ddsd.ddpfPixelFormat.dwBBitMask = 0x001F;
    EXPECT_EQ(S_OK, d.updateFromDDSD(ddsd));
    EXPECT_EQ(7u, d.width);
    EXPECT_EQ(5u, d.height);
    EXPECT_EQ(16, d.pitch);
    EXPECT_EQ(1, d.format.formatCode);
    EXPECT_EQ(2u, d.memoryType);
    EXPECT_EQ(2u, d.kind);
    EXPECT_TRUE(d.hasColorKey());

    ddsd.ddpfPixelFormat.dwRGBBitCount = 12; // not a depth we know: recorded as 0
    d.updateFromDDSD(ddsd);
    EXPECT_EQ(0u, d.format.bitsPerPixel);
    EXPECT_EQ(5, d.format.formatCode);
}

} // namespace
