// The system beeps: a short tone through the game's open audio device (nothing while none is open),
// never waiting for it to end. MessageBeep also records the sound type it was asked for, so tests can
// tell that a refusal was signalled.
#pragma once

#include "compat/win32/base.h"

#include <vector>

BOOL Beep(DWORD frequency, DWORD duration);
// type: the MB_ICON sound of the message box constants (0x30 the exclamation).
BOOL MessageBeep(UINT type);

namespace compat::testing {

// The types passed to MessageBeep since the last call, oldest first; the record is emptied.
std::vector<UINT> takeMessageBeeps();

} // namespace compat::testing
