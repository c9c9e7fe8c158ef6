// The GTK 3 presenter of native windows (see NativePresenter.h). Internal to the host layer.
#pragma once

#include "compat/host/dialog/BoxPlacement.h"
#include "compat/host/Host.h"
#include "compat/host/dialog/NativePresenter.h"

#include <memory>

namespace compat::host {

// A presenter that knows when it shows nothing any more, so its thread can let the toolkit go.
class ToolkitPresenter : public NativePresenter {
public:
    // No window is shown.
    virtual bool idle() const = 0;
};

// Starts GTK on this thread; false when it cannot reach a display. Called once per process.
bool startGtk();
// A presenter for this thread; GTK must have started. The thread drives GTK while it holds it.
std::unique_ptr<ToolkitPresenter> makeGtkPresenter();
// Wakes whoever waits for GTK's events. Safe from any thread once GTK has started.
void wakeGtk();
// Shows the message box with GTK on this thread, which must drive it, centred on `game` and kept on
// `screen` (desktop pixels), above the X window `owner` (0: none); answers the chosen button's id, or -1
// when it was closed without an answer.
int showGtkMessageBox(const MessageBox& box, const Rect& screen, const Rect& game, unsigned long owner);
// The X window that shows a presented top-level window now, 0 for none.
unsigned long desktopWindowId(std::uintptr_t handle);

} // namespace compat::host
