#include "compat/ddraw/DrawDevice.h"

#include "compat/ddraw/DisplayState.h"
#include "compat/ddraw/DrawClipper.h"
#include "compat/ddraw/DrawSurface.h"
#include "compat/ddraw/HostPresenter.h"

namespace compat::ddraw {

namespace {

constexpr DWORD refreshRate = 60;

} // namespace

HRESULT DrawDevice::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectDraw || riid == IID_IDirectDraw4) {
        *object = static_cast<IDirectDraw4*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DrawDevice::AddRef() { return ++references; }

ULONG DrawDevice::Release()
{
    const ULONG remaining = --references;
    if (remaining == 0) {
        leaveExclusive();
        delete this;
    }
    return remaining;
}

void DrawDevice::leaveExclusive()
{
    DisplayState& state = DisplayState::instance();
    if (state.exclusiveOwner != this)
        return;
    state.exclusiveOwner = nullptr;
    state.changeMode(state.desktop);
}

HRESULT DrawDevice::CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer)
{
    if (clipper == nullptr || outer != nullptr)
        return DDERR_INVALIDPARAMS;
    *clipper = new DrawClipper();
    return DD_OK;
}

HRESULT DrawDevice::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface, IUnknown* outer)
{
    if (desc == nullptr || surface == nullptr || outer != nullptr)
        return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    DisplayState& state = DisplayState::instance();
    if (state.nextCreateSurfaceFailure != DD_OK) {
        const HRESULT failure = state.nextCreateSurfaceFailure;
        state.nextCreateSurfaceFailure = DD_OK;
        return failure;
    }

    const DWORD caps = (desc->dwFlags & DDSD_CAPS) != 0 ? desc->ddsCaps.dwCaps : 0;
    DrawSurface* made = nullptr;
    HRESULT result;
    if ((caps & DDSCAPS_PRIMARYSURFACE) != 0) {
        // No flipping chains: the game falls back to a separate back buffer that it blits.
        if ((caps & DDSCAPS_FLIP) != 0)
            return DDERR_NOFLIPHW;
        result = DrawSurface::create(this, state.mode.width, state.mode.height, state.mode.format, caps, &made);
    } else {
        if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT))
            return DDERR_INVALIDPARAMS;
        DDPIXELFORMAT format = state.mode.format;
        if ((desc->dwFlags & DDSD_PIXELFORMAT) != 0) {
            const DDPIXELFORMAT& asked = desc->ddpfPixelFormat;
            format = rgbFormat(asked.dwRGBBitCount, asked.dwRBitMask, asked.dwGBitMask, asked.dwBBitMask,
                               asked.dwRGBAlphaBitMask);
        }
        result = DrawSurface::create(this, desc->dwWidth, desc->dwHeight, format, caps, &made);
    }
    *surface = made;
    return result;
}

HRESULT DrawDevice::FlipToGDISurface() { return DD_OK; }

HRESULT DrawDevice::GetDisplayMode(LPDDSURFACEDESC2 desc)
{
    if (desc == nullptr)
        return DDERR_INVALIDPARAMS;
    const DisplayMode& mode = DisplayState::instance().mode;
    desc->dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    desc->dwWidth = mode.width;
    desc->dwHeight = mode.height;
    desc->lPitch = static_cast<LONG>(mode.width * (mode.format.dwRGBBitCount / 8));
    desc->dwRefreshRate = refreshRate;
    desc->ddpfPixelFormat = mode.format;
    return DD_OK;
}

HRESULT DrawDevice::SetCooperativeLevel(HWND window, DWORD flags)
{
    DisplayState& state = DisplayState::instance();
    if ((flags & DDSCL_EXCLUSIVE) != 0) {
        if ((flags & DDSCL_FULLSCREEN) == 0)
            return DDERR_INVALIDPARAMS;
        if (state.exclusiveOwner != nullptr && state.exclusiveOwner != this)
            return DDERR_EXCLUSIVEMODEALREADYSET;
        state.exclusiveOwner = this;
    } else if ((flags & DDSCL_NORMAL) != 0) {
        leaveExclusive();
    } else {
        return DDERR_INVALIDPARAMS;
    }
    state.window = window;
    return DD_OK;
}

HRESULT DrawDevice::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD rate, DWORD flags)
{
    DisplayState& state = DisplayState::instance();
    if (state.exclusiveOwner != this)
        return DDERR_NOEXCLUSIVEMODE;
    if (width == 0 || height == 0 || (bitsPerPixel != 16 && bitsPerPixel != 32))
        return DDERR_INVALIDMODE;
    state.changeMode({width, height, displayFormat(bitsPerPixel)});
    return DD_OK;
}

HRESULT DrawDevice::TestCooperativeLevel() { return DisplayState::instance().cooperativeLevelAnswer; }

} // namespace compat::ddraw

HRESULT DirectDrawCreate(GUID* device, LPDIRECTDRAW* directDraw, IUnknown* outer)
{
    if (directDraw == nullptr || outer != nullptr)
        return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (device != nullptr)
        return DDERR_INVALIDDIRECTDRAWGUID;
    compat::ddraw::connectHost();
    *directDraw = new compat::ddraw::DrawDevice();
    return DD_OK;
}
