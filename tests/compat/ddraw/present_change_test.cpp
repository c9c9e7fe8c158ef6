// Copies into the primary surface reach the observer (the host) only where pixels change: a frame
// drawn again the same way is not shown again, a changed one is shown by its changed part, and a
// primary that is new, restored, or whose observer lost track is shown whole. Only the part of the
// frame written since it was last shown is compared, and a picture copied again over itself copies
// only what was drawn over it: both must still see every kind of write.
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

    DWORD shown(LONG x, LONG y) { return pixel(primary, x, y); }

    static DWORD pixel(IDirectDrawSurface4* surface, LONG x, LONG y)
    {
        DDSURFACEDESC2 desc{};
        RECT one = {x, y, x + 1, y + 1};
        EXPECT_EQ(DD_OK, surface->Lock(&one, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr));
        DWORD value = 0;
        std::memcpy(&value, desc.lpSurface, 4);
        surface->Unlock(&one);
        return value;
    }

    // Writes one pixel through a lock of `locked`, unlocking with `named` (which need not say where).
    static void poke(IDirectDrawSurface4* surface, RECT locked, LPRECT named, LONG x, LONG y, DWORD value)
    {
        DDSURFACEDESC2 desc{};
        ASSERT_EQ(DD_OK, surface->Lock(&locked, &desc, DDLOCK_WAIT, nullptr));
        std::memcpy(static_cast<BYTE*>(desc.lpSurface) + (y - locked.top) * desc.lPitch + (x - locked.left) * 4, &value,
                    4);
        ASSERT_EQ(DD_OK, surface->Unlock(named));
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

TEST_F(PresentChange, EveryWriteSinceTheLastPresentIsFound)
{
    fill(0, 0, 8, 6, 0);
    present();
    // Through a lock of part of the frame, unlocked without naming where.
    poke(back, RECT{5, 3, 8, 6}, nullptr, 6, 4, 0x0000FF);
    present();
    expectArea(observer.areas, {106, 54, 107, 55});
    // Through a lock unlocked with a rectangle that misses the pixel written.
    RECT elsewhere = {0, 0, 1, 1};
    poke(back, RECT{1, 1, 4, 4}, &elsewhere, 2, 2, 0x00FF00);
    present();
    expectArea(observer.areas, {102, 52, 103, 53});
    // Through a device context, and by a copy from another surface.
    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, back->GetDC(&dc));
    ASSERT_EQ(DD_OK, back->ReleaseDC(dc));
    present();
    EXPECT_TRUE(observer.areas.empty());
    IDirectDrawSurface4* other = make(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, 2, 2);
    RECT all = {0, 0, 2, 2};
    DDBLTFX fx{};
    fx.dwFillColor = 0x445566;
    ASSERT_EQ(DD_OK, other->Blt(&all, nullptr, nullptr, DDBLT_COLORFILL, &fx));
    ASSERT_EQ(DD_OK, back->BltFast(0, 4, other, &all, 0));
    other->Release();
    present();
    expectArea(observer.areas, {100, 54, 102, 56});

    // Something drawn straight into the primary is put right by the next present.
    RECT onScreen = {104, 50, 105, 51};
    fx.dwFillColor = 0xFFFFFF;
    ASSERT_EQ(DD_OK, primary->Blt(&onScreen, nullptr, nullptr, DDBLT_COLORFILL, &fx));
    present();
    expectArea(observer.areas, {104, 50, 105, 51});
    EXPECT_EQ(shown(104, 50), 0u);
    EXPECT_EQ(shown(106, 54), 0x0000FFu);
    EXPECT_EQ(shown(102, 52), 0x00FF00u);
    EXPECT_EQ(shown(101, 55), 0x445566u);
}

TEST_F(PresentChange, APictureCopiedAgainOverItselfIsWholeAgain)
{
    // An 8 x 6 picture of distinct pixels, copied over the whole frame.
    IDirectDrawSurface4* picture = make(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, 8, 6);
    auto paint = [&](DWORD base) {
        for (LONG y = 0; y < 6; ++y)
            for (LONG x = 0; x < 8; ++x)
                poke(picture, RECT{0, 0, 8, 6}, nullptr, x, y, base + static_cast<DWORD>(y * 8 + x));
    };
    auto expectPicture = [&](DWORD base, const char* when) {
        for (LONG y = 0; y < 6; ++y)
            for (LONG x = 0; x < 8; ++x)
                ASSERT_EQ(pixel(back, x, y), base + static_cast<DWORD>(y * 8 + x)) << when << " at " << x << "," << y;
    };
    paint(0x100);
    ASSERT_EQ(DD_OK, back->BltFast(0, 0, picture, nullptr, 0));
    expectPicture(0x100, "first copy");

    // Drawn over by a fill, a lock and a keyed copy of another surface, then copied again.
    fill(1, 1, 3, 2, 0xAAAAAA);
    poke(back, RECT{6, 4, 8, 6}, nullptr, 7, 5, 0xBBBBBB);
    IDirectDrawSurface4* sprite = make(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, 2, 2);
    RECT all = {0, 0, 2, 2};
    DDBLTFX fx{};
    fx.dwFillColor = 0xCCCCCC;
    ASSERT_EQ(DD_OK, sprite->Blt(&all, nullptr, nullptr, DDBLT_COLORFILL, &fx));
    DDCOLORKEY key{0x123456, 0x123456};
    ASSERT_EQ(DD_OK, sprite->SetColorKey(DDCKEY_SRCBLT, &key));
    ASSERT_EQ(DD_OK, back->BltFast(4, 0, sprite, &all, DDBLTFAST_SRCCOLORKEY));
    sprite->Release();
    ASSERT_EQ(DD_OK, back->BltFast(0, 0, picture, nullptr, 0));
    expectPicture(0x100, "copied again");
    // Nothing drawn over it: the same again.
    ASSERT_EQ(DD_OK, back->BltFast(0, 0, picture, nullptr, 0));
    expectPicture(0x100, "unchanged");

    // A changed picture is copied whole; so is part of it to another place.
    paint(0x200);
    ASSERT_EQ(DD_OK, back->BltFast(0, 0, picture, nullptr, 0));
    expectPicture(0x200, "changed picture");
    RECT corner = {0, 0, 2, 2};
    ASSERT_EQ(DD_OK, back->BltFast(6, 4, picture, &corner, 0));
    EXPECT_EQ(pixel(back, 7, 5), 0x200u + 9);
    ASSERT_EQ(DD_OK, back->BltFast(0, 0, picture, nullptr, 0));
    expectPicture(0x200, "after the corner");

    // After a lost display the target is copied whole again.
    compat::testing::loseAllSurfaces();
    ASSERT_EQ(DD_OK, back->Restore());
    ASSERT_EQ(DD_OK, picture->Restore());
    fill(0, 0, 8, 6, 0);
    ASSERT_EQ(DD_OK, back->BltFast(0, 0, picture, nullptr, 0));
    expectPicture(0x200, "restored");
    picture->Release();
}

} // namespace
