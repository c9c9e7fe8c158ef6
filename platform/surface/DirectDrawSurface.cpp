#include "platform/surface/DirectDrawSurface.h"

#include "runtime/GameException.h"

namespace {

constexpr DWORD ddsdSize = 124;
constexpr DWORD pixelFormatSize = 32;

bool fallsBackToSystemMemory(HRESULT result, bool videoMemoryAsked)
{
    if (result == DDERR_OUTOFVIDEOMEMORY || result == DDERR_NODIRECTDRAWHW)
        return true;
    return videoMemoryAsked
        && (result == DDERR_TOOBIGHEIGHT || result == DDERR_TOOBIGWIDTH || result == DDERR_TOOBIGSIZE);
}

} // namespace

DirectDrawSurface::DirectDrawSurface(IDirectDraw4* directDraw, const SurfaceDesc& desc) : Surface(desc)
{
    description.kind = SurfaceDesc::DirectDrawKind;
    freshDDSD();
    createResult = create(directDraw);
}

DirectDrawSurface::DirectDrawSurface(IDirectDrawSurface4* existing) : surface(existing)
{
    wrapped = 1;
    description.kind = SurfaceDesc::DirectDrawKind;
    freshDDSD();
    if (surface != nullptr) {
        surface->AddRef();
        createResult = refreshDesc();
    } else {
        createResult = E_FAIL;
    }
}

DirectDrawSurface::~DirectDrawSurface()
{
    if (surface != nullptr)
        surface->Release();
}

void DirectDrawSurface::freshDDSD()
{
    ddsd = std::make_unique<DDSURFACEDESC2>();
    ddsd->dwSize = ddsdSize;
}

void* DirectDrawSurface::pixels() { return ddsd ? ddsd->lpSurface : nullptr; }

HRESULT DirectDrawSurface::lock()
{
    if (surface == nullptr)
        return E_FAIL;
    const HRESULT result = surface->Lock(nullptr, ddsd.get(), DDLOCK_WAIT, nullptr);
    description.updateFromDDSD(*ddsd);
    return result;
}

HRESULT DirectDrawSurface::lockToOverwrite()
{
    if (surface == nullptr)
        return E_FAIL;
    const HRESULT result =
        surface->Lock(nullptr, ddsd.get(), DDLOCK_WAIT | DDLOCK_WRITEONLY | DDLOCK_DISCARDCONTENTS, nullptr);
    description.updateFromDDSD(*ddsd);
    return result;
}

void DirectDrawSurface::unlock()
{
    if (surface != nullptr)
        surface->Unlock(nullptr);
}

HRESULT DirectDrawSurface::restore() { return surface != nullptr ? surface->Restore() : S_OK; }

HRESULT DirectDrawSurface::fill(std::uint32_t value)
{
    if (surface == nullptr)
        return E_FAIL;
    DDBLTFX effects{};
    effects.dwSize = 100;
    effects.dwFillColor = value;
    return surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
}

void DirectDrawSurface::setColorKey(const std::uint32_t* colour)
{
    description.setColorKey(colour);
    if (surface == nullptr)
        return;
    if (colour == nullptr) {
        surface->SetColorKey(DDCKEY_SRCBLT, nullptr);
        return;
    }
    DDCOLORKEY key = {description.nativeColorKey, description.nativeColorKey};
    surface->SetColorKey(DDCKEY_SRCBLT, &key);
}

void DirectDrawSurface::setColorKeyValue(std::uint32_t colour) { setColorKey(&colour); }

HRESULT DirectDrawSurface::refreshDesc()
{
    const HRESULT result = surface->GetSurfaceDesc(ddsd.get());
    if (SUCCEEDED(result))
        description.updateFromDDSD(*ddsd);
    return result;
}

HRESULT DirectDrawSurface::create(IDirectDraw4* directDraw)
{
    const bool videoMemory = description.usesVideoMemory();
    DDSURFACEDESC2 request{};
    request.dwSize = ddsdSize;
    request.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    request.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | (videoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY);
    const PixelFormat& format = description.format;
    if (format.bitsPerPixel == 16 || format.bitsPerPixel == 32) {
        // Other depths (0 in particular) give no format: DirectDraw uses the display's.
        request.dwFlags |= DDSD_PITCH | DDSD_PIXELFORMAT;
        request.lPitch = static_cast<LONG>(description.width * (format.bitsPerPixel / 8));
        if (format.bitsPerPixel == 32) {
            request.ddpfPixelFormat.dwSize = pixelFormatSize;
            request.ddpfPixelFormat.dwFlags = DDPF_RGB;
        }
        request.ddpfPixelFormat.dwRGBBitCount = format.bitsPerPixel;
        request.ddpfPixelFormat.dwRBitMask = format.redMask;
        request.ddpfPixelFormat.dwGBitMask = format.greenMask;
        request.ddpfPixelFormat.dwBBitMask = format.blueMask;
        request.ddpfPixelFormat.dwRGBAlphaBitMask = format.alphaMask;
    }
    request.dwWidth = description.width;
    request.dwHeight = description.height;

    HRESULT result = directDraw->CreateSurface(&request, &surface, nullptr);
    if (FAILED(result) && fallsBackToSystemMemory(result, videoMemory)) {
        request.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        result = directDraw->CreateSurface(&request, &surface, nullptr);
    }
    if (result == E_OUTOFMEMORY)
        throw GameTextException(0, "ERROR - There is not enough memory to continue the game!\n");
    if (FAILED(result))
        return result;

    const HRESULT refreshed = refreshDesc();
    setColorKey(description.colorKey.get()); // a key set before creation reaches the new surface
    return refreshed;
}

HRESULT DirectDrawSurface::recreate()
{
    if (surface == nullptr)
        return E_FAIL;
    IDirectDraw4* directDraw = nullptr;
    HRESULT result = surface->GetDDInterface(reinterpret_cast<LPVOID*>(&directDraw));
    if (FAILED(result))
        return result;
    surface->Release();
    surface = nullptr;
    // A zero format makes the new surface take the display's current format.
    description.format.set(0, 0, 0, 0, 0);
    description.kind = SurfaceDesc::DirectDrawKind;
    freshDDSD();
    try {
        result = create(directDraw);
    } catch (...) {
        directDraw->Release();
        throw;
    }
    directDraw->Release();
    return result;
}

void DirectDrawSurface::restoreLost()
{
    if (surface == nullptr)
        return;
    if (surface->IsLost() != DD_OK) {
        recreate();
        return;
    }
    // Every DirectDraw object shares the one display, so the surface's own creator tells its depth.
    IDirectDraw4* directDraw = nullptr;
    if (FAILED(surface->GetDDInterface(reinterpret_cast<LPVOID*>(&directDraw))))
        return;
    const std::uint32_t depth = getDisplayBitDepth(directDraw);
    directDraw->Release();
    if (depth != description.format.bitsPerPixel)
        recreate();
}

std::uint32_t getDisplayBitDepth(IDirectDraw4* directDraw)
{
    DDSURFACEDESC2 mode{};
    mode.dwSize = 124;
    directDraw->GetDisplayMode(&mode);
    return mode.ddpfPixelFormat.dwRGBBitCount;
}
