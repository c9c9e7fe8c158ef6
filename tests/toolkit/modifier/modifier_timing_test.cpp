// Timing of the modifiers at exact frames: what each writes to the sprite in which update, when it
// finishes, and how the frame time scales the steps.
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierBounds.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierFrame.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/modifier/ModifierLocationCubic.h"
#include "toolkit/modifier/ModifierLocationWave.h"
#include "toolkit/modifier/ModifierSound.h"
#include "toolkit/modifier/ModifierTestSupport.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

TEST_F(ModifierTest, AFadeWritesEachStepAndFinishesTheUpdateAfterPassingItsEnd)
{
    struct Case {
        int ms;
        std::vector<int> alphas; // the alpha after each update until the fade is removed
    };
    const Case cases[] = {
        {20, {0, 25, 50, 75, 100, 100}},
        {40, {0, 50, 100, 100}}, // twice the time per frame, twice the step
    };
    for (const Case& c : cases) {
        ModifierAlpha* fade = ModifierAlpha::start(sprite, 0, 100, 0.25f, 0);
        for (std::size_t i = 0; i < c.alphas.size(); ++i) {
            ASSERT_TRUE(running(fade)) << c.ms << " ms, update " << i;
            frame(c.ms);
            EXPECT_EQ(sprite->getAlpha(), c.alphas[i]) << c.ms << " ms, update " << i;
        }
        EXPECT_TRUE(sprite->getModifiers().empty()) << c.ms << " ms: removed in the update it finished";
    }
}

TEST_F(ModifierTest, FadeFromCurrentStartsAtTheSpritesAlphaAndTruncatesTowardZero)
{
    sprite->setAlpha(3);
    ModifierAlpha* fade = ModifierAlpha::startFromCurrent(sprite, 13, 0.25f, Modifier::OptionBlocking);
    EXPECT_FLOAT_EQ(fade->getStartAlpha(), 3.0f);
    EXPECT_TRUE(fade->hasOption(Modifier::OptionBlocking));
    std::vector<int> alphas;
    for (int i = 0; i < 5; ++i) {
        frame();
        alphas.push_back(sprite->getAlpha());
    }
    EXPECT_EQ(alphas, (std::vector<int>{3, 5, 8, 10, 13})); // 5.5 and 10.5 written as 5 and 10
}

TEST_F(ModifierTest, ALineMoveStartsOnItsStartPointAndSnapsToItsEndOneUpdateAfterPassingIt)
{
    struct Case {
        const char* name;
        float speed;
        bool ease;
        std::vector<int> xs; // X after each update until the move is removed
    };
    const Case cases[] = {
        {"linear", 0.25f, false, {0, 25, 50, 75, 100, 100}},
        {"eased", 0.25f, true, {0, 15, 50, 84, 100, 100}}, // smoothstep(0.25) = 0.15625
        {"passes the end at once", 5.0f, false, {0, 100}},
    };
    for (const Case& c : cases) {
        sprite->setPosition(-7, -7);
        ModifierLocationLine* line = ModifierLocationLine::start(sprite, 0, 10, 100, 10, c.speed, 0);
        line->setEaseInOut(c.ease);
        for (std::size_t i = 0; i < c.xs.size(); ++i) {
            ASSERT_TRUE(running(line)) << c.name << ", update " << i;
            frame();
            EXPECT_EQ(sprite->getX(), c.xs[i]) << c.name << ", update " << i;
            EXPECT_EQ(sprite->getY(), 10) << c.name << ", update " << i;
        }
        EXPECT_TRUE(sprite->getModifiers().empty()) << c.name;
    }
}

TEST_F(ModifierTest, ALineMoveWithAnAxisSwitchedOffNeverWritesThatAxis)
{
    sprite->setPosition(3, 4);
    ModifierLocationLine* line = ModifierLocationLine::start(sprite, 0, 0, 50, 60, 0.5f, 0);
    line->setAdjustX(false);
    for (int i = 0; i < 4; ++i)
        frame();
    EXPECT_TRUE(sprite->getModifiers().empty());
    EXPECT_EQ(sprite->getX(), 3);
    EXPECT_EQ(sprite->getY(), 60);
}

