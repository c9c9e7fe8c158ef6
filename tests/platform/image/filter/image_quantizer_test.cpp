#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "platform/image/bitmap/PLMemBitmap.h"
#include "platform/image/filter/PLQuantizer.h"

namespace {

void fill(PLBitmap& bmp, PLPixel32 pixel)
{
    for (int y = 0; y < bmp.getHeight(); ++y)
        for (int x = 0; x < bmp.getWidth(); ++x)
            std::memcpy(bmp.getLineArray()[y] + 4 * x, &pixel, 4);
}

void setPixel(PLBitmap& bmp, int x, int y, PLPixel32 pixel)
{
    std::memcpy(bmp.getLineArray()[y] + 4 * x, &pixel, 4);
}

bool sameColour(const PLPixel32& a, int r, int g, int b)
{
    return a.r == r && a.g == g && a.b == b;
}

TEST(ImageQuantizer, FixedPaletteRows)
{
    const PLPixel32* table = PLQuantizer::fixedPalette();
    // Entries as (first, second, third) bytes = (blue, green, red).
    struct Row {
        int index, first, second, third;
    } rows[] = {{0, 0, 0, 0},       {1, 191, 0, 0},       {9, 166, 202, 240}, {15, 0, 128, 128},
                {16, 0, 81, 0},     {63, 255, 133, 81},   {128, 217, 81, 177}, {224, 217, 255, 255},
                {225, 196, 196, 196}, {244, 253, 253, 253}, {252, 0, 0, 255},   {255, 255, 255, 255}};
    for (const Row& row : rows) {
        const PLPixel32& entry = table[row.index];
        EXPECT_TRUE(entry.b == row.first && entry.g == row.second && entry.r == row.third && entry.a == 0)
            << "entry " << row.index;
    }
}

TEST(ImageQuantizer, DefaultConversionUsesTheFixedPaletteAndNearestColour)
{
    PLMemBitmap source;
    source.create(4, 1, 32, false);
    setPixel(source, 0, 0, {0, 0, 255, 255});   // pure red
    setPixel(source, 1, 0, {0, 0, 250, 255});   // same 15-bit cell as red
    setPixel(source, 2, 0, {130, 130, 130, 255});
    setPixel(source, 3, 0, {1, 1, 1, 255});

    PLMemBitmap target;
    target.createCopy(source, 8);
    ASSERT_EQ(target.getBitsPerPixel(), 8);
    EXPECT_EQ(std::memcmp(target.getPalette(), PLQuantizer::fixedPalette(), 256 * sizeof(PLPixel32)), 0);
    const std::uint8_t* line = target.getLineArray()[0];
    EXPECT_TRUE(sameColour(target.getPalette()[line[0]], 255, 0, 0));
    EXPECT_EQ(line[1], line[0]);
    EXPECT_TRUE(sameColour(target.getPalette()[line[2]], 128, 128, 128));
    EXPECT_EQ(line[3], 0);
}

TEST(ImageQuantizer, ErrorDiffusionMixesNeighbouringGreys)
{
    PLMemBitmap source;
    source.create(16, 16, 32, false);
    // Halfway between the palette's greys 128 and 160.
    fill(source, {144, 144, 144, 255});
    PLMemBitmap plain;
    plain.createCopy(source, 8);
    std::set<int> plainIndices(plain.getLineArray()[5], plain.getLineArray()[5] + 16);
    EXPECT_EQ(plainIndices.size(), 1u);

    PLQuantizer quantizer(PLQuantizer::FixedPalette, PLQuantizer::ErrorDiffusion);
    PLMemBitmap target;
    quantizer.applyInPlace(source, target);
    std::set<int> indices;
    long sums[3] = {0, 0, 0};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            int index = target.getLineArray()[y][x];
            const PLPixel32& colour = target.getPalette()[index];
            indices.insert(index);
            sums[0] += colour.r;
            sums[1] += colour.g;
            sums[2] += colour.b;
        }
    }
    // Several entries, averaging out to the grey.
    EXPECT_GE(indices.size(), 2u);
    for (long sum : sums)
        EXPECT_NEAR(sum / 256.0, 144.0, 4.0);
}

TEST(ImageQuantizer, OrderedDitherVariesAFlatArea)
{
    PLMemBitmap source;
    source.create(8, 8, 32, false);
    fill(source, {144, 144, 144, 255});
    PLQuantizer quantizer(PLQuantizer::FixedPalette, PLQuantizer::OrderedDither);
    PLMemBitmap target;
    quantizer.applyInPlace(source, target);
    std::set<int> indices;
    for (int y = 0; y < 8; ++y)
        indices.insert(target.getLineArray()[y], target.getLineArray()[y] + 8);
    EXPECT_GE(indices.size(), 2u);
}

// Palettes made from the image keep its few colours exactly enough to map each to itself.
TEST(ImageQuantizer, ImagePalettesRepresentTheImageColours)
{
    PLMemBitmap source;
    source.create(30, 10, 32, false);
    const PLPixel32 colours[3] = {{40, 200, 100, 255}, {200, 40, 120, 255}, {90, 90, 10, 255}};
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 30; ++x)
            setPixel(source, x, y, colours[x / 10]);

    for (int mode : {PLQuantizer::MedianCut, PLQuantizer::Popularity}) {
        PLQuantizer quantizer(mode, PLQuantizer::NoDither);
        PLMemBitmap target;
        quantizer.applyInPlace(source, target);
        for (int part = 0; part < 3; ++part) {
            const PLPixel32& chosen = target.getPalette()[target.getLineArray()[4][part * 10 + 5]];
            EXPECT_NEAR(chosen.r, colours[part].r, 8) << "mode " << mode;
            EXPECT_NEAR(chosen.g, colours[part].g, 8) << "mode " << mode;
            EXPECT_NEAR(chosen.b, colours[part].b, 8) << "mode " << mode;
        }
    }
}

TEST(ImageQuantizer, CallersPaletteIsUsedWhenGiven)
{
    PLPixel32 table[256] = {};
    table[7] = {0, 255, 0, 0};
    PLMemBitmap source;
    source.create(2, 2, 32, false);
    fill(source, {10, 240, 10, 255});
    PLQuantizer quantizer(PLQuantizer::UserPalette, PLQuantizer::NoDither);
    quantizer.setUserPalette(table);
    quantizer.apply(source);
    EXPECT_EQ(source.getBitsPerPixel(), 8);
    EXPECT_EQ(source.getLineArray()[1][1], 7);
}

} // namespace
