#include "runtime/java/Random.h"

#include "runtime/RandomDraws.h"
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
    seed = random_draws::scrambledSeed(newSeed, multiplier, mask);
    haveNextNextGaussian = false;
    nextNextGaussian = 0.0;
}

int Random::next(int bits)
{
    return random_draws::step(seed, multiplier, addend, mask, bits);
}

void Random::nextBytes(unsigned char* bytes, int n)
{
    random_draws::fillBytes(bytes, n, [this] { return next(32); });
}

int Random::nextInt(int bound)
{
    return random_draws::boundedInt([this](int bits) { return next(bits); }, bound);
}

int Random::nextInt()
{
    return next(32);
}

int64_t Random::nextLong()
{
    return random_draws::nextLong([this](int bits) { return next(bits); });
}

bool Random::nextBoolean()
{
    return next(1) != 0;
}

float Random::nextFloat()
{
    return random_draws::nextFloat([this](int bits) { return next(bits); });
}

double Random::nextDouble()
{
    return random_draws::nextDouble([this](int bits) { return next(bits); });
}

} // namespace java
