// Where a window is and how it shows: its rectangles, placement, show state, enabling, foreground and
// keyboard focus, and the placement calls built on them.
#include "compat/win32/window/window_internal.h"

#include "compat/host/Host.h"
#include "compat/win32/window/controls.h"

#include <algorithm>

using namespace compat::win32::detail;

namespace compat::win32::detail {

void setShowState(HWND handle, bool minimize, bool maximize, bool fromHost)
{
    UINT sizeType;
    LPARAM sizeParam;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(handle);
        if (w == nullptr)
            return;
        if (w->minimized == minimize && w->maximized == maximize)
            return;
        w->minimized = minimize;
        w->maximized = maximize;
        w->visible = true;
        const SIZE size = clientSize(*w);
        sizeType = minimize ? SIZE_MINIMIZED : maximize ? SIZE_MAXIMIZED : SIZE_RESTORED;
        sizeParam = minimize ? 0 : MAKELPARAM(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy));
        if (!fromHost && handle == hosted)
            compat::host::current().showWindow(minimize   ? compat::host::Show::Minimized
                                               : maximize ? compat::host::Show::Maximized
                                                          : compat::host::Show::Normal);
    }
    sendDirect(handle, WM_SIZE, sizeType, sizeParam);
}

namespace {
std::int64_t highestOrder = 0;
std::int64_t lowestOrder = 0;

void clip(RECT& r, const RECT& bounds)
{
    r.left = std::max(r.left, bounds.left);
    r.top = std::max(r.top, bounds.top);
    r.right = std::min(r.right, bounds.right);
    r.bottom = std::min(r.bottom, bounds.bottom);
}
} // namespace

std::int64_t raisedOrder() { return ++highestOrder; }
std::int64_t loweredOrder() { return --lowestOrder; }

std::vector<ShownChild> shownChildren(HWND topLevel)
{
    std::vector<ShownChild> out;
    const Window* top = find(topLevel);
    if (top == nullptr)
        return out;
    const POINT base = clientOrigin(*top);
    auto clientArea = [&base](const Window& w) {
        const POINT origin = clientOrigin(w);
        const SIZE size = clientSize(w);
        return RECT{origin.x - base.x, origin.y - base.y, origin.x - base.x + size.cx, origin.y - base.y + size.cy};
    };
    for (const auto& entry : windows) {
        const Window& w = entry.second;
        if (w.handle == topLevel || (w.style & WS_CHILD) == 0 || w.destroying)
            continue;
        ShownChild child{w.handle, {}, clientArea(w), {}};
        child.origin = POINT{child.visible.left, child.visible.top};
        bool shown = false;
        for (const Window* a = &w; a != nullptr && a->visible && !a->dying && (a->style & WS_CHILD) != 0;) {
            child.order.insert(child.order.begin(), a->zOrder);
            const Window* parent = find(a->parent);
            if (parent == nullptr)
                break;
            clip(child.visible, clientArea(*parent));
            if (parent == top) {
                shown = true;
                break;
            }
            a = parent;
        }
        if (shown && child.visible.left < child.visible.right && child.visible.top < child.visible.bottom)
            out.push_back(std::move(child));
    }
    // A parent's orders begin its children's, so a child lies over its parent.
    std::stable_sort(out.begin(), out.end(),
                     [](const ShownChild& a, const ShownChild& b) { return a.order < b.order; });
    return out;
}

} // namespace compat::win32::detail

BOOL GetClientRect(HWND window, RECT* rect)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    const SIZE size = clientSize(*w);
    *rect = RECT{0, 0, size.cx, size.cy};
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    *rect = w->rect;
    if ((w->style & WS_CHILD) != 0 && w->parent != nullptr) {
        if (Window* parent = find(w->parent)) {
            const POINT origin = clientOrigin(*parent);
            rect->left += origin.x;
            rect->right += origin.x;
            rect->top += origin.y;
            rect->bottom += origin.y;
        }
    }
    return TRUE;
}

