// A test double of the game's program entry, driving the application as the game does: the start-up
// calls in order and a message loop that ticks whenever no message waits. The application's window
// runs the window procedure the fixture names: one of the test's own that leaves every message to the
// system's default handling, or (in the front end's tests) the game's own.
#pragma once

#include "compat/ddraw/testing.h"
#include "compat/host/testing.h"
#include "compat/win32/window/messages.h"
#include "compat/win32/system/machine/timer.h"
#include "compat/win32/window/window.h"
#include "platform/app/Application.h"
#include "platform/app/InputManager.h"
#include "platform/app/Scene.h"
#include "platform/app/Screen.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/settings/Settings.h"
#include "runtime/GameException.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace apptest {

// A scene that records what the application asks of it and fills the target with its colour.
class RecordingScene : public Scene {
public:
    RecordingScene(Application* owner, const std::string& name, std::vector<std::string>* log)
        : Scene(owner, name), log(log)
    {
    }
    void onAdded() override { note("added"); }
    void enter() override { note("enter"); }
    void leave() override { note("leave"); }
    void onEvent(const AppEvent& event) override { note("event " + std::to_string(event.id)); }
    void restore() override
    {
        ++restores;
        Scene::restore();
    }
    void update(Surface* target, const FrameTime& time) override
    {
        lastElapsed = time.elapsedMs;
        ++updates;
    }
    void draw(Surface* target, const FrameTime& time) override
    {
        ++draws;
        if (target != nullptr && fill)
            target->fill(colour);
    }

    std::vector<std::string>* log;
    int lastElapsed = -1;
    int updates = 0;
    int draws = 0;
    int restores = 0;
    bool fill = false;
    std::uint32_t colour = 0;

private:
    void note(const std::string& what)
    {
        if (log != nullptr)
            log->push_back(getName() + " " + what);
    }
};

class TestApp : public Application {
public:
    TestApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
    int onExit() override
    {
        ++exits;
        return 0;
    }
    int exits = 0;
};

// A window procedure of the test's own: every message gets the system's default handling.
inline LRESULT plainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// The events among the scenes' log lines, as "event <id>".
inline std::vector<std::string> eventsOf(const std::vector<std::string>& log)
{
    std::vector<std::string> events;
    for (const std::string& line : log)
        if (line.find(" event ") != std::string::npos)
            events.push_back(line.substr(line.find("event")));
    return events;
}

// Runs the message loop until no message waits, then one tick; false once WM_QUIT came.
inline bool pumpAndTick(Application& app)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
            return false;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (app.isQuitting() == 0)
        app.tick();
    return true;
}

class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        compat::testing::resetWindows();
        compat::testing::resetDisplay();
        compat::testing::setDesktopSize(1024, 768);
        compat::testing::useVirtualClock(true, 5000);
        Settings::instance().setNoRegistry(1); // defaults, and nothing written
        app = new TestApp();
    }
    void TearDown() override
    {
        delete app;
        compat::testing::useVirtualClock(false);
        compat::testing::setDesktopSize(0, 0);
        compat::testing::resetWindows();
        compat::testing::resetDisplay();
    }

    // The start-up of the program entry: sound, input, screen (windowed or not), display state 1.
    void start(bool windowed = true)
    {
        ASSERT_EQ(app->createSoundManager(), 0);
        ASSERT_EQ(app->createInputManager(), 0);
        try {
            ASSERT_EQ(app->createScreen(nullptr, windowProcedure, windowed ? 1 : 0), 0);
        } catch (const GameTextException& failure) {
            FAIL() << failure.getText();
        }
        app->setDisplayState(Application::Active);
    }
    void tickFrames(int frames)
    {
        for (int i = 0; i < frames; ++i)
            pumpAndTick(*app);
    }
    RecordingScene* addScene(const std::string& name)
    {
        auto* scene = new RecordingScene(app, name, &log);
        app->addScene(scene);
        return scene;
    }
    HWND window() const { return app->getScreen()->getWindow(); }

    WNDPROC windowProcedure = plainWindowProcedure;
    TestApp* app = nullptr;
    std::vector<std::string> log;
};

} // namespace apptest
