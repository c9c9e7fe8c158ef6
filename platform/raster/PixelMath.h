// Per-pixel arithmetic shared by the blending workers. Every formula here is exact integer
// arithmetic on unsigned values, so it means the same on every compiler and under UBSan.
#pragma once

#include <cstdint>
#include <cstring>

namespace raster {

// Format codes of a PixelFormat that the blending workers distinguish.
enum FormatCode : int { kFormat555 = 0, kFormat565 = 1, kFormatOther16 = 2, kFormat24 = 3, kFormat32 = 4 };

// One colour channel of a fixed layout: its position and its mask after shifting it down.
struct Channel {
    int shift;
    std::uint32_t mask;
};

struct Layout {
    Channel red, green, blue;
};

constexpr Layout kLayout555{{10, 0x1F}, {5, 0x1F}, {0, 0x1F}};
constexpr Layout kLayout565{{11, 0x1F}, {5, 0x3F}, {0, 0x1F}};
constexpr Layout kLayout888{{16, 0xFF}, {8, 0xFF}, {0, 0xFF}};

inline const Layout& layout16(int formatCode) { return formatCode == kFormat555 ? kLayout555 : kLayout565; }

// Pixel memory is reached through memcpy: rows need not be aligned for the compiler to be right,
// and it still compiles to single loads and stores.
inline std::uint16_t load16(const std::uint8_t* p)
{
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline std::uint32_t load32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void store16(std::uint8_t* p, std::uint32_t v)
{
    auto w = static_cast<std::uint16_t>(v);
    std::memcpy(p, &w, sizeof w);
}
inline void store32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, sizeof v); }

// d + floor((s - d) * a / 256) for one channel. Written as a weighted sum of two non-negative terms,
// which is the same value without a signed product; valid for any s, d below 2^23 and a <= 255.
inline std::uint32_t mix(std::uint32_t s, std::uint32_t d, std::uint32_t a) { return (d * (256 - a) + s * a) >> 8; }

// The exact blend of a whole pixel of a fixed layout; bits outside the three channels become 0
// (the byte above red of a 32-bit pixel in particular).
inline std::uint32_t mixPixel(const Layout& l, std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    auto one = [&](const Channel& c) {
        return mix((s >> c.shift) & c.mask, (d >> c.shift) & c.mask, a) << c.shift;
    };
    return one(l.red) | one(l.green) | one(l.blue);
}

// Two 16-bit pixels of one 32-bit word blended at once with the same alpha. A bias of 64 per half keeps
// each half's difference positive and its product below 2^16, so the halves never disturb each other;
// the price is that the result exceeds the exact blend by one for some alphas that are not a multiple
// of 4, and equals the source at alpha 255.
inline std::uint32_t mixPair(const Layout& l, std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    const std::uint32_t bias = (a >> 2) * 0x00010001u;
    auto one = [&](const Channel& c) {
        const std::uint32_t m = c.mask * 0x00010001u;
        const std::uint32_t sc = (s >> c.shift) & m;
        const std::uint32_t dc = (d >> c.shift) & m;
        return (((((sc + 0x00400040u - dc) * a) >> 8) + dc - bias) & m) << c.shift;
    };
    return one(l.red) | one(l.green) | one(l.blue);
}

// Channel masks of a 16-bit layout other than 5-5-5 and 5-6-5, as the locks report them.
struct ChannelMasks {
    std::uint32_t red = 0, green = 0, blue = 0;
};

// Exact blend of such a pixel with the channels left in place: each source channel taken with the
// source's mask, each destination channel with the destination's, the result kept to the latter.
inline std::uint32_t mixInPlace(const ChannelMasks& sm, const ChannelMasks& dm, std::uint32_t s, std::uint32_t d,
                                std::uint32_t a)
{
    auto one = [&](std::uint32_t smask, std::uint32_t dmask) { return mix(s & smask, d & dmask, a) & dmask; };
    return one(sm.red, dm.red) | one(sm.green, dm.green) | one(sm.blue, dm.blue);
}

inline int lowestBit(std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    int n = 0;
    while ((mask & 1u) == 0) {
        mask >>= 1;
        ++n;
    }
    return n;
}

// The parallel code's blend of one channel in a 16-bit lane: the difference and the product keep only
// their low 16 bits and the product is shifted right arithmetically. For channels of up to 7 bits this
// is the exact blend; wider channels wrap, as the lanes do.
inline std::uint32_t mixLane16(std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    const std::uint32_t product = ((s - d) * a) & 0xFFFFu;
    const std::uint32_t shifted = ((product ^ 0x8000u) >> 8) - 0x80u;  // arithmetic >> 8 of an int16
    return (d + shifted) & 0xFFFFu;
}

// A pixel of another 16-bit layout in the parallel code: both pixels read with the destination's masks,
// each channel shifted down to bit 0, blended in its lane and shifted back.
inline std::uint32_t mixLanePixel(const ChannelMasks& m, std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    auto one = [&](std::uint32_t mask) {
        const int shift = lowestBit(mask);
        return (mixLane16((s & mask) >> shift, (d & mask) >> shift, a) << shift) & mask;
    };
    return one(m.red) | one(m.green) | one(m.blue);
}

// The parallel code's constant-alpha blend of a 32-bit pixel: per colour byte d + s*a/256 - d*a/256
// (each quotient truncated), which may differ from the exact blend by one; the top byte has weight 0
// and keeps the destination's value.
inline std::uint32_t mixMmx32(std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    std::uint32_t r = d & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t sb = (s >> shift) & 0xFFu;
        const std::uint32_t db = (d >> shift) & 0xFFu;
        r |= (db + ((sb * a) >> 8) - ((db * a) >> 8)) << shift;
    }
    return r;
}

// Colour-key tests: 16-bit pixels compare the key's low 16 bits, 32-bit pixels their colour bits.
inline bool isKey16(std::uint32_t pixel, std::uint32_t key) { return (pixel & 0xFFFFu) == (key & 0xFFFFu); }
inline bool isKey32(std::uint32_t pixel, std::uint32_t key) { return ((pixel ^ key) & 0x00FFFFFFu) == 0; }

}  // namespace raster
