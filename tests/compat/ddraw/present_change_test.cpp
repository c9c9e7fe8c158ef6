// Copies into the primary surface reach the observer (the host) only where pixels change: a frame
// drawn again the same way is not shown again, a changed one is shown by its changed part, and a
// primary that is new, restored, or whose observer lost track is shown whole.
#include "compat/ddraw/ddraw.h"
#include "compat/ddraw/display.h"
#include "compat/ddraw/testing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Observer : compat::ddraw::PresentObserver {
    void onPrimaryUpdated(IDirectDrawSurface4*, const RECT& area) override { areas.push_back(area); }
    bool needsWholeUpdate(IDirectDrawSurface4*) override { return wantsWhole; }
    std::vector<RECT> areas;
    bool wantsWhole = false;
};

class PresentChange : public ::testing::Test {
protected:
    void SetUp() override
    {
        compat::testing::resetDisplay();
        IDirectDraw* first = nullptr;
        ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &first, nullptr));
        ASSERT_EQ(S_OK, first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd)));
        first->Release();
        compat::ddraw::setPresentObserver(&observer);
        primary = make(DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY, 0, 0);
        back = make(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, 8, 6);
    }
    void TearDown() override
    {
        compat::ddraw::setPresentObserver(nullptr);
        back->Release();
        primary->Release();
        dd->Release();
        compat::testing::resetDisplay();
    }

    IDirectDrawSurface4* make(DWORD caps, DWORD width, DWORD height)
    {
        DDSURFACEDESC2 desc{};
        desc.dwFlags = DDSD_CAPS | (width != 0 ? DDSD_WIDTH | DDSD_HEIGHT : 0);
        desc.ddsCaps.dwCaps = caps;
        desc.dwWidth = width;
        desc.dwHeight = height;
        IDirectDrawSurface4* surface = nullptr;
        EXPECT_EQ(DD_OK, dd->CreateSurface(&desc, &surface, nullptr));
        return surface;
    }

    void fill(LONG left, LONG top, LONG right, LONG bottom, DWORD colour)
    {
        RECT area = {left, top, right, bottom};
        DDBLTFX fx{};
        fx.dwFillColor = colour;
        ASSERT_EQ(DD_OK, back->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
    }

    // The frame loop's present: the back buffer into the primary at (100, 50).
    void present()
    {
        observer.areas.clear();
        RECT to = {100, 50, 108, 56};
        ASSERT_EQ(DD_OK, primary->Blt(&to, back, nullptr, DDBLT_WAIT, nullptr));
    }

    DWORD shown(LONG x, LONG y)
    {
        DDSURFACEDESC2 desc{};
        RECT one = {x, y, x + 1, y + 1};
        EXPECT_EQ(DD_OK, primary->Lock(&one, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr));
        DWORD value = 0;
        std::memcpy(&value, desc.lpSurface, 4);
        primary->Unlock(&one);
        return value;
    }

    static void expectArea(const std::vector<RECT>& areas, RECT expected)
    {
        ASSERT_EQ(areas.size(), 1u);
        EXPECT_EQ(areas[0].left, expected.left);
        EXPECT_EQ(areas[0].top, expected.top);
        EXPECT_EQ(areas[0].right, expected.right);
        EXPECT_EQ(areas[0].bottom, expected.bottom);
    }

    Observer observer;
    IDirectDraw4* dd = nullptr;
    IDirectDrawSurface4* primary = nullptr;
    IDirectDrawSurface4* back = nullptr;
};

TEST_F(PresentChange, OnlyChangedPixelsReachTheObserver)
{
    // A new primary is shown whole, even where the frame equals its (zeroed) pixels.
    fill(0, 0, 8, 6, 0);
    present();
    expectArea(observer.areas, {100, 50, 108, 56});

    // Redrawn the same way: written, but nothing changed, so nothing is shown.
    fill(0, 0, 8, 6, 0);
    present();
    EXPECT_TRUE(observer.areas.empty());

    // One pixel, then two far apart: the smallest rectangle holding them, copied into the primary.
    fill(3, 2, 4, 3, 0x123456);
    present();
    expectArea(observer.areas, {103, 52, 104, 53});
    EXPECT_EQ(shown(103, 52), 0x123456u);
    fill(0, 0, 8, 6, 0);
    fill(1, 4, 2, 5, 0xABCDEF);
    fill(6, 1, 7, 2, 0xABCDEF);
    present();
    expectArea(observer.areas, {101, 51, 107, 55});
    EXPECT_EQ(shown(103, 52), 0u); // the pixel drawn before is cleared again
    EXPECT_EQ(shown(101, 54), 0xABCDEFu);
    EXPECT_EQ(shown(106, 51), 0xABCDEFu);
}

TEST_F(PresentChange, AnObserverThatLostTrackOrARestoredPrimaryIsShownWhole)
{
    fill(0, 0, 8, 6, 0x00FF00);
    present();
    fill(0, 0, 8, 6, 0x00FF00);
    observer.wantsWhole = true; // e.g. the window moved or missed a change
    present();
    expectArea(observer.areas, {100, 50, 108, 56});
    observer.wantsWhole = false;

    compat::testing::loseAllSurfaces();
    ASSERT_EQ(DD_OK, primary->Restore());
    ASSERT_EQ(DD_OK, back->Restore());
    fill(0, 0, 8, 6, 0x00FF00);
    present();
    expectArea(observer.areas, {100, 50, 108, 56});
}

} // namespace
