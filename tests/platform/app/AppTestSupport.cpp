#include "AppTestSupport.h"

#include "frontend/app/GameMain.h"

#include "compat/win32/messages.h"
#include "resources/settings/Settings.h"
#include "runtime/GameException.h"

namespace apptest {

LRESULT gameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return WndProc(window, message, wParam, lParam);
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
