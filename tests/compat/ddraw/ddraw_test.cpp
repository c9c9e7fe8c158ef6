#include "compat/ddraw/ddraw.h"
#include "compat/ddraw/display.h"
#include "compat/ddraw/testing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace {

class DirectDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        compat::testing::resetDisplay();
        dd = createDirectDraw();
    }
    void TearDown() override
    {
        if (dd != nullptr)
            dd->Release();
        compat::testing::resetDisplay();
    }

    static IDirectDraw4* createDirectDraw()
    {
        IDirectDraw* first = nullptr;
        EXPECT_EQ(DD_OK, DirectDrawCreate(nullptr, &first, nullptr));
        IDirectDraw4* dd4 = nullptr;
        EXPECT_EQ(S_OK, first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd4)));
        EXPECT_EQ(1u, first->Release());
        return dd4;
    }

    IDirectDrawSurface4* makeSurface(DWORD width, DWORD height, DWORD bits = 0, DWORD r = 0, DWORD g = 0,
                                     DWORD b = 0)
    {
        DDSURFACEDESC2 desc{};
        desc.dwSize = 124;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        desc.dwWidth = width;
        desc.dwHeight = height;
        if (bits != 0) {
            desc.dwFlags |= DDSD_PIXELFORMAT;
            desc.ddpfPixelFormat.dwRGBBitCount = bits;
            desc.ddpfPixelFormat.dwRBitMask = r;
            desc.ddpfPixelFormat.dwGBitMask = g;
            desc.ddpfPixelFormat.dwBBitMask = b;
        }
        IDirectDrawSurface4* surface = nullptr;
        EXPECT_EQ(DD_OK, dd->CreateSurface(&desc, &surface, nullptr));
        return surface;
    }

    IDirectDrawSurface4* makePrimary()
    {
        DDSURFACEDESC2 desc{};
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
        IDirectDrawSurface4* surface = nullptr;
        EXPECT_EQ(DD_OK, dd->CreateSurface(&desc, &surface, nullptr));
        return surface;
    }

    IDirectDraw4* dd = nullptr;
};

// Reads pixel (x, y) of a 16- or 32-bit surface through a lock.
DWORD readPixel(IDirectDrawSurface4* surface, LONG x, LONG y)
{
    DDSURFACEDESC2 desc{};
    RECT one = {x, y, x + 1, y + 1};
    EXPECT_EQ(DD_OK, surface->Lock(&one, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr));
    DWORD value = 0;
    std::memcpy(&value, desc.lpSurface, desc.ddpfPixelFormat.dwRGBBitCount / 8);
    surface->Unlock(&one);
    return value;
}

