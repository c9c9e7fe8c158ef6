// The one window the host shows on the desktop: where it is, and the host's events turned into
// that window's messages.
#include "compat/win32/window/window_internal.h"

#include "compat/host/CloseSignals.h"
#include "compat/host/Host.h"

using namespace compat::win32::detail;

namespace {

bool isMouseButtonOrMove(unsigned message) { return message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK; }

// The window a mouse message at this point of the shown window's client area goes to: the window that
// has the mouse captured, else the topmost visible child under the point, else the shown window. The
// point comes back in the chosen window's client coordinates; a double click becomes a press for a
// window whose class takes no double clicks.
HWND mouseTarget(HWND shown, unsigned& message, std::intptr_t& lParam)
{
    const POINT at = {static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                      static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam)))};
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    HWND target = shown;
    POINT origin = {0, 0};
    const HWND captured = GetCapture();
    if (captured != nullptr) {
        Window* top = find(shown);
        Window* w = find(captured);
        if (captured != shown && top != nullptr && w != nullptr && isDescendant(captured, shown)) {
            const POINT base = clientOrigin(*top);
            const POINT own = clientOrigin(*w);
            target = captured;
            origin = POINT{own.x - base.x, own.y - base.y};
        }
    } else {
        const std::vector<ShownChild> children = shownChildren(shown);
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            const RECT& r = it->visible;
            if (at.x >= r.left && at.x < r.right && at.y >= r.top && at.y < r.bottom) {
                target = it->handle;
                origin = it->origin;
                break;
            }
        }
    }
    if (target == shown)
        return target;
    lParam = MAKELPARAM(static_cast<WORD>(at.x - origin.x), static_cast<WORD>(at.y - origin.y));
    if (message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK) {
        Window* w = find(target);
        auto found = classes.find(w->className);
        if (found == classes.end() || (found->second.style & CS_DBLCLKS) == 0)
            message -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
    }
    return target;
}

// Applies what a host message says about the shown window and delivers it.
void deliverHostMessage(const compat::host::Message& m)
{
    HWND window;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        window = hosted;
        if (find(window) == nullptr)
            return;
    }
    switch (m.message) {
    case WM_MOVE: {
        LPARAM origin;
        {
            std::lock_guard<std::recursive_mutex> lock(tableMutex);
            Window* w = find(window);
            const POINT now = clientOrigin(*w);
            const LONG dx = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(m.lParam))) - now.x;
            const LONG dy = static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(m.lParam))) - now.y;
            if (w->minimized || (dx == 0 && dy == 0))
                return;
            w->rect.left += dx;
            w->rect.right += dx;
            w->rect.top += dy;
            w->rect.bottom += dy;
            origin = m.lParam;
        }
        sendDirect(window, WM_MOVE, 0, origin);
        break;
    }
    case WM_SIZE:
        if (m.wParam == SIZE_MINIMIZED)
            setShowState(window, true, false, true);
        else if (m.wParam == SIZE_MAXIMIZED)
            setShowState(window, false, true, true);
        else
            setShowState(window, false, false, true);
        break;
    case WM_PAINT: InvalidateRect(window, nullptr, FALSE); break;
    case WM_KILLFOCUS:
    case WM_SETFOCUS:
    case WM_CLOSE: sendDirect(window, m.message, m.wParam, m.lParam); break;
    default: {
        unsigned message = m.message;
        std::intptr_t lParam = m.lParam;
        const HWND target = isMouseButtonOrMove(message) ? mouseTarget(window, message, lParam) : window;
        if (message == WM_MOUSEMOVE)
            sendDirect(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                       static_cast<LPARAM>(HTCLIENT | (WM_MOUSEMOVE << 16)));
        PostMessageA(target, message, m.wParam, lParam);
        break;
    }
    }
}

} // namespace

namespace compat::win32::detail {

void placeOnHost(const Window& w)
{
    if (w.handle != hosted)
        return;
    const POINT origin = clientOrigin(w);
    const SIZE size = clientSize(w);
    compat::host::current().placeWindow(origin.x, origin.y, size.cx, size.cy);
}

// Picks up the host's events when this thread owns the shown window.
void pumpHost()
{
    HWND window;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        window = hosted;
        Window* w = find(window);
        if (w == nullptr || w->thread != ownQueue()->id)
            return;
    }
    std::vector<compat::host::Message> messages;
    compat::host::current().pumpEvents(messages);
    // A termination signal closes the window as its close box would.
    if (compat::host::takeCloseRequest())
        messages.push_back({WM_CLOSE, 0, 0});
    for (const auto& m : messages)
        deliverHostMessage(m);
}

bool ownsHostedWindow()
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(hosted);
    return w != nullptr && w->thread == ownQueue()->id;
}

} // namespace compat::win32::detail

namespace compat::win32 {

HWND hostedWindow()
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return hosted;
}

void keepClassOffHost(const char* className)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    offHostClasses.insert(lower(className));
}

} // namespace compat::win32
