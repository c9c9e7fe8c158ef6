#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "compat/win32/gdi/gdi.h"
#include "platform/image/bitmap/PLDibBitmap.h"
#include "platform/image/bitmap/PLMemBitmap.h"
#include "platform/image/PLTextException.h"

namespace {

// Records the last DIB call made on it.
struct RecordingDC : HDC__ {
    int stretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                      int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) override
    {
        args = {xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight, static_cast<int>(rop)};
        lastBits = bits;
        lastInfo = info;
        return srcHeight;
    }
    int setDIBitsToDevice(int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                          UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage) override
    {
        args = {xDest, yDest, static_cast<int>(width), static_cast<int>(height), xSrc, ySrc,
                static_cast<int>(startScan), static_cast<int>(scanLines)};
        lastBits = bits;
        lastInfo = info;
        return static_cast<int>(scanLines);
    }
    std::vector<int> args;
    const void* lastBits = nullptr;
    const BITMAPINFO* lastInfo = nullptr;
};

PLPixel32 pixel32(const PLBitmap& bmp, int x, int y)
{
    PLPixel32 pixel;
    std::memcpy(&pixel, bmp.getLineArray()[y] + 4 * x, 4);
    return pixel;
}

bool samePixel(PLPixel32 a, PLPixel32 b)
{
    return a.b == b.b && a.g == b.g && a.r == b.r && a.a == b.a;
}

TEST(ImageBitmap, LineSizesAndBlockLayout)
{
    PLDibBitmap dib;
    PLMemBitmap mem;
    dib.create(9, 5, 1, false);
    mem.create(9, 5, 1, false);
    EXPECT_EQ(dib.getBytesPerLine(), 4);
    EXPECT_EQ(mem.getBytesPerLine(), 2);

    dib.create(3, 7, 24, false);
    EXPECT_EQ(dib.getBytesPerLine(), 12);
    EXPECT_EQ(dib.getBlockSize(), 40u + 12u * 7u);
    EXPECT_EQ(dib.getMemUsed(), dib.getBlockSize() + sizeof(PLDibBitmap));
    EXPECT_EQ(PLDibBitmap::calcBlockSize(3, 7, 8), 40u + 1024u + 4u * 7u);

    // Header as GDI reads it; line 0 is the last row of the block.
    const BITMAPINFOHEADER& header = dib.getBitmapInfo()->bmiHeader;
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 3);
    EXPECT_EQ(header.biHeight, 7);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biCompression, BI_RGB);
    EXPECT_EQ(dib.getLineArray()[0], dib.getBits() + 6 * 12);
    EXPECT_EQ(dib.getLineArray()[6], dib.getBits());
}

TEST(ImageBitmap, DefaultsAndGreyPalettes)
{
    PLDibBitmap dib;
    EXPECT_EQ(dib.getWidth(), 16);
    EXPECT_EQ(dib.getHeight(), 16);
    EXPECT_EQ(dib.getBitsPerPixel(), 8);
    EXPECT_EQ(dib.getPaletteMode(), 2);
    EXPECT_EQ(dib.getDitherType(), 0);
    for (int i = 0; i < 256; ++i) {
        const PLPixel32& entry = dib.getPalette()[i];
        ASSERT_TRUE(entry.b == i && entry.g == i && entry.r == i && entry.a == 255) << i;
    }
    PLMemBitmap mono;
    mono.create(4, 4, 1, false);
    EXPECT_TRUE(samePixel(mono.getPalette()[0], {0, 0, 0, 255}));
    EXPECT_TRUE(samePixel(mono.getPalette()[1], {255, 255, 255, 255}));
    mono.create(4, 4, 32, true, 96, 72);
    EXPECT_EQ(mono.getPalette(), nullptr);
    EXPECT_TRUE(mono.hasAlpha());
    EXPECT_EQ(mono.getXResolution(), 96);
    EXPECT_EQ(mono.getYResolution(), 72);
}

TEST(ImageBitmap, ImpossibleShapesAreRefused)
{
    PLDibBitmap dib;
    try {
        dib.create(-1, 4, 8, false);
        FAIL() << "negative width accepted";
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.getCode(), 2);
    }
    try {
        dib.create(1 << 20, 1 << 20, 32, false);
        FAIL() << "huge bitmap accepted";
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.getCode(), 10);
        EXPECT_STREQ(e.getText(), "Out of memory creating bitmap.");
    }
}

TEST(ImageBitmap, ConvertsToTrueColour)
{
    PLMemBitmap source;
    source.create(2, 1, 8, false);
    source.getPalette()[5] = {10, 20, 200, 128};
    source.getLineArray()[0][0] = 5;
    source.getLineArray()[0][1] = 7;
    source.setResolution(300, 200);

    PLDibBitmap target;
    target.createCopy(source, 32);
    EXPECT_EQ(target.getBitsPerPixel(), 32);
    EXPECT_TRUE(samePixel(pixel32(target, 0, 0), {10, 20, 200, 128}));
    EXPECT_TRUE(samePixel(pixel32(target, 1, 0), {7, 7, 7, 255}));
    EXPECT_EQ(target.getXResolution(), 300);
    EXPECT_EQ(target.getYResolution(), 200);

    // 1 bit: a set bit takes entry 1, a clear bit entry 0.
    PLMemBitmap mono;
    mono.create(3, 1, 1, false);
    mono.getPalette()[0] = {1, 2, 3, 255};
    mono.getPalette()[1] = {4, 5, 6, 255};
    mono.getLineArray()[0][0] = 0x40; // pixels 0 1 0
    target.createCopy(mono, 24);
    const std::uint8_t* line = target.getLineArray()[0];
    EXPECT_EQ(std::vector<int>(line, line + 9), (std::vector<int>{1, 2, 3, 4, 5, 6, 1, 2, 3}));

    // 32 to 24 drops alpha; 24 to 32 adds 255.
    PLMemBitmap rgba;
    rgba.create(1, 1, 32, true);
    std::memcpy(rgba.getLineArray()[0], "\x11\x22\x33\x44", 4);
    PLMemBitmap rgb;
    rgb.createCopy(rgba, 24);
    EXPECT_EQ(std::memcmp(rgb.getLineArray()[0], "\x11\x22\x33", 3), 0);
    PLMemBitmap back;
    back.createCopy(rgb, 32);
    EXPECT_TRUE(samePixel(pixel32(back, 0, 0), {0x11, 0x22, 0x33, 255}));
    EXPECT_FALSE(back.hasAlpha());
}

