// The parallel blending family: four 16-bit or two 32-bit pixels per group. Where the host has SSE2,
// two groups go through one 128-bit register; the scalar code below finishes every row (and does all
// of it elsewhere) with the same arithmetic, so both give the same bits.
#include "platform/raster/BlendJob.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define QUARRY_RASTER_SSE2 1
#endif

namespace raster::fast {
namespace {

bool isPairFormat(int code) { return code == kFormat555 || code == kFormat565; }

// ---- Scalar groups and single pixels -------------------------------------------------------------

// A group of N pixels of `bytes` each under per-pixel alphas: all 0 skips the group, all 255 copies it,
// anything else blends every pixel with its own alpha.
template <int N, class Mix>
void maskGroup(const std::uint8_t* s, std::uint8_t* d, const std::uint8_t* m, int bytes, Mix mixFn)
{
    bool none = true, all = true;
    for (int i = 0; i < N; ++i) {
        none = none && m[i] == 0;
        all = all && m[i] == 255;
    }
    if (none)
        return;
    if (all) {
        std::memcpy(d, s, static_cast<std::size_t>(N * bytes));
        return;
    }
    for (int i = 0; i < N; ++i) {
        const int o = i * bytes;
        if (bytes == 4)
            store32(d + o, mixFn(load32(s + o), load32(d + o), m[i]));
        else
            store16(d + o, mixFn(load16(s + o), load16(d + o), m[i]));
    }
}

// A pixel left over at the end of a row: 0 skips, 255 copies, else the exact blend.
template <class Mix>
void maskSingle(const std::uint8_t* s, std::uint8_t* d, std::uint32_t a, int bytes, Mix mixFn)
{
    if (a == 0)
        return;
    if (bytes == 4)
        store32(d, a == 255 ? load32(s) : mixFn(load32(s), load32(d), a));
    else
        store16(d, a == 255 ? load16(s) : mixFn(load16(s), load16(d), a));
}

// ---- SSE2: whole groups from the start of a row; each returns the pixels it did --------------------

#if QUARRY_RASTER_SSE2

struct Channels16 {
    __m128i r, g, b;
};

template <int Code>
Channels16 split16(__m128i p)
{
    const __m128i m5 = _mm_set1_epi16(0x1F);
    if constexpr (Code == kFormat565)
        return {_mm_srli_epi16(p, 11), _mm_and_si128(_mm_srli_epi16(p, 5), _mm_set1_epi16(0x3F)), _mm_and_si128(p, m5)};
    else
        return {_mm_and_si128(_mm_srli_epi16(p, 10), m5), _mm_and_si128(_mm_srli_epi16(p, 5), m5), _mm_and_si128(p, m5)};
}

// mix() in 16-bit lanes: (s*a + d*(256-a)) >> 8 never exceeds 16 bits for channels of up to 8 bits.
inline __m128i mixLanes(__m128i s, __m128i d, __m128i a, __m128i inv)
{
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, inv)), 8);
}

template <int Code>
__m128i mix16x8(__m128i s, __m128i d, __m128i a, __m128i inv)
{
    const Channels16 cs = split16<Code>(s), cd = split16<Code>(d);
    const __m128i r = _mm_slli_epi16(mixLanes(cs.r, cd.r, a, inv), Code == kFormat565 ? 11 : 10);
    const __m128i g = _mm_slli_epi16(mixLanes(cs.g, cd.g, a, inv), 5);
    return _mm_or_si128(_mm_or_si128(r, g), mixLanes(cs.b, cd.b, a, inv));
}

