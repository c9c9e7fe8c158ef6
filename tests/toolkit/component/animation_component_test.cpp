#include "platform/surface/SurfaceTestSupport.h"
#include "platform/surface/SurfaceHolder.h"
#include "toolkit/component/AnimationComponent.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class AnimationTest : public DisplayTest {
protected:
    void TearDown() override
    {
        for (RefCounted* object : objects)
            object->release();
        DisplayTest::TearDown();
    }

    // A 32-bit picture whose column x, row y holds 0x10000 * (y + 1) + x + 1: every pixel tells
    // where it came from.
    SurfaceHolder* image(int width, int height)
    {
        auto* holder = keep(new SurfaceHolder);
        DirectDrawSurface* surface = make32(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                poke(surface, x, y, static_cast<std::uint32_t>(0x10000 * (y + 1) + x + 1));
        holder->setSurface(surface);
        return holder;
    }

    AnimationComponent* animation(SurfaceHolder* picture, int ox, int oy, int w, int h, int count, int layout)
    {
        return keep(new AnimationComponent(picture, ox, oy, w, h, count, layout));
    }

    template <class T> T* keep(T* object)
    {
        object->addRef();
        objects.push_back(object);
        return object;
    }

    std::vector<RefCounted*> objects;
};

TEST_F(AnimationTest, SetupTakesTheImageSizeForAZeroFrameSizeAndStaysStopped)
{
    SurfaceHolder* picture = image(30, 12);
    AnimationComponent* a = animation(picture, 0, 0, 0, 0, 1, 0);
    EXPECT_EQ(a->getType(), 0x80000005u);
    EXPECT_TRUE(a->hasFlag(0));
    EXPECT_EQ(a->getWidth(), 30);
    EXPECT_EQ(a->getHeight(), 12);
    EXPECT_EQ(a->getImage(), picture);
    EXPECT_EQ(picture->getRefCount(), 2) << "the component holds one reference";
    a->setFrame(5);
    EXPECT_EQ(a->getFrame(), 0);

    AnimationComponent* strip = animation(picture, 0, 0, 10, 4, 3, 1);
    EXPECT_EQ(strip->getDirection(), AnimationComponent::Stopped);
    strip->update(nullptr, FrameTime(100));
    EXPECT_EQ(strip->getFrame(), 0) << "nothing starts the animation but setDirection";
    strip->releaseImage();
    EXPECT_EQ(strip->getImage(), nullptr);
    EXPECT_EQ(picture->getRefCount(), 2);

    AnimationComponent* empty = animation(nullptr, 3, 4, 5, 6, 7, 0);
    EXPECT_EQ(empty->getWidth(), 0) << "no setup without an image";
    EXPECT_EQ(empty->getFrameCount(), 1);
    EXPECT_EQ(empty->getFrameTime(), 17);
}

struct SourceCase {
    const char* name;
    int imageWidth;
    int ox, oy, w, h, count, layout;
    int frame;
    int expectedFrame, sx, sy;
};

TEST_F(AnimationTest, FramesLieInStripsOrAGrid)
{
    const SourceCase cases[] = {
        {"vertical strip", 20, 2, 3, 20, 5, 4, 0, 2, 2, 2, 13},
        {"horizontal strip frame 2 at x 45", 65, 5, 0, 20, 7, 3, 1, 2, 2, 45, 0},
        {"frame number wraps at the count", 65, 5, 0, 20, 7, 3, 1, 4, 1, 25, 0},
        {"negative frame stays one frame before the origin", 20, 0, 10, 20, 5, 4, 0, -1, -1, 0, 5},
        {"grid row by row", 30, 1, 1, 10, 4, 7, 2, 4, 4, 11, 5},
        {"grid first row", 30, 1, 1, 10, 4, 7, 2, 2, 2, 21, 1},
        {"grid narrower than one frame shows frame 0", 8, 1, 1, 10, 4, 7, 2, 5, 5, 1, 1},
        {"unknown layout leaves the source position alone", 20, 4, 6, 5, 5, 3, 9, 2, 2, 0, 0},
    };
    for (const SourceCase& c : cases) {
        AnimationComponent* a = animation(image(c.imageWidth, 40), c.ox, c.oy, c.w, c.h, c.count, c.layout);
        a->setFrame(c.frame);
        EXPECT_EQ(a->getFrame(), c.expectedFrame) << c.name;
        EXPECT_EQ(a->getSourcePosition().x, c.sx) << c.name;
        EXPECT_EQ(a->getSourcePosition().y, c.sy) << c.name;
    }
}

