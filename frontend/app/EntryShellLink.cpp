#include "frontend/app/EntryShellLink.h"

#include "compat/win32/window/messages.h"
#include "compat/win32/window/window.h"

EntryShellLink& EntryShellLink::instance()
{
    static EntryShellLink link;
    return link;
}

void EntryShellLink::postToShell(unsigned message, long wParam, long lParam)
{
    if (shellWindow == 0)
        return;
    // A handle that names no window of this process is refused by the message queue.
    PostMessageA(reinterpret_cast<HWND>(shellWindow), message, static_cast<WPARAM>(wParam),
                 static_cast<LPARAM>(lParam));
}
