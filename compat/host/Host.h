// The host: the one place that talks to the machine's window system. A host is a table of
// operations; the window layer (compat/win32) and the display (compat/ddraw) call only these, and ask
// what the host can do, never which host it is. One host is chosen at start-up: QUARRYTIDE_HOST
// ("headless" or "sdl") first, else SDL, else headless when no display can be opened.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace compat::host {

// A window message made from a host event, for the window the host shows. The window layer applies
// what it says about the window's state and delivers it; message numbers are those of Win32.
struct Message {
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

// One frame of the game's client area: 16-bit R5G6B5 or 32-bit X8R8G8B8, top row first. The changed
// part says where it differs from the frame presented before it (same size and depth); a host that
// holds that earlier frame needs to take only that part, any other host takes the whole frame. A
// negative width means the whole frame changed.
struct Frame {
    const void* pixels;
    int pitch;
    int width;
    int height;
    int bitsPerPixel;
    int changedX = 0;
    int changedY = 0;
    int changedWidth = -1;
    int changedHeight = -1;
};

// The changed part of a frame, inside the frame: (x, y, width, height); empty (width 0) only when the
// frame itself is empty.
struct Area {
    int x = 0, y = 0, width = 0, height = 0;
    bool whole(const Frame& frame) const { return x == 0 && y == 0 && width == frame.width && height == frame.height; }
};
Area changedArea(const Frame& frame);

struct Capabilities {
    bool window = false;        // shows a real window on a desktop
    bool fullScreen = false;    // can cover the whole desktop
    bool keepsLastFrame = false; // can hand back the last presented frame
};

enum class Show { Hidden, Normal, Minimized, Maximized };

// A message box as the desktop should show it: buttons in order, each answering its own id.
struct MessageBox {
    enum class Icon { None, Error, Warning, Information, Question };
    struct Button {
        int id;
        std::string text;
    };
    std::string caption;
    std::string text;
    Icon icon = Icon::None;
    std::vector<Button> buttons;
    int defaultButton = 0;  // index answered by Enter
    int escapeButton = -1;  // index answered by Esc or the close box; -1: none
};

class Host {
public:
    virtual ~Host() = default;

    // For messages and logs only: nothing may branch on it.
    virtual const char* name() const = 0;
    virtual Capabilities capabilities() const = 0;

    // The desktop in pixels.
    virtual void desktopSize(int& width, int& height) const = 0;

    // Opens the window that shows the game: client area at (x, y) on the desktop, width by height.
    virtual bool openWindow(const std::string& title, int x, int y, int width, int height, bool fullScreen)
    {
        return true;
    }
    virtual void closeWindow() {}
    virtual void setTitle(const std::string& title) {}
    // New client area on the desktop.
    virtual void placeWindow(int x, int y, int width, int height) {}
    virtual void showWindow(Show how) {}
    virtual void setFullScreen(bool on) {}
    virtual void raiseWindow() {}
    // Win32 cursor identifiers (IDC_ARROW 32512 ...); unknown ones show the arrow.
    virtual void setCursor(int systemCursor) {}

    // Shows a modal box and answers the id of the button chosen; -1 when this host shows none, or the
    // box was closed without an answer.
    virtual int showMessageBox(const MessageBox& box) { return -1; }

    // Shows the frame in the window.
    virtual void present(const Frame& frame) = 0;

    // Appends the messages made from every waiting event; never blocks.
    virtual void pumpEvents(std::vector<Message>& out) = 0;
    // Waits up to `milliseconds` for an event (or less); never longer.
    virtual void waitEvents(int milliseconds) = 0;
    // One round trip to the window system: what was sent to it (a presented frame) has been taken by
    // the time this returns, and every event it produced before (another program's input included)
    // is waiting for the next pump. Nothing for a host without a window system.
    virtual void synchronize() {}
};

// The host chosen at start-up, made on first use. Throws std::runtime_error naming what was tried
// when QUARRYTIDE_HOST names a host that cannot start here, or no host at all.
Host& current();
// What the choice tried, one line per host, e.g. "sdl: no display (...); headless: started".
const std::string& selectionReport();

} // namespace compat::host
