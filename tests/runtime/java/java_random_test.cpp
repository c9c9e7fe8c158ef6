#include "runtime/java/Random.h"

#include <gtest/gtest.h>

#include <vector>

using namespace java;

// Reference values of the published 48-bit generator.
TEST(JavaRandom, ReproducesThePublishedSequence)
{
    Random zero(0);
    EXPECT_EQ(zero.nextInt(), -1155484576);
    EXPECT_EQ(zero.nextInt(), -723955400);
    EXPECT_EQ(Random(42).nextInt(), -1170105035);
    EXPECT_EQ(Random(0).nextInt(10), 0);
    EXPECT_EQ(Random(0).nextLong(), -4962768465676381896LL);
    EXPECT_DOUBLE_EQ(Random(0).nextDouble(), 0.730967787376657);
    EXPECT_FLOAT_EQ(Random(0).nextFloat(), 0.7309677600860596f);
    EXPECT_TRUE(Random(0).nextBoolean());
}

TEST(JavaRandom, NextBytesTakesEachDrawLeastSignificantByteFirst)
{
    unsigned char bytes[6];
    Random(0).nextBytes(bytes, 6);
    EXPECT_EQ(std::vector<int>(bytes, bytes + 6), (std::vector<int>{96, 180, 32, 187, 56, 81}));

    Random random(0);
    random.nextInt();
    uint32_t second = static_cast<uint32_t>(random.nextInt());
    EXPECT_EQ(bytes[4], second & 0xFF);
    EXPECT_EQ(bytes[5], (second >> 8) & 0xFF);
}

TEST(JavaRandom, BoundedDraws)
{
    Random a(7);
    Random b(7);
    EXPECT_EQ(a.nextInt(16), b.next(31) >> 27);
    EXPECT_EQ(a.nextInt(0), 0);
    for (int bound : {1, 3, 10, 1000, 0x7FFFFFFF}) {
        int value = a.nextInt(bound);
        EXPECT_GE(value, 0);
        EXPECT_LT(value, bound);
    }
    Random c(123);
    Random d(123);
    c.setSeed(5);
    d.setSeed(5);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(c.nextInt(1000), d.nextInt(1000));
}
