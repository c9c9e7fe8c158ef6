// Shows the primary surface in the host's window: whatever is drawn into the part of the primary
// that lies under the window's client area is handed to the host as one frame.
#pragma once

#include "compat/ddraw/display.h"

namespace compat::ddraw {

class HostPresenter final : public PresentObserver {
public:
    void onPrimaryUpdated(IDirectDrawSurface4* primary, const RECT& area) override;
    bool needsWholeUpdate(IDirectDrawSurface4* primary) override;

    static HostPresenter& instance();
    // Forgets what the host holds (it was detached and may have missed changes).
    void restart() { inStep = false; }

private:
    // The part of the primary under the window's client area, and its depth; false when none.
    static bool shownArea(IDirectDrawSurface4* primary, RECT& shown, DWORD& bits);

    // What the host was last handed whole or in part: while `inStep` holds, the host's frame equals
    // the primary's pixels under `lastShown`, so only changed parts need to reach it.
    bool inStep = false;
    const IDirectDrawSurface4* lastPrimary = nullptr;
    RECT lastShown{};
    DWORD lastBits = 0;
};

// Attaches the presenter unless another observer is attached, and takes the desktop size from the
// window layer; DirectDrawCreate calls it.
void connectHost();

} // namespace compat::ddraw
