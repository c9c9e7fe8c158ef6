// What the window files of this library share: the window and thread tables, and the helpers every
// part of the window system calls. Private to compat/win32; the program sees window.h only.
#pragma once

#include "compat/win32/window/window.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace compat::win32::detail {

// ---- threads and their queues -------------------------------------------------------------------

struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
};

struct ThreadQueue {
    DWORD id = 0;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quit = false;
    int quitCode = 0;
};

std::shared_ptr<ThreadQueue>& ownQueue();
std::shared_ptr<ThreadQueue> queueOf(DWORD threadId);
void wakeThread(DWORD thread);
bool isDescendant(HWND window, HWND ancestor);

// ---- classes and windows ------------------------------------------------------------------------

struct WindowClass {
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int extraBytes = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    std::string name;
};

struct Window {
    HWND handle = nullptr;
    std::string className;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0;
    std::string text;
    RECT rect{}; // desktop coordinates, or the parent's client coordinates for a child
    bool visible = false;
    bool minimized = false;
    bool maximized = false;
    bool enabled = true;
    bool needsPaint = false;
    bool dying = false;      // DestroyWindow is under way: its messages are being sent
    bool destroying = false; // gone: only waits to leave the table
    LONG_PTR userData = 0;
    std::vector<BYTE> extra;
    DWORD thread = 0;
    bool presented = false; // shown by the desktop toolkit, driven by its thread
    bool active = false;    // shows activity (an animation that plays)
    int fontHeight = 0;     // pixels; 0 for the toolkit's own font
    bool bold = false;
    std::int64_t zOrder = 0; // among its siblings: the highest lies on top
    // A child of the shown window: its client area's pixels, made at its first device context.
    std::shared_ptr<compat::win32::WindowPicture> picture;
};

// The tables below are guarded by tableMutex.
extern std::recursive_mutex& tableMutex;
extern std::map<std::string, WindowClass>& classes; // by lower-case name
extern std::map<HWND, Window>& windows;
extern std::set<std::string>& offHostClasses;
extern HWND hosted;
extern HWND foreground;
extern HWND focus;
extern HCURSOR currentCursor;

// The keyboard as the key messages taken from the queues say: bit 7 down, bit 0 toggled.
extern std::atomic<std::uint8_t> keyStates[256];

// Whether this thread shows windows through the desktop toolkit.
extern thread_local bool presentingHere;

std::string lower(const char* text);
bool isTopLevel(DWORD style, HWND parent);
// What the frame around a client area takes on each side.
RECT frameInsets(DWORD style, DWORD exStyle);
// A live window, or null; call with the table locked.
Window* find(HWND handle);
// A window still in the table, even one being taken down; call with the table locked.
Window* findAny(HWND handle);
void desktop(int& width, int& height);
// The client area's top-left corner in desktop coordinates.
POINT clientOrigin(const Window& w);
SIZE clientSize(const Window& w);
WNDPROC procedureOf(HWND handle);
DWORD threadOf(HWND handle);
LRESULT sendDirect(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void setShowState(HWND handle, bool minimize, bool maximize, bool fromHost);

// Tells the host where the shown window's client area is.
void placeOnHost(const Window& w);
// Picks up the host's events when this thread owns the shown window.
void pumpHost();
bool ownsHostedWindow();

// Brings the toolkit up to date with this thread's presented windows (see native_view.cpp).
void presentWindows(bool takeInput);
// The calling thread's first window timer that is due (for the given window, or any when null), as a
// WM_TIMER message; with take, its next period starts now.
bool takeDueTimer(MSG* out, HWND window, bool take);

// A window of this thread waiting for WM_PAINT, or null.
HWND windowToPaint(HWND filter);

// A visible child (or deeper descendant, all of whose parents below the top level are visible) of a
// top-level window, placed in that window's client coordinates.
struct ShownChild {
    HWND handle;
    POINT origin;  // its client area's top-left corner
    RECT visible;  // the part of its client area inside every parent
    std::vector<std::int64_t> order; // z-orders from the top level down: compares lowest first
};
// Every such child, the lowest first; call with the table locked.
std::vector<ShownChild> shownChildren(HWND topLevel);
// The z-order a window raised above its siblings takes; call with the table locked.
std::int64_t raisedOrder();
std::int64_t loweredOrder();

// The device context of a child of the shown window, over its picture; null for other windows.
HDC windowDC(HWND window);
// Deletes a context that windowDC made (true), or leaves any other alone (false).
bool releaseWindowDC(HDC dc);
// Whether a change to this window (shown, hidden, moved, drawn into, gone) may change what lies over the
// shown window; call with the table locked, before the change when it removes the window.
bool touchesOverlays(HWND window);
// Tells the display that the overlays changed; call without the table locked.
void overlaysChanged();

} // namespace compat::win32::detail
