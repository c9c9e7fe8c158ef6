#include "runtime/Random.h"

#include "runtime/RandomDraws.h"

Random& Random::global()
{
    static Random instance;
    return instance;
}

void Random::setSeed(int64_t s)
{
    seed = random_draws::scrambledSeed(s, multiplier, mask);
}

int32_t Random::next(int bits)
{
    return random_draws::step(seed, multiplier, addend, mask, bits);
}

int32_t Random::nextInt()
{
    return next(32);
}

int32_t Random::nextInt(int32_t bound)
{
    return random_draws::boundedInt([this](int bits) { return next(bits); }, bound);
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

void Random::nextBytes(uint8_t* bytes, int count)
{
    random_draws::fillBytes(bytes, count, [this] { return nextInt(); });
}
