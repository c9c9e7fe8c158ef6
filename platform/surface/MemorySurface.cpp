#include "platform/surface/MemorySurface.h"

#include "platform/raster/Fill.h"

#include <new>

MemorySurface::MemorySurface(const SurfaceDesc& desc) : Surface(desc)
{
    description.kind = SurfaceDesc::MemoryKind;
    description.format.set(0xFF, 0xFF, 0xFF, 0xFF, 8);
    description.pitch = static_cast<std::int32_t>(description.width);
    const std::size_t bytes = static_cast<std::size_t>(description.width) * description.height;
    buffer.reset(new (std::nothrow) std::uint8_t[bytes]);
}

HRESULT MemorySurface::fill(std::uint32_t colour)
{
    return fillRectClipped(this, 0, 0, static_cast<int>(description.width), static_cast<int>(description.height),
                           colour);
}
