#include "compat/host/testing.h"
#include "compat/win32/gdi/dib.h"
#include "compat/win32/window/window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Seen>& seen()
{
    static std::vector<Seen> log;
    return log;
}

LRESULT CALLBACK_Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    seen().push_back({window, message, wParam, lParam});
    if (message == WM_USER + 1)
        return static_cast<LRESULT>(wParam * 2);
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<UINT> messagesTo(HWND window)
{
    std::vector<UINT> out;
    for (const Seen& s : seen())
        if (s.window == window)
            out.push_back(s.message);
    return out;
}

class Windows : public ::testing::Test {
protected:
    void SetUp() override
    {
        compat::testing::resetWindows();
        seen().clear();
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = CALLBACK_Record;
        wc.cbWndExtra = sizeof(void*);
        wc.lpszClassName = "TestWindow";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    void TearDown() override { compat::testing::resetWindows(); }

    HWND make(DWORD style = WS_CAPTION | WS_SYSMENU, HWND parent = nullptr)
    {
        return CreateWindowExA(0, "testwindow", "Title", style, 10, 20, 300, 200, parent, nullptr, nullptr,
                               nullptr);
    }
};

TEST_F(Windows, PostedMessagesComeOutInOrderAndQuitComesLast)
{
    HWND w = make();
    ASSERT_NE(w, nullptr);
    PostMessageA(w, WM_USER + 1, 1, 0);
    PostQuitMessage(7);
    PostMessageA(w, WM_USER + 2, 2, 0);
    PostMessageA(nullptr, WM_USER + 3, 3, 0);

    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_USER + 1u); // looked at, left in place
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 2, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 2u); // the filter skips the first
    std::vector<UINT> order;
    while (GetMessageA(&m, nullptr, 0, 0) > 0)
        order.push_back(m.message);
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 3}));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)); // the quit was taken once
}

TEST_F(Windows, DispatchCallsTheWindowProcedure)
{
    HWND w = make();
    PostMessageA(w, WM_USER + 1, 21, 0);
    MSG m;
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(DispatchMessageA(&m), 42);
    EXPECT_EQ(SendMessageA(w, WM_USER + 1, 5, 0), 10);
}

TEST_F(Windows, CrossThreadSendWaitsUntilTheOwnerHandledIt)
{
    std::atomic<HWND> w{nullptr};
    std::atomic<bool> stop{false};
    std::thread owner([&] {
        w = make();
        MSG m;
        while (!stop) {
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&m);
            std::this_thread::yield();
        }
        DestroyWindow(w);
    });
    while (w.load() == nullptr)
        std::this_thread::yield();
    const std::thread::id self = std::this_thread::get_id();
    (void)self;
    EXPECT_EQ(SendMessageA(w, WM_USER + 1, 4, 0), 8);
    EXPECT_EQ(SendMessageA(w, WM_USER + 1, 50, 0), 100);
    // The owner handled them: a window of another thread cannot be destroyed from here.
    EXPECT_FALSE(DestroyWindow(w));
    stop = true;
    owner.join();
    EXPECT_FALSE(IsWindow(w));
}

LRESULT sendBackProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Asked for something, this window first asks the other thread's window (wParam) in turn.
    if (message == WM_USER + 7)
        return SendMessageA(reinterpret_cast<HWND>(wParam), WM_USER + 1, 21, 0) + 1;
    return CALLBACK_Record(window, message, wParam, lParam);
}

TEST_F(Windows, OwnerWaitingInGetMessageAnswersAndThreadsMaySendToEachOther)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = sendBackProcedure;
    wc.lpszClassName = "SendBack";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND mine = make();
    std::atomic<HWND> theirs{nullptr};
    std::thread owner([&] {
        theirs = CreateWindowExA(0, "SendBack", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0) > 0) // blocks: sent messages are handled meanwhile
            DispatchMessageA(&m);
        DestroyWindow(theirs);
    });
    while (theirs.load() == nullptr)
        std::this_thread::yield();
    // The other thread, while handling this, sends to a window of this thread: no dead lock.
    EXPECT_EQ(SendMessageA(theirs, WM_USER + 7, reinterpret_cast<WPARAM>(mine), 0), 43);
    PostThreadMessageA(0, 0, 0, 0); // an unknown thread takes nothing
    PostMessageA(theirs, WM_QUIT, 0, 0);
    owner.join();
}

