// Windows, window classes and message queues, as the game's window code calls them. Our own
// declarations. The window table is general: class, style, extended style, parent, text, rectangle,
// visibility and per-window data (pointer-sized). Every thread has a message queue of its own; a
// message sent to a window of another thread waits until that thread has handled it.
//
// One top-level window at a time is shown by the host (compat/host): the first one made while no other
// is shown. Its events arrive as window messages when its thread looks at its queue. Top-level windows
// of the classes kept off the host, and their children, are shown by the desktop toolkit instead, when
// there is one (compat/host/dialog/NativePresenter.h), and driven by the thread that made them: what the user
// does there arrives as the messages the controls would get when that thread looks at its queue.
//
// Child windows of the shown window have no place of their own on the host: each keeps a picture of
// its client area, drawn through its device context, that the display lays over the game's frame
// while the child and its parents are visible. Mouse input over a visible child goes to that child.
#pragma once

#include "compat/win32/base.h"
#include "compat/win32/gdi/gdi.h"
#include "compat/win32/window/messages.h"

#include <cstdint>
#include <memory>
#include <vector>

using ATOM = WORD;
using LONG_PTR = std::intptr_t;
using HICON = struct HICON__*;
using HCURSOR = struct HCURSOR__*;
using HMENU = struct HMENU__*;
using HBRUSH = struct HBRUSH__*;
using HACCEL = struct HACCEL__*;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

// Class styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;

// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;

// PeekMessage.
constexpr UINT PM_NOREMOVE = 0x0;
constexpr UINT PM_REMOVE = 0x1;

// SetWindowPos.
#define HWND_TOP (reinterpret_cast<HWND>(static_cast<std::intptr_t>(0)))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<std::intptr_t>(1)))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(static_cast<std::intptr_t>(-2)))
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;

// Get/SetWindowLong indices; non-negative ones are byte offsets into the class's extra bytes.
constexpr int GWL_WNDPROC = -4;
constexpr int GWL_HINSTANCE = -6;
constexpr int GWL_HWNDPARENT = -8;
constexpr int GWL_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_USERDATA = -21;
constexpr int GWLP_WNDPROC = GWL_WNDPROC;
constexpr int GWLP_USERDATA = GWL_USERDATA;

// RedrawWindow.
constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_FRAME = 0x0400;

// GetSystemMetrics.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;

// GetDeviceCaps.
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// Resource names given as numbers, and the system cursors and icon.
#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(i))))
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define IDC_APPSTARTING MAKEINTRESOURCEA(32650)
#define IDC_HELP MAKEINTRESOURCEA(32651)
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)

inline WORD LOWORD(std::uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
inline WORD HIWORD(std::uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
inline LPARAM MAKELPARAM(WORD low, WORD high)
{
    return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

ATOM RegisterClassA(const WNDCLASSA* windowClass);
ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
inline HWND CreateWindowA(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                          HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
// Sends WM_DESTROY to the window, then to its children, before it returns. Only the window's own
// thread may destroy it.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

LONG GetWindowLongA(HWND window, int index);
LONG SetWindowLongA(HWND window, int index, LONG value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
HWND GetParent(HWND window);
// The id of the thread that made the window (0 for no window); the process id is left alone.
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
// The class name as it was registered; 0 for no window.
int GetClassNameA(HWND window, LPSTR className, int size);
int GetWindowTextA(HWND window, LPSTR text, int size);
BOOL SetWindowTextA(HWND window, LPCSTR text);

// Rectangles: a window's rectangle is in desktop coordinates (a child's in its parent's client
// coordinates); its client rectangle always starts at 0,0.
BOOL GetClientRect(HWND window, RECT* rect);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
BOOL IsIconic(HWND window);
BOOL IsZoomed(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL SetForegroundWindow(HWND window);
// The top-level window of that class (compared without regard to case) and title (exactly); a null
// class or title matches any. Null when no window matches.
HWND FindWindowA(LPCSTR className, LPCSTR windowName);
HWND GetForegroundWindow();
HWND SetFocus(HWND window);
HWND GetFocus();
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL UpdateWindow(HWND window);
BOOL RedrawWindow(HWND window, const RECT* rect, void* region, UINT flags);

// Message queues.
BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT remove);
// > 0 for a message, 0 for WM_QUIT, -1 when the window filter names no window.
BOOL GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Window timers: WM_TIMER comes from the owning thread's GetMessage or PeekMessage once the period has
// passed (after posted messages and painting); with a procedure, DispatchMessage calls it instead of
// the window procedure. Setting an id the window already has restarts it; timers end with their window.
using UINT_PTR = std::uintptr_t;
using TIMERPROC = void (*)(HWND window, UINT message, UINT_PTR id, DWORD timeMs);
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);
// The window that has the mouse captured, or null.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT DispatchMessageA(const MSG* message);
// Characters come from the host's text input as WM_CHAR already; this makes none of its own and
// answers TRUE for key messages.
BOOL TranslateMessage(const MSG* message);
int TranslateAcceleratorA(HWND window, HACCEL table, LPMSG message);
DWORD GetCurrentThreadId();

using SHORT = std::int16_t;
// The key as the messages taken from the queues say: negative while it is down; the low bit toggles
// on every press. VK_SHIFT, VK_CONTROL and VK_MENU also follow their left and right keys.
SHORT GetKeyState(int virtualKey);

int GetSystemMetrics(int index);

// Cursors and icons: the system ones by number; loading from a module finds nothing.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
HICON LoadIconA(HINSTANCE instance, LPCSTR name);

// Device contexts of the desktop and of windows: they report the display's measures and draw nothing,
// except that of a child of the shown window, which draws into the child's own picture.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
int GetDeviceCaps(HDC dc, int index);

namespace compat::win32 {
// The window the host shows now, or null.
HWND hostedWindow();
// Windows of this class stay off the host (for windows another toolkit shows).
void keepClassOffHost(const char* className);
// The live child windows of a window, in the order they were made.
std::vector<HWND> childWindows(HWND parent);
// Whether a window shows activity (an animation that plays), for the desktop toolkit that shows it.
void setWindowActive(HWND window, bool active);
// The font a control shows its text in (pixel height 0: the toolkit's own), for the desktop toolkit.
void setWindowFont(HWND window, int pixelHeight, bool bold);

// What a child window of the shown window was drawn with: 0x00RRGGBB pixels of its client area, top row
// first (the top byte means nothing).
struct WindowPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool drawn = false; // something has been drawn into it
};
// A drawn child's picture as it lies over its top-level window: the child's client origin and the part
// of it that shows (inside every parent), both in the top-level window's client coordinates.
struct Overlay {
    POINT origin;
    RECT visible;
    std::shared_ptr<const WindowPicture> picture;
};
// The drawn, visible children of a top-level window, the lowest first.
std::vector<Overlay> overlays(HWND topLevel);
// Changes whenever what the overlays of the shown window look like may have changed.
std::uint64_t overlayVersion();
// Called, on the thread that made the change, after each such change; null for none.
void setOverlayListener(void (*listener)());
} // namespace compat::win32

namespace compat::testing {
// GetSystemMetrics answers this desktop size; 0, 0 gives back the host's own.
void setDesktopSize(int width, int height);
// Every window destroyed, every class and queue forgotten (between tests).
void resetWindows();
// The system cursor number last set with SetCursor (32512 for the arrow), 0 for none.
int currentCursorId();
// Sets a key up or down as if its message had been taken (resetWindows lets every key up).
void setKeyState(int virtualKey, bool down);
} // namespace compat::testing
