#include "compat/host/testing.h"
#include "compat/win32/window/window.h"

#include <gtest/gtest.h>

namespace {

TEST(FindWindow, MatchesTopLevelWindowsByClassAndTitle)
{
    compat::testing::resetWindows();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "FinderTest";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND top = CreateWindowExA(0, "FinderTest", "Shell", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND child =
        CreateWindowExA(0, "FinderTest", "Inner", WS_CHILD, 0, 0, 5, 5, top, nullptr, nullptr, nullptr);
    ASSERT_NE(top, nullptr);
    ASSERT_NE(child, nullptr);

    EXPECT_EQ(FindWindowA(nullptr, "Shell"), top);
    EXPECT_EQ(FindWindowA("findertest", "Shell"), top) << "class names compare without regard to case";
    EXPECT_EQ(FindWindowA("FinderTest", nullptr), top);
    EXPECT_EQ(FindWindowA(nullptr, "shell"), nullptr) << "titles compare exactly";
    EXPECT_EQ(FindWindowA(nullptr, "Inner"), nullptr) << "child windows are not found";
    EXPECT_EQ(FindWindowA("Other", "Shell"), nullptr);

    DestroyWindow(top);
    EXPECT_EQ(FindWindowA(nullptr, "Shell"), nullptr);
    compat::testing::resetWindows();
}

} // namespace
