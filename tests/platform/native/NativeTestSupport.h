// Helpers for driving native windows that live on another thread: bounded waits and reading controls.
#pragma once

#include "compat/win32/window/controls.h"
#include "compat/win32/window/window.h"

#include <chrono>
#include <string>
#include <thread>

namespace native_test {

// Polls until `done` holds or 10 s have passed; false on time-out.
template <typename F>
bool waitUntil(F&& done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

inline bool visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

inline std::string textOf(HWND window)
{
    char buffer[4096];
    const int n = GetWindowTextA(window, buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
}

inline bool isDefaultButton(HWND dialog, int id)
{
    return (static_cast<DWORD>(GetWindowLongPtrA(GetDlgItem(dialog, id), GWL_STYLE)) & BS_TYPEMASK) ==
           BS_DEFPUSHBUTTON;
}

// A button press as the button reports it; returns when the frame thread has handled it.
inline void press(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

} // namespace native_test
