// The movie host library: plays a movie in a child window over the game window and posts the game a
// message when the movie has ended or was clicked. The game binds these two functions at load time;
// only the display calls them, and it ignores their results.
#pragma once

#include "compat/win32/base.h"

#if defined(CLIPVIEW_BUILD)
#define CLIPVIEW_API __attribute__((visibility("default")))
#else
#define CLIPVIEW_API
#endif

extern "C" {

// Result codes of ShowIEWindow.
enum {
    CLIPVIEW_OK = 0,
    CLIPVIEW_NO_INSTANCE = -1,
    CLIPVIEW_BAD_SIZE = -2,     // width or height not positive
    CLIPVIEW_NO_PATH = -3,
    CLIPVIEW_NO_MEMORY = -4,
    CLIPVIEW_CANNOT_OPEN = -5,  // the movie file cannot be opened for reading
};

// Shows the movie at (x, y, width, height) in the parent's client area. Later posts finishedMessage to
// the parent when the movie has ended and clickedMessage when it was clicked (both parameters 0).
CLIPVIEW_API int ShowIEWindow(HINSTANCE instance, HWND parent, int x, int y, int width, int height,
                              const char* moviePath, UINT finishedMessage, UINT clickedMessage);

// Stops the movie and takes its window down when one is up. Always 0.
CLIPVIEW_API int HideIEWindow();
}
