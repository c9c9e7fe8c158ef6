// Turns a 32-bit bitmap into an 8-bit one with 256 colours. The palette is the fixed one, the
// caller's, or built from the image (median cut or popularity); pixels map to the nearest entry,
// optionally with ordered dithering or error diffusion.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/image/filter/PLFilter.h"
#include "platform/image/bitmap/PLPixel32.h"

class PLQuantizer : public PLFilter {
public:
    enum PaletteMode { MedianCut = 0, Popularity = 1, FixedPalette = 2, UserPalette = 3 };
    enum DitherType { NoDither = 0, OrderedDither = 1, ErrorDiffusion = 2 };

    PLQuantizer(int paletteMode, int ditherType);

    // Entries used in UserPalette mode (256 of them; not copied, must outlive the quantizer's use).
    void setUserPalette(const PLPixel32* table) { userPalette = table; }

    void applyInPlace(const PLBitmap& source, PLBitmap& target) override;
    void setFixedPalette(PLBitmap& target) const;

    // The fixed palette, 256 entries.
    static const PLPixel32* fixedPalette();

private:
    // Colours of the 5-bit cell space, 0x00RRGGBB with 0..31 per channel.
    struct Box {
        std::uint32_t lowest;
        std::uint32_t highest;
        std::uint32_t average;
        std::uint32_t count;
    };
    struct Cell {
        int nearest = -1;
        int count = 0;
    };

    static int cellIndex(int r, int g, int b) { return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3); }

    void countColours(const PLBitmap& source);
    void countCell(int index);
    void makeMedianCutPalette(PLPixel32* palette);
    void makePopularityPalette(PLPixel32* palette);
    void measureBox(Box& box) const;
    void mapPixels(const PLBitmap& source, PLBitmap& target);
    int nearestIndex(int r, int g, int b, const PLPixel32* palette);

    int paletteMode;
    int ditherType;
    const PLPixel32* userPalette = nullptr;
    std::vector<Cell> cells;
    std::vector<Box> boxes;
};