namespace {

// Moves a point by the window's client origin: +1 from client to screen, -1 back.
BOOL shiftByClientOrigin(HWND window, POINT* point, int direction)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr || point == nullptr)
        return FALSE;
    const POINT origin = clientOrigin(*w);
    point->x += direction * origin.x;
    point->y += direction * origin.y;
    return TRUE;
}

} // namespace

BOOL ClientToScreen(HWND window, POINT* point)
{
    return shiftByClientOrigin(window, point, +1);
}

BOOL ScreenToClient(HWND window, POINT* point)
{
    return shiftByClientOrigin(window, point, -1);
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle)
{
    if (rect == nullptr)
        return FALSE;
    const RECT insets = frameInsets(style, exStyle);
    rect->left -= insets.left;
    rect->top -= insets.top + (menu ? 20 : 0);
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    bool moved = false, sized = false, overlayChange = false;
    LPARAM moveParam = 0, sizeParam = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr)
            return FALSE;
        RECT next = w->rect;
        if ((flags & SWP_NOMOVE) == 0) {
            next.right = x + (next.right - next.left);
            next.bottom = y + (next.bottom - next.top);
            next.left = x;
            next.top = y;
        }
        if ((flags & SWP_NOSIZE) == 0) {
            next.right = next.left + std::max(0, width);
            next.bottom = next.top + std::max(0, height);
        }
        moved = next.left != w->rect.left || next.top != w->rect.top;
        sized = (next.right - next.left) != (w->rect.right - w->rect.left) ||
                (next.bottom - next.top) != (w->rect.bottom - w->rect.top) || (flags & SWP_FRAMECHANGED) != 0;
        bool restacked = false;
        if ((flags & SWP_NOZORDER) == 0) {
            if (insertAfter == HWND_TOPMOST)
                w->exStyle |= WS_EX_TOPMOST;
            else if (insertAfter == HWND_NOTOPMOST)
                w->exStyle &= ~WS_EX_TOPMOST;
            if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST) {
                w->zOrder = raisedOrder();
                restacked = true;
            } else if (insertAfter == HWND_BOTTOM) {
                w->zOrder = loweredOrder();
                restacked = true;
            }
        }
        w->rect = next;
        const POINT origin = (w->style & WS_CHILD) != 0 ? POINT{next.left, next.top} : clientOrigin(*w);
        const SIZE size = clientSize(*w);
        moveParam = MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y));
        sizeParam = MAKELPARAM(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy));
        if (moved || sized)
            placeOnHost(*w);
        overlayChange = (moved || sized || restacked) && touchesOverlays(window);
    }
    if (sized)
        sendDirect(window, WM_NCCALCSIZE, FALSE, 0);
    if (moved)
        sendDirect(window, WM_MOVE, 0, moveParam);
    if (sized)
        sendDirect(window, WM_SIZE, SIZE_RESTORED, sizeParam);
    if (overlayChange)
        overlaysChanged();
    if ((flags & SWP_SHOWWINDOW) != 0)
        ShowWindow(window, SW_SHOWNA);
    else if ((flags & SWP_HIDEWINDOW) != 0)
        ShowWindow(window, SW_HIDE);
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL ShowWindow(HWND window, int command)
{
    bool wasVisible;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr)
            return FALSE;
        wasVisible = w->visible;
    }
    bool overlayChange = false;
    switch (command) {
    case SW_HIDE: {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        find(window)->visible = false;
        if (window == hosted)
            compat::host::current().showWindow(compat::host::Show::Hidden);
        overlayChange = wasVisible && touchesOverlays(window);
        break;
    }
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED: setShowState(window, true, false, false); break;
    case SW_MAXIMIZE: setShowState(window, false, true, false); break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        setShowState(window, false, false, false);
        [[fallthrough]];
    default: {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w != nullptr && !w->visible) {
            w->visible = true;
            w->needsPaint = true;
            if (window == hosted)
                compat::host::current().showWindow(w->minimized   ? compat::host::Show::Minimized
                                                   : w->maximized ? compat::host::Show::Maximized
                                                                  : compat::host::Show::Normal);
            overlayChange = touchesOverlays(window);
        }
        break;
    }
    }
    if (overlayChange)
        overlaysChanged();
    return wasVisible ? TRUE : FALSE;
}

