// The desktop toolkit's view of the native windows (the update dialog and its controls). The window
// layer (compat/win32) holds the truth: tree, classes, styles, texts, visibility, focus and messages.
// A presenter follows it, showing each window as a real toolkit widget, and hands back what the user
// did as input the window layer turns into the messages the controls would get.
//
// A presenter belongs to one thread: the thread that owns the windows it shows. Every call on it comes
// from that thread. The toolkit's own state is made lazily on the first thread that asks and only one
// thread at a time drives it; any other thread, a headless run, or a toolkit that cannot reach a
// display gets the null presenter, and the window model then works alone.
#pragma once

#include "compat/host/dialog/BoxPlacement.h"
#include "compat/host/Host.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace compat::host {

// What kind of widget shows a window; the window layer decides it from the class and style.
enum class NativeKind { Frame, Button, Edit, Label, Separator, Animation, StatusBar, Panel };

// A window as the toolkit should show it now. Handles are the window layer's, as numbers.
struct NativeState {
    std::uintptr_t handle = 0;
    std::uintptr_t top = 0; // the top-level window it lies in (itself for a top-level window)
    NativeKind kind = NativeKind::Panel;
    std::string text; // bytes in the Latin-1 code page
    // A top-level window: its client area on the desktop. A child: its place in the top-level
    // window's client area.
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = false;
    bool minimized = false;  // a top-level window shown as an icon
    bool foreground = false; // a top-level window brought to the front
    bool enabled = true;
    bool focused = false;
    bool defaultButton = false; // a push button that Enter chooses
    bool active = false;        // an animation that plays
    int fontHeight = 0;         // a label's text height in pixels (0: the toolkit's own)
    bool bold = false;
};

// What the user did, for the window layer to deliver.
struct NativeInput {
    enum Kind {
        Clicked,     // a button was pressed
        TextEdited,  // the user changed an edit's text (now `text`)
        CloseAsked,  // the window's close box
        KeyDown,     // a key went down (`key`: a virtual-key code) with the focus in `handle`'s window
        KeyUp,
        FocusTaken,  // the user put the focus on this window's widget
    };
    Kind kind;
    std::uintptr_t handle;
    int key = 0;
    std::string text; // Latin-1
};

class NativePresenter {
public:
    virtual ~NativePresenter() = default;

    // False for the null presenter: nothing is shown, nothing comes back.
    virtual bool shows() const = 0;

    // A window to show (made or changed). Parents come before their children.
    virtual void update(const NativeState& state) = 0;
    // The window is gone; unknown handles are ignored. A top-level window takes its children along.
    virtual void destroyed(std::uintptr_t handle) = 0;
    // Runs the toolkit's waiting work without blocking and appends what the user did.
    virtual void pump(std::vector<NativeInput>& out) = 0;
    // Waits up to `milliseconds` for toolkit events (or less); never longer.
    virtual void wait(int milliseconds) = 0;
    // This thread shows no window any more: the toolkit is free for another thread.
    virtual void release() = 0;
};

// This thread's presenter: the toolkit's when it can show windows for this thread, else the null one.
// The reference stays valid until the thread ends.
NativePresenter& nativePresenter();
// Ends the wait of a thread that waits in its presenter, so a message posted or sent to it is not held
// up until the wait times out. Safe from any thread; does nothing while no toolkit runs.
void wakeNativePresenter();

// Shows a message box through the desktop toolkit on this thread, centred on `game` and kept on
// `screen` (desktop pixels), over the X window `owner` (0: none), and answers the chosen button's id
// (-1: closed without an answer). Empty when the toolkit cannot show it here (a headless run, no
// toolkit, another thread drives it, a test's presenter stands in), so the caller shows its own.
std::optional<int> showToolkitMessageBox(const MessageBox& box, const Rect& screen, const Rect& game,
                                         unsigned long owner);

} // namespace compat::host

namespace compat::testing {

// Every thread shows its native windows through this presenter instead (null: the usual choice).
// The presenter must be safe to call from any thread and outlive its use.
void presentWith(compat::host::NativePresenter* presenter);

// Where the toolkit shows a window on the desktop, when it shows it (mapped) now; false otherwise.
// Safe from any thread.
bool presentedRect(std::uintptr_t handle, int& x, int& y, int& width, int& height);
// Presses and releases the left mouse button at a desktop point, as a real pointer would (XTest).
bool clickDesktopAt(int x, int y);
// Presses and releases a key given by its X keysym name ("Tab", "Return"), with Shift held if asked.
bool pressDesktopKey(const char* keysymName, bool shift);
// Gives a presented top-level window the keyboard, as a window manager does when it is clicked.
bool focusDesktopWindow(std::uintptr_t handle);
// Asks a presented top-level window to close, as its close box does through the window manager.
bool closeDesktopWindow(std::uintptr_t handle);
// Moves the pointer to a desktop point without pressing anything.
bool moveDesktopPointer(int x, int y);
// Presses (down) or releases a mouse button (1 left, 3 right) where the pointer is, and waits until the
// server has taken it: the events are on their way to the window under the pointer when this returns.
bool pressDesktopButton(unsigned button, bool down);
// Presses and releases the right mouse button at a desktop point.
bool rightClickDesktopAt(int x, int y);
// Types printable ASCII text key by key, with Shift where the character needs it.
bool typeDesktopText(const std::string& text);
// Asks the top-level window of that title to close, as its close box does; false when none shows.
bool closeDesktopWindowTitled(const std::string& title);
// Presses and releases a key with a modifier held around it ("Alt_L", "Return"), as a player's hand
// presses Alt+Enter.
bool pressDesktopChord(const char* modifierName, const char* keysymName);
// Where the top-level window of that title shows now, in desktop pixels (its own area, without a window
// manager's frame); false when none is shown.
bool desktopWindowTitled(const std::string& title, int& x, int& y, int& width, int& height);
// What the desktop shows now, as 0x00RRGGBB pixels; false without a display.
bool captureDesktop(int& width, int& height, std::vector<std::uint32_t>& pixels);

} // namespace compat::testing
