#include "compat/ddraw/testing.h"
#include "compat/win32/window/messages.h"
#include "platform/app/InputManager.h"
#include "platform/surface/FrameCounter.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
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

// A canvas of 640 x 480 in one tile with the sprites a, b, c (c on top), all recording into log.
struct CanvasFixture : ::testing::Test {
    CanvasFixture() : canvas(new SpriteCanvas(640, 480, 640, 480)) {}

    RecordingSprite* add(const std::string& name, int x = 0, int y = 0, int w = 10, int h = 10)
    {
        auto* s = new RecordingSprite(name, &log, x, y, w, h);
        canvas->addSprite(s);
        return s;
    }

    Log log;
    Held<SpriteCanvas> canvas;
};

} // namespace

TEST(SpriteCanvasGrid, TilesCoverTheCanvas)
{
    struct Case {
        int w, h, tw, th;
        bool tiled;
        int columns, rows;
    };
    const Case cases[] = {{640, 480, 640, 480, false, 1, 1},
                          {640, 480, 64, 64, true, 10, 8},
                          {100, 100, 50, 50, true, 2, 2},
                          {640, 480, 0, 0, false, 1, 1}};
    for (const Case& c : cases) {
        Held<SpriteCanvas> canvas(new SpriteCanvas(c.w, c.h, c.tw, c.th));
        EXPECT_EQ(c.tiled, canvas->isTiled());
        EXPECT_EQ(c.columns, canvas->getColumns());
        EXPECT_EQ(c.rows, canvas->getRows());
        EXPECT_EQ(50.0f, canvas->getFrameRate().getRate());
        EXPECT_TRUE(canvas->isTileDirty(0, 0)) << "a new canvas repaints everything";
    }
}

TEST(SpriteCanvasGrid, MarkingTakesTheTileBehindABorderAndIgnoresEmptyRectangles)
{
    Held<SpriteCanvas> canvas(new SpriteCanvas(640, 480, 64, 64));
    canvas->invalidateAll(false);
    canvas->markArea(0, 0, 0, 100, true);
    canvas->markArea(-50, -50, 10, 10, true); // outside the area
    for (int r = 0; r < canvas->getRows(); ++r)
        for (int c = 0; c < canvas->getColumns(); ++c)
            ASSERT_FALSE(canvas->isTileDirty(c, r));

    canvas->markArea(0, 0, 64, 10, true); // ends exactly on the border of column 1
    EXPECT_TRUE(canvas->isTileDirty(0, 0));
    EXPECT_TRUE(canvas->isTileDirty(1, 0));
    EXPECT_FALSE(canvas->isTileDirty(2, 0));
    EXPECT_TRUE(canvas->isAreaDirty(Rect(100, 0, 1, 1)));
    EXPECT_FALSE(canvas->isAreaDirty(Rect(200, 200, 5, 5)));

    canvas->markArea(630, 470, 100, 100, true); // clipped to the last tile
    EXPECT_TRUE(canvas->isTileDirty(9, 7));
}

TEST(SpriteCanvasGrid, OverlapNeedsSizeAndSurvivesHugeEdges)
{
    EXPECT_TRUE(SpriteCanvas::overlaps(Rect(0, 0, 10, 10), Rect(9, 9, 1, 1)));
    EXPECT_FALSE(SpriteCanvas::overlaps(Rect(0, 0, 10, 10), Rect(10, 0, 5, 5)));
    EXPECT_FALSE(SpriteCanvas::overlaps(Rect(0, 0, 0, 10), Rect(0, 0, 5, 5)));
    EXPECT_TRUE(SpriteCanvas::overlaps(Rect(0x7FFFFFF0, 0, 0x7FFFFFFF, 10), Rect(0x7FFFFFF5, 0, 1, 1)));
}

TEST_F(CanvasFixture, InsertionOrderAndMoves)
{
    RecordingSprite* a = add("a");
    RecordingSprite* b = add("b");
    Held<RecordingSprite> stray(new RecordingSprite("stray", &log));

    canvas->addSpriteAfter(new RecordingSprite("after-a", &log), a);
    canvas->addSpriteBefore(new RecordingSprite("before-b", &log), b);
    canvas->addSpriteAfter(new RecordingSprite("bottom", &log), stray.get());
    canvas->addSpriteBefore(new RecordingSprite("top", &log), stray.get());
    EXPECT_EQ((std::vector<std::string>{"bottom", "a", "after-a", "before-b", "b", "top"}), names(*canvas.get()));

    canvas->bringToFront(a);
    canvas->moveSprite(b, 0);
    canvas->moveSprite(stray.get(), 0); // not listed: stays out
    EXPECT_EQ((std::vector<std::string>{"b", "bottom", "after-a", "before-b", "top", "a"}), names(*canvas.get()));
    EXPECT_TRUE(a->hasStateFlags(Sprite::StateOnCanvas));
    EXPECT_EQ(canvas.get(), a->getCanvas());
}

