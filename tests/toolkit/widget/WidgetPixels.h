// Pixel comparison for drawn widgets: blending through a mask map may lose a few steps per channel.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

inline ::testing::AssertionResult nearColour(std::uint32_t actual, std::uint32_t expected)
{
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
        if (a < e - 6 || a > e + 6)
            return ::testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
    }
    return ::testing::AssertionSuccess();
}
