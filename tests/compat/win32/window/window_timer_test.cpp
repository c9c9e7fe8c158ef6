#include "compat/host/testing.h"
#include "compat/win32/system/machine/timer.h"
#include "compat/win32/window/window.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<UINT_PTR> fired;

void CALLBACK_Tick(HWND, UINT message, UINT_PTR id, DWORD)
{
    if (message == WM_TIMER)
        fired.push_back(id);
}

LRESULT CALLBACK_Plain(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER)
        fired.push_back(1000 + wParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

void pump()
{
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE))
        DispatchMessageA(&m);
}

TEST(WindowTimer, FiresEachPeriodThroughTheLoopUntilKilledOrTheWindowIsGone)
{
    compat::testing::resetWindows();
    compat::testing::useVirtualClock(true);
    fired.clear();
    WNDCLASSA wc{};
    wc.lpfnWndProc = CALLBACK_Plain;
    wc.lpszClassName = "TimerWindow";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND window = CreateWindowExA(0, "TimerWindow", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SetTimer(nullptr, 3, 10, nullptr), 0u) << "no window, no timer";
    EXPECT_EQ(SetTimer(window, 10, 10, CALLBACK_Tick), 10u);
    EXPECT_EQ(SetTimer(window, 7, 25, nullptr), 7u);

    pump();
    EXPECT_TRUE(fired.empty()) << "nothing is due yet";
    compat::testing::advanceClock(10);
    pump();
    EXPECT_EQ(fired, (std::vector<UINT_PTR>{10})) << "the procedure runs, not the window procedure";
    compat::testing::advanceClock(20);
    pump();
    EXPECT_EQ(fired, (std::vector<UINT_PTR>{10, 10, 1007})) << "without a procedure the window gets WM_TIMER";

    EXPECT_TRUE(KillTimer(window, 10));
    EXPECT_FALSE(KillTimer(window, 10));
    fired.clear();
    compat::testing::advanceClock(30);
    pump();
    EXPECT_EQ(fired, (std::vector<UINT_PTR>{1007}));

    DestroyWindow(window);
    fired.clear();
    compat::testing::advanceClock(30);
    pump();
    EXPECT_TRUE(fired.empty());
    compat::testing::useVirtualClock(false);
    compat::testing::resetWindows();
}

} // namespace