TEST_F(CanvasFixture, ObsoleteSpritesLeaveAfterTheWholeUpdate)
{
    RecordingSprite* a = add("a");
    RecordingSprite* b = add("b");
    RecordingSprite* c = add("c");
    a->onTick = [&](RecordingSprite*) { canvas->removeSprite(b); };
    c->onTick = [](RecordingSprite* self) { self->setObsolete(true); };
    b->addRef(); // keep b alive to look at it afterwards

    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ((Log{"a:update", "c:update", "b:removed", "c:removed"}), log);
    EXPECT_EQ((std::vector<std::string>{"a"}), names(*canvas.get()));
    EXPECT_FALSE(b->hasStateFlags(Sprite::StateOnCanvas));
    EXPECT_EQ(nullptr, b->getCanvas());
    EXPECT_EQ(0.02f, canvas->getFrameRate().getElapsedSeconds());
    EXPECT_EQ(20, canvas->getFrameRate().getElapsedMs());
    b->release();
}

namespace {

// Finishes at its first update; with "removeparent" that takes its sprite off the canvas.
class OneShot : public Modifier {
public:
    void update() override { finish(); }
};

} // namespace

TEST_F(CanvasFixture, AModifierThatRemovesItsSpriteTakesItOffAfterTheUpdate)
{
    RecordingSprite* a = add("a");
    add("b");
    auto* shot = new OneShot;
    shot->setOptions(Modifier::OptionRemoveParent);
    a->addModifier(shot);
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ((Log{"a:update", "b:update", "a:removed"}), log);
    EXPECT_EQ((std::vector<std::string>{"b"}), names(*canvas.get()));
}

TEST_F(CanvasFixture, FindSkipsObsoleteAndRemoveByNameMarksEveryMatch)
{
    RecordingSprite* first = add("twin");
    RecordingSprite* second = add("twin");
    add("other");
    EXPECT_EQ(first, canvas->findSprite("twin"));
    first->setObsolete(true);
    EXPECT_EQ(second, canvas->findSprite("twin"));
    canvas->removeByName("twin");
    EXPECT_EQ(nullptr, canvas->findSprite("twin"));
    canvas->removeSprite(nullptr);
    canvas->removeObsolete();
    EXPECT_EQ((std::vector<std::string>{"other"}), names(*canvas.get()));
}

TEST_F(CanvasFixture, HitTestCountsFromTheTopAndBarriersHitEverywhere)
{
    RecordingSprite* low = add("low", 0, 0, 50, 50);
    RecordingSprite* high = add("high", 10, 10, 50, 50);
    EXPECT_EQ(high, canvas->hitTest(20, 20, 0));
    EXPECT_EQ(low, canvas->hitTest(20, 20, 1));
    EXPECT_EQ(nullptr, canvas->hitTest(20, 20, 2));
    EXPECT_EQ(low, canvas->hitTest(5, 5, 0));
    RecordingSprite* panel = add("panel", 300, 300, 10, 10);
    panel->setInputBarrier(true);
    EXPECT_EQ(panel, canvas->hitTest(5, 5, 0));
}

TEST_F(CanvasFixture, LeftPressGoesToEnabledSpritesUntilConsumedAndStopsAtABarrier)
{
    RecordingSprite* lower = add("lower", 0, 0, 50, 50);
    RecordingSprite* disabled = add("disabled", 0, 0, 50, 50);
    RecordingSprite* upper = add("upper", 0, 0, 50, 50);
    for (Sprite* s : {static_cast<Sprite*>(lower), static_cast<Sprite*>(disabled), static_cast<Sprite*>(upper)})
        s->addInputFlags(Sprite::InputLeftPressed | Sprite::InputRightReleased);
    disabled->setEnabled(false);
    upper->setVisible(false); // visibility plays no part in input

    canvas->leftPressed(5, 5, 1, 0);
    EXPECT_EQ((Log{"upper:left", "lower:left"}), log);

    log.clear();
    upper->consumes = true;
    canvas->leftPressed(5, 5, 1, 0);
    EXPECT_EQ((Log{"upper:left"}), log);

    log.clear();
    canvas->rightReleased(5, 5, 0); // a right release reaches every gathered sprite
    EXPECT_EQ((Log{"upper:rightup", "disabled:rightup", "lower:rightup"}), log);

    log.clear();
    RecordingSprite* panel = add("panel", 300, 300, 10, 10);
    panel->setInputBarrier(true);
    canvas->leftPressed(5, 5, 1, 0); // the panel has no input bit, yet hides everything below it
    EXPECT_TRUE(log.empty());
}