namespace {
// One state flag of a window, read under the table's lock; FALSE for a window that does not exist.
BOOL windowFlag(HWND window, bool Window::*flag)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    return w != nullptr && w->*flag ? TRUE : FALSE;
}
} // namespace

BOOL IsWindowVisible(HWND window)
{
    return windowFlag(window, &Window::visible);
}

BOOL IsIconic(HWND window)
{
    return windowFlag(window, &Window::minimized);
}

BOOL IsZoomed(HWND window)
{
    return windowFlag(window, &Window::maximized);
}

BOOL EnableWindow(HWND window, BOOL enable)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr)
        return FALSE;
    const bool wasDisabled = !w->enabled;
    w->enabled = enable != FALSE;
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window)
{
    return windowFlag(window, &Window::enabled);
}

BOOL SetForegroundWindow(HWND window)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    if (find(window) == nullptr)
        return FALSE;
    foreground = window;
    if (window == hosted)
        compat::host::current().raiseWindow();
    return TRUE;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    const std::string wantedClass = lower(className);
    for (const auto& entry : windows) {
        const Window& w = entry.second;
        if (w.destroying || !isTopLevel(w.style, w.parent))
            continue;
        if (className != nullptr && lower(w.className.c_str()) != wantedClass)
            continue;
        if (windowName != nullptr && w.text != windowName)
            continue;
        return w.handle;
    }
    return nullptr;
}

HWND GetForegroundWindow()
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return foreground;
}

HWND SetFocus(HWND window)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    const HWND old = focus;
    if (window == nullptr || find(window) != nullptr)
        focus = window;
    return old;
}

HWND GetFocus()
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return focus;
}

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement)
{
    if (placement == nullptr)
        return FALSE;
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        return FALSE;
    // A child's placement is in its parent's client coordinates.
    HWND parent = GetParent(window);
    if (parent != nullptr && (static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & WS_CHILD) != 0) {
        POINT topLeft{rect.left, rect.top};
        POINT bottomRight{rect.right, rect.bottom};
        ScreenToClient(parent, &topLeft);
        ScreenToClient(parent, &bottomRight);
        rect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    }
    *placement = WINDOWPLACEMENT{};
    placement->length = sizeof(WINDOWPLACEMENT);
    placement->showCmd = IsWindowVisible(window) ? (IsIconic(window) ? SW_SHOWMINIMIZED : SW_SHOWNORMAL) : SW_HIDE;
    placement->ptMinPosition = POINT{-1, -1};
    placement->ptMaxPosition = POINT{-1, -1};
    placement->rcNormalPosition = rect;
    return TRUE;
}

BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement)
{
    if (placement == nullptr || placement->length != sizeof(WINDOWPLACEMENT) || !IsWindow(window))
        return FALSE;
    const RECT& r = placement->rcNormalPosition;
    MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    ShowWindow(window, static_cast<int>(placement->showCmd));
    return TRUE;
}

BOOL BringWindowToTop(HWND window) { return IsWindow(window); }

HWND SetActiveWindow(HWND window)
{
    const HWND old = GetForegroundWindow();
    if (GetParent(window) == nullptr)
        SetForegroundWindow(window);
    return old;
}

BOOL CloseWindow(HWND window) { return ShowWindow(window, SW_MINIMIZE) || IsWindow(window); }

BOOL IsChild(HWND parent, HWND window)
{
    if (parent == nullptr || window == nullptr)
        return FALSE;
    for (HWND h = GetParent(window); h != nullptr; h = GetParent(h))
        if (h == parent)
            return TRUE;
    return FALSE;
}
