#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/image/decode/PLAutoDecoder.h"
#include "platform/image/bitmap/PLDibBitmap.h"
#include "platform/image/PLTextException.h"
#include "support/ImageFixtures.h"

namespace {

using testsupport::Bytes;
using testsupport::encodeJpeg;

void decode(const Bytes& bytes, PLBitmap& bmp)
{
    PLAutoDecoder decoder;
    decoder.makeBmpFromMemory(bytes.data(), static_cast<int>(bytes.size()), bmp);
}

// Exact JPEG pixels depend on the library; values are compared within a tolerance.
TEST(ImageJpeg, ColourDecodesToBlueGreenRed)
{
    const int width = 24;
    const int height = 16;
    Bytes pixels;
    for (int i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), {200, 100, 30});
    PLDibBitmap bmp;
    decode(encodeJpeg(width, height, 3, pixels, 95, 300), bmp);
    ASSERT_EQ(bmp.getBitsPerPixel(), 32);
    EXPECT_EQ(bmp.getWidth(), width);
    EXPECT_EQ(bmp.getHeight(), height);
    EXPECT_FALSE(bmp.hasAlpha());
    const std::uint8_t* pixel = bmp.getLineArray()[height - 1] + 4 * (width - 1);
    EXPECT_NEAR(pixel[0], 30, 6);
    EXPECT_NEAR(pixel[1], 100, 6);
    EXPECT_NEAR(pixel[2], 200, 6);
    EXPECT_EQ(pixel[3], 255);
    EXPECT_EQ(bmp.getXResolution(), 300);
    EXPECT_EQ(bmp.getYResolution(), 300);
}

TEST(ImageJpeg, GreyDecodesToIndicesOverTheGreyRamp)
{
    Bytes pixels;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            pixels.push_back(static_cast<std::uint8_t>(x < 8 ? 40 : 220));
    PLDibBitmap bmp;
    decode(encodeJpeg(16, 8, 1, pixels, 95), bmp);
    ASSERT_EQ(bmp.getBitsPerPixel(), 8);
    EXPECT_NEAR(bmp.getLineArray()[3][2], 40, 6);
    EXPECT_NEAR(bmp.getLineArray()[3][13], 220, 6);
    EXPECT_EQ(bmp.getPalette()[123].r, 123);
    // Without a density in the file the resolution is 72.
    EXPECT_EQ(bmp.getXResolution(), 72);
}

TEST(ImageJpeg, DamagedFilesAreRefused)
{
    Bytes good = encodeJpeg(16, 16, 3, testsupport::naturalRgb(16, 16), 90);
    Bytes headerOnly(good.begin(), good.begin() + 20);
    // A frame header that says the image has no lines.
    Bytes noLines = good;
    for (std::size_t i = 0; i + 1 < noLines.size(); ++i) {
        if (noLines[i] == 0xFF && noLines[i + 1] == 0xC0) {
            noLines[i + 5] = 0;
            noLines[i + 6] = 0;
            break;
        }
    }
    for (const Bytes& bytes : {headerOnly, noLines}) {
        PLDibBitmap bmp;
        try {
            decode(bytes, bmp);
            ADD_FAILURE() << "decoded";
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.getCode(), 6);
            std::size_t length = std::strlen(e.getText());
            ASSERT_GT(length, 1u);
            EXPECT_EQ(e.getText()[length - 1], '\n');
        }
    }
    // Data cut inside the scan ends early with what was decoded, as the library does.
    Bytes cut(good.begin(), good.end() - 40);
    PLDibBitmap bmp;
    decode(cut, bmp);
    EXPECT_EQ(bmp.getWidth(), 16);
}

} // namespace
