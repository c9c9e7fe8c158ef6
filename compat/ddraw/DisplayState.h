// The display state shared by every DirectDraw object of the process.
#pragma once

#include "compat/ddraw/display.h"

#include <cstdint>

namespace compat::ddraw {

class DrawDevice;

struct DisplayState {
    DisplayMode desktop;
    DisplayMode mode;
    const DrawDevice* exclusiveOwner = nullptr;
    HWND window = nullptr;
    // Surfaces made in an older generation are lost; every mode change starts a new one.
    std::uint64_t generation = 1;
    HRESULT nextCreateSurfaceFailure = DD_OK;
    HRESULT cooperativeLevelAnswer = DD_OK;
    PresentObserver* observer = nullptr;

    static DisplayState& instance();

    // Switches the display to a mode; when it differs from the current one, every surface is lost.
    void changeMode(const DisplayMode& next);
};

DDPIXELFORMAT rgbFormat(DWORD bitsPerPixel, DWORD red, DWORD green, DWORD blue, DWORD alpha);
// The display formats: 16-bit 5-6-5 and 32-bit X8R8G8B8.
DDPIXELFORMAT displayFormat(DWORD bitsPerPixel);

} // namespace compat::ddraw
