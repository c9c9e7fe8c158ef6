#include "compat/win32/window/controls.h"
#include "compat/win32/window/window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<WPARAM>& commands()
{
    static std::vector<WPARAM> seen;
    return seen;
}

LRESULT CALLBACK_Dialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        commands().push_back(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        compat::testing::resetWindows();
        compat::win32::keepClassOffHost("ControlsTestDialog");
        compat::win32::registerControlClasses();
        WNDCLASSA wc{};
        wc.lpfnWndProc = CALLBACK_Dialog;
        wc.lpszClassName = "ControlsTestDialog";
        ASSERT_NE(RegisterClassA(&wc), 0);
        dialog = CreateWindowExA(0, "ControlsTestDialog", "dialog", WS_CAPTION | WS_SYSMENU, 0, 0, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(dialog, nullptr);
        commands().clear();
    }
    void TearDown() override { compat::testing::resetWindows(); }

    HWND child(const char* className, int id, DWORD style, bool visible = true)
    {
        HWND h = CreateWindowExA(0, className, "", WS_CHILD | style | (visible ? WS_VISIBLE : 0), 0, 0, 50, 20,
                                 dialog, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        return h;
    }
    bool key(int vk)
    {
        MSG m{dialog, WM_KEYDOWN, static_cast<WPARAM>(vk), 0, 0, {0, 0}};
        return IsDialogMessageA(dialog, &m) != FALSE;
    }

    HWND dialog = nullptr;
};

TEST_F(ControlsTest, DialogKeysBecomeCommandsAndTabSkipsHiddenAndDisabledStops)
{
    HWND first = child("button", 10, WS_TABSTOP);
    child("button", 11, WS_TABSTOP, false); // hidden
    HWND disabled = child("button", 12, WS_TABSTOP);
    EnableWindow(disabled, FALSE);
    child("static", 13, 0); // no tab stop
    HWND edit = child("edit", 14, WS_TABSTOP);

    SetFocus(nullptr);
    EXPECT_TRUE(key(VK_ESCAPE));
    EXPECT_TRUE(key(VK_RETURN)); // no button has the focus
    EXPECT_EQ(commands(), (std::vector<WPARAM>{IDCANCEL, IDOK}));

    EXPECT_TRUE(key(VK_TAB));
    EXPECT_EQ(GetFocus(), first);
    EXPECT_TRUE(key(VK_TAB));
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_TRUE(key(VK_TAB));
    EXPECT_EQ(GetFocus(), first);

    commands().clear();
    EXPECT_TRUE(key(VK_RETURN)); // the focused push button's own command
    SetFocus(edit);
    EXPECT_TRUE(key(VK_RETURN));
    EXPECT_EQ(commands(), (std::vector<WPARAM>{MAKEWPARAM(10, BN_CLICKED), IDOK}));

    EXPECT_FALSE(key('A'));
    MSG other{nullptr, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_FALSE(IsDialogMessageA(dialog, &other)); // not for this dialog
}

TEST_F(ControlsTest, ShiftTabMovesTheFocusBackwardsAndWraps)
{
    HWND first = child("button", 10, WS_TABSTOP);
    HWND hidden = child("button", 11, WS_TABSTOP, false);
    HWND second = child("edit", 12, WS_TABSTOP);
    HWND third = child("button", 13, WS_TABSTOP);
    ASSERT_NE(hidden, nullptr);

    compat::testing::setKeyState(VK_SHIFT, true);
    SetFocus(nullptr);
    EXPECT_TRUE(key(VK_TAB));
    EXPECT_EQ(GetFocus(), third); // no focus yet: the last stop
    EXPECT_TRUE(key(VK_TAB));
    EXPECT_EQ(GetFocus(), second);
    EXPECT_TRUE(key(VK_TAB));
    EXPECT_EQ(GetFocus(), first); // the hidden stop is skipped
    EXPECT_TRUE(key(VK_TAB));
    EXPECT_EQ(GetFocus(), third); // wraps round

    compat::testing::setKeyState(VK_SHIFT, false);
    EXPECT_TRUE(key(VK_TAB));
    EXPECT_EQ(GetFocus(), first);
}

// Shift is down for the dialog keyboard once its key message has been taken from the queue, as a
// message loop takes it, and up again after its release; either Shift key counts.
TEST_F(ControlsTest, KeyStateFollowsTheKeyMessagesTakenFromTheQueue)
{
    HWND first = child("button", 10, WS_TABSTOP);
    HWND second = child("button", 11, WS_TABSTOP);
    SetFocus(first);
    auto runLoop = [&] {
        MSG m;
        while (PeekMessageA(&m, dialog, 0, 0, PM_REMOVE))
            if (!IsDialogMessageA(dialog, &m))
                DispatchMessageA(&m);
    };

    PostMessageA(first, WM_KEYDOWN, VK_SHIFT, 1);
    MSG peeked;
    ASSERT_TRUE(PeekMessageA(&peeked, dialog, 0, 0, PM_NOREMOVE));
    EXPECT_GE(GetKeyState(VK_SHIFT), 0); // only looked at, not taken
    PostMessageA(first, WM_KEYDOWN, VK_TAB, 1);
    runLoop();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetFocus(), second); // backwards from the first stop wraps to the last

    PostMessageA(second, WM_KEYUP, VK_SHIFT, 0);
    PostMessageA(second, WM_KEYDOWN, VK_TAB, 1);
    runLoop();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetFocus(), first);

    const SHORT before = GetKeyState(VK_SHIFT);
    PostMessageA(first, WM_KEYDOWN, 0xA1 /* right Shift */, 1);
    runLoop();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_NE(GetKeyState(VK_SHIFT) & 1, before & 1); // a press toggles
    PostMessageA(first, WM_KEYUP, 0xA1, 0);
    runLoop();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(ControlsTest, ButtonsClickAndChangeTheirStyle)
{
    HWND button = child("button", 42, WS_TABSTOP);
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(commands(), (std::vector<WPARAM>{MAKEWPARAM(42, BN_CLICKED)}));
    EXPECT_EQ(SendDlgItemMessageA(dialog, 42, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE), 0);
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(button, GWL_STYLE));
    EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_NE(style & WS_TABSTOP, 0u);
    EXPECT_EQ(GetDlgItem(dialog, 42), button);
    EXPECT_EQ(GetDlgItem(dialog, 43), nullptr);
    EnableWindow(button, FALSE);
    commands().clear();
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_TRUE(commands().empty());
}

