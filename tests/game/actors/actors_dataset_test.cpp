// The classic miner and cart built from the staged data set: every part finds its picture, the frame
// counts match the pictures, and the cart's side carries the level number. Set QUARRY_WRITE_ACTORS to a
// file name to write the drawn scene there (as a PPM) to look at it.
// First: the registry's declarations clash with a name ACE's headers define as a macro.
#include "compat/win32/registry/registry.h"
#include "game/actors/Jack.h"
#include "game/actors/MineCart.h"
#include "game/support/StagedDataSetTest.h"
#include "platform/surface/SurfaceHolder.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

using ActorsDataSetTest = gamefixture::StagedDataSetTest;

TEST_F(ActorsDataSetTest, MinerAndCartFindTheirPicturesAndShowTheLevelNumber)
{
    Held<SpriteCanvas> canvas(new SpriteCanvas(kWidth, kHeight, kWidth, kHeight));
    Held<JackClassic> jack(new JackClassic);
    Held<MineCartClassic> cart(new MineCartClassic(12));

    ASSERT_NE(jack->getSurface(), nullptr);
    EXPECT_EQ(jack->getWidth(), 96);
    EXPECT_EQ(jack->getHeight(), 128);
    for (Sprite* part : {jack->getBlinkSprite(), jack->getPoseSprite(3), jack->getPoseSprite(4), jack->getArm()}) {
        ASSERT_NE(part, nullptr);
        EXPECT_NE(dynamic_cast<BitmapSprite&>(*part).getSurface(), nullptr);
    }
    EXPECT_EQ(jack->getArm()->getHeight(), 48) << "three frames of the arm picture";

    ASSERT_NE(cart->getSurface(), nullptr);
    EXPECT_EQ(cart->getWidth(), 112);
    EXPECT_EQ(cart->getStageCount(), 5);
    EXPECT_EQ(cart->getGoldSprite()->getHeight(), 32);
    ASSERT_EQ(cart->getWheels().size(), 4u);
    EXPECT_EQ(cart->getWheels()[0]->getFrameCount(), 8);
    EXPECT_EQ(cart->getWheels()[0]->getHeight(), 20);

    // The number is painted on the cart's own copy, not on the shared picture.
    Surface* plain = ResourceManager::getImage("IMAGE_CART_CLASSIC")->getSurface();
    int painted = 0;
    for (int y = 24; y < 48; ++y)
        for (int x = 40; x < 72; ++x)
            painted += peek(cart->getSurface(), x, y) != peek(plain, x, y);
    EXPECT_GT(painted, 10);

    canvas->addSprite(jack.get());
    canvas->addSprite(cart.get());
    jack->setPose(3);
    cart->setGoldLevel(4);
    canvas->update(0.02f, 20, 50.0f);
    Surface* backBuffer = make32(kWidth, kHeight);
    backBuffer->fill(0x1B1410);
    canvas->render(backBuffer);
    if (const char* file = std::getenv("QUARRY_WRITE_ACTORS"))
        writePpm(backBuffer, kWidth, kHeight, file);
    // The happy face and the gold show on screen.
    EXPECT_NE(peek(backBuffer, jack->getAbsoluteX() + 48, jack->getAbsoluteY() + 40), 0x1B1410u);
    EXPECT_NE(peek(backBuffer, 508 + 8 + 48, 316 - 18 + 28) & 0xFFFFFF, 0x1B1410u);
    jack->onRemovedFromCanvas();
    cart->onRemovedFromCanvas();
}

} // namespace
