// Which windows wait to be painted, the calls that mark them so or paint them now, and the painting
// calls of a window procedure. A child of the shown window paints into a picture of its own, which the
// display lays over the game's frame (see overlays()).
#include "compat/win32/window/window_internal.h"

#include "compat/win32/gdi/dib.h"
#include "compat/win32/window/gdi_objects.h"

#include <algorithm>

using namespace compat::win32::detail;

namespace {

std::atomic<std::uint64_t> overlayChanges{0};
std::atomic<void (*)()> overlayListener{nullptr};

// Holds the picture for as long as a context draws into it, even when its window has been resized
// (and so given a new picture) or destroyed meanwhile. A base of its own so that it is there before
// the pixel context is made over it.
struct PictureHold {
    std::shared_ptr<compat::win32::WindowPicture> picture;
};

class WindowDC final : private PictureHold, public MemoryDC {
public:
    explicit WindowDC(std::shared_ptr<compat::win32::WindowPicture> held)
        : PictureHold{std::move(held)},
          MemoryDC(picture->pixels.data(), picture->width * 4, picture->width, picture->height, 32, 0, 0, 0, 0)
    {
    }

    int stretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                      int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) override
    {
        return note(MemoryDC::stretchDIBits(xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight,
                                            bits, info, usage, rop));
    }
    int setDIBitsToDevice(int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                          UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage) override
    {
        return note(MemoryDC::setDIBitsToDevice(xDest, yDest, width, height, xSrc, ySrc, startScan, scanLines, bits,
                                                info, usage));
    }
    bool drawText(int x, int y, const char* text, int length) override
    {
        return note(MemoryDC::drawText(x, y, text, length) ? 1 : 0) != 0;
    }

    // Whether anything reached the picture through this context.
    bool wrote = false;
    const std::shared_ptr<compat::win32::WindowPicture>& held() const { return picture; }

private:
    int note(int drawn)
    {
        if (drawn > 0)
            wrote = true;
        return drawn;
    }
};

// Contexts handed out and not yet released; guarded by tableMutex.
std::set<HDC>& liveWindowDCs = *new std::set<HDC>;

HWND topLevelOf(HWND window)
{
    Window* w = find(window);
    while (w != nullptr && (w->style & WS_CHILD) != 0 && w->parent != nullptr) {
        Window* parent = find(w->parent);
        if (parent == nullptr)
            return nullptr;
        w = parent;
    }
    return w != nullptr ? w->handle : nullptr;
}

// Whether the window and every parent of it below the shown window are visible.
bool shownOnHost(HWND window)
{
    for (Window* w = find(window); w != nullptr && w->handle != hosted; w = find(w->parent))
        if (!w->visible || w->dying)
            return false;
    return true;
}

} // namespace

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

HDC windowDC(HWND window)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr || (w->style & WS_CHILD) == 0 || hosted == nullptr || topLevelOf(window) != hosted)
        return nullptr;
    const SIZE size = clientSize(*w);
    const std::shared_ptr<compat::win32::WindowPicture> old = w->picture;
    if (old == nullptr || old->width != size.cx || old->height != size.cy) {
        // A new size keeps what the old picture showed where both overlap.
        auto picture = std::make_shared<compat::win32::WindowPicture>();
        picture->width = size.cx;
        picture->height = size.cy;
        picture->pixels.assign(static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy), 0);
        if (old != nullptr) {
            const int width = std::min(old->width, picture->width);
            for (int y = 0; y < std::min(old->height, picture->height); ++y)
                std::copy_n(old->pixels.begin() + static_cast<std::ptrdiff_t>(y) * old->width, width,
                            picture->pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture->width);
            picture->drawn = old->drawn;
        }
        w->picture = picture;
    }
    HDC dc = new WindowDC(w->picture);
    liveWindowDCs.insert(dc);
    return dc;
}

bool releaseWindowDC(HDC dc)
{
    bool changed = false;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        auto found = liveWindowDCs.find(dc);
        if (found == liveWindowDCs.end())
            return false;
        liveWindowDCs.erase(found);
        auto* windowDc = static_cast<WindowDC*>(dc);
        if (windowDc->wrote) {
            windowDc->held()->drawn = true;
            // Only a picture that shows now counts.
            for (const auto& entry : windows)
                if (entry.second.picture == windowDc->held())
                    changed = touchesOverlays(entry.first) && shownOnHost(entry.first);
        }
        delete windowDc;
    }
    if (changed)
        overlaysChanged();
    return true;
}

bool touchesOverlays(HWND window)
{
    if (hosted == nullptr || window == hosted || !isDescendant(window, hosted))
        return false;
    for (const auto& entry : windows)
        if (entry.second.picture != nullptr && entry.second.picture->drawn && !entry.second.destroying &&
            isDescendant(entry.first, window))
            return true;
    return false;
}

void overlaysChanged()
{
    ++overlayChanges;
    if (void (*listener)() = overlayListener.load())
        listener();
}

} // namespace compat::win32::detail

namespace compat::win32 {

std::vector<Overlay> overlays(HWND topLevel)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    std::vector<Overlay> out;
    for (const ShownChild& child : shownChildren(topLevel)) {
        const Window* w = find(child.handle);
        if (w != nullptr && w->picture != nullptr && w->picture->drawn)
            out.push_back({child.origin, child.visible, w->picture});
    }
    return out;
}

std::uint64_t overlayVersion() { return overlayChanges.load(); }

void setOverlayListener(void (*listener)()) { overlayListener.store(listener); }

} // namespace compat::win32

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