void fill(IDirectDrawSurface4* surface, RECT* rect, DWORD value)
{
    DDBLTFX fx{};
    fx.dwSize = 100;
    fx.dwFillColor = value;
    EXPECT_EQ(DD_OK, surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
}

TEST_F(DirectDrawTest, WindowedDisplayIs32BitAndFullScreenIs565)
{
    DDSURFACEDESC2 mode{};
    ASSERT_EQ(DD_OK, dd->GetDisplayMode(&mode));
    EXPECT_EQ(32u, mode.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(0x00FF0000u, mode.ddpfPixelFormat.dwRBitMask);
    EXPECT_EQ(0u, mode.ddpfPixelFormat.dwRGBAlphaBitMask);

    EXPECT_EQ(DDERR_NOEXCLUSIVEMODE, dd->SetDisplayMode(640, 480, 16, 0, 0));
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE));
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    EXPECT_EQ(DDERR_INVALIDMODE, dd->SetDisplayMode(640, 480, 8, 0, 0));
    ASSERT_EQ(DD_OK, dd->SetDisplayMode(640, 480, 16, 0, 0));
    ASSERT_EQ(DD_OK, dd->GetDisplayMode(&mode));
    EXPECT_EQ(640u, mode.dwWidth);
    EXPECT_EQ(16u, mode.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(0xF800u, mode.ddpfPixelFormat.dwRBitMask);
    EXPECT_EQ(0x07E0u, mode.ddpfPixelFormat.dwGBitMask);
    EXPECT_TRUE(compat::ddraw::isExclusive());

    // A second object shares the display and cannot take it while the first holds it.
    IDirectDraw4* other = createDirectDraw();
    EXPECT_EQ(DDERR_EXCLUSIVEMODEALREADYSET, other->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    ASSERT_EQ(DD_OK, other->GetDisplayMode(&mode));
    EXPECT_EQ(16u, mode.ddpfPixelFormat.dwRGBBitCount);

    // Releasing the holder gives the desktop back.
    dd->Release();
    dd = nullptr;
    EXPECT_FALSE(compat::ddraw::isExclusive());
    ASSERT_EQ(DD_OK, other->GetDisplayMode(&mode));
    EXPECT_EQ(32u, mode.ddpfPixelFormat.dwRGBBitCount);
    other->Release();
}

TEST_F(DirectDrawTest, SurfacesKeepTheirCreatorAlive)
{
    IDirectDrawSurface4* surface = makeSurface(4, 4);
    dd->Release();
    dd = nullptr;

    IDirectDraw4* creator = nullptr;
    ASSERT_EQ(DD_OK, surface->GetDDInterface(reinterpret_cast<LPVOID*>(&creator)));
    DDSURFACEDESC2 mode{};
    EXPECT_EQ(DD_OK, creator->GetDisplayMode(&mode));
    EXPECT_EQ(1u, creator->Release()); // the surface's own reference remains
    EXPECT_EQ(0u, surface->Release());
}

TEST_F(DirectDrawTest, CreateSurfaceFormatsAndRefusals)
{
    IDirectDrawSurface4* inDisplayFormat = makeSurface(3, 2);
    IDirectDrawSurface4* rgb565 = makeSurface(3, 2, 16, 0xF800, 0x07E0, 0x001F);
    DDSURFACEDESC2 desc{};
    ASSERT_EQ(DD_OK, inDisplayFormat->GetSurfaceDesc(&desc));
    EXPECT_EQ(32u, desc.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(3u, desc.dwWidth);
    EXPECT_GE(desc.lPitch, 12);
    ASSERT_EQ(DD_OK, rgb565->GetSurfaceDesc(&desc));
    EXPECT_EQ(16u, desc.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(0x07E0u, desc.ddpfPixelFormat.dwGBitMask);
    EXPECT_GE(desc.lPitch, 6);
    inDisplayFormat->Release();
    rgb565->Release();

    DDSURFACEDESC2 request{};
    request.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    request.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface4* surface = reinterpret_cast<IDirectDrawSurface4*>(1);
    struct {
        DWORD width, height, caps;
        HRESULT expected;
    } refusals[] = {
        {0, 4, DDSCAPS_OFFSCREENPLAIN, DDERR_INVALIDPARAMS},
        {100000, 4, DDSCAPS_OFFSCREENPLAIN, DDERR_TOOBIGWIDTH},
        {4, 100000, DDSCAPS_OFFSCREENPLAIN, DDERR_TOOBIGHEIGHT},
        {0, 0, DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, DDERR_NOFLIPHW},
    };
    for (const auto& r : refusals) {
        request.dwWidth = r.width;
        request.dwHeight = r.height;
        request.ddsCaps.dwCaps = r.caps;
        EXPECT_EQ(r.expected, dd->CreateSurface(&request, &surface, nullptr));
        EXPECT_EQ(nullptr, surface);
    }

    compat::testing::failNextCreateSurface(DDERR_OUTOFVIDEOMEMORY);
    request.dwWidth = request.dwHeight = 4;
    request.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    EXPECT_EQ(DDERR_OUTOFVIDEOMEMORY, dd->CreateSurface(&request, &surface, nullptr));
    ASSERT_EQ(DD_OK, dd->CreateSurface(&request, &surface, nullptr)); // only the next one fails
    surface->Release();
}

TEST_F(DirectDrawTest, NewSurfacesStartBlackEvenInTheMemoryOfReleasedOnes)
{
    // Large enough that released surfaces keep their memory for the next one of their size.
    const DWORD side = 256;
    for (int round = 0; round < 3; ++round) {
        std::vector<IDirectDrawSurface4*> surfaces;
        for (DWORD bits : {32u, 16u, 32u}) {
            IDirectDrawSurface4* s = bits == 16 ? makeSurface(side, side, 16, 0xF800, 0x07E0, 0x001F)
                                                : makeSurface(side, side);
            ASSERT_NE(nullptr, s);
            DDSURFACEDESC2 desc{};
            ASSERT_EQ(DD_OK, s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
            const auto* bytes = static_cast<const std::uint8_t*>(desc.lpSurface);
            std::size_t size = static_cast<std::size_t>(desc.lPitch) * side;
            std::size_t nonZero = 0;
            for (std::size_t i = 0; i < size; ++i)
                nonZero += bytes[i] != 0;
            EXPECT_EQ(0u, nonZero) << "round " << round << ", " << bits << " bits";
            std::memset(desc.lpSurface, 0xA5, size);
            s->Unlock(nullptr);
            surfaces.push_back(s);
        }
        for (IDirectDrawSurface4* s : surfaces)
            s->Release();
    }
}

// A new surface's memory is cleared only on its first use, and not when that use writes every pixel;
// whatever the first use, no pixel it did not write shows what the memory held before.
TEST_F(DirectDrawTest, FirstUseOfANewSurfaceNeverShowsOldMemory)
{
    const DWORD side = 256; // pooled: the next surface of the size gets this memory back
    const RECT corner = {0, 0, 8, 8};
    IDirectDrawSurface4* white = makeSurface(side, side);
    fill(white, nullptr, 0xFFFFFFFF);
    struct Case {
        const char* use;
        std::function<void(IDirectDrawSurface4*)> first;
        DWORD inCorner; // what the first use leaves at (0, 0); the far corner stays black
        bool whole;     // the first use wrote every pixel
    };
    const Case cases[] = {
        {"fill of a part", [&](IDirectDrawSurface4* s) { RECT r = corner; fill(s, &r, 0x123456); }, 0x123456, false},
        {"copy onto a part", [&](IDirectDrawSurface4* s) { RECT r = corner; s->BltFast(0, 0, white, &r, 0); },
         0xFFFFFFFF, false},
        {"device context", [](IDirectDrawSurface4* s) { HDC dc; s->GetDC(&dc); s->ReleaseDC(dc); }, 0, false},
        {"lock of a part to overwrite",
         [&](IDirectDrawSurface4* s) {
             DDSURFACEDESC2 d{};
             RECT r = corner;
             s->Lock(&r, &d, DDLOCK_WAIT | DDLOCK_WRITEONLY | DDLOCK_DISCARDCONTENTS, nullptr);
             for (LONG y = 0; y < 8; ++y)
                 std::memset(static_cast<BYTE*>(d.lpSurface) + y * d.lPitch, 0x11, 8 * 4);
             s->Unlock(&r);
         },
         0x11111111, false},
        {"source of a copy",
         [&](IDirectDrawSurface4* s) {
             IDirectDrawSurface4* other = makeSurface(side, side);
             other->BltFast(0, 0, s, nullptr, 0);
             EXPECT_EQ(0u, readPixel(other, side - 1, side - 1));
             other->Release();
         },
         0, false},
        {"whole fill", [](IDirectDrawSurface4* s) { fill(s, nullptr, 0x00ABCDEF); }, 0x00ABCDEF, true},
        {"whole lock to overwrite",
         [](IDirectDrawSurface4* s) {
             DDSURFACEDESC2 d{};
             s->Lock(nullptr, &d, DDLOCK_WAIT | DDLOCK_WRITEONLY | DDLOCK_DISCARDCONTENTS, nullptr);
             std::memset(d.lpSurface, 0x22, static_cast<std::size_t>(d.lPitch) * side);
             s->Unlock(nullptr);
         },
         0x22222222, true},
    };
    for (const Case& c : cases) {
        IDirectDrawSurface4* dirty = makeSurface(side, side);
        fill(dirty, nullptr, 0xA5A5A5A5);
        dirty->Release();
        IDirectDrawSurface4* s = makeSurface(side, side);
        ASSERT_NE(nullptr, s) << c.use;
        c.first(s);
        EXPECT_EQ(c.inCorner, readPixel(s, 0, 0)) << c.use;
        if (!c.whole) {
            EXPECT_EQ(0u, readPixel(s, side - 1, side - 1)) << c.use;
        }
        s->Release();
    }
    white->Release();
}

TEST_F(DirectDrawTest, APrimaryReadsBlackWhereNothingWasDrawnEvenInTheMemoryOfReleasedOnes)
{
    // The primary's memory is not cleared but made to read as zero; surfaces of its size released
    // before it must not show through, whichever way it is first used.
    compat::ddraw::setDesktopSize(320, 240);
    for (int round = 0; round < 2; ++round) {
        IDirectDrawSurface4* dirty = makeSurface(320, 240);
        fill(dirty, nullptr, 0xA5A5A5A5);
        dirty->Release();
        IDirectDrawSurface4* primary = makePrimary();
        ASSERT_NE(nullptr, primary);
        EXPECT_EQ(0u, readPixel(primary, 319, 239)) << round;
        IDirectDrawSurface4* white = makeSurface(8, 8);
        fill(white, nullptr, 0xFFFFFFFF);
        ASSERT_EQ(DD_OK, primary->BltFast(4, 4, white, nullptr, 0));
        white->Release();
        EXPECT_EQ(0xFFFFFFFFu, readPixel(primary, 4, 4)) << round;
        EXPECT_EQ(0u, readPixel(primary, 3, 3)) << round;
        EXPECT_EQ(0u, readPixel(primary, 160, 120)) << round;
        primary->Release();
    }
}

TEST_F(DirectDrawTest, LockOfASubRectanglePointsAtItsCorner)
{
    IDirectDrawSurface4* surface = makeSurface(5, 4, 16, 0xF800, 0x07E0, 0x001F);
    DDSURFACEDESC2 whole{};
    ASSERT_EQ(DD_OK, surface->Lock(nullptr, &whole, DDLOCK_WAIT, nullptr));
    DDSURFACEDESC2 part{};
    RECT rect = {2, 1, 4, 3};
    ASSERT_EQ(DD_OK, surface->Lock(&rect, &part, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)); // nested lock
    EXPECT_EQ(static_cast<BYTE*>(whole.lpSurface) + whole.lPitch + 2 * 2, part.lpSurface);
    EXPECT_EQ(whole.lPitch, part.lPitch);
    EXPECT_EQ(DD_OK, surface->Unlock(&rect));
    EXPECT_EQ(DD_OK, surface->Unlock(nullptr));
    EXPECT_EQ(DDERR_NOTLOCKED, surface->Unlock(nullptr));

    RECT outside[] = {{3, 0, 6, 1}, {-1, 0, 2, 1}, {0, 3, 1, 5}, {2, 2, 2, 3}};
    for (RECT& r : outside)
        EXPECT_EQ(DDERR_INVALIDRECT, surface->Lock(&r, &part, DDLOCK_WAIT, nullptr));
    surface->Release();
}

TEST_F(DirectDrawTest, BltFillsCopiesStretchesAndConverts)
{
    IDirectDrawSurface4* source = makeSurface(2, 2); // X8R8G8B8
    IDirectDrawSurface4* target = makeSurface(4, 4, 16, 0xF800, 0x07E0, 0x001F);
    fill(source, nullptr, 0x00FF0000);
    RECT corner = {1, 1, 2, 2};
    fill(source, &corner, 0x0000FF00);
    fill(target, nullptr, 0x001F);

    // Stretched 2x2 -> 4x4 with conversion to 5-6-5.
    ASSERT_EQ(DD_OK, target->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(0xF800u, readPixel(target, 0, 0));
    EXPECT_EQ(0xF800u, readPixel(target, 1, 1));
    EXPECT_EQ(0x07E0u, readPixel(target, 2, 2));
    EXPECT_EQ(0x07E0u, readPixel(target, 3, 3));

    RECT beyond = {3, 3, 5, 5};
    EXPECT_EQ(DDERR_INVALIDRECT, target->Blt(&beyond, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DDERR_INVALIDPARAMS, target->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr));

    // With a clipper the destination is clipped to the surface instead.
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateClipper(0, &clipper, nullptr));
    EXPECT_EQ(DD_OK, clipper->SetHWnd(0, nullptr));
    ASSERT_EQ(DD_OK, target->SetClipper(clipper));
    EXPECT_EQ(1u, clipper->Release());
    fill(target, nullptr, 0);
    EXPECT_EQ(DD_OK, target->Blt(&beyond, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(0xF800u, readPixel(target, 3, 3));
    EXPECT_EQ(0u, readPixel(target, 2, 2));
    EXPECT_EQ(DD_OK, target->SetClipper(nullptr));

    source->Release();
    target->Release();
}

TEST_F(DirectDrawTest, BltFastSkipsTheSourceColourKey)
{
    IDirectDrawSurface4* source = makeSurface(2, 1);
    IDirectDrawSurface4* target = makeSurface(3, 1);
    RECT left = {0, 0, 1, 1};
    fill(source, nullptr, 0x00123456);
    fill(source, &left, 0xAAFF00FF); // the key's colour bits, with junk in the unused byte
    fill(target, nullptr, 0x00000007);
    DDCOLORKEY key = {0x00FF00FF, 0x00FF00FF};
    ASSERT_EQ(DD_OK, source->SetColorKey(DDCKEY_SRCBLT, &key));

    ASSERT_EQ(DD_OK, target->BltFast(1, 0, source, nullptr, DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY));
    EXPECT_EQ(0x00000007u, readPixel(target, 0, 0));
    EXPECT_EQ(0x00000007u, readPixel(target, 1, 0)); // keyed pixel skipped
    EXPECT_EQ(0x00123456u, readPixel(target, 2, 0));

    ASSERT_EQ(DD_OK, target->BltFast(0, 0, source, nullptr, DDBLTFAST_WAIT)); // no key: copied as is
    EXPECT_EQ(0xAAFF00FFu, readPixel(target, 0, 0));
    EXPECT_EQ(DDERR_INVALIDRECT, target->BltFast(2, 0, source, nullptr, DDBLTFAST_WAIT));

    ASSERT_EQ(DD_OK, source->SetColorKey(DDCKEY_SRCBLT, nullptr));
    fill(target, nullptr, 0x7);
    ASSERT_EQ(DD_OK, target->BltFast(1, 0, source, nullptr, DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY));
    EXPECT_EQ(0xAAFF00FFu, readPixel(target, 1, 0));
    source->Release();
    target->Release();
}

TEST_F(DirectDrawTest, LostSurfacesRefuseWorkUntilRestored)
{
    IDirectDrawSurface4* surface = makeSurface(2, 2);
    IDirectDrawSurface4* other = makeSurface(2, 2);
    compat::testing::loseAllSurfaces();
    DDSURFACEDESC2 desc{};
    DDBLTFX fx{};
    EXPECT_EQ(DDERR_SURFACELOST, surface->IsLost());
    EXPECT_EQ(DDERR_SURFACELOST, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DDERR_SURFACELOST, surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx));
    EXPECT_EQ(DDERR_SURFACELOST, surface->BltFast(0, 0, other, nullptr, DDBLTFAST_WAIT));
    EXPECT_EQ(DD_OK, surface->GetSurfaceDesc(&desc));

    EXPECT_EQ(DD_OK, surface->Restore());
    EXPECT_EQ(DD_OK, surface->IsLost());
    EXPECT_EQ(DDERR_SURFACELOST, surface->BltFast(0, 0, other, nullptr, DDBLTFAST_WAIT)); // source still lost
    other->Release();
    surface->Release();
}

TEST_F(DirectDrawTest, ADepthChangeLosesSurfacesAndStrandsThePrimary)
{
    IDirectDrawSurface4* primary = makePrimary();
    IDirectDrawSurface4* image = makeSurface(2, 2);
    compat::testing::setDisplayDepth(16);
    DDSURFACEDESC2 mode{};
    ASSERT_EQ(DD_OK, dd->GetDisplayMode(&mode));
    EXPECT_EQ(16u, mode.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(DDERR_SURFACELOST, primary->IsLost());
    EXPECT_EQ(DDERR_SURFACELOST, image->IsLost());
    EXPECT_EQ(DDERR_WRONGMODE, primary->Restore());
    EXPECT_EQ(DD_OK, image->Restore());
    primary->Release();
    image->Release();
}

TEST_F(DirectDrawTest, CooperativeLevelAnswerIsScripted)
{
    EXPECT_EQ(DD_OK, dd->TestCooperativeLevel());
    compat::testing::setTestCooperativeLevelResult(DDERR_EXCLUSIVEMODEALREADYSET);
    EXPECT_EQ(DDERR_EXCLUSIVEMODEALREADYSET, dd->TestCooperativeLevel());
}

struct RecordingObserver : compat::ddraw::PresentObserver {
    void onPrimaryUpdated(IDirectDrawSurface4* primary, const RECT& area) override
    {
        areas.push_back(area);
        pixel = readPixel(primary, area.left, area.top);
    }
    std::vector<RECT> areas;
    DWORD pixel = 0;
};

TEST_F(DirectDrawTest, HostSeesWhatIsDrawnIntoThePrimary)
{
    RecordingObserver observer;
    compat::ddraw::setPresentObserver(&observer);
    IDirectDrawSurface4* primary = makePrimary();
    IDirectDrawSurface4* back = makeSurface(4, 4);
    fill(back, nullptr, 0x00ABCDEF);
    EXPECT_TRUE(observer.areas.empty()); // off-screen drawing is not shown

    RECT target = {10, 20, 14, 24};
    ASSERT_EQ(DD_OK, primary->Blt(&target, back, nullptr, DDBLT_WAIT, nullptr));
    ASSERT_EQ(1u, observer.areas.size());
    EXPECT_EQ(10, observer.areas[0].left);
    EXPECT_EQ(24, observer.areas[0].bottom);
    EXPECT_EQ(0x00ABCDEFu, observer.pixel);
    compat::ddraw::setPresentObserver(nullptr);
    primary->Release();
    back->Release();
}

TEST_F(DirectDrawTest, DeviceContextAndLockExcludeEachOther)
{
    IDirectDrawSurface4* surface = makeSurface(3, 2, 16, 0xF800, 0x07E0, 0x001F);
    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, surface->GetDC(&dc));
    EXPECT_NE(nullptr, dc);
    HDC again = nullptr;
    EXPECT_EQ(DDERR_DCALREADYCREATED, surface->GetDC(&again));
    DDSURFACEDESC2 desc{};
    EXPECT_EQ(DDERR_SURFACEBUSY, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    ASSERT_EQ(DD_OK, surface->ReleaseDC(dc));
    EXPECT_EQ(DDERR_NODC, surface->ReleaseDC(dc));

    ASSERT_EQ(DD_OK, surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
    EXPECT_EQ(DDERR_SURFACEBUSY, surface->GetDC(&dc));
    surface->Unlock(nullptr);
    surface->Release();
}

} // namespace
