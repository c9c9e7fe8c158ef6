// The millisecond clock and sleeping, as the frame loop uses them. Tests can swap the wall clock for a
// virtual one that only moves when Sleep is called or a test advances it, so pacing and timing are
// exact and no test waits for real time.
#pragma once

#include "compat/win32/base.h"

constexpr UINT TIMERR_NOERROR = 0;

// Milliseconds since an arbitrary start; wraps like the real 32-bit counter.
DWORD timeGetTime();
// The timer resolution requests: the clock here is always exact to the millisecond.
UINT timeBeginPeriod(UINT periodMs);
UINT timeEndPeriod(UINT periodMs);
void Sleep(DWORD milliseconds);

namespace compat::testing {

// On: timeGetTime reads a virtual clock that starts at startMs and moves only by Sleep and
// advanceClock. Off: back to the wall clock.
void useVirtualClock(bool on, DWORD startMs = 1000);
void advanceClock(DWORD milliseconds);
// Total milliseconds passed to Sleep since the virtual clock was switched on.
DWORD sleptMilliseconds();
// The virtual clock of a program run in lock-step by a test: only the calling thread (the frame loop's)
// moves it, by its Sleep calls; on every other thread Sleep waits in real time and leaves it alone, so
// a thread waiting for another neither spins nor moves the game's time.
void useSteppedClock(DWORD startMs = 1000);

} // namespace compat::testing
