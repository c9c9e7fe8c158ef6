// The miner: his pose pictures and their alphas, the blink overlay and when it runs, and the classic
// miner's arm.
#include "game/actors/Jack.h"
#include "game/support/GameFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace gamefixture;

namespace {

const char* kJackLayout = R"xml(<Layout>
  <Integer id="INT_GAME_WIDTH">640</Integer>
  <Integer id="INT_GAME_HEIGHT">480</Integer>
  <xmlsprite id="SPRITE_JACK_CLASSIC" x="100" y="200" image="IMAGE_JACK_HAPPY"/>
  <xmlsprite id="SPRITE_JACK_BLINK_CLASSIC" x="4" y="6" image="IMAGE_JACK_BLINK"/>
  <xmlsprite id="SPRITE_JACK_HAPPY_CLASSIC" image="IMAGE_JACK_HAPPY"/>
  <xmlsprite id="SPRITE_JACK_PANIC_CLASSIC" image="IMAGE_JACK_PANIC"/>
  <xmlsprite id="SPRITE_JACK_ARM_CLASSIC" x="20" y="10" image="IMAGE_JACK_ARM"/>
</Layout>)xml";

int alphaOf(const Sprite* sprite)
{
    return dynamic_cast<const BitmapSprite&>(*sprite).getAlpha();
}

class JackTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        addImage("IMAGE_JACK_BLINK", 8, 4, 0x101010);
        addImage("IMAGE_JACK_HAPPY", 16, 16, 0x202020);
        addImage("IMAGE_JACK_PANIC", 16, 16, 0x303030);
        addImage("IMAGE_JACK_ARM", 8, 24, 0x404040);
        loadLayout(kJackLayout);
    }

    // A miner on the canvas; the canvas lets go of his parts when he leaves it at the end.
    JackClassic* placedJack()
    {
        auto* jack = keep(new JackClassic);
        jack->setPosition(100, 200);
        canvas->addSprite(jack);
        placed.push_back(jack);
        return jack;
    }

    void TearDown() override
    {
        for (Sprite* jack : placed)
            jack->onRemovedFromCanvas();
        GameFixture::TearDown();
    }

    // Runs n canvas frames of 20 ms.
    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            canvas->update(0.02f, 20, 50.0f);
    }

    std::vector<Sprite*> placed;
};

TEST_F(JackTest, PosesShowOnlyTheirOwnPictureAndHisPartsSitAroundHimOnTheCanvas)
{
    JackClassic* jack = placedJack();
    Sprite* happy = jack->getPoseSprite(3);
    Sprite* panic = jack->getPoseSprite(4);
    ASSERT_NE(happy, nullptr);
    ASSERT_NE(panic, nullptr);
    EXPECT_EQ(jack->getPose(), 1);
    EXPECT_EQ(jack->getPoseSprite(1), nullptr) << "the normal pose is the miner himself";

    struct Case {
        int pose, happyAlpha, panicAlpha;
    };
    for (const Case& c : {Case{3, 255, 0}, Case{4, 0, 255}, Case{1, 0, 0}, Case{2, 0, 0}}) {
        SCOPED_TRACE(c.pose);
        jack->setPose(c.pose);
        EXPECT_EQ(jack->getPose(), c.pose);
        EXPECT_EQ(alphaOf(happy), c.happyAlpha);
        EXPECT_EQ(alphaOf(panic), c.panicAlpha);
    }

    // Drawn relative to the miner and over him: the arm, the blink, then the poses in order.
    EXPECT_EQ(jack->getBlinkSprite()->getAbsoluteX(), 104);
    EXPECT_EQ(jack->getBlinkSprite()->getAbsoluteY(), 206);
    const auto& list = canvas->getSprites();
    auto at = [&](Sprite* s) { return std::find(list.begin(), list.end(), s) - list.begin(); };
    EXPECT_EQ(at(jack->getArm()), at(jack) + 1);
    EXPECT_EQ(at(jack->getBlinkSprite()), at(jack) + 2);
    EXPECT_EQ(at(happy), at(jack) + 3);
    EXPECT_EQ(at(panic), at(jack) + 4);
}

TEST_F(JackTest, APoseSetWhileOnTheCanvasJoinsItAfterHimAndReplacesTheOldPicture)
{
    JackClassic* jack = placedJack();
    jack->setPose(3);
    Sprite* old = jack->getPoseSprite(3);
    jack->setPoseSprite("SPRITE_JACK_PANIC_CLASSIC", 3);
    Sprite* fresh = jack->getPoseSprite(3);
    ASSERT_NE(fresh, old);
    EXPECT_EQ(alphaOf(fresh), 255) << "the current pose shows at once";
    EXPECT_TRUE(old->isObsolete());
    EXPECT_EQ(old->getParent(), nullptr);
    const auto& list = canvas->getSprites();
    EXPECT_EQ(std::find(list.begin(), list.end(), fresh) - std::find(list.begin(), list.end(), jack), 1);

    jack->setPoseSprite("NO_SUCH_ELEMENT", 2);
    jack->setPoseSprite("SPRITE_JACK_HAPPY_CLASSIC", 5);
    EXPECT_EQ(jack->getPoseSprite(2), nullptr);
}

