#include "runtime/ServiceShellDefaults.h"
#include "runtime/values/ColorValue.h"
#include "runtime/values/Point.h"
#include "runtime/values/Rect.h"
#include "runtime/values/RectangleValue.h"

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

TEST(ValueObjects, PointRectAndServiceShellDefaults)
{
    EXPECT_EQ(Point(), Point(0, 0));
    EXPECT_EQ(Rect(), Rect(0, 0, 0, 0));
    Rect rect;
    rect.copyFrom(Rect(1, -2, 3, 4));
    EXPECT_EQ(rect, Rect(1, -2, 3, 4));

    ServiceShellDefaults defaults;
    EXPECT_EQ(defaults.getValue1(), 60);
    EXPECT_EQ(defaults.getValue3(), 560);
    EXPECT_EQ(defaults.getValue4(), 345);
    EXPECT_EQ(defaults.getValue5(), 3);
    defaults.setValue1(30);
    EXPECT_EQ(defaults.getAdUpdateBudgetSeconds(), 30);
}
