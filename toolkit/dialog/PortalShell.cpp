#include "toolkit/dialog/PortalShell.h"

#include "compat/win32/window/controls.h"

namespace {

HWND shellWindow = nullptr;

} // namespace

HWND getPortalShellWindow()
{
    return shellWindow;
}

void setPortalShellWindow(HWND window)
{
    shellWindow = window;
}

void handOverToPortalShell()
{
    // Looked up afresh before each call: the shell may come and go. Without one these do nothing.
    SetActiveWindow(FindWindowA(nullptr, PortalShellWindowTitle));
    BringWindowToTop(FindWindowA(nullptr, PortalShellWindowTitle));
    SetForegroundWindow(FindWindowA(nullptr, PortalShellWindowTitle));
    // A null handle would post to this thread's own queue, where the message loop would take it for
    // the shell's: with no shell known there is no one to tell.
    if (shellWindow != nullptr)
        PostMessageA(shellWindow, PortalShellHandOverMessage, 1, 0);
}