inline __m128i select(__m128i mask, __m128i yes, __m128i no)
{
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

inline __m128i load128(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void store128(std::uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

template <int Code>
int rect16(const std::uint8_t* s, std::uint8_t* d, int width, std::uint32_t alpha)
{
    const __m128i a = _mm_set1_epi16(static_cast<short>(alpha));
    const __m128i inv = _mm_set1_epi16(static_cast<short>(256 - alpha));
    int x = 0;
    for (; x + 8 <= width; x += 8)
        store128(d + 2 * x, mix16x8<Code>(load128(s + 2 * x), load128(d + 2 * x), a, inv));
    return x;
}

template <int Code>
int keyed16(const std::uint8_t* s, std::uint8_t* d, int width, std::uint32_t alpha, std::uint32_t key)
{
    const __m128i a = _mm_set1_epi16(static_cast<short>(alpha));
    const __m128i inv = _mm_set1_epi16(static_cast<short>(256 - alpha));
    const __m128i k = _mm_set1_epi16(static_cast<short>(key & 0xFFFFu));
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i sv = load128(s + 2 * x);
        const __m128i keyed = _mm_cmpeq_epi16(sv, k);
        if (_mm_movemask_epi8(keyed) == 0xFFFF)
            continue;
        const __m128i dv = load128(d + 2 * x);
        store128(d + 2 * x, select(keyed, dv, mix16x8<Code>(sv, dv, a, inv)));
    }
    return x;
}

template <int Code>
int mask16(const std::uint8_t* s, std::uint8_t* d, const std::uint8_t* m, int width)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi32(-1);
    const __m128i k256 = _mm_set1_epi16(256);
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i mv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(m + x));
        const __m128i none32 = _mm_cmpeq_epi32(mv, zero);
        if ((_mm_movemask_epi8(none32) & 0xFF) == 0xFF)
            continue;
        const __m128i all32 = _mm_cmpeq_epi32(mv, ones);
        const __m128i none = _mm_unpacklo_epi32(none32, none32);  // one 64-bit half per group of four
        const __m128i all = _mm_unpacklo_epi32(all32, all32);
        const __m128i a = _mm_unpacklo_epi8(mv, zero);
        const __m128i sv = load128(s + 2 * x), dv = load128(d + 2 * x);
        const __m128i mixed = mix16x8<Code>(sv, dv, a, _mm_sub_epi16(k256, a));
        store128(d + 2 * x, select(none, dv, select(all, sv, mixed)));
    }
    return x;
}

// 32-bit pixels as two vectors of 16-bit lanes: blue and red, green and the top byte.
inline __m128i lowBytes(__m128i p) { return _mm_and_si128(p, _mm_set1_epi32(0x00FF00FF)); }
inline __m128i highBytes(__m128i p) { return _mm_srli_epi16(p, 8); }

// The parallel constant-alpha formula: d + s*a/256 - d*a/256 per byte, the top byte weighted 0.
inline __m128i mmxBytes(__m128i s, __m128i d, __m128i a)
{
    return _mm_sub_epi16(_mm_add_epi16(d, _mm_srli_epi16(_mm_mullo_epi16(s, a), 8)),
                         _mm_srli_epi16(_mm_mullo_epi16(d, a), 8));
}

inline __m128i mmx32x4(__m128i s, __m128i d, __m128i aLow, __m128i aHigh)
{
    const __m128i lo = mmxBytes(lowBytes(s), lowBytes(d), aLow);
    const __m128i hi = mmxBytes(highBytes(s), highBytes(d), aHigh);
    return _mm_or_si128(lo, _mm_slli_epi16(hi, 8));
}

int rect32(const std::uint8_t* s, std::uint8_t* d, int width, std::uint32_t alpha)
{
    const __m128i aLow = _mm_set1_epi16(static_cast<short>(alpha));
    const __m128i aHigh = _mm_set1_epi32(static_cast<int>(alpha));
    int x = 0;
    for (; x + 4 <= width; x += 4)
        store128(d + 4 * x, mmx32x4(load128(s + 4 * x), load128(d + 4 * x), aLow, aHigh));
    return x;
}

int keyed32(const std::uint8_t* s, std::uint8_t* d, int width, std::uint32_t alpha, std::uint32_t key)
{
    const __m128i aLow = _mm_set1_epi16(static_cast<short>(alpha));
    const __m128i aHigh = _mm_set1_epi32(static_cast<int>(alpha));
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i k = _mm_set1_epi32(static_cast<int>(key & 0x00FFFFFFu));
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        const __m128i sv = load128(s + 4 * x);
        const __m128i keyed = _mm_cmpeq_epi32(_mm_and_si128(sv, colour), k);
        if (_mm_movemask_epi8(keyed) == 0xFFFF)
            continue;
        const __m128i dv = load128(d + 4 * x);
        store128(d + 4 * x, select(keyed, dv, mmx32x4(sv, dv, aLow, aHigh)));
    }
    return x;
}