TEST_F(Windows, DestroyWindowSendsDestroyToParentThenChildrenAndDropsTheirMessages)
{
    HWND parent = make();
    HWND child = make(WS_CHILD | WS_VISIBLE, parent);
    ASSERT_NE(child, nullptr);
    PostMessageA(child, WM_USER + 5, 0, 0);
    seen().clear();
    EXPECT_TRUE(DestroyWindow(parent));
    ASSERT_GE(seen().size(), 2u);
    EXPECT_EQ(seen()[0].window, parent);
    EXPECT_EQ(seen()[0].message, WM_DESTROY);
    EXPECT_EQ(seen()[1].window, child);
    EXPECT_EQ(seen()[1].message, WM_DESTROY);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_USER, WM_USER + 100, PM_REMOVE));
    EXPECT_FALSE(PostMessageA(parent, WM_USER, 0, 0));
}

TEST_F(Windows, CloseByDefaultDestroysTheWindow)
{
    HWND w = make();
    SendMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(messagesTo(w).back(), WM_NCDESTROY);
}

TEST_F(Windows, AdjustedRectangleGivesTheAskedClientArea)
{
    const DWORD style = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    EXPECT_EQ(style, 0x2CA0000u);
    RECT r = {0, 0, 640, 480};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    HWND w = make(style);
    MoveWindow(w, 100, 50, r.right - r.left, r.bottom - r.top, FALSE);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    POINT corner = {0, 0};
    ClientToScreen(w, &corner);
    EXPECT_EQ(corner.x, 100 - r.left);
    EXPECT_EQ(corner.y, 50 - r.top);
    RECT window;
    GetWindowRect(w, &window);
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, 50);
    // A pop-up window has no frame: its client area is the whole window.
    HWND popup = make(WS_POPUP | WS_CLIPCHILDREN);
    SetWindowPos(popup, HWND_TOPMOST, 0, 0, 800, 600, SWP_SHOWWINDOW);
    GetClientRect(popup, &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_TRUE(GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(popup));
}

TEST_F(Windows, PerWindowDataHoldsAPointer)
{
    HWND w = make();
    int object = 0;
    SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&object));
    SetWindowLongPtrA(w, 0, reinterpret_cast<LONG_PTR>(&object));
    EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongPtrA(w, GWLP_USERDATA)), &object);
    EXPECT_EQ(reinterpret_cast<int*>(GetWindowLongPtrA(w, 0)), &object);
    EXPECT_EQ(GetWindowLongPtrA(w, 8), 0); // past the extra bytes
    SetWindowLongA(w, GWL_STYLE, static_cast<LONG>(GetWindowLongA(w, GWL_STYLE) | WS_MAXIMIZEBOX));
    EXPECT_TRUE(GetWindowLongA(w, GWL_STYLE) & WS_MAXIMIZEBOX);
}

TEST_F(Windows, HostEventsBecomeMessagesOfTheShownWindow)
{
    HWND w = make();
    ASSERT_EQ(compat::win32::hostedWindow(), w);
    ShowWindow(w, SW_SHOW);
    seen().clear();
    compat::testing::injectHostMessage(WM_SIZE, SIZE_MINIMIZED, 0);
    compat::testing::injectHostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 40));
    compat::testing::injectHostMessage(WM_KEYDOWN, 'A', 1);
    MSG m;
    std::vector<UINT> posted;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        if (m.message != WM_PAINT)
            posted.push_back(m.message);
        else
            DispatchMessageA(&m);
    EXPECT_TRUE(IsIconic(w));
    // Sent at once: the minimise and the cursor question; queued: the input.
    ASSERT_GE(seen().size(), 2u);
    EXPECT_EQ(seen()[0].message, WM_SIZE);
    EXPECT_EQ(seen()[0].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(seen()[1].message, WM_SETCURSOR);
    EXPECT_EQ(posted, (std::vector<UINT>{WM_MOUSEMOVE, WM_KEYDOWN}));

    // A minimise asked by the program reaches the window procedure and the host alike.
    ShowWindow(w, SW_RESTORE);
    EXPECT_FALSE(IsIconic(w));
    EXPECT_EQ(compat::testing::headlessState().shown, compat::host::Show::Normal);
    SendMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(w));
    EXPECT_EQ(compat::testing::headlessState().shown, compat::host::Show::Minimized);
}

