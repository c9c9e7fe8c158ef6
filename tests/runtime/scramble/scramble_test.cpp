#include "runtime/scramble/ScrambleTable.h"
#include "runtime/scramble/ScrambledInt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <string>
#include <vector>

namespace {

// Reads the position out of "<value>i<position>".
int positionOf(const std::string& encoded)
{
    return std::stoi(encoded.substr(encoded.find('i') + 1));
}

// The inverse of encodedText: only the shared table recovers the value.
int decode(const std::string& encoded)
{
    const unsigned char* t = ScrambleTable::sharedTable();
    int p = positionOf(encoded);
    uint32_t mask = 0;
    for (int k = 3; k >= 0; --k)
        mask = (mask << 8) + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(t[(p + k) % 256])));
    return static_cast<int>(static_cast<uint32_t>(std::stol(encoded)) ^ mask);
}

} // namespace

TEST(ScrambleTable, SharedTableIsAFixedPermutation)
{
    const unsigned char* table = ScrambleTable::sharedTable();
    // Scrambled files written by any earlier run depend on these bytes.
    EXPECT_EQ(std::vector<int>(table, table + 16),
              (std::vector<int>{15, 238, 227, 74, 100, 22, 98, 171, 161, 32, 69, 20, 172, 88, 194, 156}));
    EXPECT_EQ(std::vector<int>(table + 250, table + 256), (std::vector<int>{44, 197, 7, 152, 226, 13}));
    std::set<int> values(table, table + 256);
    EXPECT_EQ(values.size(), 256u);
}

TEST(ScrambleTable, ScrambleBufferIsItsOwnInverseAndKeepsTheTopBit)
{
    std::vector<unsigned char> original(300);
    for (size_t i = 0; i < original.size(); ++i)
        original[i] = static_cast<unsigned char>(i * 7 + 0x80 * (i % 2));
    std::vector<unsigned char> bytes = original;
    scrambleBuffer(bytes.data(), bytes.size());
    EXPECT_NE(bytes, original);
    for (size_t i = 0; i < bytes.size(); ++i)
        ASSERT_EQ(bytes[i] & 0x80, original[i] & 0x80) << i;
    // The table repeats every 256 bytes.
    EXPECT_EQ(bytes[256] ^ original[256], bytes[0] ^ original[0]);
    scrambleBuffer(bytes.data(), bytes.size());
    EXPECT_EQ(bytes, original);

    unsigned char a[4] = {0, 0, 0, 0};
    unsigned char b[4] = {0, 0, 0, 0};
    xorBuffer(a, 4, -3);
    xorBuffer(b, 4, 3);
    EXPECT_TRUE(std::equal(a, a + 4, b));
    EXPECT_EQ(a[0], ScrambleTable::sharedTable()[3] & 0x7F);
    xorBuffer(a, 4, INT_MIN); // no overflow taking the magnitude
}

TEST(ScrambledInt, HoldsEveryValueAndEncodesItForTheSharedTable)
{
    for (int value : {-1, 0, 1, 2147483647, INT_MIN, 123456}) {
        ScrambledInt number;
        number.set(value);
        EXPECT_EQ(number.get(), value);
        EXPECT_EQ(decode(number.encodedText()), value) << number.encodedText();
        ScrambledInt copy(number);
        EXPECT_EQ(copy.get(), value);
        ScrambledInt assigned;
        assigned = number;
        EXPECT_EQ(assigned.get(), value);
    }
    EXPECT_EQ(ScrambledInt().get(), 0);
}

TEST(ScrambledInt, EverySetDrawsAFreshPosition)
{
    ScrambledInt number;
    std::set<int> positions;
    for (int i = 0; i < 20; ++i) {
        number.set(42);
        int position = positionOf(number.encodedText());
        EXPECT_GE(position, 0);
        EXPECT_LT(position, 256);
        positions.insert(position);
    }
    EXPECT_GT(positions.size(), 1u);
    EXPECT_EQ(number.get(), 42);
}
