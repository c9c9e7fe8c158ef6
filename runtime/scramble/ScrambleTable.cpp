#include "runtime/scramble/ScrambleTable.h"

#include "runtime/java/Random.h"
#include "runtime/java/System.h"

#include <cstdlib>
#include <utility>

namespace {

// The scrambled files of every installation depend on this seed.
constexpr int64_t kSharedSeed = 6204871;

// A permutation of 0..255 keyed by 256 bytes of the generator (the key schedule of the RC4 cipher).
void buildPermutation(java::Random& random, unsigned char (&table)[256])
{
    unsigned char key[256];
    random.nextBytes(key, 256);
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i);
    unsigned j = 0;
    for (int i = 0; i < 256; ++i) {
        j = (j + table[i] + key[i]) % 256;
        std::swap(table[i], table[j]);
    }
}

struct SharedTable {
    SharedTable()
    {
        java::Random random(kSharedSeed);
        random.setSeed(kSharedSeed);
        buildPermutation(random, table);
    }
    unsigned char table[256];
};

} // namespace

ScrambleTable::ScrambleTable()
    : seed(static_cast<uint64_t>(java::System::currentTimeMillis())),
      random(new java::Random(static_cast<int64_t>(seed)))
{
    buildPermutation(*random, table);
}

ScrambleTable::ScrambleTable(const ScrambleTable&) : ScrambleTable() {}

ScrambleTable& ScrambleTable::operator=(const ScrambleTable&)
{
    return *this;
}

ScrambleTable::~ScrambleTable()
{
    java::releaseAndDelete(random);
}

const unsigned char* ScrambleTable::sharedTable()
{
    static const SharedTable shared;
    return shared.table;
}

void xorBuffer(unsigned char* bytes, size_t count, int offset)
{
    const unsigned char* table = ScrambleTable::sharedTable();
    size_t start = static_cast<size_t>(std::llabs(static_cast<long long>(offset)));
    for (size_t i = 0; i < count; ++i)
        bytes[i] ^= table[(start + i) % 256] & 0x7F;
}

void scrambleBuffer(unsigned char* bytes, size_t count)
{
    xorBuffer(bytes, count, 0);
}
