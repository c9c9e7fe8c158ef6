#include "toolkit/sprite/SpriteContainer.h"
#include "toolkit/sprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

std::vector<std::string> names(const SpriteCanvas& canvas)
{
    std::vector<std::string> out;
    for (const Sprite* s : canvas.getSprites())
        out.push_back(s->getName());
    return out;
}

// A standalone container breaks its ties with its children before it goes.
struct Container : Held<SpriteContainer> {
    explicit Container(SpriteContainer* c) : Held<SpriteContainer>(c) {}
    ~Container() { p->setObsolete(true); }
};

Sprite* sized(int w, int h, const std::string& name = "")
{
    auto* s = new Sprite(0, 0, w, h);
    s->setName(name);
    return s;
}

} // namespace

TEST(SpriteContainer, PlacementModesAroundTheReferenceBox)
{
    struct Case {
        int mode;
        int w, h;
        int x, y;
    };
    // Reference (100, 200, 30, 25), gaps 4 and 6.
    const Case cases[] = {
        {1, 10, 10, 100, 200},  {2, 10, 10, 134, 200},  {3, 10, 10, 134, 207},  {4, 10, 10, 134, 215},
        {5, 10, 10, 86, 200},   {6, 10, 10, 86, 207},   {7, 10, 10, 86, 215},   {8, 10, 10, 100, 231},
        {9, 10, 10, 110, 231},  {10, 10, 10, 120, 231}, {11, 10, 10, 100, 184}, {12, 10, 10, 110, 184},
        {13, 10, 10, 120, 184}, {14, 10, 10, 0, 0},     {0, 10, 10, 3, 4},
    };
    for (const Case& c : cases) {
        Container box(new SpriteContainer(0, 0, 300, 300, 0, 0, 0, 0, 4, 6));
        box->setReferenceBox(100, 200, 30, 25);
        Sprite* child = sized(c.w, c.h);
        child->setPosition(3, 4);
        box->addChild(child, c.mode);
        EXPECT_EQ(c.x, child->getX()) << "mode " << c.mode;
        EXPECT_EQ(c.y, child->getY()) << "mode " << c.mode;
        // The child becomes the next reference.
        EXPECT_EQ(static_cast<float>(c.x), box->getReferenceX());
        EXPECT_EQ(static_cast<float>(c.h), box->getReferenceHeight());
        EXPECT_TRUE(child->hasStateFlags(Sprite::StateRelative));
        EXPECT_EQ(box.get(), child->getParent());
    }
}

TEST(SpriteContainer, CentredPlacementTruncatesTowardZero)
{
    struct Case {
        int childWidth, x;
    };
    const Case cases[] = {{4, -5}, {3, -4}};
    for (const Case& c : cases) {
        Container box(new SpriteContainer);
        box->setReferenceBox(-3, 0, 0, 0);
        Sprite* child = sized(c.childWidth, 1);
        box->addChild(child, SpriteContainer::PlaceAboveCenter);
        EXPECT_EQ(c.x, child->getX()) << "width " << c.childWidth;
    }
}

TEST(SpriteContainer, ResetReferenceStartsAColumnInsideTheMargins)
{
    Container box(new SpriteContainer(0, 0, 300, 100, 10, 20, 15, 0, 0, 5));
    EXPECT_EQ(10.0f, box->getReferenceX());
    EXPECT_EQ(15.0f, box->getReferenceY());
    EXPECT_EQ(270.0f, box->getReferenceWidth());
    EXPECT_EQ(0.0f, box->getReferenceHeight());
    Sprite* first = sized(50, 20);
    Sprite* second = sized(50, 20);
    box->addChild(first, SpriteContainer::PlaceBelowLeft);
    box->addChild(second, SpriteContainer::PlaceBelowLeft);
    EXPECT_EQ(10, first->getX());
    EXPECT_EQ(20, first->getY());
    EXPECT_EQ(45, second->getY());
}

