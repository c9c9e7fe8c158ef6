#include <gtest/gtest.h>

#include <cstring>
#include <vector>
#include <zlib.h>

#include "platform/image/decode/PLAutoDecoder.h"
#include "platform/image/bitmap/PLDibBitmap.h"
#include "platform/image/PLTextException.h"
#include "support/ImageFixtures.h"

namespace {

using testsupport::Bytes;
using testsupport::encodePng;
using testsupport::PngSpec;

void decode(const Bytes& bytes, PLBitmap& bmp, int bpp = 0)
{
    PLAutoDecoder decoder;
    decoder.makeBmpFromMemory(bytes.data(), static_cast<int>(bytes.size()), bmp, bpp);
}

std::vector<int> lineBytes(const PLBitmap& bmp, int y, int count)
{
    return std::vector<int>(bmp.getLineArray()[y], bmp.getLineArray()[y] + count);
}

PngSpec spec(int width, int height, int colourType, int bitDepth, Bytes rows)
{
    PngSpec result;
    result.width = width;
    result.height = height;
    result.colourType = colourType;
    result.bitDepth = bitDepth;
    result.rows = std::move(rows);
    return result;
}

TEST(ImagePng, ColourTypesDecodeToBlueGreenRedAlpha)
{
    struct Case {
        const char* name;
        PngSpec png;
        bool alpha;
        std::vector<int> firstPixels; // blue, green, red, alpha/filler of pixels 0 and 1
    } cases[] = {
        {"rgb", spec(2, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 40, 50, 60}), false,
         {30, 20, 10, 255, 60, 50, 40, 255}},
        {"rgba", spec(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 20, 30, 1, 40, 50, 60, 2}), true,
         {30, 20, 10, 1, 60, 50, 40, 2}},
        {"grey alpha", spec(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {90, 7, 200, 8}), true,
         {90, 90, 90, 7, 200, 200, 200, 8}},
        {"rgb 16", spec(2, 1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0xFF, 0x34, 0, 0x56, 0, 0xAB, 0, 0xCD, 0, 0xEF, 0}), false,
         {0x56, 0x34, 0x12, 255, 0xEF, 0xCD, 0xAB, 255}},
        {"rgba 16", spec(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {1, 0, 2, 0, 3, 0, 4, 0}), true, {3, 2, 1, 4}},
    };
    for (const Case& c : cases) {
        PLDibBitmap bmp;
        try {
            decode(encodePng(c.png), bmp);
        } catch (const PLTextException& e) {
            ADD_FAILURE() << c.name << ": " << e.getText();
            continue;
        }
        EXPECT_EQ(bmp.getBitsPerPixel(), 32) << c.name;
        EXPECT_EQ(bmp.hasAlpha(), c.alpha) << c.name;
        EXPECT_EQ(lineBytes(bmp, 0, static_cast<int>(c.firstPixels.size())), c.firstPixels) << c.name;
    }
}