TEST_F(Windows, MouseInputOverAVisibleChildGoesToItInItsOwnCoordinates)
{
    HWND w = make(WS_POPUP | WS_VISIBLE);
    ASSERT_EQ(compat::win32::hostedWindow(), w);
    WNDCLASSA plain{};
    plain.lpfnWndProc = CALLBACK_Record; // no double clicks, the hand over it
    plain.hCursor = LoadCursorA(nullptr, IDC_HAND);
    plain.lpszClassName = "PlainChild";
    ASSERT_NE(RegisterClassA(&plain), 0);
    auto child = [w](const char* kind, DWORD style, int x, int y, HWND parent) {
        return CreateWindowExA(0, kind, "", WS_CHILD | style, x, y, 50, 40, parent != nullptr ? parent : w, nullptr,
                               nullptr, nullptr);
    };
    HWND first = child("testwindow", WS_VISIBLE, 10, 10, nullptr);      // [10,60) x [10,50)
    HWND second = child("PlainChild", WS_VISIBLE, 40, 20, nullptr);     // [40,90) x [20,60), on top
    HWND inner = child("testwindow", WS_VISIBLE, 30, 30, second);       // [70,90) x [50,60) inside second
    child("testwindow", 0, 100, 60, nullptr);                            // hidden
    auto deliver = [](UINT message, int x, int y) {
        seen().clear();
        compat::testing::injectHostMessage(message, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
        MSG m;
        std::vector<Seen> posted;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            if (m.message != WM_PAINT)
                posted.push_back({m.hwnd, m.message, m.wParam, m.lParam});
            else
                DispatchMessageA(&m);
        return posted;
    };
    struct Case {
        const char* what;
        UINT message;
        int x, y;
        HWND to;
        UINT arrives;
        int childX, childY;
    };
    const Case cases[] = {
        {"inside the first child", WM_LBUTTONDOWN, 15, 15, first, WM_LBUTTONDOWN, 5, 5},
        {"where both lie, the later one", WM_LBUTTONUP, 45, 25, second, WM_LBUTTONUP, 5, 5},
        {"a grandchild over its parent", WM_RBUTTONDOWN, 75, 55, inner, WM_RBUTTONDOWN, 5, 5},
        {"a double click stays one where the class takes them", WM_LBUTTONDBLCLK, 15, 15, first, WM_LBUTTONDBLCLK,
         5, 5},
        {"a double click is a press where it does not", WM_LBUTTONDBLCLK, 85, 25, second, WM_LBUTTONDOWN, 45, 5},
        {"over a hidden child, the game", WM_LBUTTONDOWN, 110, 70, w, WM_LBUTTONDOWN, 110, 70},
        {"past every child, the game", WM_MOUSEMOVE, 5, 5, w, WM_MOUSEMOVE, 5, 5},
    };
    for (const Case& c : cases) {
        const std::vector<Seen> posted = deliver(c.message, c.x, c.y);
        ASSERT_EQ(posted.size(), 1u) << c.what;
        EXPECT_EQ(posted[0].window, c.to) << c.what;
        EXPECT_EQ(posted[0].message, c.arrives) << c.what;
        EXPECT_EQ(posted[0].lParam, MAKELPARAM(static_cast<WORD>(c.childX), static_cast<WORD>(c.childY))) << c.what;
    }

    SetWindowPos(first, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(deliver(WM_LBUTTONDOWN, 45, 25).at(0).window, first) << "a raised child takes the overlap";

    // A move over a child asks it for the cursor; the game, asked first, leaves it to the child's class.
    const std::vector<Seen> moved = deliver(WM_MOUSEMOVE, 85, 25);
    EXPECT_EQ(moved.at(0).window, second);
    EXPECT_EQ(messagesTo(second), std::vector<UINT>{WM_SETCURSOR});
    EXPECT_EQ(messagesTo(w), std::vector<UINT>{WM_SETCURSOR});
    EXPECT_EQ(compat::testing::currentCursorId(), 32649);

    // A child that has the mouse captured gets it everywhere, in its own coordinates.
    SetCapture(second);
    const std::vector<Seen> captured = deliver(WM_LBUTTONUP, 5, 5);
    ReleaseCapture();
    EXPECT_EQ(captured.at(0).window, second);
    EXPECT_EQ(captured.at(0).lParam, MAKELPARAM(static_cast<WORD>(-35), static_cast<WORD>(-15)));
}

TEST_F(Windows, PaintComesWhenNothingElseWaitsAndStopsOnceValidated)
{
    HWND w = make();
    InvalidateRect(w, nullptr, FALSE);
    PostMessageA(w, WM_USER, 0, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_PAINT);
    DispatchMessageA(&m); // the default handling validates
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Windows, SystemMetricsCursorsAndClasses)
{
    compat::testing::setDesktopSize(640, 480);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    EXPECT_EQ(GetDeviceCaps(GetDC(nullptr), HORZRES), 640);
    compat::testing::setDesktopSize(0, 0);

    for (LPCSTR id : {IDC_APPSTARTING, IDC_ARROW, IDC_HAND, IDC_HELP, IDC_WAIT, IDC_IBEAM})
        EXPECT_NE(LoadCursorA(nullptr, id), nullptr);
    EXPECT_EQ(LoadCursorA(reinterpret_cast<HINSTANCE>(1), MAKEINTRESOURCEA(106)), nullptr);
    SetCursor(LoadCursorA(nullptr, IDC_HAND));
    EXPECT_EQ(compat::testing::currentCursorId(), 32649);
    EXPECT_EQ(compat::testing::headlessState().cursor, 32649);

    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    // A class in use cannot be registered again; once its windows are gone it can.
    HWND w = make();
    WNDCLASSA again{};
    again.lpfnWndProc = DefWindowProcA;
    again.lpszClassName = "TESTWINDOW";
    EXPECT_EQ(RegisterClassA(&again), 0);
    DestroyWindow(w);
    EXPECT_NE(RegisterClassA(&again), 0);
}

TEST(GdiText, TextIsDrawnInTheTextColourOverAnOpaqueCell)
{
    std::vector<std::uint32_t> pixels(100 * 20, 0x00102030);
    MemoryDC dc(pixels.data(), 100 * 4, 100, 20, 32, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    SetTextColor(&dc, RGB(255, 255, 0));
    SetBkMode(&dc, TRANSPARENT);
    ASSERT_TRUE(TextOutA(&dc, 2, 2, "HI", 2));
    int yellow = 0, untouchedRight = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * 100 + x];
            yellow += p == 0x00FFFF00;
            untouchedRight += x >= 40 && p == 0x00102030;
        }
    EXPECT_GT(yellow, 10);                 // solid stems of H and I
    EXPECT_EQ(untouchedRight, 60 * 20);    // nothing beyond the text
    EXPECT_EQ(pixels[0], 0x00102030u);     // transparent: the background stays

    SIZE extent;
    ASSERT_TRUE(GetTextExtentPoint32A(&dc, "HI", 2, &extent));
    SetBkMode(&dc, OPAQUE);
    SetBkColor(&dc, RGB(0, 0, 255));
    ASSERT_TRUE(ExtTextOutA(&dc, 50, 0, 0, nullptr, "HI", 2, nullptr));
    EXPECT_EQ(pixels[50], 0x000000FFu); // the cell's corner is background
    EXPECT_EQ(pixels[static_cast<std::size_t>(50 + extent.cx)], 0x00102030u);
}

TEST(GdiText, SixteenBitTextPacksTheColour)
{
    std::vector<std::uint16_t> pixels(40 * 16, 0);
    MemoryDC dc(pixels.data(), 40 * 2, 40, 16, 16, 0xF800, 0x07E0, 0x001F, 0);
    SetTextColor(&dc, RGB(255, 0, 0));
    SetBkMode(&dc, TRANSPARENT);
    ASSERT_TRUE(TextOutA(&dc, 0, 0, "I", 1));
    int red = 0;
    for (std::uint16_t p : pixels)
        red += p == 0xF800;
    EXPECT_GT(red, 5);
}

} // namespace
