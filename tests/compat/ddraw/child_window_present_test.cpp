// Child windows of the shown window are laid over the game's frame when it is presented: in their
// stacking order, clipped to their parents, only once drawn and only while visible, at either display
// depth, and shown again at once when they change while the game draws nothing.
#include "compat/ddraw/ddraw.h"
#include "compat/ddraw/display.h"
#include "compat/ddraw/testing.h"
#include "compat/host/testing.h"
#include "compat/win32/window/controls.h"
#include "compat/win32/window/window.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kYellow = 0xFFFF00;
constexpr std::uint32_t kCyan = 0x00FFFF;

LRESULT gameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// Paints its client area in the colour kept in its user data.
LRESULT panelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const auto colour = static_cast<std::uint32_t>(GetWindowLongPtrA(window, GWL_USERDATA));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, 1, 1, &colour, &info, DIB_RGB_COLORS, SRCCOPY);
    EndPaint(window, &paint);
    return 0;
}

class ChildWindowPresent : public ::testing::TestWithParam<DWORD> {
protected:
    void SetUp() override
    {
        compat::testing::resetWindows();
        compat::testing::resetDisplay();
        WNDCLASSA wc{};
        wc.lpfnWndProc = gameProc;
        wc.lpszClassName = "OverlayGame";
        ASSERT_NE(RegisterClassA(&wc), 0);
        wc.lpfnWndProc = panelProc;
        wc.lpszClassName = "OverlayPanel";
        ASSERT_NE(RegisterClassA(&wc), 0);
        wc.lpfnWndProc = gameProc; // draws nothing
        wc.lpszClassName = "OverlayEmpty";
        ASSERT_NE(RegisterClassA(&wc), 0);
        game = CreateWindowExA(0, "OverlayGame", "game", WS_POPUP | WS_VISIBLE, 0, 0, 200, 120, nullptr, nullptr,
                               nullptr, nullptr);
        ASSERT_EQ(compat::win32::hostedWindow(), game);

        IDirectDraw* first = nullptr;
        ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &first, nullptr));
        ASSERT_EQ(S_OK, first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd)));
        first->Release();
        if (GetParam() == 16) {
            ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(game, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
            ASSERT_EQ(DD_OK, dd->SetDisplayMode(640, 480, 16, 0, 0));
        } else {
            ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(game, DDSCL_NORMAL));
        }
        DDSURFACEDESC2 desc{};
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        ASSERT_EQ(DD_OK, dd->CreateSurface(&desc, &primary, nullptr));
    }
    void TearDown() override
    {
        if (primary != nullptr)
            primary->Release();
        if (dd != nullptr)
            dd->Release();
        compat::testing::resetDisplay();
        compat::testing::resetWindows();
    }

    // The game draws a colour (0x00RRGGBB of full or empty channels) into part of its window.
    void gameFill(std::uint32_t colour, RECT area = {0, 0, 200, 120})
    {
        DDBLTFX fx{};
        fx.dwSize = sizeof fx;
        fx.dwFillColor = GetParam() == 32 ? colour
                                          : ((colour & 0xFF0000) != 0 ? 0xF800u : 0u) |
                                                ((colour & 0x00FF00) != 0 ? 0x07E0u : 0u) |
                                                ((colour & 0x0000FF) != 0 ? 0x001Fu : 0u);
        ASSERT_EQ(DD_OK, primary->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
    }

    HWND panel(HWND parent, int x, int y, int width, int height, std::uint32_t colour, const char* kind = "OverlayPanel")
    {
        HWND child = CreateWindowExA(0, kind, "", WS_CHILD, x, y, width, height, parent, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(child, GWL_USERDATA, static_cast<LONG_PTR>(colour));
        ShowWindow(child, SW_SHOW);
        UpdateWindow(child);
        return child;
    }

    static std::uint32_t at(int x, int y) { return compat::testing::headlessState().lastFrame.at(x, y); }

    HWND game = nullptr;
    IDirectDraw4* dd = nullptr;
    IDirectDrawSurface4* primary = nullptr;
};

TEST_P(ChildWindowPresent, DrawnVisibleChildrenLieOverTheGameInTheirOrder)
{
    gameFill(0x0000FF);
    ASSERT_EQ(compat::testing::headlessState().lastFrame.width, 200);
    HWND red = panel(game, 10, 10, 60, 40, kRed);        // [10,70) x [10,50)
    HWND white = panel(game, 50, 30, 60, 40, kWhite);    // [50,110) x [30,70), made later: on top
    panel(white, 40, 20, 40, 40, kYellow);               // [90,130) x [50,90), cut to its parent's area
    panel(game, 150, 5, 40, 20, 0, "OverlayEmpty");      // never drawn into: the game shows
    HWND hidden = CreateWindowExA(0, "OverlayPanel", "", WS_CHILD, 150, 60, 40, 40, game, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(hidden, GWL_USERDATA, static_cast<LONG_PTR>(kCyan));
    SendMessageA(hidden, WM_PAINT, 0, 0); // drawn, but not shown

    struct Spot {
        int x, y;
        std::uint32_t colour;
        const char* what;
    };
    auto expectSpots = [](const char* step, std::initializer_list<Spot> spots) {
        for (const Spot& s : spots)
            EXPECT_EQ(at(s.x, s.y), s.colour) << step << ": " << s.what << " at " << s.x << "," << s.y;
    };
    expectSpots("shown", {{5, 5, 0x0000FF, "the game"},
                          {15, 15, kRed, "the first child"},
                          {60, 40, kWhite, "the later child over the first"},
                          {100, 60, kYellow, "a grandchild over its parent"},
                          {120, 60, 0x0000FF, "a grandchild outside its parent"},
                          {160, 10, 0x0000FF, "a child never drawn into"},
                          {160, 70, 0x0000FF, "a hidden child"}});

    SetWindowPos(red, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    expectSpots("raised", {{60, 40, kRed, "the raised child"}});

    SetWindowLongPtrA(red, GWL_USERDATA, static_cast<LONG_PTR>(kCyan));
    InvalidateRect(red, nullptr, FALSE);
    UpdateWindow(red);
    expectSpots("drawn again", {{15, 15, kCyan, "a new drawing shows without the game drawing"}});

    gameFill(0x00FF00);
    gameFill(0x0000FF, RECT{0, 0, 30, 30});
    expectSpots("the game draws", {{5, 5, 0x0000FF, "the game's change"},
                                   {25, 5, 0x0000FF, "the game's change"},
                                   {15, 15, kCyan, "a child over the game's change"},
                                   {5, 100, 0x00FF00, "the game's whole frame"},
                                   {100, 60, kYellow, "the grandchild"}});

    ShowWindow(white, SW_HIDE);
    expectSpots("hidden", {{105, 35, 0x00FF00, "the game where a child was hidden"},
                           {100, 60, 0x00FF00, "a grandchild hidden with its parent"}});

    MoveWindow(red, 120, 70, 60, 40, TRUE);
    expectSpots("moved", {{15, 15, 0x0000FF, "the game where the child was"},
                          {40, 40, 0x00FF00, "the game where the child was"},
                          {130, 80, kCyan, "the child where it went"}});

    DestroyWindow(red);
    expectSpots("destroyed", {{130, 80, 0x00FF00, "the game where the child was"}});

    // Without a primary surface there is nothing to show a child over.
    primary->Release();
    primary = nullptr;
    const int presented = compat::testing::headlessState().framesPresented;
    ShowWindow(white, SW_SHOW);
    EXPECT_EQ(compat::testing::headlessState().framesPresented, presented);
}

INSTANTIATE_TEST_SUITE_P(Depths, ChildWindowPresent, ::testing::Values(32u, 16u),
                         [](const ::testing::TestParamInfo<DWORD>& info) {
                             return std::to_string(info.param) + "Bit";
                         });

} // namespace
