// Scrambling of data the player should not edit by hand. Files are XORed with a program-wide
// permutation table that is the same on every run and machine; each ScrambleTable object also has a
// table of its own, built from the clock, which ScrambledInt uses to mask values in memory.
#pragma once

#include "runtime/java/Object.h"

#include <cstddef>
#include <cstdint>

namespace java {
class Random;
}

class ScrambleTable : public java::Object {
public:
    ScrambleTable();
    // A copy builds a table and generator of its own.
    ScrambleTable(const ScrambleTable& other);
    ScrambleTable& operator=(const ScrambleTable& other);
    ~ScrambleTable() override;

    // The program-wide table, built on first use from a fixed seed.
    static const unsigned char* sharedTable();

protected:
    unsigned char table[256];
    uint64_t seed;
    java::Random* random;
    int position = 0;
};

// What the file paths hold while they scramble; it adds nothing to its base.
class FileScrambler : public ScrambleTable {
};

// Byte i ^= (shared table[(|offset| + i) mod 256] AND 0x7F). Its own inverse; the top bit of every byte
// stays, so 7-bit text stays 7-bit text.
void xorBuffer(unsigned char* bytes, size_t count, int offset);
// xorBuffer with offset 0: the transformation of the ".!" files.
void scrambleBuffer(unsigned char* bytes, size_t count);
