// The 48-bit linear congruential step and the draws derived from it, shared by the game's Random and
// java::Random so that both give the same sequence for a seed. The derivations take the generator's
// own next(bits) as a callable, so an override of the virtual next() still changes every draw.
#pragma once

#include <cstdint>

namespace random_draws {

inline uint64_t scrambledSeed(int64_t seed, uint64_t multiplier, uint64_t mask)
{
    return (static_cast<uint64_t>(seed) ^ multiplier) & mask;
}

// Advances the seed and returns its top `bits` (1 to 32) as a signed 32-bit value.
inline int32_t step(uint64_t& seed, uint64_t multiplier, uint64_t addend, uint64_t mask, int bits)
{
    seed = (seed * multiplier + addend) & mask;
    return static_cast<int32_t>(static_cast<uint32_t>(seed >> (48 - bits)));
}

// 0 <= result < bound for a positive bound; no check of the bound, 0 gives 0.
template <typename Next>
int32_t boundedInt(Next&& next, int32_t bound)
{
    const uint32_t ubound = static_cast<uint32_t>(bound);
    if ((ubound & (0u - ubound)) == ubound)
        return static_cast<int32_t>((static_cast<int64_t>(bound) * next(31)) >> 31);

    // Reject the top partial range so every value is equally likely; the sum is taken with 32-bit
    // wrap-around, as the overflow is the test.
    int32_t bits, val;
    do {
        bits = next(31);
        val = bits % bound;
    } while (static_cast<int32_t>(static_cast<uint32_t>(bits) - static_cast<uint32_t>(val) + (ubound - 1u)) < 0);
    return val;
}

template <typename Next>
int64_t nextLong(Next&& next)
{
    const uint64_t high = static_cast<uint64_t>(static_cast<int64_t>(next(32))) << 32;
    const uint64_t low = static_cast<uint64_t>(static_cast<int64_t>(next(32)));
    return static_cast<int64_t>(high + low);
}

template <typename Next>
float nextFloat(Next&& next)
{
    return static_cast<float>(next(24)) / static_cast<float>(1 << 24);
}

template <typename Next>
double nextDouble(Next&& next)
{
    const uint64_t high = static_cast<uint64_t>(next(26)) << 27;
    return static_cast<double>(high + static_cast<uint64_t>(next(27))) / static_cast<double>(1LL << 53);
}

// Each call of draw32() gives four bytes, lowest first; a partial last group drops the rest.
template <typename Draw>
void fillBytes(uint8_t* bytes, int count, Draw&& draw32)
{
    uint32_t r = 0;
    for (int i = 0; i < count; ++i) {
        r = (i % 4 == 0) ? static_cast<uint32_t>(draw32()) : r >> 8;
        bytes[i] = static_cast<uint8_t>(r);
    }
}

} // namespace random_draws
