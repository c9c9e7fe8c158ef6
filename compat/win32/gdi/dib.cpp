#include "compat/win32/gdi/dib.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Where a colour channel sits in a pixel: the mask, the position of its lowest bit and its width.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int width = 0;
};

Channel channelOf(std::uint32_t mask)
{
    Channel c;
    c.mask = mask;
    if (mask == 0)
        return c;
    while (((mask >> c.shift) & 1u) == 0)
        ++c.shift;
    for (std::uint32_t m = mask >> c.shift; m != 0; m >>= 1)
        ++c.width;
    return c;
}

// The channel's bits of `pixel` as an 8-bit value.
std::uint32_t extract(std::uint32_t pixel, const Channel& c)
{
    if (c.width == 0)
        return 0;
    std::uint32_t v = (pixel & c.mask) >> c.shift;
    return c.width >= 8 ? (v >> (c.width - 8)) & 0xFF : (v << (8 - c.width)) & 0xFF;
}

// An 8-bit value placed into the channel.
std::uint32_t place(std::uint32_t value, const Channel& c)
{
    if (c.width == 0)
        return 0;
    std::uint32_t v = c.width >= 8 ? value << (c.width - 8) : value >> (8 - c.width);
    return (v << c.shift) & c.mask;
}

constexpr std::uint32_t opaque = 0xFF000000u;

// The source bitmap as read from its header. Rows are numbered from the top of the whole image;
// `firstScan` and `scanCount` give the band of rows (counted the DIB's own way: from the bottom for
// bottom-up bitmaps) that the bits actually hold.
struct Dib {
    const std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    bool bottomUp = true;
    int bitCount = 0;
    std::size_t stride = 0;
    bool bitFields = false;
    Channel alpha, red, green, blue;
    std::uint32_t palette[256] = {};
    int paletteSize = 0;
    long firstScan = 0;
    long scanCount = 0;

    const std::uint8_t* row(int top) const
    {
        if (top < 0 || top >= height)
            return nullptr;
        long scan = bottomUp ? height - 1 - top : top;
        if (scan < firstScan || scan - firstScan >= scanCount)
            return nullptr;
        return bits + static_cast<std::size_t>(scan - firstScan) * stride;
    }

    std::uint32_t colour(unsigned index) const
    {
        return index < static_cast<unsigned>(paletteSize) ? palette[index] : opaque;
    }

