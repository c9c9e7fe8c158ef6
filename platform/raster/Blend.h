// Blending and colour-keyed blits of the software rasteriser: a rectangle of a source surface mixed
// into a destination surface pixel by pixel, by a constant alpha, through an 8-bit mask map, or as a
// solid tint; and the clipped hardware copy.
//
// The rectangle arguments are source, source x, source y, width, height, destination, destination x,
// destination y. Every routine clips the rectangle to the destination and to the source (and to the
// mask map, which is read at source coordinates), so nothing outside any of them is touched.
// Results: 0, also when nothing is left after clipping; DDERR_INVALIDPIXELFORMAT when the two surfaces'
// formats differ; a failed Lock's or BltFast's code; -1 for formats without blending (24-bit, 8-bit).
#pragma once

#include "compat/win32/base.h"

#include <cstdint>

class Surface;

// The whole source at (x, y) through bltFastClipped.
HRESULT drawSurfaceClipped(Surface* source, Surface* destination, int x, int y);
// IDirectDrawSurface4::BltFast of the clipped rectangle, keyed when the source has a colour key.
HRESULT bltFastClipped(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                       int dstY);

// Constant alpha (0 keeps the destination, 255 stands for the source), by the MMX flag and the
// source's colour key.
HRESULT blitAlpha(Surface* source, Surface* destination, int x, int y, std::uint8_t alpha);
HRESULT blitAlphaRect(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                      int dstY, std::uint8_t alpha);
// Per-pixel alpha from the mask map (one byte per source pixel, rows of the map's width), by the MMX flag.
HRESULT blitAlphaMask(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                      int dstY, Surface* mask);
// Per-pixel alpha scaled by alpha: (map byte * alpha) >> 8, which never reaches 255.
HRESULT blitBlendDispatch(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                          int dstY, Surface* mask, std::uint8_t alpha);
// The tint colour (a native pixel of the destination's format) through the mask map scaled by alpha.
HRESULT blitTinted(Surface* mask, int mapX, int mapY, int width, int height, Surface* destination, int dstX, int dstY,
                   std::uint32_t tint, std::uint8_t alpha);

// The workers the dispatchers choose from; each takes the rectangle arguments.
HRESULT blendRectPlain(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                       int dstY, std::uint8_t alpha);
HRESULT blendRectKeyedPlain(Surface* source, int srcX, int srcY, int width, int height, Surface* destination,
                            int dstX, int dstY, std::uint8_t alpha);
HRESULT blendRectMmx(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                     int dstY, std::uint8_t alpha);
HRESULT blendRectKeyedMmx(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                          int dstY, std::uint8_t alpha);
HRESULT blendMaskPlain(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                       int dstY, Surface* mask);
HRESULT blendMaskMmx(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                     int dstY, Surface* mask);
HRESULT blendMaskAlpha(Surface* source, int srcX, int srcY, int width, int height, Surface* destination, int dstX,
                       int dstY, Surface* mask, std::uint8_t alpha);
