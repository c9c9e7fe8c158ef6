#include "platform/surface/Blit.h"

#include "compat/ddraw/ddraw.h"
#include "compat/win32/system/notify/beep.h"
#include "platform/surface/DisplayDepth.h"
#include "platform/surface/DrawError.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/SurfaceHolder.h"
#include "platform/raster/Blend.h"

#include <algorithm>

namespace {

// What every blit does with its drawing routine's result r.
HRESULT afterBlit(HRESULT r, Restorable* source, Restorable* dest, Restorable* restorer)
{
    if (r >= 0)
        return r;
    // The display runs in another depth than the back buffer: the display itself is being rebuilt,
    // and restoring single surfaces now would only rebuild them in the wrong format.
    if (isDisplayDepthChanged()) {
        recordDrawError(r);
        return r;
    }
    if (r == DDERR_INVALIDPIXELFORMAT || r == DDERR_SURFACELOST) {
        Restorable* first = restorer ? restorer : source;
        if (first)
            first->check();
        if (dest)
            dest->check();
    }
    recordDrawError(r);
    return r;
}

} // namespace

HRESULT blitSurface(SurfaceHolder* source, int sourceX, int sourceY, int width, int height, Surface* dest, int destX,
                    int destY, Restorable* restorer)
{
    Surface* surface = source ? source->getSurface() : nullptr;
    if (!surface || !dest)
        return E_FAIL;
    const BlitOptions& options = *source->getOptions();
    // A holder asked to blend through a mask map that it does not have is drawn plainly.
    MemorySurface* mask = (options.flags & BlitOptions::BlendMask) ? source->getMask() : nullptr;
    bool alpha = (options.flags & BlitOptions::BlendAlpha) != 0;
    HRESULT r;
    if (mask && alpha)
        r = blitBlendDispatch(surface, sourceX, sourceY, width, height, dest, destX, destY, mask, options.alpha);
    else if (alpha)
        r = blitAlphaRect(surface, sourceX, sourceY, width, height, dest, destX, destY, options.alpha);
    else if (mask)
        r = blitAlphaMask(surface, sourceX, sourceY, width, height, dest, destX, destY, mask);
    else
        r = bltFastClipped(surface, sourceX, sourceY, width, height, dest, destX, destY);
    return afterBlit(r, source, dest, restorer);
}

HRESULT blitSurfaceChecked(Surface* source, int sourceX, int sourceY, int width, int height, Surface* dest, int destX,
                           int destY, MemorySurface* mask, Restorable* restorer)
{
    if (!source || !dest)
        return E_FAIL;
    HRESULT r = mask ? blitAlphaMask(source, sourceX, sourceY, width, height, dest, destX, destY, mask)
                     : bltFastClipped(source, sourceX, sourceY, width, height, dest, destX, destY);
    return afterBlit(r, source, dest, restorer);
}

HRESULT blitSurfaceAlphaChecked(Surface* source, int sourceX, int sourceY, int width, int height, Surface* dest,
                                int destX, int destY, MemorySurface* mask, std::uint8_t alpha, Restorable* restorer)
{
    if (!source || !dest)
        return E_FAIL;
    HRESULT r = mask ? blitBlendDispatch(source, sourceX, sourceY, width, height, dest, destX, destY, mask, alpha)
                     : blitAlphaRect(source, sourceX, sourceY, width, height, dest, destX, destY, alpha);
    return afterBlit(r, source, dest, restorer);
}

void blitSurfaceClipped(SurfaceHolder* source, int sourceX, int sourceY, int width, int height, SurfaceHolder* dest,
                        int destX, int destY, int clipX, int clipY, int clipWidth, int clipHeight,
                        Restorable* restorer)
{
    long long x0 = std::max(destX, clipX), y0 = std::max(destY, clipY);
    long long w = std::min(static_cast<long long>(destX) + width, static_cast<long long>(clipX) + clipWidth) - x0;
    long long h = std::min(static_cast<long long>(destY) + height, static_cast<long long>(clipY) + clipHeight) - y0;
    if (w < 1 || h < 1 || !dest)
        return;
    blitSurface(source, sourceX + static_cast<int>(x0 - destX), sourceY + static_cast<int>(y0 - destY),
                static_cast<int>(w), static_cast<int>(h), dest->getSurface(), static_cast<int>(x0),
                static_cast<int>(y0), restorer);
}

void beepError()
{
    Beep(1000, 500);
}
