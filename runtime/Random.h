// The game's pseudo-random generator: a 48-bit linear congruential generator (multiplier 0x5DEECE66D,
// addend 11, modulus 2^48) with the java-style derivations, so a seed gives the same sequence as the
// java-style library's generator. Every derived draw goes through the virtual next().
#pragma once

#include <cstdint>

class Random {
public:
    Random() { setSeed(0); }
    virtual ~Random() = default;

    // The program-wide generator, seed 0 until the application seeds it with the millisecond clock.
    static Random& global();

    virtual void setSeed(int64_t s);
    // Each draw of nextInt() gives four bytes, lowest first; a partial last group drops the rest.
    virtual void nextBytes(uint8_t* bytes, int count);
    // No check of the bound: 0 gives 0.
    virtual int32_t nextInt(int32_t bound);
    virtual int32_t nextInt();
    virtual int64_t nextLong();
    virtual bool nextBoolean();
    virtual float nextFloat();
    virtual double nextDouble();
    // The top `bits` (1 to 32) of the advanced 48-bit seed.
    virtual int32_t next(int bits);

private:
    uint64_t seed = 0;
    const uint64_t multiplier = 0x5DEECE66DULL;
    const uint64_t addend = 0xBULL;
    const uint64_t mask = (1ULL << 48) - 1;
};