TEST_F(JackTest, BlinksOnlyInTheNormalPoseAndStopsWhereHeIsWhenThePoseChanges)
{
    JackClassic* jack = placedJack();
    Sprite* blink = jack->getBlinkSprite();
    EXPECT_EQ(alphaOf(blink), 0);
    EXPECT_EQ(jack->getNextBlink(), 0);

    // The first frame passes the first mark: the eyes close and a new mark of 200 to 349 frames is set.
    frames(1);
    EXPECT_EQ(alphaOf(blink), 255);
    EXPECT_FALSE(blink->getModifiers().empty());
    EXPECT_GE(jack->getNextBlink(), 200);
    EXPECT_LT(jack->getNextBlink(), 350);
    EXPECT_EQ(jack->getFrameCounter(), 0);

    // A pose change stops the blink where it is: the eyes stay as they are.
    jack->setPose(4);
    EXPECT_TRUE(blink->getModifiers().empty());
    EXPECT_EQ(alphaOf(blink), 255);
    jack->setPose(1);
    dynamic_cast<BitmapSprite*>(blink)->setAlpha(0);

    // Never a blink outside the normal pose, though the frames are still counted.
    jack->setPose(3);
    const int mark = jack->getNextBlink();
    frames(mark + 5);
    EXPECT_EQ(alphaOf(blink), 0);
    EXPECT_TRUE(blink->getModifiers().empty());
    EXPECT_EQ(jack->getFrameCounter(), mark + 5);
    // Back to the normal pose after that long: the very next frame blinks.
    jack->setPose(1);
    frames(1);
    EXPECT_EQ(alphaOf(blink), 255);
    EXPECT_EQ(jack->getFrameCounter(), 0);
}

TEST_F(JackTest, TheSamePoseAgainLeavesARunningBlinkAlone)
{
    JackClassic* jack = placedJack();
    frames(1);
    Sprite* blink = jack->getBlinkSprite();
    const std::size_t running = blink->getModifiers().size();
    ASSERT_GT(running, 0u);
    jack->setPose(1);
    EXPECT_EQ(blink->getModifiers().size(), running);
}

TEST_F(JackTest, ABlinkOpensTheEyesAgainWithinAFewFrames)
{
    JackClassic* jack = placedJack();
    frames(1);
    Sprite* blink = jack->getBlinkSprite();
    // The longest blink: a double one of at most 9 + 5 + 9 frames of waiting plus the alpha moves.
    frames(60);
    EXPECT_EQ(alphaOf(blink), 0);
    EXPECT_TRUE(blink->getModifiers().empty());
}

TEST_F(JackTest, TheArmRisesThroughItsFramesAndFadesWhenLowered)
{
    JackClassic* jack = placedJack();
    Sprite* arm = jack->getArm();
    ASSERT_NE(arm, nullptr);
    EXPECT_EQ(alphaOf(arm), 0);
    EXPECT_EQ(arm->getFrameCount(), 3);
    EXPECT_EQ(arm->getHeight(), 8);

    jack->raiseArm();
    EXPECT_EQ(alphaOf(arm), 255);
    frames(40);
    EXPECT_EQ(arm->getFrame(), 2);
    EXPECT_EQ(alphaOf(arm), 255);

    jack->lowerArm();
    frames(60);
    EXPECT_EQ(arm->getFrame(), 0);
    EXPECT_EQ(alphaOf(arm), 0);
}

TEST_F(JackTest, LeavingTheCanvasTakesHisPartsAlong)
{
    JackClassic* jack = placedJack();
    canvas->removeSprite(jack);
    frames(1);
    placed.clear();
    EXPECT_FALSE(jack->hasStateFlags(Sprite::StateOnCanvas));
    for (Sprite* part : {jack->getBlinkSprite(), jack->getPoseSprite(3), jack->getPoseSprite(4), jack->getArm()}) {
        EXPECT_EQ(part->getParent(), nullptr);
        EXPECT_TRUE(part->isObsolete() || part->getCanvas() == nullptr);
    }
}

TEST_F(JackTest, AMinerWithoutBlinkPictureNeverBlinks)
{
    auto* jack = keep(new Jack("NO_SUCH_ELEMENT"));
    canvas->addSprite(jack);
    placed.push_back(jack);
    frames(5);
    EXPECT_EQ(jack->getBlinkSprite(), nullptr);
    EXPECT_EQ(jack->getPose(), 1);
}

} // namespace
