#include "toolkit/modifier/Modifier.h"
#include "toolkit/sprite/Sprite.h"
#include "toolkit/sprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {


// Finishes after `steps` updates and records every update in a shared log.
class CountingModifier : public Modifier {
public:
    CountingModifier(std::string tag, int steps, std::vector<std::string>* log) : tag(std::move(tag)), steps(steps), log(log)
    {
    }
    void update() override
    {
        log->push_back(tag);
        if (--steps <= 0)
            addState(StateFinished);
    }
    std::string tag;
    int steps;
    std::vector<std::string>* log;
};

} // namespace

TEST(Sprite, NewSpriteIsEnabledVisibleWithoutFrameOrInput)
{
    Held<Sprite> s(new Sprite);
    EXPECT_EQ(Sprite::StateEnabled | Sprite::StateVisible, s->getStateFlags());
    EXPECT_EQ(0u, s->getInputFlags());
    EXPECT_EQ(-1, s->getFrame());
    EXPECT_EQ(nullptr, s->getFrameRect());
    EXPECT_STREQ("Sprite", s->getClass()->name);
    EXPECT_EQ(nullptr, s->getClass()->parent);
}

TEST(Sprite, AnchorModesPlaceTheCornerWithTruncatedHalves)
{
    struct Case {
        int mode;
        int x, y;
    };
    // Position (100, 50), size 5 x 7: halves are 2 and 3.
    const Case cases[] = {{0, 100, 50}, {1, 98, 50}, {2, 95, 50}, {3, 100, 47}, {4, 98, 47},
                          {5, 95, 47},  {6, 100, 43}, {7, 98, 43}, {8, 95, 43}, {9, 100, 50}};
    for (const Case& c : cases) {
        Held<Sprite> s(new Sprite(100, 50, 5, 7));
        s->setAnchor(c.mode);
        EXPECT_EQ(c.x, s->getBounds().x) << "mode " << c.mode;
        EXPECT_EQ(c.y, s->getBounds().y) << "mode " << c.mode;
        EXPECT_EQ(100, s->getX());
    }
    // Negative sizes halve toward zero too.
    Held<Sprite> s(new Sprite(0, 0, -5, -5));
    s->setAnchor(Sprite::AnchorCenter);
    EXPECT_EQ(2, s->getBounds().x);
}

TEST(Sprite, SettersMarkDirtyOnlyOnChange)
{
    Held<Sprite> s(new Sprite(10, 10, 5, 5));
    s->setAnchor(Sprite::AnchorCenter);
    s->setDirty(false);
    s->setX(10);
    EXPECT_FALSE(s->isDirty());
    s->setX(20);
    EXPECT_TRUE(s->isDirty());
    EXPECT_EQ(18, s->getBounds().x);

    s->setDirty(false);
    s->setAnchor(Sprite::AnchorTopLeft); // moves the corner, marks nothing
    EXPECT_FALSE(s->isDirty());
    EXPECT_EQ(20, s->getBounds().x);

    s->setVisible(true);
    EXPECT_FALSE(s->isDirty());
    s->setEnabled(false);
    EXPECT_TRUE(s->isDirty());
    EXPECT_FALSE(s->isEnabled());

    s->setInputBarrier(true);
    EXPECT_TRUE(s->hasStateFlags(Sprite::StateInputBarrier));
    s->setInputBarrier(false);
    EXPECT_FALSE(s->hasStateFlags(Sprite::StateInputBarrier));
}

TEST(Sprite, RectangleSettersCreateOnFirstUseAndMarkOnChange)
{
    Held<Sprite> s(new Sprite);
    s->setDirty(false);
    s->setClipRect(0, 0, 0, 0); // first use marks even with zero values
    EXPECT_TRUE(s->isDirty());
    s->setDirty(false);
    s->setClipRect(0, 0, 0, 0);
    EXPECT_FALSE(s->isDirty());
    s->setClipRectFrom(nullptr);
    EXPECT_TRUE(s->isDirty());
    EXPECT_EQ(nullptr, s->getClipRect());

    s->setSourceRect(1, 2, 3, 4);
    s->setDirty(false);
    s->setSourceRectFrom(nullptr); // deleting the source rectangle marks nothing
    EXPECT_FALSE(s->isDirty());
    EXPECT_EQ(nullptr, s->getSourceRect());
    const Rect zero;
    s->setSourceRectFrom(&zero); // created as zero: equal, so nothing to mark
    EXPECT_FALSE(s->isDirty());
    ASSERT_NE(nullptr, s->getSourceRect());
}