TEST_F(CanvasFixture, KeysGoTopDownToTheFirstBarrier)
{
    RecordingSprite* below = add("below");
    RecordingSprite* dialog = add("dialog");
    RecordingSprite* top = add("top");
    RecordingSprite* deaf = add("deaf");
    for (Sprite* s : {static_cast<Sprite*>(below), static_cast<Sprite*>(dialog), static_cast<Sprite*>(top)})
        s->addInputFlags(Sprite::InputKeyPressed | Sprite::InputKeyTyped);
    (void)deaf;
    canvas->keyPressed(13);
    EXPECT_EQ((Log{"top:key", "dialog:key", "below:key"}), log);

    log.clear();
    dialog->setInputBarrier(true);
    top->setObsolete(true);
    canvas->keyTyped('x');
    EXPECT_EQ((Log{"dialog:typed"}), log);
}

TEST_F(CanvasFixture, MouseOverTracksEnterAndExitAndABarrierCountsAsLeaving)
{
    RecordingSprite* button = add("button", 0, 0, 20, 20);
    button->addInputFlags(Sprite::InputMouseOver);
    canvas->mouseMoved(5, 5, 0);
    EXPECT_EQ((Log{"button:enter", "button:move"}), log);
    EXPECT_TRUE(button->hasStateFlags(Sprite::StateMouseInside));

    log.clear();
    canvas->mouseMoved(6, 6, 0);
    EXPECT_EQ((Log{"button:move"}), log);

    log.clear();
    RecordingSprite* dialog = add("dialog", 200, 200, 50, 50);
    dialog->setInputBarrier(true);
    canvas->mouseMoved(7, 7, 0); // the pointer is still over the button, but a modal panel is open
    EXPECT_EQ((Log{"button:exit"}), log);
    EXPECT_FALSE(button->hasStateFlags(Sprite::StateMouseInside));

    log.clear();
    dialog->setInputBarrier(false);
    button->setDirty(false);
    canvas->leftReleased(8, 8, 0); // button events are followed by mouse-over tracking
    EXPECT_EQ((Log{"button:enter", "button:move"}), log);
    EXPECT_TRUE(button->isDirty());
}

TEST_F(CanvasFixture, UntiledRenderDrawsVisibleSpritesInListOrderWhenAnythingIsDirty)
{
    RecordingSprite* a = add("a");
    RecordingSprite* hidden = add("hidden");
    RecordingSprite* b = add("b", 600, 400);
    hidden->setVisible(false);
    canvas->render(nullptr);
    EXPECT_EQ((Log{"a:draw", "b:draw"}), log);
    EXPECT_FALSE(a->isDirty());
    EXPECT_TRUE(hidden->isDirty()) << "an invisible sprite keeps its dirty state";

    log.clear();
    hidden->setDirty(false);
    canvas->render(nullptr);
    EXPECT_TRUE(log.empty()) << "nothing dirty: nothing drawn";

    b->setX(601); // one dirty sprite repaints the single tile in list order
    canvas->render(nullptr);
    EXPECT_EQ((Log{"a:draw", "b:draw"}), log);
}

namespace {

class CanvasPixels : public DisplayTest {
protected:
    // A w x h surface filled with one native colour.
    Surface* solid(int w, int h, std::uint32_t colour)
    {
        Surface* s = make32(w, h);
        s->fill(colour);
        return s;
    }
};

} // namespace

TEST_F(CanvasPixels, BackgroundThenSpritesInDrawingOrder)
{
    Surface* target = make32(64, 48);
    Held<SpriteCanvas> canvas(new SpriteCanvas(64, 48, 64, 48));
    canvas->setBackground(solid(64, 48, 0x000010));
    auto* red = new BitmapSprite(solid(20, 20, 0xFF0000), nullptr, 0, 0);
    auto* green = new BitmapSprite(solid(20, 20, 0x00FF00), nullptr, 10, 10);
    canvas->addSprite(red);
    canvas->addSprite(green);
    canvas->render(target);
    EXPECT_EQ(0xFF0000u, peek(target, 5, 5) & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, peek(target, 15, 15) & 0xFFFFFF);
    EXPECT_EQ(0x000010u, peek(target, 40, 40) & 0xFFFFFF);

    // Removal repaints the area the sprite left.
    canvas->removeSprite(green);
    canvas->update(0.02f, 20, 50.0f);
    canvas->render(target);
    EXPECT_EQ(0x000010u, peek(target, 25, 25) & 0xFFFFFF);
    EXPECT_EQ(0xFF0000u, peek(target, 15, 15) & 0xFFFFFF);
}

