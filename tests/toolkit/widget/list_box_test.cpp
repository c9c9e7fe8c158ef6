#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ListBox.h"
#include "toolkit/widget/WidgetPixels.h"

#include "platform/surface/SurfaceTestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace {

// A list at (10, 40), 100 x 80, with borders top 5, left 3, right 4, entries 20 high and 2 apart, a red
// bar, on a 120 x 140 canvas after a backdrop sprite and before a sprite on top.
class ListBoxTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        canvas = new SpriteCanvas(120, 140, 120, 140);
        canvas->addRef();
        canvas->addSprite(new Sprite(0, 0, 5, 5));
        TiXmlDocument doc;
        doc.Parse("<listboxcomponent x='10' y='40' width='100' height='80' bordertop='5' borderbottom='9' "
                  "borderleft='3' borderright='4' itemheight='20' itemspacing='2' selectioncolor='#FF0000' "
                  "selectionalpha='255'/>");
        Sprite* sprite = createSpriteFromXml(doc.RootElement());
        EXPECT_TRUE(sprite && sprite->isKindOf(&ListBoxComponent::classRecord));
        list = static_cast<ListBoxComponent*>(sprite);
        canvas->addSprite(list);
        top = new Sprite(0, 0, 5, 5);
        canvas->addSprite(top);
    }
    void TearDown() override
    {
        canvas->release();
        DisplayTest::TearDown();
    }

    std::vector<ListBoxItem*> addItems(int count)
    {
        std::vector<ListBoxItem*> made;
        for (int i = 0; i < count; ++i) {
            made.push_back(new ListBoxItem);
            list->addItem(made.back());
        }
        return made;
    }
    void click(int x, int y)
    {
        canvas->mouseMoved(x, y, 0);
        canvas->leftPressed(x, y, 1, 0);
        canvas->leftReleased(x, y, 0);
    }

    SpriteCanvas* canvas = nullptr;
    ListBoxComponent* list = nullptr;
    Sprite* top = nullptr;
};

TEST_F(ListBoxTest, EntriesStackInsideTheBordersRightAfterTheList)
{
    EXPECT_EQ(list->getBorderBottom(), 9);
    const auto items = addItems(3);
    const int expectedY[] = {5, 27, 49};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[i]->getY(), expectedY[i]);
        EXPECT_EQ(items[i]->getAbsoluteY(), 40 + expectedY[i]);
        EXPECT_EQ(items[i]->getAbsoluteX(), 13);
        EXPECT_EQ(items[i]->getWidth(), 93);
        EXPECT_EQ(items[i]->getHeight(), 20);
        EXPECT_EQ(canvas->indexOf(items[i]), 2 + i) << "drawn right after the list, in list order";
        EXPECT_EQ(items[i]->getListener(), list);
        EXPECT_EQ(items[i]->getState(), ButtonBlit::StateSelectedNormal);
    }
    EXPECT_EQ(canvas->indexOf(top), 5);
    list->setY(10);
    EXPECT_EQ(items[2]->getAbsoluteY(), 59) << "entries move with the list";
}

TEST_F(ListBoxTest, EntriesAddedOffTheCanvasArriveWithTheList)
{
    Held<ListBoxComponent> loose(new ListBoxComponent);
    loose->setBounds(0, 0, 50, 50);
    loose->setItemHeight(10);
    ListBoxItem* first = new ListBoxItem;
    ListBoxItem* second = new ListBoxItem;
    loose->addItem(first);
    loose->addItem(second);
    EXPECT_EQ(first->getCanvas(), nullptr);
    canvas->addSpriteBefore(loose.get(), top);
    const int at = canvas->indexOf(loose.get());
    EXPECT_EQ(canvas->indexOf(first), at + 1);
    EXPECT_EQ(canvas->indexOf(second), at + 2);
    EXPECT_EQ(canvas->indexOf(top), at + 3);

    // Leaving the canvas empties the list; its entries go with it.
    canvas->removeSprite(loose.get());
    canvas->removeObsolete();
    EXPECT_EQ(loose->getItemCount(), 0);
    EXPECT_EQ(canvas->indexOf(first), -1);
    EXPECT_EQ(canvas->indexOf(second), -1);
}