TEST_F(ControlsTest, AnimationPlaysOnlyAnOpenClip)
{
    HWND clip = child(ANIMATE_CLASSA, 5, ACS_CENTER | ACS_TRANSPARENT);
    EXPECT_FALSE(SendMessageA(clip, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF)));
    EXPECT_EQ(LoadLibraryExA("missing.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
    HMODULE shell = LoadLibraryExA("SHELL32.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(shell, nullptr);
    EXPECT_FALSE(SendMessageA(clip, ACM_OPENA, reinterpret_cast<WPARAM>(shell), 9999));
    EXPECT_TRUE(SendMessageA(clip, ACM_OPENA, reinterpret_cast<WPARAM>(shell), 150));
    EXPECT_TRUE(SendMessageA(clip, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF)));
    EXPECT_TRUE(SendMessageA(clip, ACM_ISPLAYING, 0, 0));
    SendMessageA(clip, ACM_STOP, 0, 0);
    EXPECT_FALSE(SendMessageA(clip, ACM_ISPLAYING, 0, 0));
    SendMessageA(clip, ACM_OPENA, 0, 0); // closes the clip
    EXPECT_FALSE(SendMessageA(clip, ACM_PLAY, 1, MAKELONG(0, 0xFFFF)));
}

TEST_F(ControlsTest, StatusBarLiesAlongTheBottomOfItsParent)
{
    HWND bar = CreateStatusWindowA(static_cast<LONG>(WS_CHILD), "ready", dialog, 106);
    ASSERT_NE(bar, nullptr);
    RECT client{}, rect{};
    GetClientRect(dialog, &client);
    GetWindowRect(bar, &rect);
    POINT topLeft{rect.left, rect.top};
    ScreenToClient(dialog, &topLeft);
    EXPECT_EQ(topLeft.x, 0);
    EXPECT_EQ(rect.right - rect.left, client.right);
    EXPECT_EQ(topLeft.y + (rect.bottom - rect.top), client.bottom);
    EXPECT_EQ(GetDlgItem(dialog, 106), bar);
    char text[16];
    EXPECT_EQ(GetWindowTextA(bar, text, sizeof text), 5);
}

TEST_F(ControlsTest, PlacementRoundTripsAndKeepsAHiddenWindowHidden)
{
    HWND label = child("static", 7, 0, false);
    WINDOWPLACEMENT placement{};
    ASSERT_TRUE(GetWindowPlacement(label, &placement));
    EXPECT_EQ(placement.length, 44u);
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_HIDE));
    placement.rcNormalPosition = RECT{10, 20, 110, 70};
    ASSERT_TRUE(SetWindowPlacement(label, &placement));
    EXPECT_FALSE(IsWindowVisible(label));
    WINDOWPLACEMENT back{};
    ASSERT_TRUE(GetWindowPlacement(label, &back));
    EXPECT_EQ(back.rcNormalPosition.left, 10);
    EXPECT_EQ(back.rcNormalPosition.bottom, 70);
    placement.length = 40;
    EXPECT_FALSE(SetWindowPlacement(label, &placement));
}

TEST_F(ControlsTest, FontsAndBitmapsAreObjectsUntilDeleted)
{
    const int before = compat::testing::liveGdiObjects();
    LOGFONTA font{};
    font.lfHeight = -12;
    font.lfWeight = FW_BOLD;
    std::strcpy(font.lfFaceName, "Arial");
    HFONT made = CreateFontIndirectA(&font);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    EXPECT_EQ(compat::testing::liveGdiObjects(), before + 2);
    LOGFONTA back{};
    ASSERT_EQ(GetObjectA(made, sizeof back, &back), static_cast<int>(sizeof back));
    EXPECT_EQ(back.lfHeight, -12);
    EXPECT_STREQ(back.lfFaceName, "Arial");

    HDC dc = GetDC(dialog);
    EXPECT_TRUE(DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, 0, 0, 0, 0, DST_BITMAP));
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    EXPECT_GT(metrics.tmHeight, 0);
    EXPECT_GT(metrics.tmAveCharWidth, 0);
    SIZE one{}, two{};
    ASSERT_TRUE(GetTextExtentPointA(dc, "W", 1, &one));
    ASSERT_TRUE(GetTextExtentPointA(dc, "WW", 2, &two));
    EXPECT_EQ(two.cx, 2 * one.cx);
    ReleaseDC(dialog, dc);

    EXPECT_TRUE(DeleteObject(made));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(GetStockObject(DEFAULT_GUI_FONT))); // stock objects stay
    EXPECT_NE(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), 0, nullptr), 0);
    EXPECT_EQ(compat::testing::liveGdiObjects(), before);
    EXPECT_FALSE(DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, 0, 0, 0, 0, DST_BITMAP));
}

} // namespace
