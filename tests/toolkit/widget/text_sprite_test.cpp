#include "platform/surface/SurfaceHolder.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/widget/TextSprite.h"
#include "toolkit/widget/WidgetFont.h"

#include <gtest/gtest.h>

namespace {

class TextSpriteTest : public WidgetFontTest {
protected:
    static std::uint8_t maskAt(const TextSprite& sprite, int x, int y)
    {
        Surface* map = sprite.getMask();
        const int pitch = map->getDesc().pitch > 0 ? map->getDesc().pitch : static_cast<int>(map->getDesc().width);
        return static_cast<const std::uint8_t*>(map->pixels())[y * pitch + x];
    }
};

TEST_F(TextSpriteTest, OneLineSizeAndHalfStrengthEdge)
{
    // "ab" measures 10 with one pixel of spacing: W = 10, H = 5 + 1, the image one larger each way.
    Held<TextSprite> sprite(new TextSprite(uniform, "ab", 7, 9));
    EXPECT_EQ(sprite->getX(), 7);
    EXPECT_EQ(sprite->getY(), 9);
    EXPECT_EQ(sprite->getWidth(), 11);
    EXPECT_EQ(sprite->getHeight(), 7);
    ASSERT_NE(sprite->getMask(), nullptr);
    const int halfStrength = maskAt(*sprite.get(), 4, 5);
    EXPECT_EQ(maskAt(*sprite.get(), 0, 0), 255) << "glyphs fully opaque";
    EXPECT_EQ(maskAt(*sprite.get(), 3, 4), 255);
    EXPECT_GE(halfStrength, 126);
    EXPECT_LE(halfStrength, 128);
    EXPECT_EQ(maskAt(*sprite.get(), 4, 0), 0) << "the spacing column above the copy stays clear";
    EXPECT_EQ(maskAt(*sprite.get(), 10, 6), 0);
    EXPECT_EQ(peek(sprite->getSurface(), 0, 0), ink);
}

TEST_F(TextSpriteTest, LinesAreCentredAndEmptyLinesTakeAStep)
{
    // "ab" is 10 wide, "c" 5: the second line starts at (10 - 5) / 2 = 2, one step (5) lower.
    Held<TextSprite> sprite(new TextSprite(uniform, "ab\nc", 0, 0));
    EXPECT_EQ(sprite->getWidth(), 11);
    EXPECT_EQ(sprite->getHeight(), 12);
    EXPECT_EQ(maskAt(*sprite.get(), 2, 6), 255);
    EXPECT_EQ(maskAt(*sprite.get(), 5, 9), 255);
    EXPECT_EQ(maskAt(*sprite.get(), 7, 6), 0) << "right of the second line and its copy";
    EXPECT_GT(maskAt(*sprite.get(), 6, 10), 0);

    Held<TextSprite> gap(new TextSprite(uniform, "a\n\nb", 0, 0));
    EXPECT_EQ(gap->getHeight(), 17);
    EXPECT_EQ(maskAt(*gap.get(), 0, 10), 255) << "the third line starts two steps down";
}

} // namespace
