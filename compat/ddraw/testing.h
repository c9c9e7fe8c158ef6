// Test hooks that make the display failures the game handles happen on demand.
#pragma once

#include "compat/ddraw/ddraw.h"

namespace compat::testing {

// Every existing surface reports DDERR_SURFACELOST until it is restored or rebuilt.
void loseAllSurfaces();
// The display switches to 16-bit 5-6-5 or 32-bit X8R8G8B8 (the only depths accepted); existing
// surfaces are lost, as after a real mode change.
void setDisplayDepth(DWORD bitsPerPixel);
// The next CreateSurface of any DirectDraw object fails with this code.
void failNextCreateSurface(HRESULT code);
// What TestCooperativeLevel answers from now on (DD_OK by default).
void setTestCooperativeLevelResult(HRESULT code);
// Back to the windowed desktop display with nothing pending (for test fixtures).
void resetDisplay();

} // namespace compat::testing
