// Window classes and window objects: registering classes, making and destroying windows (children
// go with their parent), the default procedure, and what a window stores (longs, text, class name).
#include "compat/win32/window/window_internal.h"

#include "compat/host/Host.h"
#include "compat/host/dialog/NativePresenter.h"

#include <algorithm>
#include <cstring>

using namespace compat::win32::detail;

namespace compat::win32::detail {

// Never destroyed either, for the same reason: a late thread may still destroy its windows.
std::recursive_mutex& tableMutex = *new std::recursive_mutex;
std::map<std::string, WindowClass>& classes = *new std::map<std::string, WindowClass>; // by lower-case name
std::map<HWND, Window>& windows = *new std::map<HWND, Window>;
std::set<std::string>& offHostClasses = *new std::set<std::string>;
HWND hosted = nullptr;
HWND foreground = nullptr;
HWND focus = nullptr;

std::string lower(const char* text)
{
    std::string s = text != nullptr ? text : "";
    for (char& c : s)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

bool isTopLevel(DWORD style, HWND parent) { return (style & WS_CHILD) == 0 || parent == nullptr; }

// What the frame around a client area takes on each side.
RECT frameInsets(DWORD style, DWORD exStyle)
{
    if ((style & WS_CHILD) != 0)
        return (style & WS_BORDER) != 0 ? RECT{1, 1, 1, 1} : RECT{0, 0, 0, 0};
    if ((style & WS_CAPTION) == WS_CAPTION)
        return (style & WS_THICKFRAME) != 0 ? RECT{4, 24, 4, 4} : RECT{3, 23, 3, 3};
    if ((style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) != 0)
        return (style & WS_THICKFRAME) != 0 ? RECT{4, 4, 4, 4} : RECT{1, 1, 1, 1};
    return RECT{0, 0, 0, 0};
}

Window* find(HWND handle)
{
    auto found = windows.find(handle);
    return found != windows.end() && !found->second.destroying ? &found->second : nullptr;
}

Window* findAny(HWND handle)
{
    auto found = windows.find(handle);
    return found != windows.end() ? &found->second : nullptr;
}

// The client area's top-left corner in desktop coordinates.
POINT clientOrigin(const Window& w)
{
    const RECT insets = frameInsets(w.style, w.exStyle);
    POINT origin = {w.rect.left + insets.left, w.rect.top + insets.top};
    if ((w.style & WS_CHILD) != 0 && w.parent != nullptr) {
        if (Window* parent = findAny(w.parent)) {
            const POINT parentOrigin = clientOrigin(*parent);
            origin.x += parentOrigin.x;
            origin.y += parentOrigin.y;
        }
    }
    return origin;
}

SIZE clientSize(const Window& w)
{
    const RECT insets = frameInsets(w.style, w.exStyle);
    return SIZE{std::max<LONG>(0, w.rect.right - w.rect.left - insets.left - insets.right),
                std::max<LONG>(0, w.rect.bottom - w.rect.top - insets.top - insets.bottom)};
}

WNDPROC procedureOf(HWND handle)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(handle);
    return w != nullptr ? w->procedure : nullptr;
}

DWORD threadOf(HWND handle)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = findAny(handle);
    return w != nullptr ? w->thread : 0;
}

LRESULT sendDirect(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC procedure = procedureOf(window);
    return procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
}

} // namespace compat::win32::detail

namespace {

std::uintptr_t nextHandle = 0x10000;

void destroyTree(HWND handle)
{
    std::vector<HWND> children;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(handle);
        if (w == nullptr)
            return;
        w->dying = true;
        w->visible = false;
    }
    sendDirect(handle, WM_DESTROY, 0, 0);
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        for (auto& entry : windows)
            if (entry.second.parent == handle && (entry.second.style & WS_CHILD) != 0)
                children.push_back(entry.first);
    }
    for (HWND child : children)
        destroyTree(child);
    sendDirect(handle, WM_NCDESTROY, 0, 0);
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    if (Window* w = findAny(handle))
        w->destroying = true;
}

} // namespace

