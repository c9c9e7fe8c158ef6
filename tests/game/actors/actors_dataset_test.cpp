// The classic miner and cart built from the staged data set: every part finds its picture, the frame
// counts match the pictures, and the cart's side carries the level number. Set QUARRY_WRITE_ACTORS to a
// file name to write the drawn scene there (as a PPM) to look at it.
#include "compat/win32/registry/registry.h"
#include "game/actors/Jack.h"
#include "game/actors/MineCart.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/SurfaceHolder.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "runtime/Random.h"
#include "support/StagedDataSet.h"
#include "support/TempDir.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

class StagedApp : public Application {
public:
    StagedApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
};

class ActorsDataSetTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        compat::testing::setRegistryFile(registry.file("registry"));
        app = std::make_unique<StagedApp>();
        data = std::make_unique<testsupport::StagedDataSet>(QUARRY_RUN_DIR);
        Random::global().setSeed(7);
    }
    void TearDown() override
    {
        data.reset();
        app.reset();
        DisplayTest::TearDown();
    }

    testsupport::TempDir registry;
    std::unique_ptr<StagedApp> app;
    std::unique_ptr<testsupport::StagedDataSet> data;
};

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
    if (const char* file = std::getenv("QUARRY_WRITE_ACTORS")) {
        std::ofstream out(file, std::ios::binary);
        out << "P6\n" << kWidth << " " << kHeight << "\n255\n";
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const std::uint32_t p = peek(backBuffer, x, y);
                const char rgb[3] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)};
                out.write(rgb, 3);
            }
    }
    // The happy face and the gold show on screen.
    EXPECT_NE(peek(backBuffer, jack->getAbsoluteX() + 48, jack->getAbsoluteY() + 40), 0x1B1410u);
    EXPECT_NE(peek(backBuffer, 508 + 8 + 48, 316 - 18 + 28) & 0xFFFFFF, 0x1B1410u);
    jack->onRemovedFromCanvas();
    cart->onRemovedFromCanvas();
}

} // namespace
