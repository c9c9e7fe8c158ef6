#include "compat/win32/window/messages.h"
#include "platform/app/InputManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Recorder : InputListener {
    Recorder(const std::string& name, std::vector<std::string>* log) : name(name), log(log) {}
    void keyPressed(int key) override { note("down " + std::to_string(key)); }
    void keyReleased(int key) override { note("up " + std::to_string(key)); }
    void keyTyped(char c) override { note(std::string("char ") + c); }
    void mouseMoved(int x, int y, int b) override { note(at("move", x, y, b)); }
    void mousePressed(int x, int y, int b, int d) override { note(at("press", x, y, b) + " " + std::to_string(d)); }
    void mouseReleased(int x, int y, int b) override { note(at("release", x, y, b)); }
    void middlePressed(int x, int y, int b, int d) override { note(at("mpress", x, y, b) + " " + std::to_string(d)); }
    void middleReleased(int x, int y, int b) override { note(at("mrelease", x, y, b)); }
    void rightPressed(int x, int y, int b, int d) override { note(at("rpress", x, y, b) + " " + std::to_string(d)); }
    void rightReleased(int x, int y, int b) override { note(at("rrelease", x, y, b)); }

    static std::string at(const char* what, int x, int y, int b)
    {
        return std::string(what) + " " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(b);
    }
    void note(const std::string& what) { log->push_back(name + " " + what); }

    std::string name;
    std::vector<std::string>* log;
};

std::intptr_t point(int x, int y) { return static_cast<std::intptr_t>((y & 0xFFFF) << 16 | (x & 0xFFFF)); }

TEST(InputManager, QueuedMessagesReachEveryListenerNewestFirstAtTheNextDispatch)
{
    std::vector<std::string> log;
    Recorder first("first", &log), second("second", &log);
    InputManager input;
    input.addListener(&first);
    input.addListener(&second);
    input.addListener(&first); // once only

    input.handleMessage(WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(input.getKeyState('A'), 1); // known at once
    EXPECT_TRUE(log.empty());             // heard only at the dispatch
    input.dispatch();
    EXPECT_EQ(log, (std::vector<std::string>{"second down 65", "first down 65"}));
    input.removeListener(&second);
    input.handleMessage(WM_KEYUP, 'A', 0);
    EXPECT_EQ(input.getKeyState('A'), 0);
    log.clear();
    input.dispatch();
    EXPECT_EQ(log, (std::vector<std::string>{"first up 65"}));
}

TEST(InputManager, EveryMessageBecomesItsCallWithUnsignedCoordinates)
{
    std::vector<std::string> log;
    Recorder r("r", &log);
    InputManager input;
    input.addListener(&r);
    const struct {
        unsigned message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    } messages[] = {
        {WM_CHAR, 0x178, 0},                        // low byte only
        {WM_MOUSEMOVE, MK_SHIFT, point(-1, 5)},     // left of the window: a large x
        {WM_LBUTTONDOWN, MK_LBUTTON, point(10, 20)},
        {WM_LBUTTONUP, 0, point(10, 20)},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, point(10, 20)},
        {WM_LBUTTONUP, 0, point(10, 20)},
        {WM_RBUTTONDOWN, MK_RBUTTON, point(1, 2)},
        {WM_RBUTTONUP, 0, point(1, 2)},
        {WM_RBUTTONDBLCLK, MK_RBUTTON, point(1, 2)},
        {WM_MBUTTONDOWN, MK_MBUTTON, point(3, 4)},
        {WM_MBUTTONUP, 0, point(3, 4)},
        {WM_MBUTTONDBLCLK, MK_MBUTTON, point(3, 4)},
        {WM_SYSKEYDOWN, VK_RETURN, 0}, // not input of the manager's
        {WM_MOUSEWHEEL, 0, 0},
    };
    for (const auto& m : messages)
        input.handleMessage(m.message, m.wParam, m.lParam);
    EXPECT_EQ(input.getMouseX(), 3);
    EXPECT_EQ(input.getMouseY(), 4);
    EXPECT_TRUE(input.isMiddleDown());
    EXPECT_EQ(input.queuedInput(), 12u);
    input.dispatch();
    EXPECT_EQ(log, (std::vector<std::string>{
                       "r char x", "r move 65535,5 4", "r press 10,20 1 0", "r release 10,20 0", "r press 10,20 1 1",
                       "r release 10,20 0", "r rpress 1,2 2 0", "r rrelease 1,2 0", "r rpress 1,2 2 1",
                       "r mpress 3,4 16 0", "r mrelease 3,4 0", "r mpress 3,4 16 1"}));
    EXPECT_EQ(input.queuedInput(), 0u);
}

