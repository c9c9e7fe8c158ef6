// The DirectDraw object. Every instance works on the one shared display state; surfaces and the
// exclusive hold of the display are what tie an instance to it.
#pragma once

#include "compat/ddraw/ddraw.h"

namespace compat::ddraw {

class DrawDevice final : public IDirectDraw4 {
public:
    DrawDevice() = default;

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override;
    HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface, IUnknown* outer) override;
    HRESULT FlipToGDISurface() override;
    HRESULT GetDisplayMode(LPDDSURFACEDESC2 desc) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate, DWORD flags) override;
    HRESULT TestCooperativeLevel() override;

private:
    ~DrawDevice() = default;

    // Gives up an exclusive hold: the display goes back to the desktop mode.
    void leaveExclusive();

    ULONG references = 1;
};

} // namespace compat::ddraw
