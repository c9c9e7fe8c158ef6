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
};
// null detaches; the caller keeps ownership.
void setPresentObserver(PresentObserver* observer);

} // namespace compat::ddraw
