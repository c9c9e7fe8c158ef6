#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/image/decode/PLAutoDecoder.h"
#include "platform/image/decode/PLBmpReader.h"
#include "platform/image/bitmap/PLDibBitmap.h"
#include "platform/image/source/PLMemorySource.h"
#include "platform/image/PLTextException.h"
#include "support/ImageFixtures.h"

namespace {

using testsupport::BmpSpec;
using testsupport::Bytes;
using testsupport::makeBmp;

void decode(const Bytes& bytes, PLBitmap& bmp)
{
    PLAutoDecoder decoder;
    decoder.makeBmpFromMemory(bytes.data(), static_cast<int>(bytes.size()), bmp);
}

PLPixel32 pixelAt(const PLBitmap& bmp, int x, int y)
{
    PLPixel32 pixel;
    std::memcpy(&pixel, bmp.getLineArray()[y] + 4 * x, 4);
    return pixel;
}

std::vector<int> indices(const PLBitmap& bmp, int y)
{
    return std::vector<int>(bmp.getLineArray()[y], bmp.getLineArray()[y] + bmp.getWidth());
}

::testing::AssertionResult isColour(PLPixel32 pixel, int b, int g, int r, int a)
{
    if (pixel.b == b && pixel.g == g && pixel.r == r && pixel.a == a)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel is (" << int(pixel.b) << "," << int(pixel.g) << "," << int(pixel.r)
                                         << "," << int(pixel.a) << ")";
}

TEST(ImageBmp, PalettedDepths)
{
    // 1 bit, width 10: two bytes of pixels and two of padding per row; rows bottom-up.
    BmpSpec mono;
    mono.width = 10;
    mono.height = 2;
    mono.bits = 1;
    mono.palette = {10, 20, 30, 40, 50, 60};
    mono.pixels = {0xF0, 0x40, 0xEE, 0xEE, // bottom row
                   0x81, 0x80, 0xEE, 0xEE};
    PLDibBitmap bmp;
    decode(makeBmp(mono), bmp);
    ASSERT_EQ(bmp.getBitsPerPixel(), 8);
    EXPECT_EQ(indices(bmp, 0), (std::vector<int>{1, 0, 0, 0, 0, 0, 0, 1, 1, 0}));
    EXPECT_EQ(indices(bmp, 1), (std::vector<int>{1, 1, 1, 1, 0, 0, 0, 0, 0, 1}));
    EXPECT_TRUE(isColour(bmp.getPalette()[1], 40, 50, 60, 255));

    // 4 bits: high nibble first.
    BmpSpec nibbles;
    nibbles.width = 3;
    nibbles.height = 1;
    nibbles.bits = 4;
    nibbles.coloursUsed = 1;
    nibbles.palette = {0, 0, 0};
    nibbles.pixels = {0x3C, 0x70, 0, 0};
    decode(makeBmp(nibbles), bmp);
    EXPECT_EQ(indices(bmp, 0), (std::vector<int>{3, 12, 7}));

    // 8 bits with 16 colours used: the pixels follow the short palette.
    BmpSpec eight;
    eight.width = 2;
    eight.height = 1;
    eight.bits = 8;
    eight.coloursUsed = 16;
    for (int i = 0; i < 16; ++i)
        eight.palette.insert(eight.palette.end(), {std::uint8_t(i), std::uint8_t(2 * i), std::uint8_t(3 * i)});
    eight.pixels = {15, 200, 0, 0};
    decode(makeBmp(eight), bmp);
    EXPECT_EQ(indices(bmp, 0), (std::vector<int>{15, 200}));
    EXPECT_TRUE(isColour(bmp.getPalette()[15], 15, 30, 45, 255));
    EXPECT_TRUE(isColour(bmp.getPalette()[200], 200, 200, 200, 255)); // beyond the file's colours
}

TEST(ImageBmp, TrueColourDepths)
{
    PLDibBitmap bmp;
    // 24 bits, width 3: 9 bytes and 3 of padding per row; alpha becomes 255.
    BmpSpec rgb;
    rgb.width = 3;
    rgb.height = 2;
    rgb.bits = 24;
    rgb.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0xEE, 0xEE, 0xEE};
    decode(makeBmp(rgb), bmp);
    ASSERT_EQ(bmp.getBitsPerPixel(), 32);
    EXPECT_FALSE(bmp.hasAlpha());
    EXPECT_TRUE(isColour(pixelAt(bmp, 0, 0), 11, 12, 13, 255));
    EXPECT_TRUE(isColour(pixelAt(bmp, 2, 1), 7, 8, 9, 255));

    // 32 bits keep their fourth byte as alpha.
    BmpSpec rgba;
    rgba.width = 1;
    rgba.height = 1;
    rgba.bits = 32;
    rgba.pixels = {1, 2, 3, 4};
    decode(makeBmp(rgba), bmp);
    EXPECT_TRUE(bmp.hasAlpha());
    EXPECT_TRUE(isColour(pixelAt(bmp, 0, 0), 1, 2, 3, 4));

    // 16 bits: 5-5-5 without compression, 5-6-5 with bit fields unless green is 0x3E0.
    struct Case {
        std::uint32_t compression;
        std::vector<std::uint32_t> masks;
        std::uint16_t value;
        int b, g, r;
    } cases[] = {
        {0, {}, 0x7FFF, 0xF8, 0xF8, 0xF8},
        {0, {}, 0x7C1F, 0xF8, 0x00, 0xF8},
        {3, {0xF800, 0x07E0, 0x001F}, 0xF800, 0x00, 0x00, 0xF8},
        {3, {0xF800, 0x07E0, 0x001F}, 0x07E0, 0x00, 0xF8, 0x00},
        {3, {0x7C00, 0x03E0, 0x001F}, 0x03E0, 0x00, 0xF8, 0x00},
    };
    for (const Case& c : cases) {
        BmpSpec high;
        high.width = 1;
        high.height = 1;
        high.bits = 16;
        high.compression = c.compression;
        high.masks = c.masks;
        high.pixels = {std::uint8_t(c.value), std::uint8_t(c.value >> 8), 0, 0};
        decode(makeBmp(high), bmp);
        EXPECT_TRUE(isColour(pixelAt(bmp, 0, 0), c.b, c.g, c.r, 255)) << std::hex << c.value;
    }

    // 15 bits per pixel are stored in two bytes: rows of width 38 take 76 bytes.
    BmpSpec fifteen;
    fifteen.width = 38;
    fifteen.height = 2;
    fifteen.bits = 15;
    fifteen.pixels.assign(76, 0);
    fifteen.pixels.insert(fifteen.pixels.end(), 76, 0xFF);
    fifteen.pixels[75] = 0x7C; // last pixel of the bottom row: red
    decode(makeBmp(fifteen), bmp);
    EXPECT_TRUE(isColour(pixelAt(bmp, 37, 1), 0, 0, 0xF8, 255));
    EXPECT_TRUE(isColour(pixelAt(bmp, 0, 0), 0xF8, 0xF8, 0xF8, 255));
}

TEST(ImageBmp, CoreHeaderHonoursTheDataOffset)
{
    BmpSpec core;
    core.coreHeader = true;
    core.width = 2;
    core.height = 1;
    core.bits = 1;
    core.palette = {1, 2, 3, 4, 5, 6};
    core.pixels = {0x40, 0, 0, 0};
    Bytes bytes = makeBmp(core);
    // Move the pixels 5 bytes further and say so in the data offset.
    bytes.insert(bytes.begin() + 14 + 12 + 6, 5, 0xEE);
    bytes[10] = static_cast<std::uint8_t>(bytes[10] + 5);
    PLDibBitmap bmp;
    decode(bytes, bmp);
    EXPECT_EQ(indices(bmp, 0), (std::vector<int>{0, 1}));
    EXPECT_TRUE(isColour(bmp.getPalette()[1], 4, 5, 6, 255));
    EXPECT_EQ(bmp.getXResolution(), 150);
}

std::uint32_t dataOffsetOf(const Bytes& bytes)
{
    return bytes[10] | (bytes[11] << 8) | (bytes[12] << 16) | (std::uint32_t(bytes[13]) << 24);
}

void setDataOffset(Bytes& bytes, std::uint32_t offset)
{
    for (int i = 0; i < 4; ++i)
        bytes[10 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(offset >> (8 * i));
}

// Puts `gap` filler bytes between the palette and the pixels and says so in the data offset.
Bytes withGap(const BmpSpec& spec, int gap)
{
    Bytes bytes = makeBmp(spec);
    std::uint32_t offset = dataOffsetOf(bytes);
    bytes.insert(bytes.begin() + offset, static_cast<std::size_t>(gap), 0xEE);
    setDataOffset(bytes, offset + static_cast<std::uint32_t>(gap));
    return bytes;
}

TEST(ImageBmp, InfoHeadersHonourTheDataOffset)
{
    // A 24-bit file carrying a 16-entry colour table before its pixels.
    BmpSpec tabled;
    tabled.width = 2;
    tabled.height = 1;
    tabled.bits = 24;
    tabled.coloursUsed = 16;
    tabled.palette.assign(16 * 3, 0x77);
    tabled.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
    // A 16-bit 5-6-5 file: masks, a colour table, then the pixels.
    BmpSpec masked;
    masked.width = 1;
    masked.height = 1;
    masked.bits = 16;
    masked.compression = 3;
    masked.masks = {0xF800, 0x07E0, 0x001F};
    masked.coloursUsed = 4;
    masked.palette.assign(4 * 3, 0x77);
    masked.pixels = {0x00, 0xF8, 0, 0};
    // An 8-bit file whose pixels start 100 bytes after its palette.
    BmpSpec paletted;
    paletted.width = 3;
    paletted.height = 1;
    paletted.bits = 8;
    paletted.coloursUsed = 2;
    paletted.palette = {0, 0, 0, 9, 9, 9};
    paletted.pixels = {1, 0, 1, 0};
    // A 124-byte header with a gap of 6 bytes after it.
    BmpSpec later = tabled;
    later.infoHeaderSize = 124;
    later.coloursUsed = 0;
    later.palette.clear();

    PLDibBitmap bmp;
    decode(makeBmp(tabled), bmp);
    EXPECT_TRUE(isColour(pixelAt(bmp, 0, 0), 1, 2, 3, 255));
    EXPECT_TRUE(isColour(pixelAt(bmp, 1, 0), 4, 5, 6, 255));
    decode(makeBmp(masked), bmp);
    EXPECT_TRUE(isColour(pixelAt(bmp, 0, 0), 0, 0, 0xF8, 255));
    decode(withGap(paletted, 100), bmp);
    EXPECT_EQ(indices(bmp, 0), (std::vector<int>{1, 0, 1}));
    decode(withGap(later, 6), bmp);
    EXPECT_TRUE(isColour(pixelAt(bmp, 1, 0), 4, 5, 6, 255));

    // An offset inside what was read, or past the end of the file, is not trusted: the pixels are
    // taken to follow the palette.
    for (std::uint32_t offset : {0u, 20u, 100000u}) {
        Bytes bytes = makeBmp(paletted);
        setDataOffset(bytes, offset);
        decode(bytes, bmp);
        EXPECT_EQ(indices(bmp, 0), (std::vector<int>{1, 0, 1})) << offset;
    }
    // An offset that leaves too few bytes for the rows is a truncated file.
    Bytes shortened = withGap(tabled, 4);
    shortened.resize(shortened.size() - 1);
    EXPECT_THROW(decode(shortened, bmp), PLTextException);
}

TEST(ImageBmp, LaterHeaderVersionsAndArrays)
{
    PLDibBitmap bmp;
    // A 124-byte header: the palette has 4-byte entries like the 40-byte one.
    BmpSpec v5;
    v5.infoHeaderSize = 124;
    v5.width = 1;
    v5.height = 1;
    v5.bits = 8;
    v5.coloursUsed = 2;
    v5.palette = {1, 2, 3, 7, 8, 9};
    v5.pixels = {1, 0, 0, 0};
    decode(makeBmp(v5), bmp);
    EXPECT_EQ(bmp.getLineArray()[0][0], 1);
    EXPECT_TRUE(isColour(bmp.getPalette()[1], 7, 8, 9, 255));

    // A 108-byte header holds the bit-field masks itself.
    BmpSpec v4;
    v4.infoHeaderSize = 108;
    v4.width = 1;
    v4.height = 1;
    v4.bits = 16;
    v4.compression = 3;
    v4.masks = {0xF800, 0x07E0, 0x001F};
    v4.pixels = {0xE0, 0x07, 0, 0};
    decode(makeBmp(v4), bmp);
    EXPECT_TRUE(isColour(pixelAt(bmp, 0, 0), 0, 0xF8, 0, 255));

    // A bitmap array: its 14-byte headers come first.
    BmpSpec plain;
    plain.width = 1;
    plain.height = 1;
    plain.bits = 24;
    plain.pelsPerMeter = 3780;
    plain.pixels = {9, 8, 7, 0};
    Bytes array = {'B', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Bytes file = makeBmp(plain);
    array.insert(array.end(), file.begin(), file.end());
    decode(array, bmp);
    EXPECT_TRUE(isColour(pixelAt(bmp, 0, 0), 9, 8, 7, 255));
    EXPECT_EQ(bmp.getXResolution(), 96);
    EXPECT_EQ(bmp.getYResolution(), 96);
}

BmpSpec runLength(int bits, int width, int height, Bytes stream)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bits = bits;
    spec.compression = bits == 8 ? 1 : 2;
    spec.coloursUsed = 1;
    spec.palette = {0, 0, 0};
    spec.pixels = std::move(stream);
    return spec;
}

TEST(ImageBmp, RunLengthEightBits)
{
    PLDibBitmap bmp;
    // Bottom row: a run of 3 and an odd absolute run of 3 (one padding byte); end of line.
    // Next row: a run of 2, then end of bitmap, so the top row stays as created.
    decode(makeBmp(runLength(8, 6, 3, {3, 7, 0, 3, 1, 2, 3, 0xEE, 0, 0, 2, 9, 0, 1})), bmp);
    EXPECT_EQ(indices(bmp, 2), (std::vector<int>{7, 7, 7, 1, 2, 3}));
    EXPECT_EQ(indices(bmp, 1), (std::vector<int>{9, 9, 0, 0, 0, 0}));
    EXPECT_EQ(indices(bmp, 0), (std::vector<int>{0, 0, 0, 0, 0, 0}));
}

TEST(ImageBmp, RunLengthFourBits)
{
    PLDibBitmap bmp;
    // A run of 5 alternating nibbles 1 and 2; an absolute run of 3 pixels in 2 bytes (already even).
    decode(makeBmp(runLength(4, 8, 1, {5, 0x12, 0, 3, 0xAB, 0xC0, 0, 1})), bmp);
    EXPECT_EQ(indices(bmp, 0), (std::vector<int>{1, 2, 1, 2, 1, 0xA, 0xB, 0xC}));
    // An absolute run of 5 pixels takes 3 bytes and one byte of padding.
    decode(makeBmp(runLength(4, 6, 1, {0, 5, 0x12, 0x34, 0x50, 0xEE, 1, 0xF0, 0, 1})), bmp);
    EXPECT_EQ(indices(bmp, 0), (std::vector<int>{1, 2, 3, 4, 5, 0xF}));
}

TEST(ImageBmp, HostileRunsStayInsideTheBitmap)
{
    PLDibBitmap bmp;
    // Runs and absolute runs far wider than the bitmap, and more lines than it has, with no end mark.
    Bytes stream = {255, 4, 0, 200};
    stream.insert(stream.end(), 200, 6);
    stream.insert(stream.end(), {0, 0, 255, 5, 0, 0, 0, 0, 0, 0, 0, 0, 255, 8});
    decode(makeBmp(runLength(8, 3, 2, stream)), bmp);
    EXPECT_EQ(indices(bmp, 1), (std::vector<int>{4, 4, 4}));
    EXPECT_EQ(indices(bmp, 0), (std::vector<int>{5, 5, 5}));

    decode(makeBmp(runLength(4, 2, 1, {0, 5, 0x12, 0x34, 0x50, 0, 255, 0x77, 0, 0})), bmp);
    EXPECT_EQ(indices(bmp, 0), (std::vector<int>{1, 2}));
}

struct Damage {
    const char* name;
    Bytes bytes;
    int code;
    const char* text;
};

Bytes withHeaderWord(BmpSpec spec, std::size_t offset, std::uint32_t value)
{
    Bytes bytes = makeBmp(spec);
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

BmpSpec smallRgb()
{
    BmpSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.bits = 24;
    spec.pixels.assign(16, 0x55);
    return spec;
}

TEST(ImageBmp, DamagedFilesAreRefused)
{
    const char* endOfFile = "End of file reached while decoding.\n";
    Bytes truncated = makeBmp(smallRgb());
    truncated.resize(truncated.size() - 1);
    Bytes shortHeader = makeBmp(smallRgb());
    shortHeader.resize(30);
    BmpSpec coreSpec;
    coreSpec.coreHeader = true;
    coreSpec.bits = 24;
    coreSpec.pixels = {1, 2, 3, 0};
    Bytes badOffset = makeBmp(coreSpec);
    badOffset[10] = 4;
    BmpSpec palettedSpec;
    palettedSpec.bits = 8;
    palettedSpec.coloursUsed = 1;
    palettedSpec.palette = {0, 0, 0};
    palettedSpec.pixels = {0, 0, 0, 0};

    BmpSpec absurdArea = smallRgb();
    absurdArea.width = 16384;
    absurdArea.height = 16384;
    BmpSpec tooFewRows = smallRgb();
    tooFewRows.width = 4000;
    tooFewRows.height = 4000;

    const Damage cases[] = {
        {"truncated pixels", truncated, 11, endOfFile},
        {"truncated header", shortHeader, 11, endOfFile},
        {"illegal depth", withHeaderWord(smallRgb(), 28, 7), 2, "Decoding bmp: Illegal bpp value."},
        {"top-down", withHeaderWord(smallRgb(), 22, static_cast<std::uint32_t>(-2)), 2,
         "Decoding bmp: Illegal image size."},
        {"zero width", withHeaderWord(smallRgb(), 18, 0), 2, "Decoding bmp: Illegal image size."},
        {"absurd width", withHeaderWord(smallRgb(), 18, 100000), 2, "Decoding bmp: Illegal image size."},
        {"absurd area", makeBmp(absurdArea), 2, "Decoding bmp: Illegal image size."},
        {"fewer bytes than rows", makeBmp(tooFewRows), 11, endOfFile},
        {"negative core gap", badOffset, 2, "Decoding bmp: Illegal data offset."},
        {"short info header", withHeaderWord(smallRgb(), 14, 20), 2, "Decoding bmp: Illegal header size."},
        {"huge header", withHeaderWord(smallRgb(), 14, 0xFFFFFFF0u), 11, endOfFile},
        {"huge palette", withHeaderWord(palettedSpec, 46, 0xFFFFFFFFu), 11, endOfFile},
        {"run without end", makeBmp(runLength(8, 4, 4, {2, 1, 0, 0})), 11, endOfFile},
        {"delta escape", makeBmp(runLength(8, 4, 4, {0, 2, 1, 1, 0, 1})), 6, "Encountered delta escape."},
    };
    for (const Damage& damage : cases) {
        PLDibBitmap bmp;
        try {
            decode(damage.bytes, bmp);
            ADD_FAILURE() << damage.name << " was decoded";
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.getCode(), damage.code) << damage.name;
            EXPECT_STREQ(e.getText(), damage.text) << damage.name;
        }
    }
}

TEST(ImageBmp, LongPalettesAreCutTo256)
{
    BmpSpec spec;
    spec.bits = 8;
    spec.coloursUsed = 300;
    for (int i = 0; i < 300; ++i)
        spec.palette.insert(spec.palette.end(), {std::uint8_t(i), 0, 0});
    spec.pixels = {255, 0, 0, 0};
    PLDibBitmap bmp;
    decode(makeBmp(spec), bmp);
    EXPECT_EQ(bmp.getLineArray()[0][0], 255);
    EXPECT_TRUE(isColour(bmp.getPalette()[255], 255, 0, 0, 255));
}

TEST(ImageBmp, ReaderRefusesOtherData)
{
    Bytes text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!', '!', '!', '!'};
    PLMemorySource source;
    ASSERT_EQ(source.open(text.data(), static_cast<int>(text.size())), 0);
    PLBmpReader reader;
    PLDibBitmap bmp;
    try {
        reader.decode(bmp, source);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.getCode(), 1);
        EXPECT_STREQ(e.getText(), "Bitmap decoder: This isn't a bitmap.");
    }
}

} // namespace