ATOM RegisterClassExA(const WNDCLASSEXA* c)
{
    if (c == nullptr || c->lpszClassName == nullptr || c->lpfnWndProc == nullptr)
        return 0;
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    const std::string key = lower(c->lpszClassName);
    // A class that no window uses any more may be registered anew: the display registers its
    // window class again every time it is rebuilt.
    if (classes.count(key) != 0) {
        for (auto& entry : windows)
            if (!entry.second.destroying && entry.second.className == key)
                return 0;
    }
    WindowClass& wc = classes[key];
    wc.style = c->style;
    wc.procedure = c->lpfnWndProc;
    wc.extraBytes = std::max(0, c->cbWndExtra);
    wc.instance = c->hInstance;
    wc.icon = c->hIcon;
    wc.cursor = c->hCursor;
    wc.name = c->lpszClassName;
    return static_cast<ATOM>(0xC000 + (classes.size() & 0x3FFF));
}

ATOM RegisterClassA(const WNDCLASSA* c)
{
    if (c == nullptr)
        return 0;
    WNDCLASSEXA ex{};
    ex.cbSize = sizeof ex;
    ex.style = c->style;
    ex.lpfnWndProc = c->lpfnWndProc;
    ex.cbClsExtra = c->cbClsExtra;
    ex.cbWndExtra = c->cbWndExtra;
    ex.hInstance = c->hInstance;
    ex.hIcon = c->hIcon;
    ex.hCursor = c->hCursor;
    ex.hbrBackground = c->hbrBackground;
    ex.lpszMenuName = c->lpszMenuName;
    ex.lpszClassName = c->lpszClassName;
    return RegisterClassExA(&ex);
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    const std::string key = lower(className);
    for (auto& entry : windows)
        if (!entry.second.destroying && entry.second.className == key)
            return FALSE;
    return classes.erase(key) != 0 ? TRUE : FALSE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    HWND handle;
    bool host = false;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        auto found = classes.find(lower(className));
        if (found == classes.end())
            return nullptr;
        if (parent != nullptr && find(parent) == nullptr)
            return nullptr;
        if ((style & WS_CHILD) != 0 && parent == nullptr)
            return nullptr;
        const WindowClass& wc = found->second;
        int deskW, deskH;
        desktop(deskW, deskH);
        if (width == CW_USEDEFAULT) {
            width = std::min(800, deskW);
            height = std::min(600, deskH);
        }
        if (x == CW_USEDEFAULT) {
            x = 32;
            y = 32;
        }
        handle = reinterpret_cast<HWND>(nextHandle);
        nextHandle += 4;
        Window& w = windows[handle];
        w.handle = handle;
        w.className = found->first;
        w.procedure = wc.procedure;
        w.style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
        w.exStyle = exStyle;
        w.parent = parent;
        w.instance = instance;
        w.id = (style & WS_CHILD) != 0 ? reinterpret_cast<LONG_PTR>(menu) : 0;
        w.text = windowName != nullptr ? windowName : "";
        w.rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
        w.extra.assign(static_cast<std::size_t>(wc.extraBytes), 0);
        w.thread = ownQueue()->id;
        w.zOrder = raisedOrder();
        if (isTopLevel(style, parent)) {
            w.presented = offHostClasses.count(w.className) != 0 && compat::host::nativePresenter().shows();
        } else {
            const Window* p = find(parent);
            w.presented = p != nullptr && p->presented && p->thread == w.thread;
        }
        if (w.presented)
            presentingHere = true;
        if (isTopLevel(style, parent) && hosted == nullptr && offHostClasses.count(w.className) == 0) {
            try {
                compat::host::Host& h = compat::host::current();
                const POINT origin = clientOrigin(w);
                const SIZE size = clientSize(w);
                const bool coversDesktop = (style & WS_POPUP) != 0 && x <= 0 && y <= 0 && width >= deskW &&
                                           height >= deskH;
                host = h.openWindow(w.text, origin.x, origin.y, size.cx, size.cy, coversDesktop);
            } catch (const std::exception&) {
                host = false;
            }
            if (!host) {
                windows.erase(handle);
                return nullptr;
            }
            hosted = handle;
        }
    }
    CREATESTRUCTA create{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style), windowName,
                         className, exStyle};
    if (sendDirect(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == 0 ||
        sendDirect(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    // A new window learns its size and place at once, as a window hosting a control expects.
    LPARAM sizeParam, moveParam;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(handle);
        if (w == nullptr)
            return nullptr;
        const SIZE size = clientSize(*w);
        const POINT place = (w->style & WS_CHILD) != 0 ? POINT{w->rect.left, w->rect.top} : clientOrigin(*w);
        sizeParam = MAKELPARAM(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy));
        moveParam = MAKELPARAM(static_cast<WORD>(place.x), static_cast<WORD>(place.y));
    }
    sendDirect(handle, WM_SIZE, SIZE_RESTORED, sizeParam);
    sendDirect(handle, WM_MOVE, 0, moveParam);
    if ((style & WS_VISIBLE) != 0)
        ShowWindow(handle, (style & WS_MINIMIZE) != 0 ? SW_MINIMIZE : (style & WS_MAXIMIZE) != 0 ? SW_MAXIMIZE
                                                                                                  : SW_SHOW);
    return handle;
}