TEST(InputManager, FlagTestsPairAsTheyStand)
{
    InputManager input;
    input.handleMessage(WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON | MK_CONTROL, 0);
    EXPECT_TRUE(input.isLeftDown());
    EXPECT_TRUE(input.isRightDown());
    EXPECT_FALSE(input.isMiddleDown());
    EXPECT_TRUE(input.isControlDown());
    EXPECT_FALSE(input.isShiftDown());
    EXPECT_TRUE(input.isRight(MK_RBUTTON));
    EXPECT_TRUE(input.isMiddle(MK_MBUTTON));
    EXPECT_FALSE(input.isLeft(MK_RBUTTON));
}

TEST(InputManager, UnchangedMousePositionsAreDeliveredOnce)
{
    std::vector<std::string> log;
    Recorder r("r", &log);
    InputManager input;
    input.addListener(&r);
    for (auto p : {point(0, 0), point(0, 0), point(5, 5), point(0, 0)})
        input.handleMessage(WM_MOUSEMOVE, 0, p);
    input.dispatch();
    // The first move is delivered even at 0,0; a return to an earlier point is delivered again.
    EXPECT_EQ(log, (std::vector<std::string>{"r move 0,0 0", "r move 5,5 0", "r move 0,0 0"}));

    // A move along one axis keeps the other coordinate and is still a move; only an exact repeat of
    // the last delivered position is dropped.
    log.clear();
    for (auto p : {point(0, 7), point(0, 7), point(4, 7), point(4, 7), point(4, 0), point(0, 0), point(0, 0)})
        input.handleMessage(WM_MOUSEMOVE, 0, p);
    input.dispatch();
    EXPECT_EQ(log, (std::vector<std::string>{"r move 0,7 0", "r move 4,7 0", "r move 4,0 0", "r move 0,0 0"}));
}

TEST(InputManager, KeyCodesOutsideTheTableStayInsideIt)
{
    InputManager input;
    input.handleMessage(WM_KEYDOWN, 0x141, 0); // would write past the 256 keys
    EXPECT_EQ(input.getKeyState(0x41), 1);
    input.handleMessage(WM_KEYUP, 0x141, 0);
    EXPECT_EQ(input.getKeyState(0x41), 0);
}

// A listener that, when it hears a key, removes or adds others.
struct Meddler : Recorder {
    using Recorder::Recorder;
    void keyPressed(int key) override
    {
        Recorder::keyPressed(key);
        if (victim != nullptr)
            manager->removeListener(victim);
        if (newcomer != nullptr)
            manager->addListener(newcomer);
        if (self)
            manager->removeListener(this);
    }
    InputManager* manager = nullptr;
    InputListener* victim = nullptr;
    InputListener* newcomer = nullptr;
    bool self = false;
};

TEST(InputManager, ListenersMayRemoveThemselvesOrOthersDuringTheWalk)
{
    std::vector<std::string> log;
    InputManager input;
    auto victim = std::make_unique<Recorder>("victim", &log);
    Recorder newcomer("newcomer", &log), last("last", &log);
    Meddler meddler("meddler", &log);
    meddler.manager = &input;
    meddler.victim = victim.get();
    meddler.newcomer = &newcomer;
    meddler.self = true;
    input.addListener(&last);
    input.addListener(victim.get());
    input.addListener(&meddler);

    input.handleMessage(WM_KEYDOWN, 1, 0);
    input.handleMessage(WM_KEYDOWN, 2, 0);
    input.dispatch();
    victim.reset(); // gone for good: the walk must not reach it
    input.handleMessage(WM_KEYDOWN, 3, 0);
    input.dispatch();
    EXPECT_EQ(log, (std::vector<std::string>{"meddler down 1", "last down 1", "newcomer down 2", "last down 2",
                                             "newcomer down 3", "last down 3"}));
}

TEST(InputManager, DestroyingTheManagerLeavesRegisteredListenersAlone)
{
    std::vector<std::string> log;
    Recorder onStack("stack", &log); // freeing it would crash
    auto input = std::make_unique<InputManager>();
    input->addListener(&onStack);
    input.reset();
    onStack.keyPressed(1);
    EXPECT_EQ(log.size(), 1u);
}

} // namespace
