// Per-pixel services of the software rasteriser: reading and writing native pixels in surface
// memory and clipping rectangles to a surface. Surface::getPixel and Surface::blendRect live here.
#pragma once

#include "platform/surface/SurfaceDesc.h"

// Clips the rectangle (x, y, width, height) to the surface described; false when nothing of it
// lies on the surface. Coordinates far outside int range arithmetic are handled.
bool clipRectToSurface(const SurfaceDesc& desc, int& x, int& y, int& width, int& height);