TEST_F(ModifierTest, ConstantSpeedMovesCoverTheDistanceAtTheirPixelSpeed)
{
    sprite->setPosition(0, 0);
    // 3-4-5 triangle: 10 pixels per frame over 50 pixels is a fifth of the way per frame.
    ModifierLocationLine* line = ModifierLocationLine::startConstantSpeedFromCurrent(sprite, 30, 40, 10.0f, 0);
    EXPECT_FLOAT_EQ(line->getSpeed(), 0.2f);
    frame();
    frame();
    EXPECT_EQ(sprite->getX(), 6);
    EXPECT_EQ(sprite->getY(), 8);

    // No distance: an infinite speed, finished in the second update, also with a frame of no time.
    sprite->removeModifier(line);
    ModifierLocationLine* still = ModifierLocationLine::startConstantSpeed(sprite, 5, 5, 5, 5, 2.0f, 0);
    EXPECT_TRUE(std::isinf(still->getSpeed()));
    frame(0);
    EXPECT_EQ(sprite->getX(), 5);
    EXPECT_TRUE(running(still));
    frame();
    frame();
    EXPECT_TRUE(sprite->getModifiers().empty());
    EXPECT_EQ(sprite->getX(), 5);
}

TEST_F(ModifierTest, ADropSpeedsUpWhileItRuns)
{
    sprite->setPosition(0, 0);
    ModifierLocationDrop* drop = ModifierLocationDrop::start(sprite, 0.0f, 0.0f, 0.0f, 100.0f, 0.1f, 0.1f, 0);
    std::vector<int> ys;
    for (int i = 0; i < 6 && running(drop); ++i) {
        frame();
        ys.push_back(sprite->getY());
    }
    // t: 0, 0.1, 0.3, 0.6, 1.0 (passes: 1.0 is not beyond 1, the next step is), then the end.
    EXPECT_EQ(ys, (std::vector<int>{0, 10, 30, 60, 100, 100}));
    EXPECT_TRUE(sprite->getModifiers().empty());
}

TEST_F(ModifierTest, ADelayBlocksTheModifiersBehindItUntilTheFrameItRunsOut)
{
    sprite->setPosition(0, 0);
    ModifierDelay* delay = ModifierDelay::start(sprite, 2.0, 0);
    EXPECT_TRUE(delay->hasOption(Modifier::OptionBlocking)) << "a delay blocks whatever options it is given";
    ModifierLocationLine::start(sprite, 10, 10, 20, 20, 0.5f, 0);
    frame();
    EXPECT_EQ(sprite->getX(), 0) << "held back";
    frame();
    EXPECT_FALSE(running(delay));
    EXPECT_EQ(sprite->getX(), 10) << "the move starts in the frame the delay runs out";

    ModifierDelay* none = ModifierDelay::start(sprite, 0.0, 0);
    frame(0);
    EXPECT_FALSE(running(none)) << "a delay of 0 finishes in its first update, even without time";
}

TEST_F(ModifierTest, ASoundFinishesInItsOwnUpdateAndKeepsItsConstructorOption)
{
    ModifierSound* sound = ModifierSound::start(sprite, "SOUND_NOT_IN_THE_CATALOGUE", Modifier::OptionBlocking);
    EXPECT_EQ(sound->getOptions(), 1 | Modifier::OptionBlocking);
    ModifierDelay::start(sprite, 1.0, 0);
    frame();
    EXPECT_TRUE(sprite->getModifiers().empty()) << "a missing sound plays nothing and the list goes on";
}

TEST_F(ModifierTest, RemoveParentMarksTheSpriteObsoleteAndTheCanvasDropsItThatFrame)
{
    ModifierAlpha::start(sprite, 0, 255, 2.0f, Modifier::OptionRemoveParent);
    frame();
    EXPECT_EQ(canvas->getSpriteCount(), 1);
    frame();
    EXPECT_TRUE(sprite->isObsolete());
    EXPECT_EQ(canvas->getSpriteCount(), 0);
    EXPECT_EQ(sprite->getAlpha(), 255);
}

// A sprite of `count` frames that bounces, wraps or stops at its ends.
void frames(Sprite* s, int count, int wrap)
{
    s->setSize(4, 4 * count);
    s->setFrameCount(count);
    s->setFrameWrap(wrap);
}