TEST(ImageBitmap, ConvertsToMonochromeAndToIndices)
{
    PLMemBitmap source;
    source.create(9, 1, 32, false);
    for (int x = 0; x < 9; ++x) {
        // Dark where x is even; 0x80 in one channel is already light.
        PLPixel32 pixel = (x % 2 == 0) ? PLPixel32{0x7F, 0x7F, 0x7F, 255} : PLPixel32{0x00, 0x80, 0x00, 255};
        std::memcpy(source.getLineArray()[0] + 4 * x, &pixel, 4);
    }
    PLMemBitmap mono;
    mono.createCopy(source, 1);
    EXPECT_EQ(mono.getLineArray()[0][0], 0xAA);
    EXPECT_EQ(mono.getLineArray()[0][1], 0x80);
    EXPECT_TRUE(samePixel(mono.getPalette()[0], {255, 255, 255, 255}));
    EXPECT_TRUE(samePixel(mono.getPalette()[1], {0, 0, 0, 255}));

    PLDibBitmap indices;
    indices.createCopy(mono, 8);
    EXPECT_EQ(indices.getBitsPerPixel(), 8);
    EXPECT_EQ(indices.getLineArray()[0][0], 1);
    EXPECT_EQ(indices.getLineArray()[0][1], 0);
    EXPECT_EQ(indices.getLineArray()[0][8], 1);
    EXPECT_TRUE(samePixel(indices.getPalette()[1], {0, 0, 0, 255}));
}

TEST(ImageBitmap, CopiesAcrossKindsAndIntoItself)
{
    PLDibBitmap dib;
    dib.create(5, 3, 8, false);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            dib.getLineArray()[y][x] = static_cast<std::uint8_t>(y * 5 + x);
    dib.getPalette()[3] = {9, 8, 7, 255};

    PLMemBitmap mem;
    mem = dib;
    EXPECT_EQ(mem.getWidth(), 5);
    EXPECT_EQ(mem.getLineArray()[2][4], 14);
    EXPECT_TRUE(samePixel(mem.getPalette()[3], {9, 8, 7, 255}));

    dib.createCopy(dib, 32);
    EXPECT_EQ(dib.getBitsPerPixel(), 32);
    EXPECT_TRUE(samePixel(pixel32(dib, 3, 0), {9, 8, 7, 255}));
    EXPECT_TRUE(samePixel(pixel32(dib, 4, 2), {14, 14, 14, 255}));
}

TEST(ImageBitmap, DrawsThroughTheDeviceContext)
{
    PLDibBitmap dib;
    dib.create(40, 100, 8, false);
    RecordingDC dc;

    dib.stretchDraw(&dc, 3, 4, SRCCOPY);
    EXPECT_EQ(dc.args, (std::vector<int>{3, 4, 40, 100, 0, 0, 40, 100, static_cast<int>(SRCCOPY)}));
    EXPECT_EQ(dc.lastBits, dib.getBits());
    EXPECT_EQ(dc.lastInfo, dib.getBitmapInfo());

    dib.drawScaled(&dc, 0, 0, 1.5, SRCCOPY);
    EXPECT_EQ(dc.args[2], 60);
    EXPECT_EQ(dc.args[3], 150);

    // Source rows are counted from the bottom of the block.
    dib.drawPart(&dc, 1, 2, RECT{0, 0, 10, 10});
    EXPECT_EQ(dc.args, (std::vector<int>{1, 2, 10, 10, 0, 90, 0, 100}));
}

TEST(ImageBitmap, GlobalCopyHoldsExactlyTheBlock)
{
    PLDibBitmap dib;
    dib.create(3, 2, 24, false);
    dib.getLineArray()[0][0] = 0x5A;
    HGLOBAL copy = dib.getGlobalCopy();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(GlobalSize(copy), dib.getMemUsed());
    const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(copy));
    EXPECT_EQ(std::memcmp(bytes, dib.getBitmapInfo(), dib.getBlockSize()), 0);
    GlobalUnlock(copy);
    GlobalFree(copy);
}

TEST(ImageBitmap, CreatesFromADib)
{
    PLDibBitmap source;
    source.create(2, 2, 8, false);
    source.getPalette()[1] = {1, 2, 3, 0};
    source.getLineArray()[0][1] = 1;

    PLDibBitmap copy;
    copy.createFromInfo(source.getBitmapInfo());
    EXPECT_EQ(copy.getWidth(), 2);
    EXPECT_EQ(copy.getHeight(), 2);
    EXPECT_EQ(copy.getLineArray()[0][1], 1);
    EXPECT_TRUE(samePixel(copy.getPalette()[1], {1, 2, 3, 0}));

    // Without resources in this build, loading one fails with the open code.
    try {
        copy.loadResource(nullptr, 130);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.getCode(), 4);
    }
    EXPECT_EQ(copy.getWidth(), 2);
}

} // namespace
