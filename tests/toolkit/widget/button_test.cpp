#include "compat/win32/window/messages.h"
#include "platform/app/Application.h"
#include "platform/app/InputManager.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/ButtonListener.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// Logs every sound a button would play.
class LoggingButton : public ButtonBlit {
public:
    explicit LoggingButton(std::vector<std::string>* log) : log(log) {}
    void playEffect(const std::string& soundId) override
    {
        if (!soundId.empty())
            log->push_back("sound " + soundId);
    }
    std::vector<std::string>* log;
};

class LoggingListener : public ButtonListener {
public:
    explicit LoggingListener(std::vector<std::string>* log) : log(log) {}
    bool onClick(ButtonBlit*) override { return note("click"); }
    bool onEnter(ButtonBlit*) override { return note("enter"); }
    bool onLeave(ButtonBlit*) override { return note("leave"); }
    bool note(const std::string& what)
    {
        log->push_back(what);
        return true;
    }
    std::vector<std::string>* log;
};

class AppOnly : public Application {
public:
    AppOnly() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
};

// A 40 x 20 button at (10, 10) on a 100 x 100 canvas, with sounds "P" (press), "E" (enter), "L" (leave)
// and "D" (deselect), and a listener; both write to one log.
class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<AppOnly>();
        canvas = new SpriteCanvas(100, 100, 100, 100);
        canvas->addRef();
        button = new LoggingButton(&log);
        button->setBounds(10, 10, 40, 20);
        button->setPressSound("P");
        button->setEnterSound("E");
        button->setLeaveSound("L");
        button->setDeselectSound("D");
        button->setListener(&listener);
        canvas->addSprite(button);
    }
    void TearDown() override
    {
        canvas->release();
        app.reset();
    }

    // A press and release inside, starting from outside.
    void clickInside()
    {
        canvas->mouseMoved(20, 15, 0);
        canvas->leftPressed(20, 15, 1, 0);
        canvas->leftReleased(20, 15, 0);
    }
    std::vector<std::string> take()
    {
        std::vector<std::string> out;
        out.swap(log);
        return out;
    }

    using Log = std::vector<std::string>;
    std::unique_ptr<AppOnly> app;
    SpriteCanvas* canvas = nullptr;
    LoggingButton* button = nullptr;
    Log log;
    LoggingListener listener{&log};
};

TEST_F(ButtonTest, PlainClickWalksNormalHighlightPressedHighlight)
{
    EXPECT_EQ(button->getState(), 0);
    canvas->mouseMoved(20, 15, 0);
    EXPECT_EQ(button->getState(), 1);
    EXPECT_EQ(app->getCursorShape(), ButtonBlit::CursorHand);
    canvas->leftPressed(20, 15, 1, 0);
    EXPECT_EQ(button->getState(), 2);
    EXPECT_TRUE(canvas->isConsumed());
    canvas->leftReleased(20, 15, 0);
    EXPECT_EQ(button->getState(), 1);
    EXPECT_EQ(take(), (Log{"sound E", "enter", "sound P", "click"})) << "the press sound plays once, at the press";
    canvas->mouseMoved(80, 80, 0);
    EXPECT_EQ(button->getState(), 0);
    EXPECT_EQ(app->getCursorShape(), ButtonBlit::CursorArrow);
    EXPECT_EQ(take(), (Log{"sound L", "leave"}));
}