TEST_F(CanvasPixels, TiledCanvasComposesDirtyTilesOnly)
{
    Surface* target = make32(64, 64);
    Held<SpriteCanvas> canvas(new SpriteCanvas(64, 64, 16, 16));
    canvas->setBackground(solid(64, 64, 0x000010));
    auto* sprite = new BitmapSprite(solid(8, 8, 0xFF0000), nullptr, 4, 4);
    auto* hidden = new BitmapSprite(solid(8, 8, 0x0000FF), nullptr, 20, 20);
    hidden->setVisible(false);
    canvas->addSprite(sprite);
    canvas->addSprite(hidden);
    canvas->render(target);
    EXPECT_EQ(0xFF0000u, peek(target, 5, 5) & 0xFFFFFF);
    EXPECT_EQ(0x000010u, peek(target, 40, 40) & 0xFFFFFF);
    EXPECT_EQ(0x000010u, peek(target, 21, 21) & 0xFFFFFF) << "invisible sprites are not drawn";
    EXPECT_EQ(Rect(4, 4, 8, 8), sprite->getDrawnBounds());

    target->fill(0);
    sprite->setPosition(40, 40); // old and new area are repainted from the composition
    canvas->render(target);
    EXPECT_EQ(0x000010u, peek(target, 5, 5) & 0xFFFFFF);
    EXPECT_EQ(0xFF0000u, peek(target, 41, 41) & 0xFFFFFF);
}

TEST_F(CanvasPixels, TiledCanvasMakesItsWorkingSurfacesAnewAfterALostDisplay)
{
    frame::set(1);
    Surface* target = make32(64, 64);
    Held<SpriteCanvas> canvas(new SpriteCanvas(64, 64, 16, 16));
    auto* sprite = new BitmapSprite(solid(8, 8, 0xFF0000), nullptr, 4, 4);
    sprite->copyToOwnSurface();
    canvas->addSprite(sprite);
    canvas->render(target);
    ASSERT_EQ(0xFF0000u, peek(target, 5, 5) & 0xFFFFFF);

    compat::testing::loseAllSurfaces();
    target = make32(64, 64);
    target->fill(0);
    for (int next = 0; next < 3; ++next) {
        frame::advance();
        canvas->invalidateAll(true);
        canvas->render(target);
    }
    EXPECT_EQ(0xFF0000u, peek(target, 5, 5) & 0xFFFFFF);
    frame::set(0);
}

TEST_F(CanvasFixture, SpritesReachTheFrameRatioOfTheirCanvas)
{
    RecordingSprite* a = add("a");
    Held<RecordingSprite> loose(new RecordingSprite("loose", &log));
    canvas->update(0.04f, 40, 25.0f);
    EXPECT_FLOAT_EQ(2.0f, a->getFrameRate().ratio()) << "a 40 ms frame is two nominal frames";
    EXPECT_FLOAT_EQ(0.0f, loose->getFrameRate().ratio()) << "off a canvas nothing moves";
    EXPECT_FLOAT_EQ(25.0f, a->getFrameRate().getMeasuredRate());
}

TEST_F(CanvasPixels, ContainerChildrenDrawRelativeToTheContainerAndHonourTheirClip)
{
    Surface* target = make32(64, 48);
    target->fill(0);
    Held<SpriteCanvas> canvas(new SpriteCanvas(64, 48, 64, 48));
    auto* panel = new SpriteContainer(20, 10, 30, 30, 2, 0, 3, 0, 0, 0);
    auto* child = new BitmapSprite(solid(20, 20, 0x00FF00), nullptr, 0, 0);
    child->setClipRect(0, 0, 30, 48); // screen coordinates: cuts the child's right part
    panel->addChild(child, SpriteContainer::PlaceOnCorner);
    canvas->addSprite(panel);
    canvas->render(target);
    EXPECT_EQ(0u, peek(target, 21, 13) & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, peek(target, 22, 13) & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, peek(target, 29, 32) & 0xFFFFFF);
    EXPECT_EQ(0u, peek(target, 30, 13) & 0xFFFFFF);
    EXPECT_EQ(0u, peek(target, 22, 33) & 0xFFFFFF);
}

TEST_F(CanvasFixture, InputFromTheInputManagerReachesTheSprites)
{
    RecordingSprite* button = add("button", 0, 0, 20, 20);
    button->addInputFlags(Sprite::InputLeftPressed | Sprite::InputKeyTyped | Sprite::InputMouseOver);
    InputManager input;
    input.addListener(canvas.get());
    input.handleMessage(WM_MOUSEMOVE, 0, (7 << 16) | 5);
    input.handleMessage(WM_LBUTTONDOWN, MK_LBUTTON, (7 << 16) | 5);
    input.handleMessage(WM_CHAR, 'q', 0);
    input.dispatch();
    EXPECT_EQ((Log{"button:enter", "button:move", "button:left", "button:move", "button:typed"}), log);
    input.removeListener(canvas.get());
}
