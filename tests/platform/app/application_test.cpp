#include "support/AppTestSupport.h"

#include "compat/win32/window/messages.h"
#include "platform/surface/DirectDrawSurface.h"
#include "platform/surface/DisplayDepth.h"

#include <algorithm>

namespace apptest {
namespace {

TEST_F(AppTest, FramesArePacedAndTheSceneSeesTheClampedElapsedTime)
{
    start();
    RecordingScene* scene = addScene("SCENE_A");
    app->switchScene(scene);
    tickFrames(1);

    // A frame that took 5 ms sleeps the other 15 of the 20 ms period.
    compat::testing::advanceClock(5);
    const DWORD sleptBefore = compat::testing::sleptMilliseconds();
    tickFrames(1);
    EXPECT_EQ(compat::testing::sleptMilliseconds() - sleptBefore, 15u);
    EXPECT_EQ(scene->lastElapsed, 20);

    // A long frame does not sleep and reports its duration, never more than 100 ms.
    compat::testing::advanceClock(60);
    tickFrames(1);
    EXPECT_EQ(scene->lastElapsed, 60);
    compat::testing::advanceClock(250);
    const DWORD sleptBeforeLong = compat::testing::sleptMilliseconds();
    tickFrames(1);
    EXPECT_EQ(compat::testing::sleptMilliseconds(), sleptBeforeLong);
    EXPECT_EQ(scene->lastElapsed, 100);
}

TEST_F(AppTest, StatisticsRefreshOnlyAfterMoreThanTheInterval)
{
    start();
    // 100 paced frames of 20 ms: exactly 2000 ms, not more, so no refresh yet.
    tickFrames(100);
    EXPECT_FLOAT_EQ(app->getMeasuredFrameRate(), 50.0f); // the start value
    EXPECT_FLOAT_EQ(app->getCpuLoad(), 0.0f);
    // Half of every further period is spent working.
    for (int i = 0; i < 10; ++i) {
        compat::testing::advanceClock(10);
        tickFrames(1);
    }
    EXPECT_NEAR(app->getMeasuredFrameRate(), 50.0f, 1.0f);
    EXPECT_NEAR(app->getFrameRateRatio(), 1.0f, 0.02f);
    EXPECT_GT(app->getCpuLoad(), 0.0f);
    EXPECT_LT(app->getCpuLoad(), 0.1f); // 100 ms of 2200 worked
    EXPECT_NEAR(app->getFrameTime().frameRate, app->getMeasuredFrameRate(), 1e-4);
}

TEST_F(AppTest, AverageFrameRateInTheFirstSecondIsFinite)
{
    EXPECT_EQ(app->getAverageFrameRate(), 0.0f); // no time has passed yet
    start();
    tickFrames(3);
    const float average = app->getAverageFrameRate();
    EXPECT_GT(average, 0.0f);
    EXPECT_NEAR(average, 50.0f, 0.5f);
}

TEST_F(AppTest, AnotherProgramHoldingTheDisplayBlocksUntilItLetsGo)
{
    start();
    RecordingScene* scene = addScene("SCENE_A");
    app->switchScene(scene);
    compat::testing::setTestCooperativeLevelResult(DDERR_EXCLUSIVEMODEALREADYSET);
    compat::testing::loseAllSurfaces(); // the present fails
    tickFrames(3);
    EXPECT_EQ(app->getDisplayState(), Application::Blocked);
    // One lost event from the state change, then one more every blocked frame.
    const auto blocked = eventsOf(log);
    EXPECT_GE(std::count(blocked.begin(), blocked.end(), "event 1000001"), 3);

    compat::testing::setTestCooperativeLevelResult(DD_OK);
    log.clear();
    tickFrames(3);
    EXPECT_EQ(app->getDisplayState(), Application::Active);
    const auto back = eventsOf(log);
    ASSERT_GE(back.size(), 2u);
    EXPECT_EQ(back[back.size() - 2], "event 2000002");
    EXPECT_EQ(back.back(), "event 1000002");
    EXPECT_GE(scene->restores, 1);
}

TEST_F(AppTest, LostDisplayIsRebuiltInTheSameFrameAndScenesRestore)
{
    start();
    RecordingScene* a = addScene("SCENE_A");
    RecordingScene* b = addScene("SCENE_B");
    app->switchScene(a);
    tickFrames(1);
    const HWND before = window();
    compat::testing::loseAllSurfaces();
    tickFrames(1);
    EXPECT_NE(window(), before);
    EXPECT_TRUE(IsWindow(window()));
    EXPECT_FALSE(IsWindow(before));
    EXPECT_EQ(a->restores, 1);
    EXPECT_EQ(b->restores, 1); // every scene of the list, not only the current one
    EXPECT_EQ(app->getDisplayState(), Application::Active);
    EXPECT_FALSE(app->isQuitting());
    EXPECT_EQ(app->getScreen()->present(), DD_OK);
}

TEST_F(AppTest, DisplayDepthChangeIsSeenByTheBlitsAndRepairedByTheRebuild)
{
    start();
    app->switchScene(addScene("SCENE_A"));
    tickFrames(1);
    EXPECT_FALSE(isDisplayDepthChanged());
    compat::testing::setDisplayDepth(16);
    EXPECT_TRUE(isDisplayDepthChanged());
    tickFrames(1); // the present fails and the display is rebuilt in the new depth
    EXPECT_FALSE(isDisplayDepthChanged());
    EXPECT_EQ(app->getSystemInfo().pixelFormatText, "R5G6B5");
}

TEST_F(AppTest, SmallDesktopForcesFullScreenAndRefusesTheSwitch)
{
    compat::testing::setDesktopSize(640, 480);
    start(true);
    EXPECT_FALSE(app->getScreen()->isWindowed());
    EXPECT_FALSE(app->getScreen()->isModeSwitchAllowed());
    const HWND before = window();
    EXPECT_EQ(app->getScreen()->toggleMode(), 0);
    EXPECT_EQ(window(), before);
}

TEST_F(AppTest, ScenesSwitchAtTheEndOfTheFrameAndTheLastRequestWins)
{
    start();
    RecordingScene* a = addScene("SCENE_A");
    RecordingScene* b = addScene("SCENE_B");
    RecordingScene* c = addScene("SCENE_C");
    app->switchSceneByName("SCENE_A");
    log.clear();
    app->setCursorShape(5);
    app->requestScene("SCENE_B");
    app->requestScene("SCENE_C");
    EXPECT_EQ(b->getRefCount(), 1); // the replaced request let go of its reference
    EXPECT_EQ(app->getCurrentScene(), a);
    tickFrames(1);
    EXPECT_EQ(app->getCurrentScene(), c);
    EXPECT_EQ(log, (std::vector<std::string>{"SCENE_A leave", "SCENE_C enter"}));
    EXPECT_EQ(app->getCursorShape(), 2);
    EXPECT_EQ(c->getRefCount(), 2); // the list and the current slot
    EXPECT_EQ(a->getRefCount(), 1);

    app->requestScene("SCENE_NONE");
    tickFrames(1);
    EXPECT_EQ(app->getCurrentScene(), c);
    app->switchSceneByName("SCENE_NONE");
    EXPECT_EQ(app->getCurrentScene(), nullptr);
    EXPECT_EQ(app->findScene("SCENE_B"), b);
}

TEST_F(AppTest, EventsAreHandledInOrderAndThosePostedMeanwhileInTheSameFrame)
{
    start();
    struct Chaining : RecordingScene {
        using RecordingScene::RecordingScene;
        void onEvent(const AppEvent& event) override
        {
            RecordingScene::onEvent(event);
            if (event.id == 1000003 && event.value1 == 1)
                getOwner()->postEvent(new AppEvent(1000003, 2, 0));
        }
    };
    auto* scene = new Chaining(app, "SCENE_A", &log);
    app->addScene(scene);
    app->switchScene(scene);
    log.clear();
    app->postEvent(new AppEvent(1000003, 1, 0));
    app->postEvent(new AppEvent(AppEvent::ToggleFullScreen));
    tickFrames(1);
    EXPECT_EQ(eventsOf(log), (std::vector<std::string>{"event 1000003", "event 2000001", "event 1000003"}));
    EXPECT_EQ(app->getEventQueue().size(), 0u);
    EXPECT_TRUE(app->getScreen()->isWindowed()); // the switch is not enabled yet
}

TEST_F(AppTest, CursorShapesReachTheHost)
{
    start();
    const int expected[] = {0, 32650, 32512, 32649, 32651, 32514, 32513};
    for (int shape = 1; shape <= 6; ++shape) {
        app->setCursorShape(shape);
        EXPECT_EQ(compat::testing::currentCursorId(), expected[shape]) << shape;
        EXPECT_EQ(compat::testing::headlessState().cursor, expected[shape]);
    }
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    app->setCursorShape(6); // the same shape is applied again
    EXPECT_EQ(compat::testing::currentCursorId(), 32513);
}

TEST_F(AppTest, WhatTheSceneDrewIsPresentedInTheNextFrame)
{
    start();
    RecordingScene* scene = addScene("SCENE_A");
    scene->fill = true;
    scene->colour = 0x00336699;
    app->switchScene(scene);
    tickFrames(2);
    const compat::host::HeadlessState shown = compat::testing::headlessState();
    ASSERT_EQ(shown.lastFrame.width, 640);
    ASSERT_EQ(shown.lastFrame.height, 480);
    EXPECT_EQ(shown.lastFrame.at(0, 0), 0x336699u);
    EXPECT_EQ(shown.lastFrame.at(639, 479), 0x336699u);
}

TEST_F(AppTest, StatisticsLineIsDrawnInYellowAtTheTopLeft)
{
    start();
    RecordingScene* scene = addScene("SCENE_A");
    scene->fill = true;
    app->switchScene(scene);
    app->setStatisticsOverlay(1);
    tickFrames(2);
    const compat::host::Picture& frame = compat::testing::headlessState().lastFrame;
    int yellow = 0, elsewhere = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const bool isYellow = frame.at(x, y) == 0xFFFF00u;
            yellow += isYellow && y < 20;
            elsewhere += isYellow && y >= 20;
        }
    EXPECT_GT(yellow, 20);
    EXPECT_EQ(elsewhere, 0);
}

TEST_F(AppTest, ArgumentsSkipTheProgram)
{
    app->getArguments() = {"/update", "x", "/update2"};
    EXPECT_FALSE(app->hasArgument("/update"));
    EXPECT_TRUE(app->hasArgument("x"));
    app->getArguments().push_back("/update");
    EXPECT_TRUE(app->hasArgument("/update"));
}

TEST_F(AppTest, DisplayStateTransitionsPostOnlyTheirEvents)
{
    struct Case {
        int from, to;
        std::vector<int> events;
    } cases[] = {
        {1, 2, {1000001}}, {1, 3, {1000001}}, {2, 1, {2000002, 1000002}}, {3, 1, {2000002, 1000002}},
        {2, 3, {}},        {0, 1, {}},        {1, 1, {}},
    };
    for (const Case& c : cases) {
        app->setDisplayState(c.from);
        while (app->getEventQueue().size() > 0)
            delete app->getEventQueue().removeElementAt(0);
        app->setDisplayState(c.to);
        std::vector<int> posted;
        while (app->getEventQueue().size() > 0) {
            AppEvent* e = app->getEventQueue().removeElementAt(0);
            posted.push_back(e->id);
            delete e;
        }
        EXPECT_EQ(posted, c.events) << c.from << " -> " << c.to;
        EXPECT_EQ(app->getDisplayState(), c.to);
    }
}

} // namespace
} // namespace apptest

namespace apptest {
namespace {

TEST_F(AppTest, AnIdleFrameHandsTheHostNothingNew)
{
    start();
    RecordingScene* scene = addScene("SCENE_A");
    scene->fill = true;
    scene->colour = 0x00112233;
    app->switchScene(scene);
    tickFrames(3);
    scene->fill = false; // nothing changes from here on
    tickFrames(2);
    const int before = compat::testing::headlessState().framesPresented;
    tickFrames(5);
    EXPECT_EQ(compat::testing::headlessState().framesPresented, before);
    scene->fill = true;
    scene->colour = 0x00445566;
    tickFrames(2);
    EXPECT_GT(compat::testing::headlessState().framesPresented, before);
    EXPECT_EQ(compat::testing::headlessState().lastFrame.at(5, 5), 0x445566u);
}

} // namespace
} // namespace apptest