TEST_F(ListBoxTest, AClickSelectsTheEntryAndMovesTheBar)
{
    const auto items = addItems(3);
    DirectDrawSurface* target = make32(120, 140);
    target->fill(0);
    canvas->render(target);
    EXPECT_EQ(peek(target, 20, 70) & 0xFFFFFF, 0u) << "no bar without a selection";

    click(20, 70); // inside the second entry (y 67..86)
    EXPECT_EQ(list->getSelected(), items[1]);
    EXPECT_EQ(items[1]->getState(), ButtonBlit::StateHighlight) << "a click deselects the entry's own look";
    target->fill(0);
    canvas->invalidateAll(true);
    canvas->render(target);
    EXPECT_TRUE(nearColour(peek(target, 13, 67), 0xFF0000));
    EXPECT_TRUE(nearColour(peek(target, 105, 86), 0xFF0000));
    EXPECT_EQ(peek(target, 106, 86) & 0xFFFFFF, 0u) << "the bar spans the entry, not the list's right border";
    EXPECT_EQ(peek(target, 13, 87) & 0xFFFFFF, 0u);
    EXPECT_EQ(peek(target, 20, 50) & 0xFFFFFF, 0u);

    click(20, 50);
    EXPECT_EQ(list->getSelected(), items[0]);
    list->setSelectionAlpha(128);
    target->fill(0);
    canvas->invalidateAll(true);
    canvas->render(target);
    EXPECT_TRUE(nearColour(peek(target, 20, 50), 0x800000)) << "a translucent bar";
    EXPECT_EQ(peek(target, 20, 70) & 0xFFFFFF, 0u);
}

TEST_F(ListBoxTest, OnlyTheListsOwnEntriesAreSelectedByClicks)
{
    const auto items = addItems(1);
    Held<PixelFontButton> plain(new PixelFontButton);
    Held<ListBoxItem> stranger(new ListBoxItem);
    list->onClick(plain.get());
    list->onClick(stranger.get());
    EXPECT_EQ(list->getSelected(), nullptr);
    EXPECT_TRUE(list->onClick(items[0]));
    EXPECT_EQ(list->getSelected(), items[0]);
    EXPECT_EQ(list->getItem(1), nullptr);
    EXPECT_EQ(list->getItem(-1), nullptr);
}

struct RemovalCase {
    const char* name;
    int count;
    int selected; // -1: none
    int removed;
    int selectedAfter; // index among the entries before the removal; -1: none
};

TEST_F(ListBoxTest, RemovingTheSelectedEntryHandsTheSelectionOn)
{
    const RemovalCase cases[] = {
        {"middle of three: the next one", 3, 1, 1, 2},
        {"last of three: the one before", 3, 2, 2, 1},
        {"first of three: the next one", 3, 0, 0, 1},
        {"the only entry: none", 1, 0, 0, -1},
        {"another entry: the selection stays", 3, 0, 2, 0},
        {"out of range: nothing happens", 2, 1, 5, 1},
    };
    for (const RemovalCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto items = addItems(c.count);
        if (c.selected >= 0)
            list->setSelected(items[c.selected]);
        ListBoxItem* removed = list->getItem(c.removed);
        if (removed)
            removed->addRef();
        list->removeItemAt(c.removed);
        EXPECT_EQ(list->getSelected(), c.selectedAfter < 0 ? nullptr : items[c.selectedAfter]);
        if (removed) {
            EXPECT_EQ(list->getItemCount(), c.count - 1);
            EXPECT_EQ(list->indexOf(removed), -1);
            EXPECT_FALSE(removed->hasStateFlags(Sprite::StateRelative));
            EXPECT_EQ(removed->getParent(), nullptr);
            EXPECT_TRUE(removed->isObsolete()) << "it leaves the canvas";
            removed->release();
        }
        for (int i = 0; i < list->getItemCount(); ++i)
            EXPECT_EQ(list->getItem(i)->getY(), 5 + 22 * i) << "laid out again";
        list->clear();
        canvas->removeObsolete();
    }
}

TEST_F(ListBoxTest, RemoveByEntryAndClear)
{
    const auto items = addItems(3);
    Held<ListBoxItem> stranger(new ListBoxItem);
    list->removeItem(stranger.get());
    EXPECT_EQ(list->getItemCount(), 3);
    list->removeItem(items[0]);
    EXPECT_EQ(list->getItem(0), items[1]);
    list->setSelected(items[2]);
    list->clear();
    EXPECT_EQ(list->getSelected(), nullptr);
    EXPECT_EQ(list->getItemCount(), 0);
    EXPECT_TRUE(items[1]->isObsolete());
    EXPECT_TRUE(items[2]->isObsolete());
    canvas->removeObsolete();
    EXPECT_EQ(canvas->getSpriteCount(), 3);
}

} // namespace
