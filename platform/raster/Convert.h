// Rectangle copies that change the pixels on the way: a copy between two pixel formats through
// 8-bit channels, and the byte-wise combination of one 8-bit mask map into another.
//
// The rectangle arguments are source, source x, source y, width, height, destination, destination x,
// destination y. The rectangle is clipped to the destination and to the source; pixels are reached
// through Surface::lock, so DirectDraw surfaces and byte maps work alike. A failed lock is recorded as
// the last draw error and draws nothing. All return 0.
#pragma once

#include "compat/win32/base.h"
#include "platform/raster/MaskCombine.h"

#include <cstdint>

class Surface;

// Converts between 16- and 32-bit formats in any pairing; other depths are left alone.
HRESULT blitConverted(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                      int dstY);
HRESULT drawSurfaceConverted(Surface* source, Surface* destination, int x, int y);

// Both surfaces are read as one byte per pixel, whatever their format. Inactive modes do nothing.
HRESULT combineMask(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                    int dstY, int mode);
HRESULT drawMaskCombined(Surface* source, Surface* destination, int x, int y, int mode);
// As combineMask with every source byte first scaled by the factor (meant to lie between 0 and 1).
HRESULT combineMaskScaled(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                          int dstY, int mode, float factor);
HRESULT drawMaskCombinedScaled(Surface* source, Surface* destination, int x, int y, int mode, float factor);
