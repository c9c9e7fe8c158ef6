#include "compat/ddraw/PixelTransfer.h"

#include "compat/ddraw/SpanFill.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#define QUARRY_DDRAW_SSE2 1
#endif

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

// One row of a colour-keyed copy between pixels of the same layout: every source pixel whose
// masked bits differ from the key replaces the target's. Rows need not be aligned.
template <typename Pixel>
void keyedRow(const BYTE* from, BYTE* to, LONG width, Pixel mask, Pixel key)
{
    LONG x = 0;
#if QUARRY_DDRAW_SSE2
    // Sixteen bytes at a time: the target keeps its own lanes where the source matches the key.
    constexpr LONG lanes = 16 / sizeof(Pixel);
    const auto splat = [](Pixel v) {
        if constexpr (sizeof(Pixel) == 1)
            return _mm_set1_epi8(static_cast<char>(v));
        else if constexpr (sizeof(Pixel) == 2)
            return _mm_set1_epi16(static_cast<short>(v));
        else
            return _mm_set1_epi32(static_cast<int>(v));
    };
    const __m128i maskLanes = splat(mask), keyLanes = splat(key);
    for (; x + lanes <= width; x += lanes) {
        const auto* s = reinterpret_cast<const __m128i*>(from + static_cast<std::ptrdiff_t>(x) * sizeof(Pixel));
        auto* d = reinterpret_cast<__m128i*>(to + static_cast<std::ptrdiff_t>(x) * sizeof(Pixel));
        const __m128i source = _mm_loadu_si128(s);
        const __m128i masked = _mm_and_si128(source, maskLanes);
        __m128i keep;
        if constexpr (sizeof(Pixel) == 1)
            keep = _mm_cmpeq_epi8(masked, keyLanes);
        else if constexpr (sizeof(Pixel) == 2)
            keep = _mm_cmpeq_epi16(masked, keyLanes);
        else
            keep = _mm_cmpeq_epi32(masked, keyLanes);
        const __m128i target = _mm_loadu_si128(d);
        _mm_storeu_si128(d, _mm_or_si128(_mm_and_si128(keep, target), _mm_andnot_si128(keep, source)));
    }
#endif
    for (; x < width; ++x) {
        Pixel pixel;
        std::memcpy(&pixel, from + static_cast<std::ptrdiff_t>(x) * sizeof(Pixel), sizeof pixel);
        if ((pixel & mask) != key)
            std::memcpy(to + static_cast<std::ptrdiff_t>(x) * sizeof(Pixel), &pixel, sizeof pixel);
    }
}

template <typename Pixel>
void keyedCopy(const PixelView& source, const PixelView& target, DWORD mask, DWORD key)
{
    for (LONG y = 0; y < target.height; ++y)
        keyedRow<Pixel>(source.origin + static_cast<std::ptrdiff_t>(y) * source.pitch,
                        target.origin + static_cast<std::ptrdiff_t>(y) * target.pitch, target.width,
                        static_cast<Pixel>(mask), static_cast<Pixel>(key));
}

// The colour-keyed copy without stretch or conversion, for pixels of 1, 2 or 4 bytes; false for
// other pixel sizes, which take the general path.
bool keyedCopyFast(const PixelView& source, const PixelView& target, DWORD mask, DWORD key)
{
    switch (bytesPerPixel(*source.format)) {
    case 1:
        keyedCopy<std::uint8_t>(source, target, mask, key);
        return true;
    case 2:
        keyedCopy<std::uint16_t>(source, target, mask, key);
        return true;
    case 4:
        keyedCopy<std::uint32_t>(source, target, mask, key);
        return true;
    default:
        return false;
    }
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
    const DWORD keyMask = keyBits(*source.format);
    const DWORD keyValue = key != nullptr ? *key & keyMask : 0;
    // A key with colour bits beyond the pixel's size matches no pixel.
    const bool keyed = key != nullptr && (sourceBytes >= 4 || (keyValue >> (sourceBytes * 8)) == 0);

    if (!convert && !stretch) {
        if (keyed && keyedCopyFast(source, target, keyMask, keyValue))
            return;
        if (!keyed) {
            const std::size_t rowBytes = static_cast<std::size_t>(target.width) * targetBytes;
            for (LONG y = 0; y < target.height; ++y)
                std::memmove(target.origin + static_cast<std::ptrdiff_t>(y) * target.pitch,
                             source.origin + static_cast<std::ptrdiff_t>(y) * source.pitch, rowBytes);
            return;
        }
    }

    // Nearest-pixel stretch: each target column's source byte offset, worked out once.
    std::vector<std::ptrdiff_t> columns(static_cast<std::size_t>(target.width));
    for (LONG x = 0; x < target.width; ++x)
        columns[static_cast<std::size_t>(x)] =
            static_cast<std::ptrdiff_t>(static_cast<long long>(x) * source.width / target.width) * sourceBytes;

    const Converter from(*source.format);
    const Converter to(*target.format);
    for (LONG y = 0; y < target.height; ++y) {
        const LONG sy = static_cast<LONG>(static_cast<long long>(y) * source.height / target.height);
        const BYTE* sourceRow = source.origin + static_cast<std::ptrdiff_t>(sy) * source.pitch;
        BYTE* targetRow = target.origin + static_cast<std::ptrdiff_t>(y) * target.pitch;
        for (LONG x = 0; x < target.width; ++x) {
            DWORD pixel = readPixel(sourceRow + columns[static_cast<std::size_t>(x)], sourceBytes);
            if (keyed && (pixel & keyMask) == keyValue)
                continue;
            if (convert)
                pixel = to.fromArgb(from.toArgb(pixel));
            writePixel(targetRow + static_cast<std::ptrdiff_t>(x) * targetBytes, targetBytes, pixel);
        }
    }
}

bool findDifference(const PixelView& a, const PixelView& b, RECT& changed)
{
    const std::size_t bytes = bytesPerPixel(*a.format);
    const std::size_t rowBytes = static_cast<std::size_t>(a.width) * bytes;
    auto rowA = [&](LONG y) { return a.origin + static_cast<std::ptrdiff_t>(y) * a.pitch; };
    auto rowB = [&](LONG y) { return b.origin + static_cast<std::ptrdiff_t>(y) * b.pitch; };
    LONG top = 0;
    while (top < a.height && std::memcmp(rowA(top), rowB(top), rowBytes) == 0)
        ++top;
    if (top == a.height)
        return false;
    LONG bottom = a.height;
    while (bottom > top + 1 && std::memcmp(rowA(bottom - 1), rowB(bottom - 1), rowBytes) == 0)
        --bottom;
    // Columns: each row between only needs looking at outside the bounds found so far.
    std::size_t left = rowBytes, right = 0;
    for (LONG y = top; y < bottom; ++y) {
        const BYTE* p = rowA(y);
        const BYTE* q = rowB(y);
        // Eight bytes at a time while they agree, then byte by byte to the first that differs.
        std::size_t i = 0;
        while (i + 8 <= left && std::memcmp(p + i, q + i, 8) == 0)
            i += 8;
        while (i < left && p[i] == q[i])
            ++i;
        left = std::min(left, i);
        std::size_t j = rowBytes;
        while (j >= right + 8 && std::memcmp(p + j - 8, q + j - 8, 8) == 0)
            j -= 8;
        while (j > right && p[j - 1] == q[j - 1])
            --j;
        right = std::max(right, j);
    }
    changed = {static_cast<LONG>(left / bytes), top, static_cast<LONG>((right + bytes - 1) / bytes), bottom};
    return true;
}

} // namespace compat::ddraw
