#include "frontend/app/GameMain.h"

#include "compat/win32/system/notify/messagebox.h"
#include "compat/win32/window/messages.h"
#include "compat/win32/system/process/mutex.h"
#include "compat/win32/window/window.h"
#include "compat/win32/path.h"
#include "compat/win32/window/userdata.h"
#include "frontend/app/AdSdk.h"
#include "frontend/app/CommandLine.h"
#include "frontend/app/EntryShellLink.h"
#include "frontend/app/GameApp.h"
#include "frontend/app/LockStep.h"
#include "services/shell/ServiceShell.h"
#include "platform/app/InputManager.h"
#include "platform/app/Screen.h"
#include "resources/properties/PropertyManager.h"
#include "resources/settings/RegistryScript.h"
#include "resources/settings/Settings.h"
#include "runtime/DebugLog.h"
#include "runtime/GameException.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>

namespace {

constexpr std::size_t kServiceTextCount = 35;
constexpr std::size_t kReportTail = 2048;

// The portal shell's messages are logged for the play field, which looks for the shell's answers there.
void logShellMessage(const MSG& msg)
{
    ShellMessage copy;
    copy.window = reinterpret_cast<std::uintptr_t>(msg.hwnd);
    copy.message = msg.message;
    copy.wParam = static_cast<long>(msg.wParam);
    copy.lParam = static_cast<long>(msg.lParam);
    copy.time = msg.time;
    copy.x = msg.pt.x;
    copy.y = msg.pt.y;
    shellMessageLog.append(copy);
}

void takeShellMessage(const MSG& msg, HWND gameWindow)
{
    switch (msg.message) {
    case 0x2B10:
    case ShellMessageId::Ready:
    case ShellMessageId::Answer:
    case 0x2B18: logShellMessage(msg); break;
    case 0x2B12:
        EntryShellLink::instance().shellWindow = static_cast<std::uintptr_t>(msg.wParam);
        logShellMessage(msg);
        break;
    case ShellMessageId::Failure:
        logShellMessage(msg);
        if (msg.wParam == 0)
            ShowWindow(gameWindow, SW_MINIMIZE);
        else if (msg.wParam >= 1 && msg.wParam <= 3)
            ShowWindow(gameWindow, SW_SHOWNORMAL);
        break;
    case 11044: adMovieClicked(); break;
    default: break;
    }
}

// The message loop: peek without removing; no message runs one frame, otherwise the message is taken
// (0 or less ends the loop), the shell's messages are noted, then it is translated and dispatched.
int runMessageLoop(Application& app)
{
    MSG msg{};
    for (;;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            // Run by a test in lock-step, a frame runs only when the test has asked for it.
            if (app.isQuitting() == 0 && LockStep::frameAllowed()) {
                app.tick();
                LockStep::frameRan(app.getFrameCounter());
            }
            continue;
        }
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
            return static_cast<int>(msg.wParam);
        Application* running = Application::instance();
        HWND gameWindow = running != nullptr && running->getScreen() != nullptr ? running->getScreen()->getWindow() : nullptr;
        takeShellMessage(msg, gameWindow);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The service shell's 35 texts, in the order the shell reads them. Missing or of another size, the
// game cannot run: the exception reaches the fatal-error handler.
std::vector<std::string> readServiceTexts(Application& app)
{
    PropertyManager::StringArray* texts =
        app.getPropertyManager() != nullptr ? app.getPropertyManager()->getArrayString("RES_ZEVUZUDED_SETTINGS") : nullptr;
    if (texts == nullptr || texts->size() != kServiceTextCount)
        throw GameTextException(0, "ERROR - Could not load resource strings.\n");
    std::vector<std::string> result;
    for (unsigned i = 0; i < texts->size(); ++i)
        result.push_back(*texts->elementAt(i));
    return result;
}

// Kept for the life of the process: the service shell reads the words whenever it shows a text.
std::vector<std::string> serviceTexts;
std::vector<const char*> serviceTextRecord;

void configureServiceShell(Application& app)
{
    serviceTexts = readServiceTexts(app);
    serviceTextRecord.clear();
    for (const std::string& text : serviceTexts)
        serviceTextRecord.push_back(text.c_str());
    serviceTextRecord.push_back(nullptr);
    services::ServiceShell& shell = services::ServiceShell::instance();
    shell.loadServiceSettings(app.getGameId());
    // The game is one module: the process itself.
    HINSTANCE instance = nullptr;
    shell.setInstanceHandle(instance);
    shell.setIcon(LoadIconA(instance, reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(app.getIconId()))));
    // The data set is read from loose files, never an archive, so the shell shows no logo.
    shell.setLogoBitmap(nullptr);
    shell.setTextRecord(serviceTextRecord.data());
}

// The shell's arguments begin after the program path; the link answers the play field from then on.
void installShellLink(const std::vector<std::string>& arguments)
{
    const ShellArguments shell = readShellArguments(CommandLine::fromArguments(arguments));
    EntryShellLink& link = EntryShellLink::instance();
    link.shellWindow = shell.shellWindow;
    link.signedOut = shell.signedOut;
    link.userName = shell.userName;
    ShellLink::install(&link);
    if (link.shellWindow != 0)
        SendMessageA(reinterpret_cast<HWND>(link.shellWindow), 0x2B1C, 0, 0);
}

} // namespace

