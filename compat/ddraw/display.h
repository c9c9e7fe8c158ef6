// The host's side of the DirectDraw stand-in: the one display state that every DirectDraw object
// shares, and the hook through which a host shows the primary surface.
#pragma once

#include "compat/ddraw/ddraw.h"

namespace compat::ddraw {

struct DisplayMode {
    DWORD width;
    DWORD height;
    DDPIXELFORMAT format; // dwRGBBitCount is the depth
};

DisplayMode currentDisplayMode();
// The mode the display returns to when no program holds it exclusively.
DisplayMode desktopMode();
// A host reports the desktop's size; the windowed display always runs in 32-bit X8R8G8B8.
void setDesktopSize(DWORD width, DWORD height);

bool isExclusive();
// The window named by the last SetCooperativeLevel call.
HWND cooperativeWindow();

// Told whenever something was drawn into a primary surface (a blit, a fill, an unlock after
// writing, a released DC), with the area that changed. The host locks the surface to read it.
class PresentObserver {
public:
    virtual ~PresentObserver() = default;
    virtual void onPrimaryUpdated(IDirectDrawSurface4* primary, const RECT& area) = 0;
    // Whether the next update of this primary must be reported whole, because what the observer shows
    // is not known to match the primary's pixels (a new window, a missed update, another place on the
    // desktop). While it answers false, a copy into the primary that changes no pixel is not reported
    // at all, and one that changes a few reports only their area.
    virtual bool needsWholeUpdate(IDirectDrawSurface4* primary) { return false; }
    // The primary surface is being destroyed: it may no longer be read.
    virtual void onPrimaryGone(IDirectDrawSurface4* primary) {}
};
// null detaches; the caller keeps ownership.
void setPresentObserver(PresentObserver* observer);

} // namespace compat::ddraw
