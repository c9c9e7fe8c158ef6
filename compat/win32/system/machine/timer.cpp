#include "compat/win32/system/machine/timer.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic<bool> virtualOn{false};
std::atomic<DWORD> virtualNow{0};
std::atomic<DWORD> slept{0};
// With the stepped clock, the one thread whose Sleep moves the virtual clock; none: every thread's does.
std::atomic<std::thread::id> stepper{std::thread::id()};

bool movesClock()
{
    const std::thread::id only = stepper.load();
    return only == std::thread::id() || only == std::this_thread::get_id();
}

DWORD wallClock()
{
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    // The real counter starts at the machine's boot; any non-zero start will do, and the wrap
    // arithmetic of the callers is exercised either way.
    return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now() - start).count()) + 1000u;
}

} // namespace

DWORD timeGetTime()
{
    return virtualOn ? virtualNow.load() : wallClock();
}

UINT timeBeginPeriod(UINT) { return TIMERR_NOERROR; }
UINT timeEndPeriod(UINT) { return TIMERR_NOERROR; }

void Sleep(DWORD milliseconds)
{
    if (virtualOn && movesClock()) {
        virtualNow += milliseconds;
        slept += milliseconds;
        return;
    }
    if (milliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace compat::testing {

void useVirtualClock(bool on, DWORD startMs)
{
    virtualNow = startMs;
    slept = 0;
    stepper = std::thread::id();
    virtualOn = on;
}

void useSteppedClock(DWORD startMs)
{
    useVirtualClock(true, startMs);
    stepper = std::this_thread::get_id();
}

void advanceClock(DWORD milliseconds) { virtualNow += milliseconds; }

DWORD sleptMilliseconds() { return slept; }

} // namespace compat::testing
