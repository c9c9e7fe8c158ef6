// Which windows wait to be painted, the calls that mark them so or paint them now, and the painting
// calls of a window procedure.
#include "compat/win32/window_internal.h"

#include "compat/win32/gdi_objects.h"

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

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    if (paint == nullptr || !IsWindow(window))
        return nullptr;
    *paint = PAINTSTRUCT{};
    paint->hdc = GetDC(window);
    GetClientRect(window, &paint->rcPaint);
    paint->fErase = TRUE;
    ValidateRect(window, nullptr);
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint)
{
    if (paint != nullptr && paint->hdc != nullptr)
        ReleaseDC(window, paint->hdc);
    return TRUE;
}

BOOL DrawStateA(HDC dc, HBRUSH brush, DRAWSTATEPROC callback, LPARAM data, WPARAM dataSize, int x, int y, int cx,
                int cy, UINT flags)
{
    if (dc == nullptr || (flags & 0xF) != DST_BITMAP)
        return FALSE;
    std::lock_guard<std::mutex> lock(gdiMutex);
    const GdiObject* o = lookup(reinterpret_cast<const void*>(data));
    return o != nullptr && o->kind == GdiObject::Bitmap ? TRUE : FALSE;
}
