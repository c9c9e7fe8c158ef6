// The star animation: its picture and alpha, following a sprite or drifting on its own, and leaving.
#include "game/effects/Sparkle.h"
#include "game/support/GameFixture.h"
#include "toolkit/sprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

using namespace gamefixture;

namespace {

class SparkleTest : public GameFixture {
protected:
    // The star mask: 8 pixels wide, 4 frames of 8 rows.
    Surface* star() { return ResourceManager::getImage("IMAGE_SPARKLE_BIG_ALPHA")->getMask(); }

    Sparkle* add(Sparkle* sparkle)
    {
        keep(sparkle);
        canvas->addSprite(sparkle);
        return sparkle;
    }
};

TEST_F(SparkleTest, MaskPictureFramesAndAlpha)
{
    struct Case {
        int alpha, expected;
    };
    for (const Case& c : {Case{-1, 200}, Case{77, 77}, Case{0, 0}}) {
        SCOPED_TRACE("alpha " + std::to_string(c.alpha));
        auto* sparkle = keep(new Sparkle(nullptr, star(), 30, 40, c.alpha, false));
        EXPECT_EQ(sparkle->getAlpha(), c.expected);
        EXPECT_EQ(sparkle->getX(), 30);
        EXPECT_EQ(sparkle->getY(), 40);
        EXPECT_EQ(sparkle->getWidth(), 8);
        EXPECT_EQ(sparkle->getHeight(), 8);
        EXPECT_EQ(sparkle->getFrameCount(), 4);
        EXPECT_EQ(sparkle->getFrame(), 0);
        EXPECT_EQ(*sparkle->getClipRect(), Rect(0, 0, 640, 480));
        EXPECT_EQ(sparkle->getSurface(), nullptr) << "drawn as a mask";
    }
}

TEST_F(SparkleTest, DrawsWhiteThroughTheMask)
{
    Sparkle* sparkle = keep(new Sparkle(nullptr, star(), 10, 10, 255, false));
    Surface* target = make32(64, 64);
    target->fill(0);
    sparkle->draw(target);
    // White through a full mask (the blend stops a shade short of full coverage).
    const std::uint32_t drawn = peek(target, 12, 12);
    for (int shift : {0, 8, 16})
        EXPECT_GE((drawn >> shift) & 0xFF, 0xF0u) << shift;
    EXPECT_EQ(peek(target, 12, 18) & 0xFFFFFF, 0u) << "only the first frame";
}

TEST_F(SparkleTest, FollowsItsSpriteAndLeavesWhenItIsGone)
{
    auto* followed = new Sprite(100, 50, 10, 10);
    canvas->addSprite(followed);
    Held<Sprite> watch(followed);
    Sparkle* sparkle = add(new Sparkle(followed, star(), -4, -1, -1, false));
    EXPECT_EQ(sparkle->getX(), 96);
    EXPECT_EQ(sparkle->getY(), 49);
    EXPECT_EQ(followed->getRefCount(), 3);

    followed->setPosition(120, 70);
    frame();
    EXPECT_EQ(sparkle->getX(), 116);
    EXPECT_EQ(sparkle->getY(), 69);

    canvas->removeSprite(followed);
    frame();
    EXPECT_TRUE(sparkle->isObsolete());
    EXPECT_EQ(sparkle->getFollowed(), nullptr) << "let go once off the canvas";
    EXPECT_EQ(followed->getRefCount(), 1);
}

TEST_F(SparkleTest, DriftingSparkleCreepsRightEveryFourthFrame)
{
    Sparkle* drifting = add(new Sparkle(nullptr, star(), 30, 40, 255, true));
    Sparkle* still = add(new Sparkle(nullptr, star(), 30, 40, 255, false));
    const int expected[] = {30, 30, 30, 31, 31, 31, 31, 32};
    for (int x : expected) {
        frame();
        EXPECT_EQ(drifting->getX(), x);
        EXPECT_EQ(still->getX(), 30);
    }
    EXPECT_EQ(drifting->getY(), 40);
}

TEST_F(SparkleTest, AnimatesOnceThenFadesAway)
{
    Sparkle* sparkle = add(new Sparkle(nullptr, star(), 30, 40, 255, false));
    int lastFrame = 0;
    int frames = 0;
    while (sparkle->getCanvas() && frames < 500) {
        frame();
        ++frames;
        lastFrame = std::max(lastFrame, sparkle->getFrame());
        if (frames <= 25) {
            EXPECT_EQ(sparkle->getAlpha(), 255) << "the fade waits for the delay";
        }
    }
    EXPECT_EQ(lastFrame, 3);
    EXPECT_LT(frames, 500) << "it leaves the canvas by itself";
    EXPECT_GT(frames, 25);
}

} // namespace
