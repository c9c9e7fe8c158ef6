// Filling a run of bytes with a repeated pixel: the core of every solid fill, shared by the
// DirectDraw surfaces and the software rasteriser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define QUARRY_SPAN_FILL_X86 1
#endif

namespace compat::ddraw {

// The pixel repeated across 32 bits, for pixels of 1, 2 or 4 bytes.
inline std::uint32_t repeatedPixel(std::uint32_t value, std::uint32_t bytes)
{
    if (bytes == 1)
        return (value & 0xFFu) * 0x01010101u;
    if (bytes == 2)
        return (value & 0xFFFFu) * 0x00010001u;
    return value;
}

// Stores n bytes from p on, byte i being byte i % 4 of the word (little-endian): whole rows of 8,
// 16 and 32-bit pixels when the word holds the pixel repeated (repeatedPixel). p needs no alignment.
//
// Rows are short (a few hundred bytes) and many, so the work is in the stores: the bytes up to the
// next 16-byte boundary go first, then aligned 16-byte stores four at a time, then the rest. Past
// the head the pattern continues from wherever the head left it, hence the rotated word.
namespace span_fill_detail {

// The word rotated so that its byte 0 is byte k % 4 of the original (little-endian).
inline std::uint32_t phase(std::uint32_t word, std::size_t k)
{
    const unsigned shift = static_cast<unsigned>(k & 3u) * 8u;
    return shift != 0 ? word >> shift | word << (32u - shift) : word;
}

inline void fillBytes(std::uint8_t* p, std::size_t n, std::uint32_t word)
{
    for (; n >= 4; n -= 4, p += 4)
        std::memcpy(p, &word, 4);
    for (std::size_t i = 0; i < n; ++i)
        p[i] = static_cast<std::uint8_t>(word >> (8 * i));
}

#if defined(QUARRY_SPAN_FILL_X86)
// The same scheme with 16 or 32-byte vectors: one unaligned store covers the bytes up to the next
// vector boundary, aligned stores four at a time fill the middle, and one unaligned store that ends
// exactly at the end of the run covers the rest. The overlapping bytes are written twice with the
// same values. Needs n >= 2 * vector size.
inline void fillSse2(std::uint8_t* p, std::size_t n, std::uint32_t word)
{
    const std::size_t head = static_cast<std::size_t>(-reinterpret_cast<std::uintptr_t>(p)) & 15u;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_set1_epi32(static_cast<int>(word)));
    word = phase(word, head);
    p += head;
    n -= head;
    const __m128i v = _mm_set1_epi32(static_cast<int>(word));
    for (; n >= 64; n -= 64, p += 64) {
        _mm_store_si128(reinterpret_cast<__m128i*>(p), v);
        _mm_store_si128(reinterpret_cast<__m128i*>(p + 16), v);
        _mm_store_si128(reinterpret_cast<__m128i*>(p + 32), v);
        _mm_store_si128(reinterpret_cast<__m128i*>(p + 48), v);
    }
    for (; n >= 16; n -= 16, p += 16)
        _mm_store_si128(reinterpret_cast<__m128i*>(p), v);
    if (n != 0) {
        const std::size_t back = 16 - n;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p - back),
                         _mm_set1_epi32(static_cast<int>(phase(word, 4 - (back & 3u)))));
    }
}

// From this size on (a whole 32-bit screen filled as one run) the processor's string store beats
// vector stores: it writes whole lines without reading them first, where the vector stores pay for
// fetching every line that no longer sits in the nearer caches.
constexpr std::size_t kStringStoreBytes = std::size_t{1} << 20;

__attribute__((target("avx2"))) inline void fillAvx2(std::uint8_t* p, std::size_t n, std::uint32_t word)
{
    const std::size_t head = static_cast<std::size_t>(-reinterpret_cast<std::uintptr_t>(p)) & 31u;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_set1_epi32(static_cast<int>(word)));
    word = phase(word, head);
    p += head;
    n -= head;
    const __m256i v = _mm256_set1_epi32(static_cast<int>(word));
    if (n >= kStringStoreBytes) {
        std::size_t count = n / 4;
        void* dst = p;
        asm volatile("rep stosl" : "+D"(dst), "+c"(count) : "a"(word) : "memory");
        p += n & ~std::size_t{3};
        n &= 3;
    }
    for (; n >= 128; n -= 128, p += 128) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(p), v);
        _mm256_store_si256(reinterpret_cast<__m256i*>(p + 32), v);
        _mm256_store_si256(reinterpret_cast<__m256i*>(p + 64), v);
        _mm256_store_si256(reinterpret_cast<__m256i*>(p + 96), v);
    }
    for (; n >= 32; n -= 32, p += 32)
        _mm256_store_si256(reinterpret_cast<__m256i*>(p), v);
    if (n != 0) {
        const std::size_t back = 32 - n;
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p - back),
                            _mm256_set1_epi32(static_cast<int>(phase(word, 4 - (back & 3u)))));
    }
}

inline bool hasAvx2()
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}
#endif

} // namespace span_fill_detail

// Stores n bytes from p on, byte i being byte i % 4 of the word (little-endian): whole rows of 8,
// 16 and 32-bit pixels when the word holds the pixel repeated (repeatedPixel). p needs no alignment.
// Rows are many and short, so the work is all in the stores: wide aligned ones where the run allows.
inline void fillSpan(std::uint8_t* p, std::size_t n, std::uint32_t word)
{
    using namespace span_fill_detail;
#if defined(QUARRY_SPAN_FILL_X86)
    if (n >= 64 && hasAvx2())
        return fillAvx2(p, n, word);
    if (n >= 32)
        return fillSse2(p, n, word);
#endif
    fillBytes(p, n, word);
}

} // namespace compat::ddraw
