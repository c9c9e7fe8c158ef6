#include "compat/ddraw/HostPresenter.h"

#include "compat/ddraw/DisplayState.h"
#include "compat/host/Host.h"
#include "compat/win32/window.h"

#include <algorithm>

namespace compat::ddraw {

HostPresenter& HostPresenter::instance()
{
    static HostPresenter presenter;
    return presenter;
}

bool HostPresenter::shownArea(IDirectDrawSurface4* primary, RECT& shown, DWORD& bits)
{
    const HWND window = compat::win32::hostedWindow();
    if (window == nullptr || primary == nullptr)
        return false;
    RECT client;
    POINT origin = {0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin))
        return false;
    DDSURFACEDESC2 desc{};
    if (primary->GetSurfaceDesc(&desc) != DD_OK)
        return false;
    shown = {std::max<LONG>(origin.x, 0), std::max<LONG>(origin.y, 0),
             std::min<LONG>(origin.x + client.right, static_cast<LONG>(desc.dwWidth)),
             std::min<LONG>(origin.y + client.bottom, static_cast<LONG>(desc.dwHeight))};
    bits = desc.ddpfPixelFormat.dwRGBBitCount;
    return shown.left < shown.right && shown.top < shown.bottom;
}

namespace {

bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

bool HostPresenter::needsWholeUpdate(IDirectDrawSurface4* primary)
{
    RECT shown;
    DWORD bits = 0;
    if (!inStep || primary != lastPrimary || !shownArea(primary, shown, bits))
        return true;
    return !sameRect(shown, lastShown) || bits != lastBits;
}

void HostPresenter::onPrimaryUpdated(IDirectDrawSurface4* primary, const RECT& area)
{
    RECT shown;
    DWORD bits = 0;
    if (!shownArea(primary, shown, bits)) {
        // The host misses this change: it gets the whole frame next time.
        inStep = false;
        return;
    }
    const bool whole = !inStep || primary != lastPrimary || !sameRect(shown, lastShown) || bits != lastBits;
    const RECT changed = {std::max(area.left, shown.left), std::max(area.top, shown.top),
                          std::min(area.right, shown.right), std::min(area.bottom, shown.bottom)};
    if (!whole && (changed.left >= changed.right || changed.top >= changed.bottom))
        return; // nothing the window shows changed
    DDSURFACEDESC2 locked{};
    if (primary->Lock(&shown, &locked, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK) {
        inStep = false;
        return;
    }
    compat::host::Frame frame;
    frame.pixels = locked.lpSurface;
    frame.pitch = locked.lPitch;
    frame.width = shown.right - shown.left;
    frame.height = shown.bottom - shown.top;
    frame.bitsPerPixel = static_cast<int>(locked.ddpfPixelFormat.dwRGBBitCount);
    if (!whole) {
        frame.changedX = changed.left - shown.left;
        frame.changedY = changed.top - shown.top;
        frame.changedWidth = changed.right - changed.left;
        frame.changedHeight = changed.bottom - changed.top;
    }
    compat::host::current().present(frame);
    primary->Unlock(&shown);
    inStep = true;
    lastPrimary = primary;
    lastShown = shown;
    lastBits = bits;
}

void connectHost()
{
    DisplayState& state = DisplayState::instance();
    if (state.observer == nullptr) {
        HostPresenter::instance().restart();
        state.observer = &HostPresenter::instance();
    }
    if (state.exclusiveOwner == nullptr) {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        if (width > 0 && height > 0)
            setDesktopSize(static_cast<DWORD>(width), static_cast<DWORD>(height));
    }
}

} // namespace compat::ddraw
