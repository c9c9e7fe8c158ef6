// The program entry and the main window procedure.
#pragma once

#include "compat/win32/window/window.h"

#include <string>
#include <vector>

// Starts the application in the order the platform expects (properties, sound, input, screen, display
// state), then runs the message loop, which ticks one frame whenever no message waits. Returns the
// process exit code.
int GameMain(const std::vector<std::string>& arguments);

// True when another copy of the game holds the guard (its window is brought forward); this copy then ends.
class Application;
bool checkRunningInstance(const Application& app);

// The fatal-error handler: offers the crash report with the end of the log, then ends the process with
// status 1.
[[noreturn]] void onTerminate();

LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