TEST(ImagePng, PaletteAndGreyDecodeToIndices)
{
    PLDibBitmap bmp;
    PngSpec paletted = spec(3, 2, PNG_COLOR_TYPE_PALETTE, 4, {0x01, 0x20, 0x21, 0x00});
    paletted.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    decode(encodePng(paletted), bmp);
    ASSERT_EQ(bmp.getBitsPerPixel(), 8);
    EXPECT_EQ(lineBytes(bmp, 0, 3), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(lineBytes(bmp, 1, 3), (std::vector<int>{2, 1, 0}));
    const PLPixel32& red = bmp.getPalette()[0];
    EXPECT_TRUE(red.r == 255 && red.g == 0 && red.b == 0 && red.a == 255);

    // Grey of depth 2: unpacked indices over the ramp 0, 85, 170, 255.
    decode(encodePng(spec(4, 1, PNG_COLOR_TYPE_GRAY, 2, {0x1B})), bmp);
    EXPECT_EQ(lineBytes(bmp, 0, 4), (std::vector<int>{0, 1, 2, 3}));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(bmp.getPalette()[i].g, i * 85);

    // Grey of 16 bits keeps the high byte.
    decode(encodePng(spec(2, 1, PNG_COLOR_TYPE_GRAY, 16, {0x80, 0xFF, 0x07, 0x00})), bmp);
    EXPECT_EQ(lineBytes(bmp, 0, 2), (std::vector<int>{0x80, 0x07}));
    EXPECT_EQ(bmp.getPalette()[0x80].b, 0x80);
}

TEST(ImagePng, InterlacedImagesAndResolution)
{
    Bytes rows;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            rows.push_back(static_cast<std::uint8_t>(y * 9 + x));
    PngSpec interlaced = spec(9, 9, PNG_COLOR_TYPE_GRAY, 8, rows);
    interlaced.interlaced = true;
    interlaced.pixelsPerMeter = 2835;
    PLDibBitmap bmp;
    decode(encodePng(interlaced), bmp);
    EXPECT_EQ(lineBytes(bmp, 8, 9), std::vector<int>(rows.end() - 9, rows.end()));
    EXPECT_EQ(bmp.getXResolution(), 72);
    EXPECT_EQ(bmp.getYResolution(), 72);

    decode(encodePng(spec(1, 1, PNG_COLOR_TYPE_GRAY, 8, {0})), bmp);
    EXPECT_EQ(bmp.getXResolution(), 0);
}

TEST(ImagePng, RequestedDepthConvertsUpOrFails)
{
    PngSpec grey = spec(1, 1, PNG_COLOR_TYPE_GRAY, 8, {77});
    PLDibBitmap bmp;
    decode(encodePng(grey), bmp, 32);
    ASSERT_EQ(bmp.getBitsPerPixel(), 32);
    EXPECT_EQ(lineBytes(bmp, 0, 4), (std::vector<int>{77, 77, 77, 255}));

    try {
        decode(encodePng(spec(1, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3})), bmp, 8);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.getCode(), 6);
        EXPECT_STREQ(e.getText(), "Image bit depth doesn't match request.");
    }
}

TEST(ImagePng, DamagedFilesAreRefused)
{
    Bytes good = encodePng(spec(8, 8, PNG_COLOR_TYPE_RGB, 8, Bytes(8 * 8 * 3, 100)));
    Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    Bytes badCrc = good;
    badCrc[30] ^= 0xFF; // inside the header chunk
    Bytes huge = encodePng(spec(1, 1, PNG_COLOR_TYPE_GRAY, 8, {0}));
    // Width 100000 in the header, with its checksum made to match so only the size is wrong.
    Bytes wide = huge;
    wide[16] = 0;
    wide[17] = 0x01;
    wide[18] = 0x86;
    wide[19] = 0xA0;
    std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, wide.data() + 12, 17));
    for (int i = 0; i < 4; ++i)
        wide[29 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));

    struct Case {
        const char* name;
        Bytes bytes;
        int code;
    } cases[] = {{"truncated", truncated, 11}, {"bad checksum", badCrc, 2}, {"too wide", wide, 2}};
    for (const Case& c : cases) {
        PLDibBitmap bmp;
        try {
            decode(c.bytes, bmp);
            ADD_FAILURE() << c.name << " was decoded";
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.getCode(), c.code) << c.name << ": " << e.getText();
        }
    }
}

// A decoder writes every line itself, so the bitmap's memory is not cleared first; when decoding stops
// on the way, the lines it never reached must not show what that memory held before.
TEST(ImagePng, AFileThatEndsEarlyLeavesNoOldMemoryInTheBitmap)
{
    const int side = 96;
    Bytes noise(side * side * 3);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>(i * 131 + 7);
    Bytes good = encodePng(spec(side, side, PNG_COLOR_TYPE_RGB, 8, noise));
    Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    for (int round = 0; round < 3; ++round) {
        {
            PLDibBitmap earlier; // its memory goes back to the allocator for the next bitmap
            decode(good, earlier);
        }
        PLDibBitmap bmp;
        EXPECT_THROW(decode(truncated, bmp), PLTextException);
        ASSERT_EQ(bmp.getHeight(), side);
        // Half the file never reaches the last lines.
        std::size_t nonZero = 0;
        for (int y = side - 8; y < side; ++y)
            for (int x = 0; x < bmp.getBytesPerLine(); ++x)
                nonZero += bmp.getLineArray()[y][x] != 0;
        EXPECT_EQ(nonZero, 0u) << "round " << round;
    }
}

} // namespace
