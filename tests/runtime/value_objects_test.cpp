#include "runtime/ColorValue.h"
#include "runtime/RectangleValue.h"

#include <gtest/gtest.h>

TEST(ValueObjects, ColorChannelsAndPackedFormAgree)
{
    ColorValue color(0x80FF0000u);
    EXPECT_EQ(color.alpha, 128);
    EXPECT_EQ(color.red, 255);
    EXPECT_EQ(color.green, 0);
    EXPECT_EQ(color.blue, 0);
    EXPECT_EQ(color.packed, 0x80FF0000u);

    ColorValue copy;
    copy = color;
    EXPECT_EQ(copy.packed, 0x80FF0000u);
    EXPECT_EQ(copy.alpha, 128);
    EXPECT_EQ(ColorValue(0x01234567u).packed, 0x01234567u);
}

TEST(ValueObjects, RectangleSetSizeKeepsThePosition)
{
    RectangleValue rect(1, 2, 3, 4);
    rect.setSize(10, 20);
    EXPECT_EQ(rect.x, 1);
    EXPECT_EQ(rect.y, 2);
    EXPECT_EQ(rect.width, 10);
    EXPECT_EQ(rect.height, 20);
}
