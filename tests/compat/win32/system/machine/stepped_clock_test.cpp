// The stepped clock of a program run in lock-step: only the thread that switched it on moves it, by
// sleeping; any other thread's Sleep waits in real time and leaves the game's time alone.
#include "compat/win32/system/machine/timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(SteppedClock, OnlyTheSteppingThreadMovesItAndOthersReallyWait)
{
    compat::testing::useSteppedClock(5000);
    EXPECT_EQ(timeGetTime(), 5000u);
    Sleep(20);
    EXPECT_EQ(timeGetTime(), 5020u);

    DWORD seenThere = 0;
    std::chrono::steady_clock::duration waited{};
    std::thread other([&] {
        const auto start = std::chrono::steady_clock::now();
        Sleep(30);
        waited = std::chrono::steady_clock::now() - start;
        seenThere = timeGetTime();
    });
    other.join();
    EXPECT_GE(waited, std::chrono::milliseconds(30));
    EXPECT_EQ(seenThere, 5020u);
    EXPECT_EQ(timeGetTime(), 5020u);

    // The plain virtual clock moves with every thread's Sleep again.
    compat::testing::useVirtualClock(true, 100);
    std::thread([] { Sleep(7); }).join();
    EXPECT_EQ(timeGetTime(), 107u);
    compat::testing::useVirtualClock(false);
}

} // namespace