// Lanes 0 and 1 of a 16-bit compare widened to 64 bits each: one group of two 32-bit pixels per lane.
inline __m128i widenGroupMask(__m128i lanes)
{
    const __m128i twice = _mm_unpacklo_epi16(lanes, lanes);
    return _mm_unpacklo_epi32(twice, twice);
}

int mask32(const std::uint8_t* s, std::uint8_t* d, const std::uint8_t* m, int width)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i k256 = _mm_set1_epi16(256);
    const __m128i green = _mm_set1_epi32(0xFF);
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        std::uint32_t bytes;
        std::memcpy(&bytes, m + x, sizeof bytes);
        if (bytes == 0)
            continue;
        const __m128i mv = _mm_cvtsi32_si128(static_cast<int>(bytes));
        // Groups of two: one 16-bit lane of alpha bytes each, widened to the group's 64 bits.
        const __m128i none = widenGroupMask(_mm_cmpeq_epi16(mv, zero));
        const __m128i all = widenGroupMask(_mm_cmpeq_epi16(mv, _mm_set1_epi32(-1)));
        const __m128i a16 = _mm_unpacklo_epi8(mv, zero);
        const __m128i a = _mm_unpacklo_epi16(a16, a16);  // (a, a) in each pixel's two lanes
        const __m128i inv = _mm_sub_epi16(k256, a);
        const __m128i sv = load128(s + 4 * x), dv = load128(d + 4 * x);
        const __m128i lo = mixLanes(lowBytes(sv), lowBytes(dv), a, inv);
        const __m128i g = _mm_and_si128(mixLanes(highBytes(sv), highBytes(dv), a, inv), green);
        const __m128i mixed = _mm_or_si128(lo, _mm_slli_epi32(g, 8));
        store128(d + 4 * x, select(none, dv, select(all, sv, mixed)));
    }
    return x;
}

#endif  // QUARRY_RASTER_SSE2

// The SIMD part of a row, or nothing without SSE2.
int rectSimd(int code, const std::uint8_t* s, std::uint8_t* d, int width, std::uint32_t a)
{
#if QUARRY_RASTER_SSE2
    switch (code) {
    case kFormat555: return rect16<kFormat555>(s, d, width, a);
    case kFormat565: return rect16<kFormat565>(s, d, width, a);
    case kFormat32: return rect32(s, d, width, a);
    default: break;
    }
#endif
    return 0;
}

int keyedSimd(int code, const std::uint8_t* s, std::uint8_t* d, int width, std::uint32_t a, std::uint32_t key)
{
#if QUARRY_RASTER_SSE2
    switch (code) {
    case kFormat555: return keyed16<kFormat555>(s, d, width, a, key);
    case kFormat565: return keyed16<kFormat565>(s, d, width, a, key);
    case kFormat32: return keyed32(s, d, width, a, key);
    default: break;
    }
#endif
    return 0;
}

int maskSimd(int code, const std::uint8_t* s, std::uint8_t* d, const std::uint8_t* m, int width)
{
#if QUARRY_RASTER_SSE2
    switch (code) {
    case kFormat555: return mask16<kFormat555>(s, d, m, width);
    case kFormat565: return mask16<kFormat565>(s, d, m, width);
    case kFormat32: return mask32(s, d, m, width);
    default: break;
    }
#endif
    return 0;
}

// The blend of one 16-bit pixel in the parallel code: the exact blend for 5-5-5 and 5-6-5 (their
// channels never overflow a lane), the lane arithmetic on the destination's masks otherwise.
std::uint32_t mix16(const BlendJob& job, std::uint32_t s, std::uint32_t d, std::uint32_t a)
{
    return isPairFormat(job.formatCode) ? mixPixel(layout16(job.formatCode), s, d, a) : mixLanePixel(job.dstMasks, s, d, a);
}

}  // namespace