    // The pixel at column x of a row as 0xAARRGGBB.
    std::uint32_t pixel(const std::uint8_t* r, int x) const
    {
        switch (bitCount) {
        case 1:
            return colour((r[x >> 3] >> (7 - (x & 7))) & 1u);
        case 4:
            return colour((r[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu);
        case 8:
            return colour(r[x]);
        case 16:
            return fields(static_cast<std::uint32_t>(r[2 * x] | (r[2 * x + 1] << 8)));
        case 24: {
            const std::uint8_t* p = r + 3 * static_cast<std::size_t>(x);
            return opaque | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
        }
        default: {
            const std::uint8_t* p = r + 4 * static_cast<std::size_t>(x);
            std::uint32_t v = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                              (std::uint32_t(p[3]) << 24);
            return bitFields ? fields(v) : v;
        }
        }
    }

    std::uint32_t fields(std::uint32_t v) const
    {
        std::uint32_t a = alpha.width ? extract(v, alpha) << 24 : opaque;
        return a | (extract(v, red) << 16) | (extract(v, green) << 8) | extract(v, blue);
    }
};

bool readDib(const BITMAPINFO* info, UINT usage, const void* bits, Dib& dib)
{
    if (!info || !bits || usage != DIB_RGB_COLORS)
        return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN || h.biSize < 40)
        return false;
    dib.bits = static_cast<const std::uint8_t*>(bits);
    dib.width = h.biWidth;
    dib.bottomUp = h.biHeight > 0;
    dib.height = dib.bottomUp ? h.biHeight : -h.biHeight;
    dib.bitCount = h.biBitCount;
    switch (dib.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return false;
    }
    dib.stride = ((static_cast<std::size_t>(dib.width) * dib.bitCount + 31) / 32) * 4;
    dib.firstScan = 0;
    dib.scanCount = dib.height;

    const auto* afterHeader = reinterpret_cast<const std::uint8_t*>(info) + h.biSize;
    if (h.biCompression == BI_BITFIELDS && (dib.bitCount == 16 || dib.bitCount == 32)) {
        // Version 4 and 5 headers hold the masks themselves; a plain header is followed by them.
        const auto* masks = h.biSize >= 52 ? reinterpret_cast<const std::uint8_t*>(info) + 40 : afterHeader;
        DWORD m[4] = {0, 0, 0, 0};
        std::memcpy(m, masks, 3 * sizeof(DWORD));
        if (h.biSize >= 56)
            std::memcpy(&m[3], masks + 12, sizeof(DWORD));
        dib.bitFields = true;
        dib.red = channelOf(m[0]);
        dib.green = channelOf(m[1]);
        dib.blue = channelOf(m[2]);
        dib.alpha = channelOf(m[3]);
    } else if (h.biCompression != BI_RGB) {
        return false;
    } else if (dib.bitCount == 16) {
        dib.bitFields = true;
        dib.red = channelOf(0x7C00);
        dib.green = channelOf(0x03E0);
        dib.blue = channelOf(0x001F);
    }

    if (dib.bitCount <= 8) {
        unsigned entries = 1u << dib.bitCount;
        if (h.biClrUsed != 0 && h.biClrUsed < entries)
            entries = h.biClrUsed;
        RGBQUAD q;
        for (unsigned i = 0; i < entries; ++i) {
            std::memcpy(&q, afterHeader + i * sizeof(RGBQUAD), sizeof(RGBQUAD));
            dib.palette[i] = opaque | (std::uint32_t(q.rgbRed) << 16) | (std::uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
        }
        dib.paletteSize = static_cast<int>(entries);
    }
    return true;
}

struct Target {
    std::uint8_t* pixels = nullptr;
    long pitch = 0;
    int width = 0;
    int height = 0;
    int bytes = 0;
    Channel alpha, red, green, blue;
    bool argb = false; // 32 bits with the channels where 0xAARRGGBB has them

    std::uint32_t pack(std::uint32_t c) const
    {
        if (argb)
            return c;
        return place(c >> 24, alpha) | place((c >> 16) & 0xFF, red) | place((c >> 8) & 0xFF, green) |
               place(c & 0xFF, blue);
    }

    void store(std::uint8_t* p, std::uint32_t v) const
    {
        if (bytes == 2) {
            auto w = static_cast<std::uint16_t>(v);
            std::memcpy(p, &w, 2);
        } else if (bytes == 3) {
            p[0] = static_cast<std::uint8_t>(v);
            p[1] = static_cast<std::uint8_t>(v >> 8);
            p[2] = static_cast<std::uint8_t>(v >> 16);
        } else {
            std::memcpy(p, &v, 4);
        }
    }
};

bool readTarget(void* pixels, LONG pitch, LONG width, LONG height, DWORD bitCount, DWORD r, DWORD g, DWORD b,
                DWORD a, Target& t)
{
    if (!pixels || width <= 0 || height <= 0)
        return false;
    if (bitCount != 16 && bitCount != 24 && bitCount != 32)
        return false;
    t.pixels = static_cast<std::uint8_t*>(pixels);
    t.pitch = pitch;
    t.width = width;
    t.height = height;
    t.bytes = static_cast<int>(bitCount / 8);
    if ((r | g | b) == 0) {
        bool sixteen = bitCount == 16;
        r = sixteen ? 0x7C00 : 0xFF0000;
        g = sixteen ? 0x03E0 : 0x00FF00;
        b = sixteen ? 0x001F : 0x0000FF;
    }
    t.alpha = channelOf(a);
    t.red = channelOf(r);
    t.green = channelOf(g);
    t.blue = channelOf(b);
    // An X8R8G8B8 target takes the whole value too: its fourth byte is unused.
    t.argb = t.bytes == 4 && r == 0xFF0000 && g == 0xFF00 && b == 0xFF &&
             (a == 0 || a == 0xFF000000u);
    return true;
}

// Draws the source rectangle (sx, sy, sw, sh), rows counted from the top of the image, scaled to the
// destination rectangle (dx, dy, dw, dh) by nearest pixel. Only destination pixels inside the target
// whose source pixel exists are written.
void draw(const Dib& dib, const Target& t, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh)
{
    long x0 = dx < 0 ? 0 : dx, x1 = static_cast<long>(dx) + dw;
    long y0 = dy < 0 ? 0 : dy, y1 = static_cast<long>(dy) + dh;
    if (x1 > t.width)
        x1 = t.width;
    if (y1 > t.height)
        y1 = t.height;
    if (x0 >= x1 || y0 >= y1)
        return;

    // Source column of every destination column, -1 where it lies outside the bitmap.
    std::vector<int> columns(static_cast<std::size_t>(x1 - x0));
    bool contiguous = sw == dw;
    for (long x = x0; x < x1; ++x) {
        long long s = sx + (static_cast<long long>(x - dx) * sw) / dw;
        int column = (s >= 0 && s < dib.width) ? static_cast<int>(s) : -1;
        columns[static_cast<std::size_t>(x - x0)] = column;
        contiguous = contiguous && column >= 0;
    }
    bool copyRows = contiguous && t.argb && dib.bitCount == 32 && !dib.bitFields;

    for (long y = y0; y < y1; ++y) {
        long long s = sy + (static_cast<long long>(y - dy) * sh) / dh;
        if (s < 0 || s >= dib.height)
            continue;
        const std::uint8_t* src = dib.row(static_cast<int>(s));
        if (!src)
            continue;
        std::uint8_t* out = t.pixels + y * t.pitch + x0 * t.bytes;
        if (copyRows) {
            std::memcpy(out, src + 4 * static_cast<std::size_t>(columns[0]), columns.size() * 4);
            continue;
        }
        for (std::size_t i = 0; i < columns.size(); ++i, out += t.bytes) {
            if (columns[i] >= 0)
                t.store(out, t.pack(dib.pixel(src, columns[i])));
        }
    }
}

} // namespace

MemoryDC::MemoryDC(void* pixels, LONG pitch, LONG width, LONG height, DWORD bitCount, DWORD redMask,
                   DWORD greenMask, DWORD blueMask, DWORD alphaMask)
    : pixels(pixels), pitch(pitch), width(width), height(height), bitCount(bitCount), redMask(redMask),
      greenMask(greenMask), blueMask(blueMask), alphaMask(alphaMask)
{
}

int MemoryDC::stretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                            int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
    Dib dib;
    Target target;
    if (rop != SRCCOPY || !readDib(info, usage, bits, dib) ||
        !readTarget(pixels, pitch, width, height, bitCount, redMask, greenMask, blueMask, alphaMask, target))
        return 0;
    if (destWidth <= 0 || destHeight <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return 0;
    // A bottom-up bitmap's source rectangle is measured from its bottom-left corner.
    long long top = dib.bottomUp ? static_cast<long long>(dib.height) - ySrc - srcHeight : ySrc;
    if (top < INT32_MIN || top > INT32_MAX)
        return 0;
    draw(dib, target, xDest, yDest, destWidth, destHeight, xSrc, static_cast<int>(top), srcWidth, srcHeight);
    return srcHeight;
}

int MemoryDC::setDIBitsToDevice(int xDest, int yDest, DWORD areaWidth, DWORD areaHeight, int xSrc, int ySrc,
                                UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    Dib dib;
    Target target;
    if (!readDib(info, usage, bits, dib) ||
        !readTarget(pixels, pitch, width, height, bitCount, redMask, greenMask, blueMask, alphaMask, target))
        return 0;
    if (areaWidth == 0 || areaHeight == 0 || areaWidth > INT32_MAX || areaHeight > INT32_MAX)
        return 0;
    // Only the given band of scan lines is in `bits`; the source is measured as for StretchDIBits.
    dib.firstScan = startScan;
    dib.scanCount = scanLines;
    int w = static_cast<int>(areaWidth), h = static_cast<int>(areaHeight);
    long long top = dib.bottomUp ? static_cast<long long>(dib.height) - ySrc - h : ySrc;
    if (top < INT32_MIN || top > INT32_MAX)
        return 0;
    draw(dib, target, xDest, yDest, w, h, xSrc, static_cast<int>(top), w, h);
    return static_cast<int>(scanLines);
}
