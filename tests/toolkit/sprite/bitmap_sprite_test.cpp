#include "platform/surface/SurfaceTestSupport.h"
#include "platform/surface/SurfaceHolder.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

namespace {

class BitmapSpriteDraw : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        target = make32(120, 120);
        target->fill(0);
    }

    // Each pixel of the image holds its own coordinates: 0x00XXYY (plus one, so nothing is black).
    Surface* coordinates(int w, int h)
    {
        Surface* s = make32(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                poke(s, x, y, static_cast<std::uint32_t>(((x + 1) << 8) | (y + 1)));
        return s;
    }

    // The source pixel drawn at (x, y) of the target, as (column, row); (-1, -1) where nothing was drawn.
    std::pair<int, int> sourceAt(int x, int y)
    {
        const std::uint32_t v = peek(target, x, y) & 0xFFFFFF;
        if (v == 0)
            return {-1, -1};
        return {static_cast<int>((v >> 8) & 0xFF) - 1, static_cast<int>(v & 0xFF) - 1};
    }

    Surface* target = nullptr;
};

} // namespace

TEST_F(BitmapSpriteDraw, ClipRectangleCutsTheSourceAlongWithTheDestination)
{
    Held<BitmapSprite> s(new BitmapSprite(coordinates(100, 50), nullptr, 10, 0));
    EXPECT_EQ(100, s->getWidth());
    EXPECT_EQ(50, s->getHeight());
    s->setClipRect(30, 0, 40, 480);
    s->draw(target);
    EXPECT_EQ(std::make_pair(-1, -1), sourceAt(29, 5));
    EXPECT_EQ(std::make_pair(20, 5), sourceAt(30, 5));
    EXPECT_EQ(std::make_pair(59, 5), sourceAt(69, 5));
    EXPECT_EQ(std::make_pair(-1, -1), sourceAt(70, 5));
}

TEST_F(BitmapSpriteDraw, FrameOfAStripIsClippedFromItsTop)
{
    Held<BitmapSprite> s(new BitmapSprite(coordinates(32, 128), nullptr, 0, 0));
    s->setFrameCountFromImage(4);
    s->setFrame(2);
    ASSERT_EQ(Rect(0, 64, 32, 32), *s->getSourceRect());
    s->setClipRect(0, 8, 120, 120);
    s->draw(target);
    EXPECT_EQ(std::make_pair(-1, -1), sourceAt(0, 7));
    EXPECT_EQ(std::make_pair(0, 72), sourceAt(0, 8));
    EXPECT_EQ(std::make_pair(0, 95), sourceAt(0, 31)); // 24 rows
    EXPECT_EQ(std::make_pair(-1, -1), sourceAt(0, 32));
}

TEST_F(BitmapSpriteDraw, ImageMaskAndAlphaChooseTheBlit)
{
    Surface* image = make32(4, 1);
    image->fill(0xC8C8C8);
    MemorySurface* mask = makeMap(4, 1);
    // Coverage per column: none, half, almost full, full.
    const std::uint8_t coverage[4] = {0, 128, 254, 255};
    for (int x = 0; x < 4; ++x)
        static_cast<std::uint8_t*>(mask->pixels())[x] = coverage[x];

    struct Case {
        const char* name;
        bool withImage, withMask;
        int alpha;
        std::uint32_t expected[4];
    };
    const Case cases[] = {
        {"opaque copy", true, false, 255, {0xC8C8C8, 0xC8C8C8, 0xC8C8C8, 0xC8C8C8}},
        {"alpha 0 draws nothing", true, false, 0, {0, 0, 0, 0}},
        {"masked", true, true, 255, {0, 0x646464, 0xC7C7C7, 0xC8C8C8}},
        {"no image, no mask", false, false, 255, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        target->fill(0);
        Held<BitmapSprite> s(new BitmapSprite(c.withImage ? image : nullptr, c.withMask ? mask : nullptr, 0, 0));
        s->setSize(4, 1);
        s->setAlpha(c.alpha);
        s->draw(target);
        for (int x = 0; x < 4; ++x)
            EXPECT_NEAR(static_cast<int>(c.expected[x] & 0xFF), static_cast<int>(peek(target, x, 0) & 0xFF), 2)
                << c.name << " column " << x;
    }

    // Half alpha lands between the target and the image.
    target->fill(0);
    Held<BitmapSprite> half(new BitmapSprite(image, nullptr, 0, 0));
    half->setAlpha(128);
    half->draw(target);
    const int blended = static_cast<int>(peek(target, 0, 0) & 0xFF);
    EXPECT_GT(blended, 0x50);
    EXPECT_LT(blended, 0x78);
}

TEST_F(BitmapSpriteDraw, MaskWithoutImageDrawsTheMaskColour)
{
    MemorySurface* mask = makeMap(3, 1);
    auto* bytes = static_cast<std::uint8_t*>(mask->pixels());
    bytes[0] = 0;
    bytes[1] = 255;
    bytes[2] = 255;
    Held<BitmapSprite> s(new BitmapSprite(nullptr, mask, 1, 0));
    EXPECT_EQ(3, s->getWidth()); // sized from the mask
    s->setMaskColor(0xFF00FF00);
    s->draw(target);
    EXPECT_EQ(0u, peek(target, 1, 0) & 0xFFFFFF);
    EXPECT_NEAR(0xFF, static_cast<int>((peek(target, 2, 0) >> 8) & 0xFF), 2);
    EXPECT_EQ(0u, peek(target, 2, 0) & 0xFF0000);
}

TEST(BitmapSprite, FittingAndFramesWithoutAnImageKeepTheSize)
{
    Held<BitmapSprite> s(new BitmapSprite);
    s->setSize(7, 9);
    s->fitSizeToImage();
    s->setFrameCountFromImage(3);
    EXPECT_EQ(7, s->getWidth());
    EXPECT_EQ(9, s->getHeight());
    EXPECT_EQ(0, s->getFrameCount());
    EXPECT_STREQ("BitmapSprite", s->getClass()->name);
    EXPECT_TRUE(s->isKindOf(&Sprite::classRecord));

    s->setDirty(false);
    s->setAlpha(255);
    EXPECT_FALSE(s->isDirty());
    s->setAlpha(10);
    EXPECT_TRUE(s->isDirty());
}

TEST_F(BitmapSpriteDraw, CopyToOwnSurfaceKeepsACopyOfTheImageInTheHolder)
{
    Surface* image = coordinates(6, 4);
    Held<BitmapSprite> s(new BitmapSprite(image, nullptr, 0, 0));
    s->copyToOwnSurface();
    Surface* copy = s->getHolder()->getSource();
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(image, copy);
    EXPECT_EQ(6u, copy->getDesc().width);
    EXPECT_EQ(peek(image, 5, 3) & 0xFFFFFF, peek(copy, 5, 3) & 0xFFFFFF);
}
