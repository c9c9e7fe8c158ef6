// The mine cart: its fill stages drawn from the gold strip, the gold and wheels moving with it, the
// sparkles on the gold, and the classic cart's level number and wheels.
#include "game/actors/MineCart.h"
#include "game/support/GameFixture.h"
#include "compat/ddraw/testing.h"
#include "platform/surface/FrameCounter.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace gamefixture;

namespace {

constexpr std::uint32_t kCart = 0x406080;
constexpr int kStages = 3;
constexpr int kWheelFrames = 6;

const char* kCartLayout = R"xml(<Layout>
  <Integer id="INT_GAME_WIDTH">640</Integer>
  <Integer id="INT_GAME_HEIGHT">480</Integer>
  <Integer id="INT_NR_OF_SPARKLE_FRAMES">4</Integer>
  <Integer id="INT_SPARKLE_ALPHA">200</Integer>
  <Integer id="INT_NR_OF_MINE_CART_GOLD_STAGES_CLASSIC">3</Integer>
  <Integer id="INT_NR_OF_WHEEL_FRAMES">6</Integer>
  <Integer id="INT_MINE_CART_LEVEL_ALPHA_CLASSIC">255</Integer>
  <Point id="POINT_MINE_CART_GOLD_POS_CLASSIC" x="4" y="-3"/>
  <Point id="POINT_MINE_CART_POS_CLASSIC" x="500" y="300"/>
  <Point id="POINT_MINE_CART_LEVEL_POS_CLASSIC" x="20" y="12"/>
  <Point id="POINT_MINE_CART_WHEEL1_POS" x="2" y="20"/>
  <Point id="POINT_MINE_CART_WHEEL2_POS" x="10" y="20"/>
  <Point id="POINT_MINE_CART_WHEEL3_POS" x="22" y="20"/>
  <Point id="POINT_MINE_CART_WHEEL4_POS" x="30" y="20"/>
  <Boolean id="BOOL_MINE_CART_WHEEL1_BEHIND">true</Boolean>
  <Boolean id="BOOL_MINE_CART_WHEEL3_BEHIND">true</Boolean>
</Layout>)xml";

std::uint32_t stagePixel(int stage)
{
    return 0x110000u * static_cast<std::uint32_t>(stage);
}

class MineCartTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        addImage("IMAGE_CART_CLASSIC", 40, 24, kCart);
        // Three stages of 8 rows; the top one's mask is empty, the others are set in one corner only.
        SurfaceHolder* strip = addImage("IMAGE_CART_GOLD_CLASSIC", 32, 8 * kStages, 0, 0);
        for (int stage = 1; stage <= kStages; ++stage) {
            fillRect(strip->getSurface(), 0, (stage - 1) * 8, 32, 8, stagePixel(stage));
            if (stage < kStages)
                fillMap(strip->getMask(), 28, (stage - 1) * 8 + 5, 4, 3, 0xFF);
        }
        addImage("IMAGE_WHEEL", 6, 6 * kWheelFrames, 0x202020);
        catalogue->storeFont("FONT_LEVEL", makeDigitFont());
        loadLayout(kCartLayout);
        marker = keep(new Sprite(0, 0, 1, 1));
        marker->setName("LAYER_SPARKLES");
        canvas->addSprite(marker);
    }

    MineCartClassic* placedCart(int level = 7)
    {
        auto* cart = keep(new MineCartClassic(level));
        canvas->addSprite(cart);
        return cart;
    }

    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            canvas->update(0.02f, 20, 50.0f);
    }

    std::vector<Sprite*> sparkles() const
    {
        std::vector<Sprite*> found;
        for (Sprite* sprite : canvas->getSprites())
            if (sprite->getName() == "SPRITE_SPARKLE" && !sprite->isObsolete())
                found.push_back(sprite);
        return found;
    }

    Sprite* marker = nullptr;
};

