// Rectangle and line primitives of the software rasteriser. They work on any Surface through its
// lock, so the same code draws into the back buffer, a decoded image and an 8-bit mask map.
// Colours are 0xAARRGGBB, packed here to the surface's native pixel; every routine clips to the
// surface and records a failed lock as the last draw error.
#pragma once

#include "compat/win32/base.h"

#include <cstdint>

class Surface;

// 8, 16 and 32 bits per pixel. Returns 0.
HRESULT fillRectClipped(Surface* surface, int x, int y, int width, int height, std::uint32_t colour);
// Moves every pixel toward colour (0x00RRGGBB) by alpha (0 keeps, 255 gives the colour); 16 and
// 32 bits. Returns 0.
HRESULT tintRectClipped(Surface* surface, int x, int y, int width, int height, std::uint32_t colour,
                        std::uint32_t alpha);
// The outline, one pixel wide, corners included. Returns 0.
HRESULT drawRect(Surface* surface, int x, int y, int width, int height, std::uint32_t colour);
// Pixels x1..x2 of row y; y2 is not used. Returns a failed lock's result, else 0.
HRESULT drawHLine(Surface* surface, int x1, int y, int x2, int y2, std::uint32_t colour);
// Pixels y1..y2 of column x; x2 is not used.
HRESULT drawVLine(Surface* surface, int x, int y1, int x2, int y2, std::uint32_t colour);
// Complements every pixel of the rectangle; 16 and 32 bits. Returns 0.
HRESULT invertRect(Surface* surface, int x, int y, int width, int height);
// Stores the byte in width bytes of each row from byte x of row y, whatever the depth (meant for
// 8-bit mask maps). Returns 0.
HRESULT fillRect8(Surface* surface, int x, int y, int width, int height, std::uint8_t value);