void blendRect(const BlendJob& job)
{
    const std::uint32_t a = job.alpha;
    const std::uint8_t* srcRow = job.src;
    std::uint8_t* dstRow = job.dst;
    for (int y = 0; y < job.height; ++y, srcRow += job.srcPitch, dstRow += job.dstPitch) {
        int x = rectSimd(job.formatCode, srcRow, dstRow, job.width, a);
        if (job.formatCode == kFormat32) {
            for (; x + 1 < job.width; x += 2) {
                store32(dstRow + 4 * x, mixMmx32(load32(srcRow + 4 * x), load32(dstRow + 4 * x), a));
                store32(dstRow + 4 * x + 4, mixMmx32(load32(srcRow + 4 * x + 4), load32(dstRow + 4 * x + 4), a));
            }
            if (x < job.width)
                store32(dstRow + 4 * x, mixPixel(kLayout888, load32(srcRow + 4 * x), load32(dstRow + 4 * x), a));
        } else {
            for (; x < job.width; ++x)
                store16(dstRow + 2 * x, mix16(job, load16(srcRow + 2 * x), load16(dstRow + 2 * x), a));
        }
    }
}

void blendRectKeyed(const BlendJob& job)
{
    const std::uint32_t a = job.alpha;
    const std::uint32_t key = job.colorKey;
    const std::uint8_t* srcRow = job.src;
    std::uint8_t* dstRow = job.dst;
    for (int y = 0; y < job.height; ++y, srcRow += job.srcPitch, dstRow += job.dstPitch) {
        int x = keyedSimd(job.formatCode, srcRow, dstRow, job.width, a, key);
        if (job.formatCode == kFormat32) {
            // Groups blend with the parallel formula, the odd last pixel with the exact one.
            const int groupEnd = job.width & ~1;
            for (; x < job.width; ++x) {
                const std::uint32_t s = load32(srcRow + 4 * x);
                if (isKey32(s, key))
                    continue;
                const std::uint32_t d = load32(dstRow + 4 * x);
                store32(dstRow + 4 * x, x < groupEnd ? mixMmx32(s, d, a) : mixPixel(kLayout888, s, d, a));
            }
        } else {
            for (; x < job.width; ++x) {
                const std::uint32_t s = load16(srcRow + 2 * x);
                if (!isKey16(s, key))
                    store16(dstRow + 2 * x, mix16(job, s, load16(dstRow + 2 * x), a));
            }
        }
    }
}

void blendMask(const BlendJob& job)
{
    const bool wide = job.formatCode == kFormat32;
    const int bytes = wide ? 4 : 2;
    const int group = wide ? 2 : 4;
    auto mixWide = [](std::uint32_t s, std::uint32_t d, std::uint32_t a) { return mixPixel(kLayout888, s, d, a); };
    auto mixNarrow = [&job](std::uint32_t s, std::uint32_t d, std::uint32_t a) { return mix16(job, s, d, a); };

    const std::uint8_t* srcRow = job.src;
    std::uint8_t* dstRow = job.dst;
    const std::uint8_t* mapRow = job.map;
    for (int y = 0; y < job.height; ++y, srcRow += job.srcPitch, dstRow += job.dstPitch, mapRow += job.mapPitch) {
        int x = maskSimd(job.formatCode, srcRow, dstRow, mapRow, job.width);
        for (; x + group <= job.width; x += group) {
            if (wide)
                maskGroup<2>(srcRow + 4 * x, dstRow + 4 * x, mapRow + x, 4, mixWide);
            else
                maskGroup<4>(srcRow + 2 * x, dstRow + 2 * x, mapRow + x, 2, mixNarrow);
        }
        for (; x < job.width; ++x) {
            if (wide)
                maskSingle(srcRow + 4 * x, dstRow + 4 * x, mapRow[x], bytes, mixWide);
            else
                maskSingle(srcRow + 2 * x, dstRow + 2 * x, mapRow[x], bytes, mixNarrow);
        }
    }
}

}  // namespace raster::fast