struct StepCase {
    const char* name;
    int count;
    int frameTime;
    int direction;
    int loop;
    std::vector<int> elapsed;
    std::vector<int> frames; // after each update
};

TEST_F(AnimationTest, FramesStepByElapsedTime)
{
    using A = AnimationComponent;
    const StepCase cases[] = {
        {"two frames per 40 ms at 17 ms, 6 ms carried", 5, 17, A::Forward, A::Wrap, {40, 11, 16}, {2, 3, 3}},
        {"forward wraps to 0", 3, 10, A::Forward, A::Wrap, {10, 10, 10, 10}, {1, 2, 0, 1}},
        {"backward wraps to the last", 3, 10, A::Backward, A::Wrap, {10, 10, 10}, {2, 1, 0}},
        {"bounce turns at both ends", 4, 10, A::Forward, A::Bounce, {10, 10, 10, 10, 10, 10, 10, 10},
         {1, 2, 3, 2, 1, 0, 1, 2}},
        {"bounce of two frames", 2, 10, A::Forward, A::Bounce, {10, 10, 10, 10}, {1, 0, 1, 0}},
        {"stopped consumes the time", 4, 10, A::Stopped, A::Wrap, {35, 5}, {0, 0}},
        {"unknown loop mode wraps forward through setFrame", 3, 10, A::Forward, 7, {30, 10}, {0, 1}},
    };
    for (const StepCase& c : cases) {
        AnimationComponent* a = animation(image(10, 10), 0, 0, 1, 1, c.count, 0);
        a->setFrameTime(c.frameTime);
        a->setDirection(c.direction);
        a->setLoopMode(c.loop);
        std::vector<int> seen;
        for (int ms : c.elapsed) {
            a->update(nullptr, FrameTime(ms));
            seen.push_back(a->getFrame());
        }
        EXPECT_EQ(seen, c.frames) << c.name;
    }
}

TEST_F(AnimationTest, StoppedTimeCarriesOverAndAnInactiveComponentDoesNotStep)
{
    AnimationComponent* a = animation(image(10, 10), 0, 0, 1, 1, 4, 0);
    a->setFrameTime(10);
    a->setDirection(AnimationComponent::Stopped);
    a->update(nullptr, FrameTime(15));
    a->setDirection(AnimationComponent::Forward);
    a->update(nullptr, FrameTime(5));
    EXPECT_EQ(a->getFrame(), 1) << "the 5 ms left over from the stopped frame count";
    a->setActive(false);
    a->update(nullptr, FrameTime(100));
    EXPECT_EQ(a->getFrame(), 1) << "an inactive component does not step";
}

TEST_F(AnimationTest, DegenerateCountsAndTimesNeitherDivideByZeroNorLoopForever)
{
    SurfaceHolder* picture = image(10, 10);
    AnimationComponent* a = animation(picture, 0, 0, 2, 2, 0, 2);
    EXPECT_EQ(a->getFrameCount(), 1) << "a count of 0 counts as one frame";
    a->setFrameCount(-3);
    EXPECT_EQ(a->getFrameCount(), 1);
    a->setFrame(7);
    EXPECT_EQ(a->getFrame(), 0);

    a->setFrameTime(0);
    EXPECT_EQ(a->getFrameTime(), 1);
    a->setFrameRate(30.0f);
    EXPECT_EQ(a->getFrameTime(), 33);
    for (float rate : {2000.0f, 0.0f, -5.0f}) {
        a->setFrameRate(rate);
        EXPECT_GE(a->getFrameTime(), 1) << rate;
    }
    a->setFrameRate(5000.0f);
    a->setFrameCount(3);
    a->setDirection(AnimationComponent::Forward);
    a->update(nullptr, FrameTime(40));
    EXPECT_EQ(a->getFrame(), 1) << "40 steps of 1 ms over three frames";
}