BOOL DestroyWindow(HWND window)
{
    bool overlayChange;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr || w->dying || w->thread != ownQueue()->id)
            return FALSE;
        overlayChange = w->visible && touchesOverlays(window);
        if (window == hosted) {
            compat::host::current().closeWindow();
            hosted = nullptr;
        }
        w->visible = false;
    }
    destroyTree(window);
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        for (auto it = windows.begin(); it != windows.end();) {
            if (it->second.destroying) {
                if (foreground == it->first)
                    foreground = nullptr;
                if (focus == it->first)
                    focus = nullptr;
                it = windows.erase(it);
            } else {
                ++it;
            }
        }
    }
    if (overlayChange)
        overlaysChanged();
    // The toolkit takes the window down now: the thread may end without looking at its queue again.
    if (presentingHere)
        presentWindows(false);
    return TRUE;
}

BOOL IsWindow(HWND window)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return find(window) != nullptr ? TRUE : FALSE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_PAINT: ValidateRect(window, nullptr); return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE: ShowWindow(window, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(window, SW_MAXIMIZE); break;
        case SC_RESTORE: ShowWindow(window, SW_RESTORE); break;
        case SC_CLOSE: SendMessageA(window, WM_CLOSE, 0, 0); break;
        default: break;
        }
        return 0;
    case WM_SETCURSOR: {
        // A child lets its parent choose first, then shows its class's cursor over its client area.
        HWND parent = nullptr;
        HCURSOR cursor = nullptr;
        {
            std::lock_guard<std::recursive_mutex> lock(tableMutex);
            Window* w = find(window);
            if (w == nullptr || (w->style & WS_CHILD) == 0)
                return FALSE;
            parent = w->parent;
            auto found = classes.find(w->className);
            if (found != classes.end())
                cursor = found->second.cursor;
        }
        if (parent != nullptr && SendMessageA(parent, WM_SETCURSOR, wParam, lParam) != 0)
            return TRUE;
        if (LOWORD(static_cast<std::uintptr_t>(lParam)) != HTCLIENT || cursor == nullptr)
            return FALSE;
        SetCursor(cursor);
        return TRUE;
    }
    case WM_SETTEXT: return SetWindowTextA(window, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT: return GetWindowTextA(window, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    default: return 0;
    }
}

LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
}

