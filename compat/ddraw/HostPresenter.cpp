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

void HostPresenter::onPrimaryUpdated(IDirectDrawSurface4* primary, const RECT& area)
{
    const HWND window = compat::win32::hostedWindow();
    if (window == nullptr || primary == nullptr)
        return;
    RECT client;
    POINT origin = {0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin))
        return;
    DDSURFACEDESC2 desc{};
    if (primary->GetSurfaceDesc(&desc) != DD_OK)
        return;
    RECT shown = {std::max<LONG>(origin.x, 0), std::max<LONG>(origin.y, 0),
                  std::min<LONG>(origin.x + client.right, static_cast<LONG>(desc.dwWidth)),
                  std::min<LONG>(origin.y + client.bottom, static_cast<LONG>(desc.dwHeight))};
    if (shown.left >= shown.right || shown.top >= shown.bottom)
        return;
    if (area.right <= shown.left || area.left >= shown.right || area.bottom <= shown.top || area.top >= shown.bottom)
        return;
    DDSURFACEDESC2 locked{};
    if (primary->Lock(&shown, &locked, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK)
        return;
    compat::host::Frame frame;
    frame.pixels = locked.lpSurface;
    frame.pitch = locked.lPitch;
    frame.width = shown.right - shown.left;
    frame.height = shown.bottom - shown.top;
    frame.bitsPerPixel = static_cast<int>(locked.ddpfPixelFormat.dwRGBBitCount);
    compat::host::current().present(frame);
    primary->Unlock(&shown);
}

void connectHost()
{
    DisplayState& state = DisplayState::instance();
    if (state.observer == nullptr)
        state.observer = &HostPresenter::instance();
    if (state.exclusiveOwner == nullptr) {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        if (width > 0 && height > 0)
            setDesktopSize(static_cast<DWORD>(width), static_cast<DWORD>(height));
    }
}

} // namespace compat::ddraw