TEST_F(MineCartTest, GoldLevelIsClampedAndDrawsItsStageOrHidesThePile)
{
    MineCartClassic* cart = placedCart();
    BitmapSprite* gold = cart->getGoldSprite();
    EXPECT_EQ(cart->getStageCount(), kStages);
    EXPECT_EQ(cart->getGoldLevel(), 0);
    EXPECT_EQ(gold->getAlpha(), 0);
    EXPECT_EQ(gold->getWidth(), 32);
    EXPECT_EQ(gold->getHeight(), 8);

    struct Case {
        int asked, shown;
    };
    for (const Case& c : {Case{1, 1}, Case{2, 2}, Case{3, 3}, Case{9, 3}, Case{0, 0}, Case{2, 2}, Case{-4, 0}}) {
        SCOPED_TRACE(c.asked);
        cart->setGoldLevel(c.asked);
        EXPECT_EQ(cart->getGoldLevel(), c.shown);
        EXPECT_EQ(gold->getAlpha(), c.shown > 0 ? 255 : 0);
        if (c.shown > 0) {
            EXPECT_EQ(Surface::getPixel(gold->getSurface(), 3, 3) & 0xFFFFFF, stagePixel(c.shown));
            EXPECT_EQ(Surface::getPixel(gold->getMask(), 29, 6) != 0, c.shown < kStages) << "the stage's mask";
        }
    }
}

TEST_F(MineCartTest, TheGoldAndWheelsMoveWithTheCartAndTheWheelsTurnByItsPosition)
{
    MineCartClassic* cart = placedCart();
    BitmapSprite* gold = cart->getGoldSprite();
    ASSERT_EQ(cart->getWheels().size(), 4u);
    EXPECT_EQ(cart->getX(), 500);
    EXPECT_EQ(gold->getX(), 504);
    EXPECT_EQ(gold->getY(), 297);
    EXPECT_EQ(cart->getWheels()[2]->getX(), 522);
    EXPECT_EQ(cart->getWheels()[2]->getY(), 320);
    EXPECT_EQ(cart->getWheels()[0]->getFrameDirection(), Sprite::Backward);

    // At x = 100 the base frame is 15 % 6 = 3; each wheel four frames on from the one before.
    for (int x : {100, 40, 100}) {
        cart->setX(x);
        cart->setY(250);
        EXPECT_EQ(gold->getX(), x + 4);
        EXPECT_EQ(gold->getY(), 247);
        EXPECT_EQ(cart->getWheels()[1]->getX(), x + 10);
        EXPECT_EQ(cart->getWheels()[1]->getY(), 270);
    }
    std::vector<int> shown;
    for (BitmapSprite* wheel : cart->getWheels())
        shown.push_back(wheel->getFrame());
    EXPECT_EQ(shown, (std::vector<int>{1, 5, 3, 1}));
}

TEST_F(MineCartTest, OnTheCanvasTheGoldLiesOverTheCartAndTheWheelsOnTheirSides)
{
    MineCartClassic* cart = placedCart();
    const auto& list = canvas->getSprites();
    auto at = [&](Sprite* s) { return std::find(list.begin(), list.end(), s) - list.begin(); };
    const auto& wheels = cart->getWheels();
    EXPECT_GT(at(cart->getGoldSprite()), at(cart));
    EXPECT_LT(at(wheels[0]), at(cart));
    EXPECT_GT(at(wheels[1]), at(cart));
    EXPECT_LT(at(wheels[2]), at(cart));
    EXPECT_GT(at(wheels[3]), at(cart));

    canvas->removeSprite(cart);
    frames(1);
    EXPECT_TRUE(cart->getGoldSprite()->isObsolete() || !cart->getGoldSprite()->getCanvas());
    for (BitmapSprite* wheel : wheels)
        EXPECT_TRUE(wheel->isObsolete() || !wheel->getCanvas());
}

