#include "platform/image/filter/PLQuantizer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "platform/image/bitmap/PLBitmap.h"
#include "platform/image/bitmap/PLMemBitmap.h"
#include "platform/image/PLTextException.h"

namespace {

constexpr int cellCount = 32768;
constexpr int countLimit = 65535;

// The eight corners of the 5-bit colour space, 0x00RRGGBB: black, red, green, blue and their mixes.
constexpr std::uint32_t corners[8] = {0x000000, 0x1F0000, 0x001F00, 0x00001F,
                                      0x1F1F00, 0x1F001F, 0x001F1F, 0x1F1F1F};

int red5(std::uint32_t colour) { return static_cast<int>((colour >> 16) & 0xFF); }
int green5(std::uint32_t colour) { return static_cast<int>((colour >> 8) & 0xFF); }
int blue5(std::uint32_t colour) { return static_cast<int>(colour & 0xFF); }

std::uint32_t pack5(int r, int g, int b)
{
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

std::uint8_t to8Bits(int value5)
{
    return static_cast<std::uint8_t>(value5 * 255 / 31);
}

int clampChannel(int value)
{
    return value < 0 ? 0 : (value > 255 ? 255 : value);
}

double clampChannel(double value)
{
    return value < 0.0 ? 0.0 : (value > 255.0 ? 255.0 : value);
}

// Table entries are (first, second, third) = (blue, green, red).
std::array<PLPixel32, 256> buildFixedPalette()
{
    std::array<PLPixel32, 256> table{};
    int next = 0;
    auto add = [&](int first, int second, int third) {
        table[next++] = {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(second),
                         static_cast<std::uint8_t>(third), 0};
    };
    const int system[16][3] = {{0, 0, 0},       {191, 0, 0},     {0, 191, 0},     {191, 191, 0},
                               {0, 0, 191},     {191, 0, 191},   {0, 191, 191},   {192, 192, 192},
                               {192, 220, 192}, {166, 202, 240}, {128, 0, 0},     {0, 128, 0},
                               {128, 128, 0},   {0, 0, 128},     {128, 0, 128},   {0, 128, 128}};
    for (const auto& entry : system)
        add(entry[0], entry[1], entry[2]);
    // The colour cube, first byte fastest, from (0,81,0) up to but without (255,255,255).
    const int levels[6] = {0, 81, 133, 177, 217, 255};
    for (int cube = 6; cube < 215; ++cube)
        add(levels[cube % 6], levels[cube / 6 % 6], levels[cube / 36]);
    for (int grey = 196; grey <= 253; grey += 3)
        add(grey, grey, grey);
    const int tail[11][3] = {{155, 207, 207}, {255, 251, 240}, {160, 160, 164}, {128, 128, 128},
                             {255, 0, 0},     {0, 255, 0},     {255, 255, 0},   {0, 0, 255},
                             {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    for (const auto& entry : tail)
        add(entry[0], entry[1], entry[2]);
    return table;
}

// Ordered dither offsets, row (y mod 4) and column ((width - 1 - x) mod 4).
constexpr int ditherMatrix[4][4] = {{-7, 5, -4, 8}, {1, -3, 4, 0}, {-5, 7, -6, 6}, {3, -1, 2, -2}};

} // namespace

PLQuantizer::PLQuantizer(int paletteMode, int ditherType) : paletteMode(paletteMode), ditherType(ditherType)
{
    try {
        cells.resize(cellCount);
        boxes.resize(256);
    } catch (const std::bad_alloc&) {
        throw PLTextException(PLTextException::OutOfMemory, "Out of memory.");
    }
}

const PLPixel32* PLQuantizer::fixedPalette()
{
    static const std::array<PLPixel32, 256> table = buildFixedPalette();
    return table.data();
}

void PLQuantizer::setFixedPalette(PLBitmap& target) const
{
    std::memcpy(target.getPalette(), fixedPalette(), 256 * sizeof(PLPixel32));
}

void PLQuantizer::applyInPlace(const PLBitmap& source, PLBitmap& target)
{
    if (source.getBitsPerPixel() != 32 && source.getBitsPerPixel() != 24) {
        PLMemBitmap trueColor;
        trueColor.createCopy(source, 32);
        applyInPlace(trueColor, target);
        return;
    }
    target.create(source.getWidth(), source.getHeight(), 8, false, source.getXResolution(), source.getYResolution());
    std::fill(cells.begin(), cells.end(), Cell{});
    PLPixel32* palette = target.getPalette();
    if (paletteMode == MedianCut || paletteMode == Popularity)
        countColours(source);
    if (paletteMode == MedianCut)
        makeMedianCutPalette(palette);
    else if (paletteMode == Popularity)
        makePopularityPalette(palette);
    else if (paletteMode == UserPalette && userPalette != nullptr)
        std::memcpy(palette, userPalette, 256 * sizeof(PLPixel32));
    else
        setFixedPalette(target);
    mapPixels(source, target);
}

void PLQuantizer::countCell(int index)
{
    if (cells[index].count < countLimit)
        ++cells[index].count;
}

void PLQuantizer::countColours(const PLBitmap& source)
{
    int pixelBytes = source.getBitsPerPixel() / 8;
    for (int y = 0; y < source.getHeight(); ++y) {
        const std::uint8_t* line = source.getLineArray()[y];
        for (int x = 0; x < source.getWidth(); ++x) {
            const std::uint8_t* pixel = line + x * pixelBytes;
            countCell(cellIndex(pixel[2], pixel[1], pixel[0]));
        }
    }
    // The corners take part once, so the extremes of the space are always represented.
    for (std::uint32_t corner : corners)
        countCell((red5(corner) << 10) | (green5(corner) << 5) | blue5(corner));
}

void PLQuantizer::measureBox(Box& box) const
{
    int low[3] = {red5(box.lowest), green5(box.lowest), blue5(box.lowest)};
    int high[3] = {red5(box.highest), green5(box.highest), blue5(box.highest)};
    int found[3] = {31, 31, 31};
    int foundHigh[3] = {0, 0, 0};
    std::uint64_t total = 0;
    std::uint64_t sums[3] = {0, 0, 0};
    for (int r = low[0]; r <= high[0]; ++r) {
        for (int g = low[1]; g <= high[1]; ++g) {
            for (int b = low[2]; b <= high[2]; ++b) {
                int count = cells[(r << 10) | (g << 5) | b].count;
                if (count == 0)
                    continue;
                int channel[3] = {r, g, b};
                for (int c = 0; c < 3; ++c) {
                    found[c] = std::min(found[c], channel[c]);
                    foundHigh[c] = std::max(foundHigh[c], channel[c]);
                    sums[c] += static_cast<std::uint64_t>(channel[c]) * static_cast<std::uint64_t>(count);
                }
                total += static_cast<std::uint64_t>(count);
            }
        }
    }
    if (total > 0) {
        box.lowest = pack5(found[0], found[1], found[2]);
        box.highest = pack5(foundHigh[0], foundHigh[1], foundHigh[2]);
        box.average = pack5(static_cast<int>(sums[0] / total), static_cast<int>(sums[1] / total),
                            static_cast<int>(sums[2] / total));
    }
    box.count = static_cast<std::uint32_t>(std::min<std::uint64_t>(total, countLimit));
    if (box.lowest == box.highest)
        box.count = 1;
}

void PLQuantizer::makeMedianCutPalette(PLPixel32* palette)
{
    for (int i = 0; i < 8; ++i)
        boxes[i] = {corners[i], corners[i], corners[i], 1};
    boxes[8] = {0, pack5(31, 31, 31), 0, 0};
    measureBox(boxes[8]);
    for (int n = 9; n < 256; ++n) {
        int best = 8;
        for (int i = 9; i < n; ++i) {
            if (boxes[i].count > boxes[best].count)
                best = i;
        }
        if (boxes[best].count < 2) {
            std::fill(boxes.begin() + n, boxes.end(), Box{0, 0, 0, 0});
            break;
        }
        Box& old = boxes[best];
        Box& added = boxes[n];
        added = old;
        int low[3] = {red5(old.lowest), green5(old.lowest), blue5(old.lowest)};
        int high[3] = {red5(old.highest), green5(old.highest), blue5(old.highest)};
        int average[3] = {red5(old.average), green5(old.average), blue5(old.average)};
        int span[3] = {high[0] - low[0], high[1] - low[1], high[2] - low[2]};
        int c = (span[0] >= span[1] && span[0] >= span[2]) ? 0 : (span[1] >= span[2] ? 1 : 2);
        int oldLow[3] = {low[0], low[1], low[2]};
        int oldHigh[3] = {high[0], high[1], high[2]};
        int newLow[3] = {low[0], low[1], low[2]};
        int newHigh[3] = {high[0], high[1], high[2]};
        if (span[c] == 1) {
            newHigh[c] = low[c];
            oldLow[c] = high[c];
        } else {
            int end = average[c] == high[c] ? average[c] - 1 : average[c];
            oldHigh[c] = end;
            newLow[c] = end + 1;
        }
        old.lowest = pack5(oldLow[0], oldLow[1], oldLow[2]);
        old.highest = pack5(oldHigh[0], oldHigh[1], oldHigh[2]);
        added.lowest = pack5(newLow[0], newLow[1], newLow[2]);
        added.highest = pack5(newHigh[0], newHigh[1], newHigh[2]);
        measureBox(old);
        measureBox(added);
    }
    for (int i = 0; i < 256; ++i) {
        const Box& box = boxes[i];
        auto middle = [](int low, int high) { return static_cast<std::uint8_t>((low + high) * 255 / 62); };
        palette[i] = {middle(blue5(box.lowest), blue5(box.highest)), middle(green5(box.lowest), green5(box.highest)),
                      middle(red5(box.lowest), red5(box.highest)), 0};
    }
}

void PLQuantizer::makePopularityPalette(PLPixel32* palette)
{
    std::vector<int> ranked;
    for (int i = 0; i < cellCount; ++i) {
        if (cells[i].count > 0)
            ranked.push_back(i);
    }
    // The corners hold entries 0 to 7 already.
    ranked.erase(std::remove_if(ranked.begin(), ranked.end(),
                                [](int index) {
                                    for (std::uint32_t corner : corners) {
                                        if (index == ((red5(corner) << 10) | (green5(corner) << 5) | blue5(corner)))
                                            return true;
                                    }
                                    return false;
                                }),
                 ranked.end());
    std::size_t chosen = std::min<std::size_t>(ranked.size(), 248);
    std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(chosen), ranked.end(),
                      [this](int a, int b) { return cells[a].count > cells[b].count; });
    std::fill(palette, palette + 256, PLPixel32{0, 0, 0, 0});
    for (int i = 0; i < 8; ++i)
        palette[i] = {to8Bits(blue5(corners[i])), to8Bits(green5(corners[i])), to8Bits(red5(corners[i])), 0};
    for (std::size_t i = 0; i < chosen; ++i) {
        int cell = ranked[i];
        palette[8 + i] = {to8Bits(cell & 31), to8Bits((cell >> 5) & 31), to8Bits(cell >> 10), 0};
    }
}

int PLQuantizer::nearestIndex(int r, int g, int b, const PLPixel32* palette)
{
    Cell& cell = cells[cellIndex(r, g, b)];
    if (cell.nearest < 0) {
        int best = 0;
        int bestDistance = 0x7FFFFFFF;
        for (int i = 0; i < 256; ++i) {
            int dr = r - palette[i].r;
            int dg = g - palette[i].g;
            int db = b - palette[i].b;
            int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
        cell.nearest = best;
    }
    return cell.nearest;
}

void PLQuantizer::mapPixels(const PLBitmap& source, PLBitmap& target)
{
    const PLPixel32* palette = target.getPalette();
    int width = source.getWidth();
    int pixelBytes = source.getBitsPerPixel() / 8;
    bool diffusing = ditherType == ErrorDiffusion;
    // Errors carried to this row and the next, (width + 2) pixels of three channels.
    std::vector<double> thisRow(diffusing ? static_cast<std::size_t>(width + 2) * 3 : 0);
    std::vector<double> nextRow(thisRow.size());
    for (int y = 0; y < source.getHeight(); ++y) {
        const std::uint8_t* in = source.getLineArray()[y];
        std::uint8_t* out = target.getLineArray()[y];
        int step = (diffusing && (y & 1)) ? -1 : 1;
        for (int i = 0; i < width; ++i) {
            int x = step > 0 ? i : width - 1 - i;
            const std::uint8_t* pixel = in + x * pixelBytes;
            int channel[3] = {pixel[2], pixel[1], pixel[0]};
            double exact[3] = {0, 0, 0};
            if (ditherType == OrderedDither) {
                int offset = 2 * ditherMatrix[y % 4][(width - 1 - x) % 4];
                for (int& value : channel)
                    value = clampChannel(value + offset);
            } else if (diffusing) {
                for (int c = 0; c < 3; ++c) {
                    exact[c] = clampChannel(channel[c] + thisRow[static_cast<std::size_t>(x + 1) * 3 + c]);
                    channel[c] = static_cast<int>(exact[c]);
                }
            }
            int index = nearestIndex(channel[0], channel[1], channel[2], palette);
            out[x] = static_cast<std::uint8_t>(index);
            if (diffusing) {
                const int chosen[3] = {palette[index].r, palette[index].g, palette[index].b};
                for (int c = 0; c < 3; ++c) {
                    double error = (exact[c] - chosen[c]) / 16.0;
                    thisRow[static_cast<std::size_t>(x + 1 + step) * 3 + c] += 7 * error;
                    nextRow[static_cast<std::size_t>(x + 1 - step) * 3 + c] += 3 * error;
                    nextRow[static_cast<std::size_t>(x + 1) * 3 + c] += 5 * error;
                    nextRow[static_cast<std::size_t>(x + 1 + step) * 3 + c] += error;
                }
            }
        }
        if (diffusing) {
            thisRow.swap(nextRow);
            std::fill(nextRow.begin(), nextRow.end(), 0.0);
        }
    }
}