[[noreturn]] void onTerminate()
{
    const std::string& text = DebugLog::instance().getText();
    const std::string tail = text.size() > kReportTail ? text.substr(text.size() - kReportTail) : text;
    services::ServiceShell::instance().sendDebugReport(false, tail.c_str(), true);
    std::_Exit(1);
}

// The single-instance guards this process holds until it ends: one shared by every game of the
// publisher, one of this game.
HANDLE systemGuard = nullptr;
HANDLE instanceGuard = nullptr;

// True when another of the publisher's games runs, which the player is told; else this process takes
// the shared guard.
bool anotherGameRuns()
{
    if (systemGuard != nullptr)
        return false; // this process took it already
    const char* name = "CORVEL_CHINA_GAME";
    if (HANDLE other = OpenMutexA(MUTEX_ALL_ACCESS, 1, name); other != nullptr) {
        CloseHandle(other);
        MessageBoxW(nullptr, L"\u5DF2\u7ECF\u6709CorvelGame\u6E38\u620F\u5728\u8FD0\u884C\u4E86!", L"\u6CE8\u610F", 0);
        return true;
    }
    systemGuard = CreateMutexA(nullptr, 1, name);
    return systemGuard == nullptr;
}

bool checkRunningInstance(const Application& app)
{
    // Owned for the life of the process; the kernel lets it go when the process ends, however it ends.
    HANDLE guard = CreateMutexA(nullptr, 1, app.getInstanceName().c_str());
    if (guard == nullptr)
        return false;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        instanceGuard = guard;
        return false;
    }
    CloseHandle(guard);
    if (HWND running = FindWindowA(nullptr, app.getWindowTitle().c_str()); running != nullptr) {
        ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
    }
    return true;
}

int GameMain(const std::vector<std::string>& arguments)
{
    LockStep::start();
    if (anotherGameRuns())
        return -1;
    installShellLink(arguments);
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
    std::set_terminate(onTerminate);
    importRegistryFile("setup.reg", 1);
    if (FAILED(app->init())) {
        MessageBoxA(nullptr, "The game's property files could not be read.", "Quarrytide", MB_OK | MB_ICONERROR);
        delete app;
        return 1;
    }
    const bool updateRun = app->hasArgument("/update");
    configureServiceShell(*app);
    if (updateRun) {
        services::ServiceShell::instance().forceUpdateDialog();
        // A check the player left running ends before the program does, within one exchange's deadline.
        services::ServiceShell::instance().finishBackgroundWork();
        delete app;
        DebugLog::instance().close();
        return 0;
    }
    int status = 0;
    try {
        app->createSoundManager();
        app->createInputManager();
        HRESULT result = app->createScreen(nullptr, WndProc, Settings::instance().getFullscreen() ? 0 : 1);
        if (FAILED(result)) {
            MessageBoxA(nullptr, "The display could not be opened.", "Quarrytide", MB_OK | MB_ICONERROR);
            delete app;
            return 1;
        }
        app->setDisplayState(Application::Active);
        status = runMessageLoop(*app);
    } catch (const GameTextException& failure) {
        DebugLog::instance().log(failure.getText());
        MessageBoxA(nullptr, failure.getText(), "Fatal exception.", MB_OK | MB_ICONERROR);
        delete Application::instance();
        return 1;
    }
    // Quitting leaves the application to the entry, which deletes it once the loop has ended.
    delete Application::instance();
    DebugLog::instance().close();
    return status;
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