TEST_F(MineCartTest, TheLevelNumberIsPaintedOnTheCartsSide)
{
    MineCartClassic* cart = placedCart(88);
    // "88" measures 10 x 5 and is centred on (20, 12): it covers (15..24, ~10..14).
    int inked = 0;
    for (int y = 8; y < 16; ++y)
        for (int x = 14; x < 26; ++x)
            inked += (Surface::getPixel(cart->getSurface(), x, y) & 0xFFFFFF) != kCart;
    EXPECT_GT(inked, 0);
    EXPECT_EQ(Surface::getPixel(cart->getSurface(), 2, 2) & 0xFFFFFF, kCart);
    EXPECT_EQ(Surface::getPixel(cart->getSurface(), 38, 22) & 0xFFFFFF, kCart);
}

TEST_F(MineCartTest, SparklesOnlyOnTheMaskedGoldAndNeverWhenEmptyOrMaskless)
{
    MineCartClassic* cart = placedCart();
    frames(400);
    EXPECT_TRUE(sparkles().empty()) << "an empty cart";

    cart->setGoldLevel(1);
    int seen = 0;
    for (int i = 0; i < 400; ++i) {
        frames(1);
        for (Sprite* sparkle : sparkles()) {
            ++seen;
            // Centred on a set point of the gold: x 28..31, y 5..7 of the stage.
            const int dx = sparkle->getX() - cart->getGoldSprite()->getX();
            const int dy = sparkle->getY() - cart->getGoldSprite()->getY();
            EXPECT_GE(dx, 28);
            EXPECT_LE(dx, 31);
            EXPECT_GE(dy, 5);
            EXPECT_LE(dy, 7);
            const auto& list = canvas->getSprites();
            EXPECT_LT(std::find(list.begin(), list.end(), sparkle), std::find(list.begin(), list.end(), marker));
        }
    }
    EXPECT_GT(seen, 0);

    // A stage whose mask is empty everywhere gets no sparkles and does not hold the frame up.
    frames(200);
    cart->setGoldLevel(kStages);
    frames(400);
    EXPECT_TRUE(sparkles().empty());
}

TEST_F(MineCartTest, ACartWithoutItsPicturesStillTakesGoldCalls)
{
    auto* cart = keep(new MineCart("NO_CART", "NO_GOLD", Point(0, 0), 4));
    canvas->addSprite(cart);
    cart->setGoldLevel(2);
    frames(50);
    EXPECT_EQ(cart->getGoldLevel(), 0);
    EXPECT_EQ(cart->getStageCount(), 0);
}

// The cart draws from a copy of its picture, and its gold from a copy of the shown stage: after a lost
// display both come back as they were (the stage shown, not the empty one the cart began with), not
// as black boxes. The plain cart is the endless mode's.
TEST_F(MineCartTest, ALostDisplayGivesBackTheCartAndItsGold)
{
    auto* cart = keep(new MineCart("IMAGE_CART_CLASSIC", "IMAGE_CART_GOLD_CLASSIC", Point(4, -3), kStages));
    cart->setPosition(100, 100);
    cart->setGoldLevel(2);
    BitmapSprite* gold = cart->getGoldSprite();
    Surface* screen = make32(640, 480);
    auto drawBoth = [&] {
        fillRect(screen, 0, 0, 640, 480, 0);
        cart->draw(screen);
        gold->draw(screen);
    };
    drawBoth();
    ASSERT_EQ(peek(screen, 110, 110) & 0xFFFFFF, kCart);
    ASSERT_EQ(peek(screen, 104 + 29, 97 + 6) & 0xFFFFFF, stagePixel(2));

    compat::testing::loseAllSurfaces();
    frame::advance();
    screen = make32(640, 480); // the screen's own surfaces are rebuilt first
    drawBoth(); // fails on the lost surfaces and rebuilds them
    drawBoth();
    EXPECT_EQ(peek(screen, 110, 110) & 0xFFFFFF, kCart);
    EXPECT_EQ(peek(screen, 104 + 29, 97 + 6) & 0xFFFFFF, stagePixel(2));

}

} // namespace
