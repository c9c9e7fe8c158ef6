// Filling a run of bytes with a repeated pixel: the core of every solid fill, shared by the
// DirectDraw surfaces and the software rasteriser.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

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

// Stores n bytes from p on, repeating a 4-byte word: whole rows of 8, 16 and 32-bit pixels when
// the word holds the pixel repeated (repeatedPixel). Whole blocks first, the tail in one piece.
inline void fillSpan(std::uint8_t* p, std::size_t n, std::uint32_t word)
{
    std::uint32_t block[16]; // 64 bytes a step
    std::fill(std::begin(block), std::end(block), word);
    for (; n >= sizeof block; n -= sizeof block, p += sizeof block)
        std::memcpy(p, block, sizeof block);
    std::memcpy(p, block, n);
}

} // namespace compat::ddraw
