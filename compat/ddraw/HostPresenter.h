// Shows the primary surface in the host's window: whatever is drawn into the part of the primary
// that lies under the window's client area is handed to the host as one frame, with the pictures of
// the window's visible child windows laid over it. The presenter keeps its own copy of that part of
// the primary, so that when a child is drawn, shown, moved or hidden it can show the frame again
// without the game drawing anything.
#pragma once

#include "compat/ddraw/display.h"

#include <cstdint>
#include <vector>

namespace compat::ddraw {

class HostPresenter final : public PresentObserver {
public:
    void onPrimaryUpdated(IDirectDrawSurface4* primary, const RECT& area) override;
    bool needsWholeUpdate(IDirectDrawSurface4* primary) override;

    static HostPresenter& instance();
    // Forgets what the host holds (it was detached and may have missed changes).
    void restart() { inStep = false; }
    // Shows the kept frame again with the child windows as they are now.
    void refresh();

private:
    // The part of the primary under the window's client area, its depth, and the client area's
    // top-left corner on the desktop; false when none.
    static bool shownArea(IDirectDrawSurface4* primary, RECT& shown, DWORD& bits, POINT& client);
    // Hands the host the kept frame with the child windows' pictures over it (or, with none, the
    // locked pixels as they are); a negative width of `changed` means the whole frame.
    void present(const void* locked, LONG lockedPitch, const RECT& changed);

    // What the host was last handed whole or in part: while `inStep` holds, the host's frame equals
    // the primary's pixels under `lastShown` with the overlays of `lastOverlays` laid over them, so only
    // changed parts need to reach it.
    bool inStep = false;
    const IDirectDrawSurface4* lastPrimary = nullptr;
    RECT lastShown{};
    DWORD lastBits = 0;
    POINT lastClient{};
    std::uint64_t lastOverlays = 0;

    // The primary's pixels under `lastShown`, rows packed; and the frame made from them with overlays.
    std::vector<std::uint8_t> kept;
    std::vector<std::uint8_t> composed;
};

// Attaches the presenter unless another observer is attached, and takes the desktop size from the
// window layer; DirectDrawCreate calls it.
void connectHost();

} // namespace compat::ddraw
