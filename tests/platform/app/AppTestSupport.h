// A test double of the game's program entry and main window procedure, driving the application
// exactly as the game does: the start-up calls in order, the window procedure's handling of every
// message, and a message loop that ticks whenever no message waits.
#pragma once

#include "compat/ddraw/testing.h"
#include "compat/host/testing.h"
#include "compat/win32/timer.h"
#include "compat/win32/window.h"
#include "platform/app/Application.h"
#include "platform/app/InputManager.h"
#include "platform/app/Scene.h"
#include "platform/app/Screen.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"

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

// The game's own main window procedure.
LRESULT gameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the message loop until no message waits, then one tick; false once WM_QUIT came.
bool pumpAndTick(Application& app);

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The start-up of the program entry: sound, input, screen (windowed or not), display state 1.
    void start(bool windowed = true);
    void tickFrames(int frames);
    RecordingScene* addScene(const std::string& name);
    HWND window() const { return app->getScreen()->getWindow(); }

    TestApp* app = nullptr;
    std::vector<std::string> log;
};

} // namespace apptest
