// The 48-bit linear congruential generator of the java:: library (multiplier 0x5DEECE66D, addend 11):
// for one seed it yields the same values on every machine, which the scrambled files depend on.
#pragma once

#include "runtime/java/Object.h"

#include <cstdint>

namespace java {

// Not locked: one generator belongs to one thread at a time.
class Random : public Object {
public:
    // Seeded from the millisecond clock.
    Random();
    explicit Random(int64_t seed);

    virtual void setSeed(int64_t seed);
    // Bytes of each 32-bit draw, least significant first; a last partial group uses the low bytes.
    virtual void nextBytes(unsigned char* bytes, int n);
    // 0 <= result < bound for a positive bound; a bound of 0 gives 0.
    virtual int nextInt(int bound);
    virtual int nextInt();
    virtual int64_t nextLong();
    virtual bool nextBoolean();
    virtual float nextFloat();
    virtual double nextDouble();
    // The top `bits` (1..32) of the next 48-bit state; every other draw goes through it.
    virtual int next(int bits);

private:
    uint64_t seed = 0;
    bool haveNextNextGaussian = false;
    double nextNextGaussian = 0.0;
    uint64_t multiplier = 0x5DEECE66DULL;
    uint64_t addend = 11;
    uint64_t mask = 0xFFFFFFFFFFFFULL;
};

} // namespace java
