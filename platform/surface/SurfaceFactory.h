// The ways the program makes surfaces. Each returns the new object with a reference count of 0
// (the caller adds the first reference), or null when it could not be had.
#pragma once

#include "compat/ddraw/ddraw.h"
#include "platform/surface/DirectDrawSurface.h"
#include "platform/surface/MemorySurface.h"

#include <cstdint>

MemorySurface* createMemorySurface(std::uint32_t width, std::uint32_t height);
MemorySurface* createMemorySurfaceFromDesc(const SurfaceDesc& desc);
DirectDrawSurface* createDirectDrawSurfaceFromDesc(IDirectDraw4* directDraw, const SurfaceDesc& desc);
// In the display's pixel format, in system memory.
DirectDrawSurface* createDirectDrawSurface(IDirectDraw4* directDraw, std::uint32_t width, std::uint32_t height);