TEST_F(ModifierTest, FrameAnimationsStepCountedOrTimedAndEndAsTheirLoopsSay)
{
    struct Case {
        const char* name;
        int wrap;
        bool timed;
        double perFrame; // updates per frame, or nominal frames per frame
        int loops;
        int ms;
        std::vector<int> indexes; // the frame after each update until the animation is removed
    };
    const Case cases[] = {
        {"counted, once", Sprite::WrapNone, false, 2, 5, 20, {0, 1, 1, 2, 2, 3}},
        {"timed, once, long frame", Sprite::WrapNone, true, 1.0, 0, 100, {3}},
        {"timed, wrap, two loops", Sprite::WrapLoop, true, 1.0, 2, 40, {2, 0, 2, 3}},
        {"timed, bounce, one loop", Sprite::WrapBounce, true, 0.5, 1, 20, {2, 3}},
        {"no duration steps once per update", Sprite::WrapNone, true, 0.0, 1, 0, {1, 2, 3}},
        {"negative duration too", Sprite::WrapLoop, true, -1.0, 1, 20, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        frames(sprite, 4, c.wrap);
        sprite->setFrameDirection(Sprite::Forward);
        ModifierFrame* animation = c.timed ? ModifierFrame::startTimed(sprite, c.perFrame, c.loops, 0)
                                           : ModifierFrame::start(sprite, static_cast<int>(c.perFrame), c.loops, 0);
        std::vector<int> seen;
        for (int i = 0; i < 20 && running(animation); ++i) {
            frame(c.ms);
            seen.push_back(sprite->getFrame());
        }
        EXPECT_EQ(seen, c.indexes) << c.name;
        EXPECT_FALSE(running(animation)) << c.name;
    }
}

TEST_F(ModifierTest, ALoopingAnimationWithoutALoopCountRunsOnAndALongFrameStepsSeveralFrames)
{
    frames(sprite, 8, Sprite::WrapLoop);
    ModifierFrame* animation = ModifierFrame::startTimed(sprite, 1.0, 0, 0);
    frame(100); // five nominal frames
    EXPECT_EQ(sprite->getFrame(), 5);
    for (int i = 0; i < 30; ++i)
        frame(60);
    EXPECT_TRUE(running(animation));

    // A vanishing duration steps a bounded number of frames per update instead of never returning.
    sprite->removeModifier(animation);
    const int before = sprite->getFrame();
    ModifierFrame::startTimed(sprite, 1e-12, 0, 0);
    frame();
    EXPECT_EQ(sprite->getFrame(), (before + ModifierFrame::MaxStepsPerUpdate) % 8);
}

TEST_F(ModifierTest, BoundsGrowBothAxesTogetherAndWriteTheEndSizeOnTheirLastUpdate)
{
    ModifierBounds* grow = ModifierBounds::start(sprite, 10, 20, 30, 20, 0.25f, 0);
    EXPECT_FLOAT_EQ(grow->getWidthSpeed(), 5.0f);
    EXPECT_FLOAT_EQ(grow->getHeightSpeed(), 0.0f);
    std::vector<int> widths;
    for (int i = 0; i < 10 && running(grow); ++i) {
        frame();
        widths.push_back(sprite->getWidth());
        EXPECT_EQ(sprite->getHeight(), 20);
    }
    EXPECT_EQ(widths, (std::vector<int>{10, 15, 20, 25, 30}));
    EXPECT_FALSE(running(grow));
}

TEST_F(ModifierTest, ACubicMoveRunsThroughItsControlPoints)
{
    const std::vector<int> xs{0, 30, 60};
    const std::vector<int> ys{0, 40, 0};
    auto* curve = new ModifierLocationCubic(xs, ys, 10.0f);
    curve->addRef();
    // 50 pixels between neighbours at 10 pixels a step: five path points per segment after the start.
    ASSERT_EQ(curve->getPathX().size(), 11u);
    EXPECT_EQ(curve->getPathX()[0], 0);
    EXPECT_EQ(curve->getPathY()[5], 40);
    EXPECT_EQ(curve->getPathX()[5], 30);
    EXPECT_EQ(curve->getPathX()[10], 60);
    EXPECT_EQ(curve->getPathY()[10], 0);
    EXPECT_GT(curve->getPathY()[2], 0);
    curve->release();

    // Two equal points: a path of one point, done in the update in which the progress reaches 1.
    ModifierLocationCubic* dot = ModifierLocationCubic::start(sprite, {7, 7}, {9, 9}, 2.0f, 0);
    EXPECT_EQ(dot->getPathX().size(), 1u);
    frame(10);
    EXPECT_EQ(sprite->getX(), 7);
    EXPECT_TRUE(running(dot));
    frame(10);
    EXPECT_TRUE(sprite->getModifiers().empty());

    // Fewer than two points, or lists of no use: an empty path that finishes at once.
    ModifierLocationCubic* empty = ModifierLocationCubic::start(sprite, {1}, {1, 2}, 2.0f, 0);
    EXPECT_TRUE(empty->getPathX().empty());
    frame();
    EXPECT_TRUE(sprite->getModifiers().empty());
}

TEST_F(ModifierTest, AWaveCirclesItsCentreAndFinishesTheUpdateAfterArriving)
{
    ModifierLocationWave::start(sprite, 100, 100, 10, 10, 0.0f, static_cast<float>(M_PI / 2), 1.0f, 0.5f, 0);
    const int expected[][2] = {{110, 100}, {107, 107}, {100, 110}};
    for (const auto& point : expected) {
        ASSERT_FALSE(sprite->getModifiers().empty());
        frame();
        EXPECT_EQ(sprite->getX(), point[0]);
        EXPECT_EQ(sprite->getY(), point[1]);
    }
    EXPECT_TRUE(sprite->getModifiers().empty());
}

} // namespace