TEST_F(ButtonTest, MovesAlongOneAxisEnterAndLeaveThroughTheInputQueue)
{
    // The moves come through the application's input queue, which drops repeated positions: a move
    // that keeps one coordinate is no repeat.
    InputManager input;
    input.addListener(canvas);
    auto move = [&](int x, int y) {
        input.handleMessage(WM_MOUSEMOVE, 0, static_cast<LPARAM>((y & 0xFFFF) << 16 | (x & 0xFFFF)));
        input.dispatch();
    };
    const struct {
        const char* name;
        int outsideX, outsideY; // the start, outside; the button is entered at (20, 15)
        int leaveX, leaveY;
    } cases[] = {
        {"in from below, out to the right", 20, 60, 80, 15},
        {"in from the right, out above", 80, 15, 20, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        move(c.outsideX, c.outsideY);
        take();
        move(20, 15);
        EXPECT_EQ(button->getState(), 1);
        EXPECT_EQ(app->getCursorShape(), ButtonBlit::CursorHand);
        EXPECT_EQ(take(), (Log{"sound E", "enter"}));
        move(c.leaveX, c.leaveY);
        EXPECT_EQ(button->getState(), 0);
        EXPECT_EQ(take(), (Log{"sound L", "leave"}));
    }
}

TEST_F(ButtonTest, DragOffAndReleaseOutsideClicksNothing)
{
    canvas->mouseMoved(20, 15, 0);
    canvas->leftPressed(20, 15, 1, 0);
    canvas->mouseMoved(80, 80, 1);
    EXPECT_EQ(button->getState(), 2) << "leaving while pressed keeps the pressed look";
    canvas->leftReleased(80, 80, 0);
    button->onLeftReleased(80, 80, 0); // even were the release handed over, nothing is clicked
    EXPECT_EQ(button->getState(), 0);
    EXPECT_EQ(take(), (Log{"sound E", "enter", "sound P", "sound L", "leave"}));

    // A pressed state whose release happened elsewhere ends at the next move with the button up.
    canvas->mouseMoved(20, 15, 0);
    canvas->leftPressed(20, 15, 1, 0);
    canvas->mouseMoved(21, 15, 0);
    EXPECT_EQ(button->getState(), 0);
}

TEST_F(ButtonTest, DragOutAndBackInClicksOnceWithOnePressSound)
{
    canvas->mouseMoved(20, 15, 0);
    canvas->leftPressed(20, 15, 1, 0);
    canvas->mouseMoved(80, 80, 1);
    canvas->mouseMoved(20, 15, 1);
    EXPECT_EQ(button->getState(), 2) << "a pressed button coming back keeps its pressed state";
    canvas->leftReleased(20, 15, 0);
    EXPECT_EQ(take(), (Log{"sound E", "enter", "sound P", "sound L", "leave", "sound E", "enter", "click"}));
    EXPECT_EQ(button->getState(), 1);
}

TEST_F(ButtonTest, PressOutsideAndReleaseInsideClicksNothing)
{
    button->onLeftPressed(5, 5, 1, 0);
    canvas->mouseMoved(20, 15, 1);
    canvas->leftReleased(20, 15, 0);
    EXPECT_EQ(take(), (Log{"sound E", "enter"}));
    EXPECT_EQ(button->getState(), 1);
}

TEST_F(ButtonTest, ToggleFlipsBetweenHalvesAndDeselectsWithItsOwnSound)
{
    button->setToggle(true);
    canvas->mouseMoved(20, 15, 0);
    canvas->leftPressed(20, 15, 1, 0);
    EXPECT_EQ(button->getState(), 2);
    canvas->leftReleased(20, 15, 0);
    EXPECT_EQ(button->getState(), 5);
    EXPECT_TRUE(button->isSelected());
    canvas->leftPressed(20, 15, 1, 0);
    EXPECT_EQ(button->getState(), 6);
    canvas->leftReleased(20, 15, 0);
    EXPECT_EQ(button->getState(), 1);
    EXPECT_EQ(take(), (Log{"sound E", "enter", "sound P", "click", "sound D", "click"}));
}

TEST_F(ButtonTest, SelectedGroupMemberStaysPressedUntilSetAgain)
{
    button->setGroup("tabs");
    clickInside();
    EXPECT_EQ(button->getState(), 5);
    canvas->mouseMoved(80, 80, 0);
    EXPECT_EQ(button->getState(), 4);
    clickInside();
    EXPECT_EQ(button->getState(), 6);
    EXPECT_EQ(std::count(log.begin(), log.end(), "click"), 2);
    button->setSelected(false);
    EXPECT_EQ(button->getState(), 2);
    button->setSelected(true);
    EXPECT_EQ(button->getState(), 6);
}

TEST_F(ButtonTest, DisabledOrInactiveButtonIgnoresClicksButTracksCrossings)
{
    for (bool viaActiveFlag : {false, true}) {
        SCOPED_TRACE(viaActiveFlag ? "active flag cleared" : "setUsable(false)");
        canvas->mouseMoved(80, 80, 0);
        button->setUsable(true);
        if (viaActiveFlag)
            button->setEnabled(false);
        else
            button->setUsable(false);
        take();
        button->setHotkey('x');
        button->addInputFlags(Sprite::InputKeyTyped);
        clickInside();
        canvas->keyTyped('x');
        canvas->mouseMoved(80, 80, 0);
        EXPECT_EQ(take(), (Log{"sound E", "enter", "sound L", "leave"}));
        EXPECT_EQ(app->getCursorShape(), ButtonBlit::CursorArrow);
        EXPECT_EQ(button->getState(), viaActiveFlag ? 0 : 3);
        button->setEnabled(true);
    }
}

TEST_F(ButtonTest, UsableAgainTakesTheHighlightWhenThePointerIsOver)
{
    button->setToggle(true);
    clickInside();
    button->setUsable(false);
    EXPECT_EQ(button->getState(), 7);
    button->setUsable(true);
    EXPECT_EQ(button->getState(), 5);
    canvas->mouseMoved(80, 80, 0);
    button->setUsable(false);
    button->setUsable(true);
    EXPECT_EQ(button->getState(), 4);
}

TEST_F(ButtonTest, HotkeysClickWithThePressSoundAndNoStateChange)
{
    button->addInputFlags(Sprite::InputKeyReleased | Sprite::InputKeyTyped);
    button->setHotkey('k');
    button->setHotkeyCode(13);
    canvas->keyTyped('k');
    canvas->keyTyped('j');
    canvas->keyReleased(13);
    canvas->keyReleased(14);
    EXPECT_EQ(take(), (Log{"sound P", "click", "sound P", "click"}));
    EXPECT_EQ(button->getState(), 0);
}

TEST_F(ButtonTest, ClickThatDisablesTheButtonRestoresTheArrow)
{
    struct Disabler : ButtonListener {
        bool onClick(ButtonBlit* b) override
        {
            b->setUsable(false);
            return true;
        }
        bool onEnter(ButtonBlit*) override { return true; }
        bool onLeave(ButtonBlit*) override { return true; }
    } disabler;
    button->setListener(&disabler);
    clickInside();
    EXPECT_EQ(button->getState(), 3);
    EXPECT_EQ(app->getCursorShape(), ButtonBlit::CursorArrow);
}

struct HitCase {
    const char* xml;
    int x, y;
    bool inside;
};

TEST_F(ButtonTest, HitAreasFromTheLayoutElement)
{
    // The button element sits at (10, 10), 40 x 20.
    const std::string relative =
        "<buttonblit x='10' y='10' width='40' height='20'><hitarea left='5' right='-5'/></buttonblit>";
    const std::string absolute = "<buttonblit x='10' y='10' width='40' height='20'>"
                                 "<hitarea left='10' top='10' right='20' bottom='20' relative='false'/></buttonblit>";
    const HitCase cases[] = {
        {relative.c_str(), 14, 15, false}, {relative.c_str(), 15, 15, true}, {relative.c_str(), 44, 29, true},
        {relative.c_str(), 45, 15, false}, {relative.c_str(), 20, 30, false}, {absolute.c_str(), 10, 10, true},
        {absolute.c_str(), 29, 29, true},  {absolute.c_str(), 30, 29, false}, {absolute.c_str(), 29, 30, false},
        {absolute.c_str(), 9, 10, false},
    };
    for (const HitCase& c : cases) {
        TiXmlDocument doc;
        doc.Parse(c.xml);
        Held<Sprite> sprite(createSpriteFromXml(doc.RootElement()));
        ASSERT_NE(sprite.get(), nullptr);
        ASSERT_TRUE(sprite->isKindOf(&ButtonBlit::classRecord));
        EXPECT_EQ(sprite->contains(c.x, c.y), c.inside) << c.xml << " at " << c.x << "," << c.y;
    }
    TiXmlDocument doc;
    doc.Parse(relative.c_str());
    Held<Sprite> sprite(createSpriteFromXml(doc.RootElement()));
    const Rect area = static_cast<ButtonBlit*>(sprite.get())->getTooltipRect();
    EXPECT_EQ(area.x, 15);
    EXPECT_EQ(area.width, 30);
}

TEST_F(ButtonTest, LayoutAttributesConfigureTheButton)
{
    TiXmlDocument doc;
    doc.Parse("<buttonblit toggle='true' group='g' hotkey='qz' hotkeycode='27' dohand='false' tooltip='Tip'/>");
    Held<Sprite> sprite(createSpriteFromXml(doc.RootElement()));
    auto* b = static_cast<ButtonBlit*>(sprite.get());
    EXPECT_TRUE(b->isToggle());
    EXPECT_EQ(b->getGroup(), "g");
    EXPECT_EQ(b->getHotkey(), 'q');
    EXPECT_EQ(b->getHotkeyCode(), 27);
    EXPECT_EQ(b->getTooltip(), "Tip");
    EXPECT_FALSE(b->isTooltipChanged());
    EXPECT_TRUE(b->hasStateFlags(ButtonBlit::StateConsumesPress));
    EXPECT_EQ(b->getInputFlags() & 902u, 902u);
    EXPECT_FALSE(b->hasInputFlags(Sprite::InputKeyPressed | Sprite::InputKeyReleased | Sprite::InputKeyTyped));

    TiXmlDocument empty;
    empty.Parse("<buttonblit hotkey=''/>");
    Held<Sprite> plain(createSpriteFromXml(empty.RootElement()));
    EXPECT_EQ(static_cast<ButtonBlit*>(plain.get())->getHotkey(), 0) << "an empty hotkey is no hotkey";
}

} // namespace
