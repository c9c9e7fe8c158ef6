// A rectangle of a surface locked for the blending routines: through the surface's DirectDraw
// interface on just that rectangle, or, for a surface without one (a byte map), through
// Surface::lock of the whole surface. The destructor unlocks what is still locked.
#pragma once

#include "compat/ddraw/ddraw.h"
#include "platform/raster/PixelMath.h"

#include <cstddef>
#include <cstdint>

class Surface;

namespace raster {

class LockedRect {
public:
    LockedRect() = default;
    ~LockedRect() { unlock(); }
    LockedRect(const LockedRect&) = delete;
    LockedRect& operator=(const LockedRect&) = delete;

    // flags: DDLOCK_ values. A DirectDraw surface whose creation failed gives E_FAIL.
    HRESULT lock(Surface* surface, int x, int y, int width, int height, DWORD flags);
    void unlock();

    std::uint8_t* pixels = nullptr;  // the rectangle's top-left pixel
    std::ptrdiff_t pitch = 0;
    ChannelMasks masks;  // as the lock reports them

private:
    Surface* surface = nullptr;
    IDirectDrawSurface4* directDraw = nullptr;
    RECT rect{};
};

}  // namespace raster
