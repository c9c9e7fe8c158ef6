// The application driven through the game's own main window procedure, as the program drives it:
// window messages become display states, full-screen switches, the cursor and the end of the program.
#include "frontend/app/GameMain.h"

#include "support/AppTestSupport.h"

namespace apptest {
namespace {

class GameWindow : public AppTest {
protected:
    GameWindow() { windowProcedure = WndProc; }
};

TEST_F(GameWindow, MinimiseAndRestoreQueueLostThenRebuildAndRegained)
{
    start();
    RecordingScene* scene = addScene("SCENE_A");
    app->switchScene(scene);
    const HWND before = window();
    compat::testing::injectHostMessage(WM_SIZE, SIZE_MINIMIZED, 0);
    tickFrames(2);
    EXPECT_EQ(app->getDisplayState(), Application::Minimized);
    const int drawsWhileMinimised = scene->draws;
    tickFrames(2);
    EXPECT_EQ(scene->draws, drawsWhileMinimised); // no drawing while minimised
    compat::testing::injectHostMessage(WM_SIZE, SIZE_RESTORED, 0);
    tickFrames(2);
    EXPECT_EQ(app->getDisplayState(), Application::Active);
    EXPECT_EQ(eventsOf(log), (std::vector<std::string>{"event 1000001", "event 2000002", "event 1000002"}));
    EXPECT_EQ(window(), before); // in a window, the rebuild event rebuilds nothing
}

TEST_F(GameWindow, FullScreenFocusLossMinimisesAndRestoringRebuildsTheDisplay)
{
    start(false);
    RecordingScene* scene = addScene("SCENE_A");
    app->switchScene(scene);
    const HWND before = window();
    compat::testing::injectHostMessage(WM_KILLFOCUS, 0, 0);
    tickFrames(2);
    EXPECT_TRUE(IsIconic(before));
    EXPECT_EQ(app->getDisplayState(), Application::Minimized);
    compat::testing::injectHostMessage(WM_SIZE, SIZE_RESTORED, 0);
    tickFrames(2);
    EXPECT_EQ(app->getDisplayState(), Application::Active);
    EXPECT_NE(window(), before); // full screen: a new window and display
    EXPECT_GE(scene->restores, 1);
    EXPECT_FALSE(app->isQuitting()); // the old window's destruction did not end the program
}

TEST_F(GameWindow, AltEnterSwitchesToFullScreenAndBackToTheSamePlace)
{
    start();
    app->switchScene(addScene("SCENE_A"));
    // Before the resources are loaded the switch is not enabled.
    PostMessageA(window(), WM_SYSKEYDOWN, VK_RETURN, 0);
    tickFrames(1);
    EXPECT_TRUE(app->getScreen()->isWindowed());

    app->onResourcesLoaded();
    EXPECT_TRUE(GetWindowLongA(window(), GWL_STYLE) & WS_MAXIMIZEBOX);
    SetWindowPos(window(), nullptr, 70, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT placed;
    GetWindowRect(window(), &placed);

    PostMessageA(window(), WM_SYSKEYDOWN, VK_RETURN, 0);
    tickFrames(1);
    ASSERT_FALSE(app->getScreen()->isWindowed());
    EXPECT_TRUE(GetWindowLongA(window(), GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(app->getSystemInfo().fullScreen, 1);
    EXPECT_EQ(app->getSystemInfo().pixelFormatText, "R5G6B5");
    EXPECT_TRUE(compat::testing::headlessState().fullScreen);

    PostMessageA(window(), WM_SYSKEYDOWN, VK_RETURN, 0);
    tickFrames(1);
    ASSERT_TRUE(app->getScreen()->isWindowed());
    RECT back;
    GetWindowRect(window(), &back);
    EXPECT_EQ(back.left, placed.left);
    EXPECT_EQ(back.top, placed.top);
    EXPECT_EQ(app->getSystemInfo().pixelFormatText, "R8G8B8");
    EXPECT_FALSE(app->isQuitting());
}

TEST_F(GameWindow, MaximisingAWindowSwitchesToFullScreen)
{
    start();
    app->onResourcesLoaded();
    compat::testing::injectHostMessage(WM_SIZE, SIZE_MAXIMIZED, 0);
    tickFrames(2);
    EXPECT_FALSE(app->getScreen()->isWindowed());
}

TEST_F(GameWindow, ClosingTheWindowQuitsOnceAndLeavesTheApplicationAlive)
{
    start();
    app->switchScene(addScene("SCENE_A"));
    compat::testing::injectHostMessage(WM_CLOSE, 0, 0);
    bool running = true;
    for (int i = 0; i < 5 && running; ++i)
        running = pumpAndTick(*app);
    EXPECT_FALSE(running); // the loop saw WM_QUIT
    EXPECT_TRUE(app->isQuitting());
    EXPECT_EQ(app->exits, 1);
    EXPECT_EQ(Application::instance(), app); // deleted by the program entry, after its loop
    app->quit();
    EXPECT_EQ(app->exits, 1);
}

TEST_F(GameWindow, RequestCloseEndsTheProgramThroughTheWindowProcedure)
{
    start();
    app->requestClose();
    bool running = true;
    for (int i = 0; i < 5 && running; ++i)
        running = pumpAndTick(*app);
    EXPECT_FALSE(running);
    EXPECT_EQ(app->exits, 1);
}

TEST_F(GameWindow, MovieMessagesTakeTheMovieDown)
{
    start();
    EXPECT_EQ(SendMessageA(window(), 21024, 0, 0), 1);
    EXPECT_EQ(SendMessageA(window(), 21025, 0, 0), 1);
}

TEST_F(GameWindow, TheCursorQuestionIsAnsweredWithTheApplicationsCursor)
{
    start();
    app->setCursorShape(6);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    SendMessageA(window(), WM_SETCURSOR, 0, 0);
    EXPECT_EQ(compat::testing::currentCursorId(), 32513);
}
} // namespace
} // namespace apptest
