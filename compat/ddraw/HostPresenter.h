// Shows the primary surface in the host's window: whatever is drawn into the part of the primary
// that lies under the window's client area is handed to the host as one frame, with the pictures of
// the window's visible child windows laid over it. When a child is drawn, shown, moved or hidden, the
// presenter reads that part of the primary again and shows it anew, without the game drawing anything.
#pragma once

#include "compat/ddraw/display.h"

#include <cstdint>
#include <vector>

namespace compat::ddraw {

class HostPresenter final : public PresentObserver {
public:
    void onPrimaryUpdated(IDirectDrawSurface4* primary, const RECT& area) override;
    bool needsWholeUpdate(IDirectDrawSurface4* primary) override;
    void onPrimaryGone(IDirectDrawSurface4* primary) override;

    static HostPresenter& instance();
    // Forgets what the host holds (it was detached and may have missed changes).
    void restart() { inStep = false; }
    // Shows the primary's frame again with the child windows as they are now.
    void refresh();

private:
    // The part of the primary under the window's client area, its depth, and the client area's
    // top-left corner on the desktop; false when none.
    static bool shownArea(IDirectDrawSurface4* primary, RECT& shown, DWORD& bits, POINT& client);
    // Hands the host the locked part of the primary, with the child windows' pictures laid over a
    // copy of it when there are any; a negative right edge of `changed` means the whole frame.
    void present(const void* pixels, LONG pitch, const RECT& changed);

    // What the host was last handed whole or in part: while `inStep` holds, the host's frame equals
    // the primary's pixels under `lastShown` with the overlays of `lastOverlays` laid over them, so only
    // changed parts need to reach it.
    bool inStep = false;
    IDirectDrawSurface4* lastPrimary = nullptr; // null once destroyed
    RECT lastShown{};
    DWORD lastBits = 0;
    POINT lastClient{};
    std::uint64_t lastOverlays = 0;

    // The frame with the overlays laid over it, rows packed.
    std::vector<std::uint8_t> composed;
};

// Attaches the presenter unless another observer is attached, and takes the desktop size from the
// window layer; DirectDrawCreate calls it.
void connectHost();

} // namespace compat::ddraw
