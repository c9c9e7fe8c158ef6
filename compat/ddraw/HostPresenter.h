// Shows the primary surface in the host's window: whatever is drawn into the part of the primary
// that lies under the window's client area is handed to the host as one frame.
#pragma once

#include "compat/ddraw/display.h"

namespace compat::ddraw {

class HostPresenter final : public PresentObserver {
public:
    void onPrimaryUpdated(IDirectDrawSurface4* primary, const RECT& area) override;

    static HostPresenter& instance();
};

// Attaches the presenter unless another observer is attached, and takes the desktop size from the
// window layer; DirectDrawCreate calls it.
void connectHost();

} // namespace compat::ddraw
