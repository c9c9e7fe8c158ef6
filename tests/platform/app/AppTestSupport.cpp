#include "AppTestSupport.h"

#include "compat/win32/messages.h"
#include "resources/settings/Settings.h"
#include "runtime/GameException.h"

namespace apptest {

LRESULT gameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Application* app = Application::instance();
    if (app == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    if (app->getInputManager() != nullptr)
        app->getInputManager()->handleMessage(message, wParam, lParam);
    Screen* screen = app->getScreen();
    switch (message) {
    case WM_SETCURSOR: app->applyCursor(); return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU)
            return 0;
        break;
    case WM_SYSKEYDOWN:
        if (wParam == static_cast<WPARAM>(VK_RETURN)) {
            app->postEvent(new AppEvent(AppEvent::ToggleFullScreen));
            return 0;
        }
        break;
    case WM_SIZE:
        if (wParam == SIZE_MAXIMIZED) {
            app->postEvent(new AppEvent(AppEvent::ToggleFullScreen));
        } else if (wParam == SIZE_MINIMIZED) {
            InvalidateRect(window, nullptr, TRUE);
            app->setDisplayState(Application::Minimized);
        } else {
            app->setDisplayState(Application::Active);
        }
        break;
    case WM_MOVE:
    case WM_NCCALCSIZE:
        if (screen != nullptr)
            screen->updateWindowRects();
        break;
    case WM_KILLFOCUS:
        if (screen != nullptr && screen->isWindowed() == 0)
            PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case WM_PAINT:
        if (screen != nullptr)
            screen->present();
        break;
    case WM_DESTROY:
        if (screen == nullptr || screen->isDestroyingWindow() == 0)
            app->requestQuit();
        return 0;
    case 21024:
    case 21025:
        if (screen != nullptr)
            screen->hideFlashWindow();
        return 1;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool pumpAndTick(Application& app)
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

void AppTest::SetUp()
{
    compat::testing::resetWindows();
    compat::testing::resetDisplay();
    compat::testing::setDesktopSize(1024, 768);
    compat::testing::useVirtualClock(true, 5000);
    Settings::instance().setNoRegistry(1); // defaults, and nothing written
    app = new TestApp();
}

void AppTest::TearDown()
{
    delete app;
    compat::testing::useVirtualClock(false);
    compat::testing::setDesktopSize(0, 0);
    compat::testing::resetWindows();
    compat::testing::resetDisplay();
}

void AppTest::start(bool windowed)
{
    ASSERT_EQ(app->createSoundManager(), 0);
    ASSERT_EQ(app->createInputManager(), 0);
    try {
        ASSERT_EQ(app->createScreen(nullptr, gameWindowProcedure, windowed ? 1 : 0), 0);
    } catch (const GameTextException& failure) {
        FAIL() << failure.getText();
    }
    app->setDisplayState(Application::Active);
}

void AppTest::tickFrames(int frames)
{
    for (int i = 0; i < frames; ++i)
        pumpAndTick(*app);
}

RecordingScene* AppTest::addScene(const std::string& name)
{
    auto* scene = new RecordingScene(app, name, &log);
    app->addScene(scene);
    return scene;
}

} // namespace apptest
