// Which windows wait to be painted, and the calls that mark them so or paint them now.
#include "compat/win32/window_internal.h"


using namespace compat::win32::detail;

namespace compat::win32::detail {

HWND windowToPaint(HWND filter)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    const DWORD self = ownQueue()->id;
    for (auto& entry : windows) {
        Window& w = entry.second;
        if (w.needsPaint && !w.destroying && w.thread == self && (filter == nullptr || isDescendant(w.handle, filter)))
            return w.handle;
    }
    return nullptr;
}

} // namespace compat::win32::detail

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    DWORD thread;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr)
            return FALSE;
        w->needsPaint = true;
        thread = w->thread;
    }
    wakeThread(thread);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr)
        return FALSE;
    w->needsPaint = false;
    return TRUE;
}

BOOL UpdateWindow(HWND window)
{
    bool paint;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr)
            return FALSE;
        paint = w->needsPaint;
    }
    if (paint)
        sendDirect(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* rect, void* region, UINT flags)
{
    if ((flags & RDW_INVALIDATE) != 0 && !InvalidateRect(window, rect, FALSE))
        return FALSE;
    if ((flags & RDW_UPDATENOW) != 0)
        UpdateWindow(window);
    return IsWindow(window);
}
