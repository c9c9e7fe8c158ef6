// A clipper only remembers its window: surfaces clip blits to their own bounds.
#pragma once

#include "compat/ddraw/ddraw.h"

namespace compat::ddraw {

class DrawClipper final : public IDirectDrawClipper {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT SetHWnd(DWORD flags, HWND window) override;

    HWND window() const { return boundWindow; }

private:
    ~DrawClipper() = default;

    ULONG references = 1;
    HWND boundWindow = nullptr;
};

} // namespace compat::ddraw
