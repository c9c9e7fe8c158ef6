#include "platform/raster/MaskCombine.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using namespace raster;

TEST(MaskCombine, EveryModeOnItsDefiningBytes)
{
    struct Case {
        int mode;
        std::uint32_t s, d, expected;
    } cases[] = {
        {MaskCopy, 7, 200, 7},
        {MaskMaximum, 7, 200, 200},        {MaskMaximum, 201, 200, 201},
        {MaskMinimum, 7, 200, 7},          {MaskMinimum, 201, 200, 200},
        {MaskMultiply, 255, 255, 254},     {MaskMultiply, 128, 100, 50},
        {MaskSubtract, 20, 10, 0},         {MaskSubtract, 10, 20, 10},      {MaskSubtract, 0, 20, 20},
        {MaskSubtractInverse, 255, 37, 37}, {MaskSubtractInverse, 0, 254, 0}, {MaskSubtractInverse, 0, 255, 0},
        {MaskSubtractInverse, 200, 100, 45},
        {MaskAdd, 100, 100, 200},          {MaskAdd, 200, 100, 255},        {MaskAdd, 255, 255, 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(combineByte(c.mode, c.s, c.d), c.expected) << "mode " << c.mode << " s " << c.s << " d " << c.d;
}

TEST(MaskCombine, InactiveModesChangeNothing)
{
    for (int mode : {0, 2, 4, 6, 8, 12, 99, -1}) {
        EXPECT_FALSE(isActiveMaskMode(mode)) << mode;
        std::vector<std::uint8_t> src{1, 2}, dst{9, 9};
        combineRows(mode, src.data(), 2, dst.data(), 2, 2, 1);
        EXPECT_EQ(dst, (std::vector<std::uint8_t>{9, 9})) << mode;
    }
}

TEST(MaskCombine, ScaledSourceBytes)
{
    EXPECT_EQ(scaleByte(255, 0.5f), 127u);
    EXPECT_EQ(scaleByte(255, 1.0f), 255u);
    EXPECT_EQ(scaleByte(3, 0.0f), 0u);
    // Outside the usual 0..1 the value saturates rather than wrapping or overflowing.
    EXPECT_EQ(scaleByte(200, 2.0f), 255u);
    EXPECT_EQ(scaleByte(200, -1.0f), 0u);
    EXPECT_EQ(scaleByte(200, std::numeric_limits<float>::infinity()), 255u);
    EXPECT_EQ(scaleByte(200, std::numeric_limits<float>::quiet_NaN()), 0u);

    // Rows step by their own pitches; add saturates in the scaled form too.
    std::vector<std::uint8_t> src{255, 100, 0xEE, 200, 60, 0xEE};
    std::vector<std::uint8_t> dst{1, 200, 2, 250};
    const float half = 0.5f;
    combineRows(MaskAdd, src.data(), 3, dst.data(), 2, 2, 2, &half);
    EXPECT_EQ(dst, (std::vector<std::uint8_t>{128, 250, 102, 255}));
}
