#include "toolkit/component/InteractiveComponent.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Components are shared by count; a test holds its own reference for its whole length.
template <class T> struct Held {
    explicit Held(T* object) : object(object) { object->addRef(); }
    ~Held() { object->release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    T* operator->() const { return object; }
    T* get() const { return object; }
    T* object;
};

Held<VisualComponent> visual(float x, float y, int width, int height)
{
    return Held<VisualComponent>(new VisualComponent(x, y, width, height));
}

struct AnchorCase {
    const char* name;
    float x, y;
    int width, height;
    int anchorH, anchorV;
    int absX, absY;
};

TEST(VisualComponent, AnchorOffsetsGiveTheCorner)
{
    const AnchorCase cases[] = {
        {"start", 10.0f, 20.0f, 7, 3, 0, 0, 10, 20},
        {"centre truncates half of an odd size", 10.0f, 20.0f, 7, 3, 1, 2, 7, 17},
        {"end", 10.0f, 20.0f, 7, 3, 2, 2, 3, 17},
        {"centre of a width of 5 is 2", 0.0f, 0.0f, 5, 5, 1, 1, -2, -2},
        {"an unknown mode keeps the axis", 10.0f, 20.0f, 7, 3, 9, -1, 10, 20},
        {"fractions truncate toward zero", 10.9f, -0.5f, 0, 0, 0, 0, 10, 0},
        {"negative positions truncate toward zero", -2.7f, -0.9f, 4, 4, 0, 0, -2, 0},
    };
    for (const AnchorCase& c : cases) {
        auto v = visual(c.x, c.y, c.width, c.height);
        v->setAnchor(c.anchorH, c.anchorV);
        EXPECT_EQ(v->getAbsoluteX(), c.absX) << c.name;
        EXPECT_EQ(v->getAbsoluteY(), c.absY) << c.name;
    }
}

TEST(VisualComponent, HitTestCoversTheAbsoluteBoundsHalfOpen)
{
    auto v = visual(10.0f, 20.0f, 7, 3);
    v->setAnchor(1, 2);
    EXPECT_TRUE(v->contains(7, 17));
    EXPECT_TRUE(v->contains(13, 19));
    EXPECT_FALSE(v->contains(14, 17));
    EXPECT_FALSE(v->contains(7, 20));
    EXPECT_FALSE(v->contains(6, 18));
    auto empty = visual(0.0f, 0.0f, 0, 0);
    EXPECT_FALSE(empty->contains(0, 0));
}

TEST(VisualComponent, AnchorOffsetsKeepTheOldSizeUntilSetAgain)
{
    auto v = visual(100.0f, 100.0f, 10, 10);
    v->setAnchor(2, 2);
    v->setSize(40, 20);
    EXPECT_EQ(v->getAbsoluteX(), 90);
    EXPECT_EQ(v->getAbsoluteY(), 90);
    v->setAnchor(2, 1);
    EXPECT_EQ(v->getAbsoluteX(), 60);
    EXPECT_EQ(v->getAbsoluteY(), 90);
    // Resetting one axis to an unknown mode keeps its offset.
    v->setAnchor(7, 0);
    EXPECT_EQ(v->getAbsoluteX(), 60);
    EXPECT_EQ(v->getAbsoluteY(), 100);
}

struct RelativeCase {
    const char* name;
    bool relative;
    float x;
    int anchor; // horizontal mode on a width of 5
    int expected;
};

TEST(VisualComponent, RelativePlacementAddsTheParentsCorner)
{
    // The parent's corner is at x 10 (anchor point 14.5, centred on a width of 9).
    auto parent = visual(14.5f, 3.0f, 9, 4);
    parent->setAnchor(1, 0);
    ASSERT_EQ(parent->getAbsoluteX(), 10);
    const RelativeCase cases[] = {
        {"relative, fraction truncated after the sum", true, 2.6f, 0, 12},
        {"relative with the child's own offset", true, 2.6f, 1, 10},
        {"relative, negative sum truncates toward zero", true, -10.5f, 0, 0},
        {"not relative ignores the parent", false, 2.6f, 0, 2},
    };
    for (const RelativeCase& c : cases) {
        auto child = visual(c.x, 1.0f, 5, 2);
        child->setAnchor(c.anchor, 0);
        child->setRelative(c.relative);
        parent->addChild(child.get());
        EXPECT_EQ(child->getAbsoluteX(), c.expected) << c.name;
        EXPECT_EQ(child->getAbsoluteY(), c.relative ? 4 : 1) << c.name;
        parent->removeChild(child.get());
    }
}

TEST(VisualComponent, RelativePlacementChainsThroughGrandparents)
{
    auto root = visual(100.0f, 50.0f, 10, 10);
    auto middle = visual(10.5f, 5.5f, 10, 10);
    auto leaf = visual(1.7f, 1.7f, 2, 2);
    middle->setRelative(true);
    leaf->setRelative(true);
    root->addChild(middle.get());
    middle->addChild(leaf.get());
    EXPECT_EQ(middle->getAbsoluteX(), 110);
    EXPECT_EQ(leaf->getAbsoluteX(), 111);
    EXPECT_EQ(leaf->getAbsoluteY(), 56);
    // A relative root, or one under a plain component, counts from the screen's corner.
    Held<Component> plain(new Component);
    auto orphan = visual(3.9f, 4.2f, 1, 1);
    orphan->setRelative(true);
    EXPECT_EQ(orphan->getAbsoluteX(), 3);
    plain->addChild(orphan.get());
    EXPECT_EQ(orphan->getAbsoluteY(), 4);
    plain->removeAllChildren();
    root->removeAllChildren();
    middle->removeAllChildren();
}

TEST(VisualComponent, SettersMarkDirtyExceptFocusAndRelative)
{
    auto v = visual(0.0f, 0.0f, 1, 1);
    EXPECT_EQ(v->getType(), 0x80000002u);
    EXPECT_TRUE(v->hasFlag(0));
    struct Step {
        const char* name;
        void (*change)(VisualComponent*);
        bool marks;
    };
    const Step steps[] = {
        {"setX", [](VisualComponent* c) { c->setX(3.0f); }, true},
        {"setHeight", [](VisualComponent* c) { c->setHeight(9); }, true},
        {"setPosition(point)", [](VisualComponent* c) { c->setPosition(PointValue(4, 5)); }, true},
        {"setBounds(rect)", [](VisualComponent* c) { c->setBounds(RectangleValue(1, 2, 3, 4)); }, true},
        {"setAnchor", [](VisualComponent* c) { c->setAnchor(1, 1); }, true},
        {"setSpareB", [](VisualComponent* c) { c->setSpareB(7); }, true},
        {"setRelative", [](VisualComponent* c) { c->setRelative(true); }, false},
        {"setFocused", [](VisualComponent* c) { c->setFocused(true); }, false},
        {"setTooltip", [](VisualComponent* c) { c->setTooltip("tip"); }, false},
    };
    for (const Step& s : steps) {
        v->setDirty(false);
        s.change(v.get());
        EXPECT_EQ(v->isDirty(), s.marks) << s.name;
    }
    EXPECT_EQ(v->getX(), 1.0f);
    EXPECT_EQ(v->getY(), 2.0f);
    EXPECT_EQ(v->getWidth(), 3);
    EXPECT_EQ(v->getHeight(), 4);
    EXPECT_EQ(v->getSpareB(), 7);
}

TEST(VisualComponent, FocusPassesOnlyFromAFocusedComponentWithASuccessor)
{
    auto first = visual(0.0f, 0.0f, 1, 1);
    auto second = visual(0.0f, 0.0f, 1, 1);
    auto third = visual(0.0f, 0.0f, 1, 1);
    first->setNextFocus(second.get());
    second->setNextFocus(third.get());

    EXPECT_FALSE(first->passFocus()) << "not focused";
    EXPECT_FALSE(first->isFocused());
    EXPECT_FALSE(second->isFocused());

    first->setFocused(true);
    EXPECT_TRUE(first->passFocus());
    EXPECT_FALSE(first->isFocused());
    EXPECT_TRUE(second->isFocused());
    EXPECT_TRUE(second->passFocus());
    EXPECT_TRUE(third->isFocused());
    EXPECT_FALSE(third->passFocus()) << "no successor";
    EXPECT_TRUE(third->isFocused());
}

TEST(VisualComponent, TooltipAnswersWithTheAbsoluteBoundsAndTheActiveFlag)
{
    auto v = visual(30.0f, 40.0f, 10, 6);
    v->setAnchor(1, 1);
    v->setTooltip("Loading");
    TooltipSource* source = v.get();
    EXPECT_EQ(source->getTooltip(), "Loading");
    EXPECT_EQ(source->getTooltipRect(), Rect(25, 37, 10, 6));
    EXPECT_TRUE(source->isTooltipActive());
    EXPECT_FALSE(source->isTooltipChanged());
    v->setActive(false);
    EXPECT_FALSE(source->isTooltipActive());
}

TEST(InteractiveComponent, KeepsTheVisualTypeAndHearsNothingUntilRegistered)
{
    Held<InteractiveComponent> c(new InteractiveComponent(1.0f, 2.0f, 3, 4));
    EXPECT_EQ(c->getType(), 0x80000002u);
    EXPECT_TRUE(c->hasFlag(0));
    EXPECT_EQ(c->isRegistered(), 0);
    EXPECT_EQ(c->getAbsoluteX(), 1);
    InputListener* listener = c.get();
    listener->mousePressed(1, 2, 1, 0);
    listener->keyTyped('a');
}

} // namespace
