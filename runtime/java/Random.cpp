#include "runtime/java/Random.h"

#include "runtime/java/System.h"

namespace java {

Random::Random()
{
    setSeed(System::currentTimeMillis());
}

Random::Random(int64_t seed)
{
    setSeed(seed);
}

void Random::setSeed(int64_t newSeed)
{
    seed = (static_cast<uint64_t>(newSeed) ^ multiplier) & mask;
    haveNextNextGaussian = false;
    nextNextGaussian = 0.0;
}

int Random::next(int bits)
{
    seed = (seed * multiplier + addend) & mask;
    return static_cast<int>(static_cast<uint32_t>(seed >> (48 - bits)));
}

void Random::nextBytes(unsigned char* bytes, int n)
{
    uint32_t draw = 0;
    for (int i = 0; i < n; ++i) {
        draw = (i % 4 == 0) ? static_cast<uint32_t>(next(32)) : draw >> 8;
        bytes[i] = static_cast<unsigned char>(draw);
    }
}

int Random::nextInt(int bound)
{
    uint32_t unsignedBound = static_cast<uint32_t>(bound);
    if ((unsignedBound & (0U - unsignedBound)) == unsignedBound)
        return static_cast<int>((static_cast<int64_t>(bound) * next(31)) >> 31);
    int r;
    int v;
    do {
        r = next(31);
        v = r % bound;
    } while (static_cast<int32_t>(static_cast<uint32_t>(r) - static_cast<uint32_t>(v) + (unsignedBound - 1U)) < 0);
    return v;
}

int Random::nextInt()
{
    return next(32);
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
    return static_cast<float>(next(24) / 16777216.0);
}

double Random::nextDouble()
{
    uint64_t high = static_cast<uint64_t>(next(26)) << 27;
    return static_cast<double>(high + static_cast<uint64_t>(next(27))) / 9007199254740992.0;
}

} // namespace java