TEST(SpriteContainer, FittingToChildren)
{
    Container box(new SpriteContainer(0, 0, 10, 10, 3, 4, 10, 5, 0, 0));
    Sprite* a = sized(20, 30);
    Sprite* b = sized(10, 10);
    a->setPosition(50, 30);
    b->setPosition(70, 80);
    box->addChildAsIs(a);
    box->addChildAsIs(b);
    EXPECT_EQ(70, b->getX()); // kept where it was

    box->fitHeightToChildren(); // y spans 30 to 90
    EXPECT_EQ(75, box->getHeight());
    EXPECT_EQ(10, a->getY());
    EXPECT_EQ(60, b->getY());
    EXPECT_EQ(50, a->getX()); // x untouched

    box->fitWidthToChildren(); // x spans 50 to 80
    EXPECT_EQ(37, box->getWidth());
    EXPECT_EQ(3, a->getX());
    EXPECT_EQ(23, b->getX());

    box->setExtraHeight(true);
    box->fitHeightToChildren();
    EXPECT_EQ(275, box->getHeight());

    Container empty(new SpriteContainer(0, 0, 40, 40, 0, 0, 0, 0, 0, 0));
    empty->fitSizeToChildren();
    EXPECT_EQ(40, empty->getWidth());
    EXPECT_EQ(40, empty->getHeight());
}

TEST(SpriteContainer, ChildrenFollowTheContainerOnTheCanvas)
{
    Held<SpriteCanvas> canvas(new SpriteCanvas(640, 480, 640, 480));
    canvas->addSprite(sized(1, 1, "below"));
    auto* box = new SpriteContainer(100, 100, 50, 50, 0, 0, 0, 0, 0, 0);
    box->setName("box");
    box->addChild(sized(5, 5, "one"), SpriteContainer::PlaceBelowLeft);
    box->addChild(sized(5, 5, "two"), SpriteContainer::PlaceBelowLeft);
    canvas->addSprite(box);
    canvas->addSprite(sized(1, 1, "above"));
    EXPECT_EQ((std::vector<std::string>{"below", "box", "one", "two", "above"}), names(*canvas.get()));

    // Added while on the canvas: each goes right after the container, so the last is drawn first.
    box->addChild(sized(5, 5, "three"), SpriteContainer::PlaceBelowLeft);
    box->addChild(sized(5, 5, "four"), SpriteContainer::PlaceBelowLeft);
    EXPECT_EQ((std::vector<std::string>{"below", "box", "four", "three", "one", "two", "above"}),
              names(*canvas.get()));
    Sprite* one = canvas->findSprite("one");
    EXPECT_EQ(100, one->getAbsoluteX());
    EXPECT_EQ(100, one->getAbsoluteY());

    // Removing the container takes its whole tree off at the end of the update.
    canvas->removeSprite(box);
    EXPECT_EQ(nullptr, one->getParent());
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ((std::vector<std::string>{"below", "above"}), names(*canvas.get()));
}

TEST(SpriteContainer, ObsoleteChildrenAreDroppedAndStateReachesChildren)
{
    Container box(new SpriteContainer);
    Sprite* a = sized(1, 1);
    Sprite* b = sized(1, 1);
    box->addChildAsIs(a);
    box->addChildAsIs(b);
    a->setObsolete(true);
    box->update();
    ASSERT_EQ(1u, box->getChildren().size());
    EXPECT_EQ(b, box->getChildren()[0]);

    box->setVisible(false);
    box->setEnabled(false);
    EXPECT_FALSE(b->isVisible());
    EXPECT_FALSE(b->isEnabled());
    EXPECT_FALSE(box->isTooltipActive());
    box->setTooltip("tip");
    EXPECT_EQ("tip", box->getTooltip());

    // Its record has no parent: a container is not of kind "Sprite".
    EXPECT_FALSE(box->isKindOf(&Sprite::classRecord));
    EXPECT_TRUE(box->isKindOf(&SpriteContainer::classRecord));
}