LONG_PTR GetWindowLongPtrA(HWND window, int index)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr)
        return 0;
    switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->procedure);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent);
    case GWL_ID: return w->id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(w->style | (w->visible ? WS_VISIBLE : 0) | (w->minimized ? WS_MINIMIZE : 0) |
                                     (w->maximized ? WS_MAXIMIZE : 0));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(w->exStyle);
    case GWL_USERDATA: return w->userData;
    default: break;
    }
    if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w->extra.size())
        return 0;
    LONG_PTR value;
    std::memcpy(&value, w->extra.data() + index, sizeof value);
    return value;
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr)
        return 0;
    const LONG_PTR old = GetWindowLongPtrA(window, index);
    switch (index) {
    case GWL_WNDPROC: w->procedure = reinterpret_cast<WNDPROC>(value); return old;
    case GWL_ID: w->id = value; return old;
    case GWL_STYLE:
        w->style = static_cast<DWORD>(value) & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
        return old;
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); return old;
    case GWL_USERDATA: w->userData = value; return old;
    default: break;
    }
    if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w->extra.size())
        return 0;
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
}

LONG GetWindowLongA(HWND window, int index)
{
    if (index >= 0) {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr || static_cast<std::size_t>(index) + sizeof(LONG) > w->extra.size())
            return 0;
        LONG value;
        std::memcpy(&value, w->extra.data() + index, sizeof value);
        return value;
    }
    return static_cast<LONG>(GetWindowLongPtrA(window, index));
}

LONG SetWindowLongA(HWND window, int index, LONG value)
{
    if (index >= 0) {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr || static_cast<std::size_t>(index) + sizeof(LONG) > w->extra.size())
            return 0;
        LONG old;
        std::memcpy(&old, w->extra.data() + index, sizeof old);
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
    }
    if (index == GWL_STYLE || index == GWL_EXSTYLE)
        return static_cast<LONG>(SetWindowLongPtrA(window, index, static_cast<LONG_PTR>(static_cast<DWORD>(value))));
    return static_cast<LONG>(SetWindowLongPtrA(window, index, value));
}

HWND GetParent(HWND window)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    return w != nullptr ? w->parent : nullptr;
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId)
{
    if (processId != nullptr)
        *processId = 1;
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    return w != nullptr ? w->thread : 0;
}

int GetClassNameA(HWND window, LPSTR className, int size)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr || className == nullptr || size <= 0)
        return 0;
    auto found = classes.find(w->className);
    const std::string& name = found != classes.end() ? found->second.name : w->className;
    const int n = static_cast<int>(std::min<std::size_t>(name.size(), static_cast<std::size_t>(size - 1)));
    std::memcpy(className, name.data(), static_cast<std::size_t>(n));
    className[n] = '\0';
    return n;
}

int GetWindowTextA(HWND window, LPSTR text, int size)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr || text == nullptr || size <= 0)
        return 0;
    const int n = static_cast<int>(std::min<std::size_t>(w->text.size(), static_cast<std::size_t>(size - 1)));
    std::memcpy(text, w->text.data(), static_cast<std::size_t>(n));
    text[n] = '\0';
    return n;
}

BOOL SetWindowTextA(HWND window, LPCSTR text)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr)
        return FALSE;
    w->text = text != nullptr ? text : "";
    if (window == hosted)
        compat::host::current().setTitle(w->text);
    return TRUE;
}

namespace compat::win32 {

std::vector<HWND> childWindows(HWND parent)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    std::vector<HWND> children;
    // Handles only grow, so the table's order is the order of making.
    for (auto& entry : windows)
        if (!entry.second.destroying && entry.second.parent == parent && (entry.second.style & WS_CHILD) != 0)
            children.push_back(entry.first);
    return children;
}

} // namespace compat::win32

namespace compat::testing {

void resetWindows()
{
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        if (hosted != nullptr)
            compat::host::current().closeWindow();
        windows.clear();
        classes.clear();
        hosted = nullptr;
        foreground = nullptr;
        focus = nullptr;
        currentCursor = nullptr;
    }
    for (auto& key : keyStates)
        key.store(0);
    auto& queue = ownQueue();
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->posted.clear();
    queue->sent.clear();
    queue->quit = false;
}

} // namespace compat::testing
