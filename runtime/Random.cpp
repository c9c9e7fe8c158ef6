#include "runtime/Random.h"

Random& Random::global()
{
    static Random instance;
    return instance;
}

void Random::setSeed(int64_t s)
{
    seed = (static_cast<uint64_t>(s) ^ multiplier) & mask;
}

int32_t Random::next(int bits)
{
    seed = (seed * multiplier + addend) & mask;
    return static_cast<int32_t>(static_cast<uint32_t>(seed >> (48 - bits)));
}

int32_t Random::nextInt()
{
    return next(32);
}

int32_t Random::nextInt(int32_t bound)
{
    uint32_t ubound = static_cast<uint32_t>(bound);
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

int64_t Random::nextLong()
{
    uint64_t high = static_cast<uint64_t>(static_cast<int64_t>(next(32))) << 32;
    uint64_t low = static_cast<uint64_t>(static_cast<int64_t>(next(32)));
    return static_cast<int64_t>(high + low);
}

bool Random::nextBoolean()
{
    return next(1) != 0;
}

float Random::nextFloat()
{
    return static_cast<float>(next(24)) / static_cast<float>(1 << 24);
}

double Random::nextDouble()
{
    int64_t high = static_cast<int64_t>(next(26)) << 27;
    return static_cast<double>(high + next(27)) / static_cast<double>(1LL << 53);
}

void Random::nextBytes(uint8_t* bytes, int count)
{
    uint32_t r = 0;
    for (int i = 0; i < count; ++i) {
        if (i % 4 == 0)
            r = static_cast<uint32_t>(nextInt());
        else
            r >>= 8;
        bytes[i] = static_cast<uint8_t>(r);
    }
}
