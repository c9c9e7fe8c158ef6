#include "compat/ddraw/PixelTransfer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace compat::ddraw {

namespace {

DWORD readPixel(const BYTE* p, DWORD bytes)
{
    DWORD value = 0;
    std::memcpy(&value, p, bytes); // little-endian: the low bytes of the value
    return value;
}

void writePixel(BYTE* p, DWORD bytes, DWORD value) { std::memcpy(p, &value, bytes); }

// One channel of an RGB format, scaled to and from 8 bits.
struct Channel {
    DWORD mask = 0;
    unsigned shift = 0;
    DWORD maximum = 0; // largest channel value, 0 when the channel is absent

    explicit Channel(DWORD m) : mask(m)
    {
        if (m == 0)
            return;
        shift = static_cast<unsigned>(__builtin_ctz(m));
        maximum = m >> shift;
    }

    DWORD to8(DWORD pixel, DWORD absent) const
    {
        return maximum == 0 ? absent : ((pixel & mask) >> shift) * 255u / maximum;
    }
    DWORD from8(DWORD value) const { return maximum == 0 ? 0 : (((value * maximum + 127u) / 255u) << shift) & mask; }
};

struct Converter {
    Channel a, r, g, b;
    explicit Converter(const DDPIXELFORMAT& f)
        : a(f.dwRGBAlphaBitMask), r(f.dwRBitMask), g(f.dwGBitMask), b(f.dwBBitMask)
    {
    }
    DWORD toArgb(DWORD p) const { return a.to8(p, 0xFF) << 24 | r.to8(p, 0) << 16 | g.to8(p, 0) << 8 | b.to8(p, 0); }
    DWORD fromArgb(DWORD c) const
    {
        return a.from8(c >> 24) | r.from8((c >> 16) & 0xFF) | g.from8((c >> 8) & 0xFF) | b.from8(c & 0xFF);
    }
};

bool sameLayout(const DDPIXELFORMAT& x, const DDPIXELFORMAT& y)
{
    return x.dwRGBBitCount == y.dwRGBBitCount && x.dwRBitMask == y.dwRBitMask && x.dwGBitMask == y.dwGBitMask
        && x.dwBBitMask == y.dwBBitMask && x.dwRGBAlphaBitMask == y.dwRGBAlphaBitMask;
}

// The bits a colour key is compared on: the colour channels, or the whole pixel of a format
// without channel masks.
DWORD keyBits(const DDPIXELFORMAT& f)
{
    const DWORD colour = f.dwRBitMask | f.dwGBitMask | f.dwBBitMask;
    if (colour != 0)
        return colour;
    return f.dwRGBBitCount >= 32 ? 0xFFFFFFFFu : (1u << f.dwRGBBitCount) - 1u;
}

// Stores n bytes from p on, repeating a 4-byte word: whole rows of 8, 16 and 32-bit pixels when
// the word holds the pixel repeated. Whole blocks first, the tail in one piece.
void fillSpan(BYTE* p, std::size_t n, std::uint32_t word)
{
    std::uint32_t block[16]; // 64 bytes a step
    std::fill(std::begin(block), std::end(block), word);
    for (; n >= sizeof block; n -= sizeof block, p += sizeof block)
        std::memcpy(p, block, sizeof block);
    std::memcpy(p, block, n);
}

// The pixel repeated across 32 bits, for pixels of 1, 2 or 4 bytes.
std::uint32_t repeatedPixel(DWORD value, DWORD bytes)
{
    if (bytes == 1)
        return (value & 0xFFu) * 0x01010101u;
    if (bytes == 2)
        return (value & 0xFFFFu) * 0x00010001u;
    return value;
}

} // namespace

DWORD bytesPerPixel(const DDPIXELFORMAT& format) { return (format.dwRGBBitCount + 7) / 8; }

void fillPixels(const PixelView& target, DWORD value)
{
    const DWORD bytes = bytesPerPixel(*target.format);
    if (bytes == 3) { // three-byte pixels do not tile a word: one at a time
        for (LONG y = 0; y < target.height; ++y)
            for (LONG x = 0; x < target.width; ++x)
                writePixel(target.origin + static_cast<std::ptrdiff_t>(y) * target.pitch
                               + static_cast<std::ptrdiff_t>(x) * bytes,
                           bytes, value);
        return;
    }
    const std::uint32_t word = repeatedPixel(value, bytes);
    const std::size_t rowBytes = static_cast<std::size_t>(target.width) * bytes;
    for (LONG y = 0; y < target.height; ++y)
        fillSpan(target.origin + static_cast<std::ptrdiff_t>(y) * target.pitch, rowBytes, word);
}

void transferPixels(const PixelView& source, const PixelView& target, const DWORD* key)
{
    const DWORD sourceBytes = bytesPerPixel(*source.format);
    const DWORD targetBytes = bytesPerPixel(*target.format);
    const bool convert = !sameLayout(*source.format, *target.format);
    const bool stretch = source.width != target.width || source.height != target.height;

    if (!convert && !stretch && key == nullptr) {
        const std::size_t rowBytes = static_cast<std::size_t>(target.width) * targetBytes;
        for (LONG y = 0; y < target.height; ++y)
            std::memmove(target.origin + static_cast<std::ptrdiff_t>(y) * target.pitch,
                         source.origin + static_cast<std::ptrdiff_t>(y) * source.pitch, rowBytes);
        return;
    }

    const Converter from(*source.format);
    const Converter to(*target.format);
    const DWORD keyMask = keyBits(*source.format);
    for (LONG y = 0; y < target.height; ++y) {
        const LONG sy = static_cast<LONG>(static_cast<long long>(y) * source.height / target.height);
        const BYTE* sourceRow = source.origin + static_cast<std::ptrdiff_t>(sy) * source.pitch;
        BYTE* targetRow = target.origin + static_cast<std::ptrdiff_t>(y) * target.pitch;
        for (LONG x = 0; x < target.width; ++x) {
            const LONG sx = static_cast<LONG>(static_cast<long long>(x) * source.width / target.width);
            DWORD pixel = readPixel(sourceRow + static_cast<std::ptrdiff_t>(sx) * sourceBytes, sourceBytes);
            if (key != nullptr && (pixel & keyMask) == (*key & keyMask))
                continue;
            if (convert)
                pixel = to.fromArgb(from.toArgb(pixel));
            writePixel(targetRow + static_cast<std::ptrdiff_t>(x) * targetBytes, targetBytes, pixel);
        }
    }
}

} // namespace compat::ddraw
