#include "frontend/app/GameMain.h"

#include "compat/win32/messagebox.h"
#include "compat/win32/messages.h"
#include "compat/win32/mutex.h"
#include "compat/win32/window.h"
#include "compat/win32/path.h"
#include "compat/win32/userdata.h"
#include "frontend/app/GameApp.h"
#include "platform/app/InputManager.h"
#include "platform/app/Screen.h"
#include "resources/settings/RegistryScript.h"
#include "resources/settings/Settings.h"
#include "runtime/DebugLog.h"
#include "runtime/GameException.h"

#include <filesystem>

namespace {

// The message loop: peek without removing; no message runs one frame, otherwise the message is taken
// (0 or less ends the loop), translated and dispatched.
void runMessageLoop(Application& app)
{
    MSG msg;
    for (;;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (app.isQuitting() == 0)
                app.tick();
            continue;
        }
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
            return;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

bool checkRunningInstance(const Application& app)
{
    // Owned for the life of the process; the kernel lets it go when the process ends, however it ends.
    HANDLE guard = CreateMutexA(nullptr, 1, app.getInstanceName().c_str());
    if (guard == nullptr || GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    CloseHandle(guard);
    if (HWND running = FindWindowA(nullptr, app.getWindowTitle().c_str()); running != nullptr) {
        ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
    }
    return true;
}

int GameMain(const std::vector<std::string>& arguments)
{
    GameApp* app = new GameApp();
    app->getArguments() = arguments;
    if (checkRunningInstance(*app)) {
        delete app;
        return -1;
    }
    // The log is the player's file like the others: below the player's data folder, not wherever the
    // game was started from (an installed game's folder is not writable).
    std::error_code ignored;
    std::filesystem::create_directories(compat::userDataFolder(), ignored);
    DebugLog::instance().setFilePath(compat::hostPath(compat::userDataPath("game.log")));
    DebugLog::instance().setFileOutput(true);
    // The log is kept in game.log; a player's terminal hears only what is meant for it.
    DebugLog::instance().setDebuggerOutput(false);
    importRegistryFile("setup.reg", 1);
    try {
        if (FAILED(app->init())) {
            MessageBoxA(nullptr, "The game's property files could not be read.", "Quarrytide", MB_OK | MB_ICONERROR);
            delete app;
            return 1;
        }
        if (app->hasArgument("/update")) {
            delete app;
            return 0;
        }
        app->createSoundManager();
        app->createInputManager();
        HRESULT result = app->createScreen(nullptr, WndProc, Settings::instance().getFullscreen() ? 0 : 1);
        if (FAILED(result)) {
            MessageBoxA(nullptr, "The display could not be opened.", "Quarrytide", MB_OK | MB_ICONERROR);
            delete app;
            return 1;
        }
        app->setDisplayState(Application::Active);
        runMessageLoop(*app);
    } catch (const GameTextException& failure) {
        DebugLog::instance().log(failure.getText());
        MessageBoxA(nullptr, failure.getText(), "Fatal exception.", MB_OK | MB_ICONERROR);
        delete Application::instance();
        return 1;
    }
    // Quitting leaves the application to the entry, which deletes it once the loop has ended.
    delete Application::instance();
    return 0;
}

LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
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
