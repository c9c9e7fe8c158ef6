// The link to the portal shell, the launcher that may have started the game. The program entry keeps
// the shell's window handle (from the command line, replaced when the shell announces a new one); the
// dialogs' hand-over button posts to it. Without a shell the handle is null and nothing is posted.
#pragma once

#include "compat/win32/window/window.h"

// The title of the shell's window.
inline constexpr const char* PortalShellWindowTitle = "CorvelShell";
// Posted to the shell by the hand-over button (wParam 1, lParam 0).
inline constexpr UINT PortalShellHandOverMessage = 0x2B1A;

HWND getPortalShellWindow();
void setPortalShellWindow(HWND window);

// Brings the shell's window to the front (when one is found by its title) and posts the hand-over
// message to the kept handle (when there is one). Does not wait for the shell.
void handOverToPortalShell();