TEST(Sprite, AbsolutePositionFollowsARelativeParentUnlessItIsObsolete)
{
    Held<Sprite> parent(new Sprite(100, 200, 10, 10));
    Held<Sprite> child(new Sprite(5, 6, 2, 2));
    child->setParent(parent.get());
    EXPECT_EQ(5, child->getAbsoluteX()); // not relative yet
    child->addStateFlags(Sprite::StateRelative);
    EXPECT_EQ(105, child->getAbsoluteX());
    EXPECT_EQ(206, child->getAbsoluteY());
    EXPECT_TRUE(child->contains(105, 206));
    EXPECT_FALSE(child->contains(107, 206)); // right edge is outside
    EXPECT_FALSE(child->contains(105, 208)); // bottom edge is outside
    parent->setObsolete(true);
    EXPECT_EQ(5, child->getAbsoluteX());
    child->setParent(child.get()); // never its own parent
    EXPECT_EQ(parent.get(), child->getParent());
}

TEST(Sprite, NextFrameFollowsTheWrapMode)
{
    struct Case {
        const char* name;
        int count, wrap, direction, from;
        int frame, directionAfter;
    };
    const Case cases[] = {
        {"bounce at the end", 4, Sprite::WrapBounce, Sprite::Forward, 3, 2, Sprite::Backward},
        {"bounce at the start", 4, Sprite::WrapBounce, Sprite::Backward, 0, 1, Sprite::Forward},
        {"bounce with one frame", 1, Sprite::WrapBounce, Sprite::Forward, 0, 0, Sprite::Backward},
        {"loop forward", 4, Sprite::WrapLoop, Sprite::Forward, 3, 0, Sprite::Forward},
        {"loop backward", 4, Sprite::WrapLoop, Sprite::Backward, 0, 3, Sprite::Backward},
        {"once forward restarts", 4, Sprite::WrapNone, Sprite::Forward, 3, 0, Sprite::Forward},
        {"once backward stops", 4, Sprite::WrapNone, Sprite::Backward, 0, 0, Sprite::Backward},
        {"plain step", 4, Sprite::WrapNone, Sprite::Forward, 1, 2, Sprite::Forward},
    };
    for (const Case& c : cases) {
        Held<Sprite> s(new Sprite(0, 0, 8, 8 * c.count));
        s->setFrameCount(c.count);
        s->setFrameWrap(c.wrap);
        s->setFrameDirection(c.direction);
        s->setFrame(c.from);
        s->nextFrame();
        EXPECT_EQ(c.frame, s->getFrame()) << c.name;
        EXPECT_EQ(c.directionAfter, s->getFrameDirection()) << c.name;
        EXPECT_EQ(8 * c.frame, s->getSourceRect()->y) << c.name;
    }
}

TEST(Sprite, FrameCountSplitsTheImageIntoAVerticalStrip)
{
    Held<Sprite> s(new Sprite(0, 0, 32, 128));
    s->setFrameCount(4);
    EXPECT_EQ(32, s->getHeight());
    EXPECT_EQ(Sprite::WrapLoop, s->getFrameWrap());
    EXPECT_EQ(Rect(0, 0, 32, 32), *s->getSourceRect());
    s->setFrame(2);
    EXPECT_EQ(Rect(0, 64, 32, 32), *s->getSourceRect());

    // A count below one leaves the sprite as it is instead of dividing by zero.
    s->setFrameCount(0);
    EXPECT_EQ(32, s->getHeight());
    EXPECT_EQ(4, s->getFrameCount());
}

TEST(Sprite, SetFrameWithoutAFrameRectangleDoesNothing)
{
    Held<Sprite> s(new Sprite(0, 0, 10, 10));
    s->setDirty(false);
    s->setFrame(3);
    s->nextFrame();
    EXPECT_EQ(-1, s->getFrame());
    EXPECT_EQ(nullptr, s->getSourceRect());
    EXPECT_FALSE(s->isDirty());
}

TEST(Sprite, ABlockingModifierHoldsBackTheOnesBehindIt)
{
    std::vector<std::string> log;
    Held<Sprite> s(new Sprite);
    auto* blocking = new CountingModifier("wait", 2, &log);
    blocking->setOptions(Modifier::OptionBlocking);
    s->addModifier(blocking);
    s->addModifier(new CountingModifier("a", 1, &log));
    s->addModifier(new CountingModifier("b", 3, &log));
    EXPECT_EQ(s.get(), blocking->getSprite());

    s->update();
    EXPECT_EQ((std::vector<std::string>{"wait"}), log);
    log.clear();
    s->setDirty(false);
    s->update(); // "wait" finishes: removed, and the rest run in the same walk
    EXPECT_EQ((std::vector<std::string>{"wait", "a", "b"}), log);
    EXPECT_EQ(1u, s->getModifiers().size());
    EXPECT_TRUE(s->isDirty());
}

TEST(Sprite, NonBlockingModifiersAllRunInTheSameWalk)
{
    // A non-blocking modifier created with options 0 never holds the list back.
    std::vector<std::string> log;
    Held<Sprite> s(new Sprite);
    auto* first = new CountingModifier("x", 5, &log);
    first->setOptions(0);
    s->addModifier(first);
    s->addModifier(new CountingModifier("y", 5, &log));
    s->update();
    EXPECT_EQ((std::vector<std::string>{"x", "y"}), log);
    EXPECT_FALSE(s->isObsolete());
}
