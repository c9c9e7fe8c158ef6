#include "platform/surface/SurfaceFactory.h"

#include <new>

namespace {

SurfaceDesc sizeOnly(std::uint32_t width, std::uint32_t height)
{
    SurfaceDesc desc;
    desc.width = width;
    desc.height = height;
    return desc;
}

} // namespace

MemorySurface* createMemorySurfaceFromDesc(const SurfaceDesc& desc)
{
    MemorySurface* surface = new (std::nothrow) MemorySurface(desc);
    if (surface != nullptr && surface->pixels() == nullptr && desc.width != 0 && desc.height != 0) {
        // Every raster routine would write through the missing buffer.
        delete surface;
        return nullptr;
    }
    return surface;
}

MemorySurface* createMemorySurface(std::uint32_t width, std::uint32_t height)
{
    return createMemorySurfaceFromDesc(sizeOnly(width, height));
}

DirectDrawSurface* createDirectDrawSurfaceFromDesc(IDirectDraw4* directDraw, const SurfaceDesc& desc)
{
    return new (std::nothrow) DirectDrawSurface(directDraw, desc);
}

DirectDrawSurface* createDirectDrawSurface(IDirectDraw4* directDraw, std::uint32_t width, std::uint32_t height)
{
    return createDirectDrawSurfaceFromDesc(directDraw, sizeOnly(width, height));
}
