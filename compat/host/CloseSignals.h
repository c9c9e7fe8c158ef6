// Termination requests from outside (SIGTERM, SIGINT, SIGHUP) end the program the way closing its
// window does: the handler only notes the request, and the window layer, at its next look at the
// host's events, hands the shown window a WM_CLOSE, so the game's own shutdown runs on its own thread.
// A second request while the first is still being handled ends the program at once.
#pragma once

namespace compat::host {

// Installs the handlers; the program's entry calls it once (test programs keep the default actions).
void closeWindowOnTerminationSignals();
// True once after a request arrived: the caller closes the window.
bool takeCloseRequest();

} // namespace compat::host
