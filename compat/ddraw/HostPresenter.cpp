#include "compat/ddraw/HostPresenter.h"

#include "compat/ddraw/DisplayState.h"
#include "compat/host/Host.h"
#include "compat/win32/window/window.h"

#include <algorithm>
#include <cstring>

namespace compat::ddraw {

HostPresenter& HostPresenter::instance()
{
    static HostPresenter presenter;
    return presenter;
}

bool HostPresenter::shownArea(IDirectDrawSurface4* primary, RECT& shown, DWORD& bits, POINT& client)
{
    const HWND window = compat::win32::hostedWindow();
    if (window == nullptr || primary == nullptr)
        return false;
    RECT area;
    POINT origin = {0, 0};
    if (!GetClientRect(window, &area) || !ClientToScreen(window, &origin))
        return false;
    DDSURFACEDESC2 desc{};
    if (primary->GetSurfaceDesc(&desc) != DD_OK)
        return false;
    shown = {std::max<LONG>(origin.x, 0), std::max<LONG>(origin.y, 0),
             std::min<LONG>(origin.x + area.right, static_cast<LONG>(desc.dwWidth)),
             std::min<LONG>(origin.y + area.bottom, static_cast<LONG>(desc.dwHeight))};
    bits = desc.ddpfPixelFormat.dwRGBBitCount;
    client = origin;
    return shown.left < shown.right && shown.top < shown.bottom;
}

namespace {

bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Lays the child windows' pictures over a frame of packed rows (16-bit 5-6-5 or 32-bit X8R8G8B8);
// `offset` turns the window's client coordinates into the frame's.
void layOver(std::vector<std::uint8_t>& frame, LONG width, LONG height, DWORD bits, POINT offset,
             const std::vector<compat::win32::Overlay>& overlays)
{
    const std::size_t bytes = bits / 8;
    const std::size_t row = static_cast<std::size_t>(width) * bytes;
    for (const compat::win32::Overlay& overlay : overlays) {
        const compat::win32::WindowPicture& picture = *overlay.picture;
        const LONG left = overlay.origin.x + offset.x;
        const LONG top = overlay.origin.y + offset.y;
        const LONG x0 = std::max({overlay.visible.left + offset.x, left, LONG{0}});
        const LONG y0 = std::max({overlay.visible.top + offset.y, top, LONG{0}});
        const LONG x1 = std::min({overlay.visible.right + offset.x, left + picture.width, width});
        const LONG y1 = std::min({overlay.visible.bottom + offset.y, top + picture.height, height});
        for (LONG y = y0; y < y1; ++y) {
            const std::uint32_t* from = picture.pixels.data() + static_cast<std::size_t>(y - top) * picture.width +
                                        (x0 - left);
            std::uint8_t* to = frame.data() + static_cast<std::size_t>(y) * row + static_cast<std::size_t>(x0) * bytes;
            for (LONG x = x0; x < x1; ++x, ++from, to += bytes) {
                const std::uint32_t colour = *from & 0xFFFFFFu;
                if (bits == 32) {
                    std::memcpy(to, &colour, 4);
                } else {
                    const auto packed = static_cast<std::uint16_t>(((colour >> 8) & 0xF800u) |
                                                                   ((colour >> 5) & 0x07E0u) | ((colour >> 3) & 0x1Fu));
                    std::memcpy(to, &packed, 2);
                }
            }
        }
    }
}

} // namespace

bool HostPresenter::needsWholeUpdate(IDirectDrawSurface4* primary)
{
    RECT shown;
    DWORD bits = 0;
    POINT client;
    if (!inStep || primary != lastPrimary || !shownArea(primary, shown, bits, client))
        return true;
    return !sameRect(shown, lastShown) || bits != lastBits || client.x != lastClient.x || client.y != lastClient.y ||
           compat::win32::overlayVersion() != lastOverlays;
}

void HostPresenter::onPrimaryUpdated(IDirectDrawSurface4* primary, const RECT& area)
{
    RECT shown;
    DWORD bits = 0;
    POINT client;
    if (!shownArea(primary, shown, bits, client) || (bits != 16 && bits != 32)) {
        // The host misses this change: it gets the whole frame next time.
        inStep = false;
        return;
    }
    const std::uint64_t overlayState = compat::win32::overlayVersion();
    const bool whole = !inStep || primary != lastPrimary || !sameRect(shown, lastShown) || bits != lastBits ||
                       client.x != lastClient.x || client.y != lastClient.y || overlayState != lastOverlays;
    const RECT changed = {std::max(area.left, shown.left), std::max(area.top, shown.top),
                          std::min(area.right, shown.right), std::min(area.bottom, shown.bottom)};
    if (!whole && (changed.left >= changed.right || changed.top >= changed.bottom))
        return; // nothing the window shows changed
    DDSURFACEDESC2 locked{};
    if (primary->Lock(&shown, &locked, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK) {
        inStep = false;
        return;
    }
    inStep = true;
    lastPrimary = primary;
    lastShown = shown;
    lastBits = bits;
    lastClient = client;
    lastOverlays = overlayState;
    present(locked.lpSurface, locked.lPitch,
            whole ? RECT{0, 0, -1, -1}
                  : RECT{changed.left - shown.left, changed.top - shown.top, changed.right - shown.left,
                         changed.bottom - shown.top});
    primary->Unlock(&shown);
}

void HostPresenter::onPrimaryGone(IDirectDrawSurface4* primary)
{
    if (primary != lastPrimary)
        return;
    lastPrimary = nullptr;
    inStep = false;
}

void HostPresenter::refresh()
{
    if (!inStep || lastPrimary == nullptr || DisplayState::instance().observer != this)
        return;
    RECT shown;
    DWORD bits = 0;
    POINT client;
    DDSURFACEDESC2 locked{};
    // Anything else than the frame the host holds, drawn again, is left to the next update, whole.
    if (!shownArea(lastPrimary, shown, bits, client) || !sameRect(shown, lastShown) || bits != lastBits ||
        client.x != lastClient.x || client.y != lastClient.y ||
        lastPrimary->Lock(&shown, &locked, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK) {
        inStep = false;
        return;
    }
    lastOverlays = compat::win32::overlayVersion();
    present(locked.lpSurface, locked.lPitch, RECT{0, 0, -1, -1});
    lastPrimary->Unlock(&shown);
}

void HostPresenter::present(const void* pixels, LONG pitch, const RECT& changed)
{
    const LONG width = lastShown.right - lastShown.left;
    const LONG height = lastShown.bottom - lastShown.top;
    const HWND window = compat::win32::hostedWindow();
    const std::vector<compat::win32::Overlay> overlays =
        window != nullptr ? compat::win32::overlays(window) : std::vector<compat::win32::Overlay>{};
    compat::host::Frame frame;
    frame.width = width;
    frame.height = height;
    frame.bitsPerPixel = static_cast<int>(lastBits);
    frame.pixels = pixels;
    frame.pitch = pitch;
    if (!overlays.empty()) {
        const std::size_t row = static_cast<std::size_t>(width) * (lastBits / 8);
        composed.resize(row * static_cast<std::size_t>(height));
        for (LONG y = 0; y < height; ++y)
            std::memcpy(composed.data() + static_cast<std::size_t>(y) * row,
                        static_cast<const std::uint8_t*>(pixels) + static_cast<std::ptrdiff_t>(y) * pitch, row);
        layOver(composed, width, height, lastBits, POINT{lastClient.x - lastShown.left, lastClient.y - lastShown.top},
                overlays);
        frame.pixels = composed.data();
        frame.pitch = static_cast<int>(row);
    }
    if (changed.right >= 0) {
        frame.changedX = changed.left;
        frame.changedY = changed.top;
        frame.changedWidth = changed.right - changed.left;
        frame.changedHeight = changed.bottom - changed.top;
    }
    compat::host::current().present(frame);
}

namespace {
void showOverlays() { HostPresenter::instance().refresh(); }
} // namespace

void connectHost()
{
    DisplayState& state = DisplayState::instance();
    if (state.observer == nullptr) {
        HostPresenter::instance().restart();
        state.observer = &HostPresenter::instance();
    }
    compat::win32::setOverlayListener(showOverlays);
    if (state.exclusiveOwner == nullptr) {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        const int height = GetSystemMetrics(SM_CYSCREEN);
        if (width > 0 && height > 0)
            setDesktopSize(static_cast<DWORD>(width), static_cast<DWORD>(height));
    }
}

} // namespace compat::ddraw