TEST_F(AnimationTest, ALongStallEndsOnTheSameFrameAsManyShortFrames)
{
    for (int loop : {0, 1, 5}) {
        for (int direction : {1, 2}) {
            AnimationComponent* once = animation(image(10, 10), 0, 0, 1, 1, 5, 0);
            AnimationComponent* often = animation(image(10, 10), 0, 0, 1, 1, 5, 0);
            for (AnimationComponent* a : {once, often}) {
                a->setFrameTime(1);
                a->setLoopMode(loop);
                a->setDirection(direction);
                a->setFrame(-3);
            }
            once->update(nullptr, FrameTime(100003));
            for (int i = 0; i < 100003; ++i)
                often->update(nullptr, FrameTime(1));
            EXPECT_EQ(once->getFrame(), often->getFrame()) << "loop " << loop << " direction " << direction;
            EXPECT_EQ(once->getDirection(), often->getDirection()) << "loop " << loop << " direction " << direction;
        }
    }
}

TEST_F(AnimationTest, DrawsTheCurrentFrameAtItsCorner)
{
    // Three frames of 4 x 3 side by side from (1, 2).
    SurfaceHolder* picture = image(16, 6);
    AnimationComponent* a = animation(picture, 1, 2, 4, 3, 3, 1);
    a->setPosition(12.0f, 7.0f);
    a->setAnchor(2, 0);
    a->setFrame(1);
    DirectDrawSurface* target = make32(20, 12);
    target->fill(0);
    a->draw(target, FrameTime(20));
    // Corner at (8, 7); source of frame 1 at (5, 2).
    EXPECT_EQ(peek(target, 8, 7), 0x30006u);
    EXPECT_EQ(peek(target, 11, 9), 0x50009u);
    EXPECT_EQ(peek(target, 7, 7), 0u);
    EXPECT_EQ(peek(target, 12, 7), 0u);
    EXPECT_EQ(peek(target, 8, 10), 0u);
}

TEST_F(AnimationTest, ClippedDrawingKeepsInsideTheClipRectangle)
{
    SurfaceHolder* picture = image(8, 4);
    struct ClipCase {
        const char* name;
        RectangleValue clip;
        std::vector<int> drawnColumns; // of the target row 1 (the frame occupies x 2 to 9)
    };
    const ClipCase cases[] = {
        {"left half only", RectangleValue(0, 0, 6, 10), {2, 3, 4, 5}},
        {"right part, shifted source", RectangleValue(7, 1, 10, 1), {7, 8, 9}},
        {"a clip of width 0 draws nothing", RectangleValue(2, 1, 0, 4), {}},
        {"a clip beside the frame draws nothing", RectangleValue(11, 0, 5, 5), {}},
    };
    for (const ClipCase& c : cases) {
        AnimationComponent* a = animation(picture, 0, 0, 0, 0, 1, 0);
        a->setPosition(2.0f, 0.0f);
        a->setClipped(true);
        a->getClipRect() = c.clip;
        DirectDrawSurface* target = make32(12, 4);
        target->fill(0);
        a->draw(target, FrameTime(20));
        std::vector<int> drawn;
        for (int x = 0; x < 12; ++x) {
            const std::uint32_t pixel = peek(target, x, 1);
            if (pixel != 0) {
                drawn.push_back(x);
                EXPECT_EQ(pixel, static_cast<std::uint32_t>(0x20000 + x - 2 + 1)) << c.name << " at " << x;
            }
        }
        EXPECT_EQ(drawn, c.drawnColumns) << c.name;
    }
}

} // namespace
