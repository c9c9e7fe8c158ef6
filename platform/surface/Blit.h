// The blits through which most drawing goes. Each watches the drawing routine's result: when the
// display was lost (DDERR_SURFACELOST) or changed format (DDERR_INVALIDPIXELFORMAT), the objects
// involved restore themselves, each at most once per frame; every failure is recorded in the
// draw-error record. A failed blit is not repeated: the next frame draws again. A missing source or
// destination surface draws nothing and answers E_FAIL.
#pragma once

#include "compat/win32/base.h"

#include <cstdint>

class MemorySurface;
class Restorable;
class Surface;
class SurfaceHolder;

// Draws the holder's surface as its blit options say: through its mask map, with its constant alpha,
// both, or plainly. Without a restorer the holder and the destination restore themselves.
HRESULT blitSurface(SurfaceHolder* source, int sourceX, int sourceY, int width, int height, Surface* dest, int destX,
                    int destY, Restorable* restorer);
// Through the mask map when one is given, else plainly.
HRESULT blitSurfaceChecked(Surface* source, int sourceX, int sourceY, int width, int height, Surface* dest, int destX,
                           int destY, MemorySurface* mask, Restorable* restorer);
// With the constant alpha, and through the mask map when one is given.
HRESULT blitSurfaceAlphaChecked(Surface* source, int sourceX, int sourceY, int width, int height, Surface* dest,
                                int destX, int destY, MemorySurface* mask, std::uint8_t alpha, Restorable* restorer);
// blitSurface onto the destination holder's surface, clipped to the clip rectangle.
void blitSurfaceClipped(SurfaceHolder* source, int sourceX, int sourceY, int width, int height, SurfaceHolder* dest,
                        int destX, int destY, int clipX, int clipY, int clipWidth, int clipHeight,
                        Restorable* restorer);

// A short system beep for errors that have nowhere else to go.
void beepError();
