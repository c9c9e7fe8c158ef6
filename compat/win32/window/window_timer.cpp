// Window timers and mouse capture. A timer belongs to the thread that set it and fires through that
// thread's message loop, so a timer procedure always runs on the window's own thread.
#include "compat/win32/system/machine/timer.h"
#include "compat/win32/window/window_internal.h"

#include <algorithm>
#include <mutex>
#include <vector>

using namespace compat::win32::detail;

namespace {

struct WindowTimer {
    HWND window;
    UINT_PTR id;
    UINT period;
    TIMERPROC procedure;
    DWORD thread;
    DWORD startMs;
};

std::mutex timersMutex;
std::vector<WindowTimer> timers;
HWND captured = nullptr;

} // namespace

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure)
{
    if (window == nullptr || !IsWindow(window))
        return 0;
    const WindowTimer timer{window, id, periodMs, procedure, GetCurrentThreadId(), timeGetTime()};
    std::lock_guard<std::mutex> lock(timersMutex);
    for (WindowTimer& t : timers) {
        if (t.window == window && t.id == id) {
            t = timer;
            return id;
        }
    }
    timers.push_back(timer);
    return id;
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    std::lock_guard<std::mutex> lock(timersMutex);
    for (auto it = timers.begin(); it != timers.end(); ++it) {
        if (it->window == window && it->id == id) {
            timers.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

namespace compat::win32::detail {

bool takeDueTimer(MSG* out, HWND window, bool take)
{
    const DWORD thread = GetCurrentThreadId();
    const DWORD now = timeGetTime();
    std::vector<HWND> gone;
    bool found = false;
    {
        std::lock_guard<std::mutex> lock(timersMutex);
        for (WindowTimer& t : timers) {
            if (t.thread != thread || (window != nullptr && t.window != window))
                continue;
            if (now - t.startMs < t.period)
                continue;
            *out = MSG{t.window, WM_TIMER, static_cast<WPARAM>(t.id), reinterpret_cast<LPARAM>(t.procedure), now,
                       {0, 0}};
            if (take)
                t.startMs = now;
            found = true;
            break;
        }
    }
    if (found && !IsWindow(out->hwnd)) {
        // The window went away without killing its timers: they end with it.
        const HWND dead = out->hwnd;
        {
            std::lock_guard<std::mutex> lock(timersMutex);
            timers.erase(std::remove_if(timers.begin(), timers.end(),
                                        [dead](const WindowTimer& t) { return t.window == dead; }),
                         timers.end());
        }
        return takeDueTimer(out, window, take);
    }
    return found;
}

} // namespace compat::win32::detail

HWND SetCapture(HWND window)
{
    HWND previous = captured;
    captured = window;
    return previous;
}

BOOL ReleaseCapture()
{
    captured = nullptr;
    return TRUE;
}

HWND GetCapture() { return captured; }
