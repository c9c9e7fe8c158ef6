#include "platform/raster/LockedRect.h"

#include "platform/surface/DirectDrawSurface.h"

namespace raster {

HRESULT LockedRect::lock(Surface* target, int x, int y, int width, int height, DWORD flags)
{
    unlock();
    if (auto* dds = dynamic_cast<DirectDrawSurface*>(target)) {
        IDirectDrawSurface4* iface = dds->getInterface();
        if (iface == nullptr)
            return E_FAIL;
        RECT area{x, y, x + width, y + height};
        DDSURFACEDESC2 ddsd{};
        ddsd.dwSize = 124;  // the 32-bit size the interface expects
        const HRESULT hr = iface->Lock(&area, &ddsd, flags, nullptr);
        if (FAILED(hr))
            return hr;
        surface = target;
        directDraw = iface;
        rect = area;
        pixels = static_cast<std::uint8_t*>(ddsd.lpSurface);
        pitch = ddsd.lPitch;
        masks = {ddsd.ddpfPixelFormat.dwRBitMask, ddsd.ddpfPixelFormat.dwGBitMask, ddsd.ddpfPixelFormat.dwBBitMask};
        return S_OK;
    }

    const HRESULT hr = target->lock();
    if (FAILED(hr))
        return hr;
    surface = target;
    auto* base = static_cast<std::uint8_t*>(target->pixels());
    if (base == nullptr) {
        unlock();
        return E_FAIL;
    }
    const SurfaceDesc& desc = target->getDesc();
    const std::ptrdiff_t bytes = (desc.format.bitsPerPixel + 7) / 8;
    pitch = desc.pitch;
    pixels = base + y * pitch + x * bytes;
    masks = {desc.format.redMask, desc.format.greenMask, desc.format.blueMask};
    return S_OK;
}

void LockedRect::unlock()
{
    if (surface == nullptr)
        return;
    if (directDraw != nullptr)
        directDraw->Unlock(&rect);
    else
        surface->unlock();
    surface = nullptr;
    directDraw = nullptr;
    pixels = nullptr;
}

}  // namespace raster
