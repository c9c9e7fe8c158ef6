#include "compat/ddraw/ddraw.h"
#include "compat/ddraw/testing.h"
#include "compat/win32/gdi/gdi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

// A device context of a surface takes device-independent bitmaps in the surface's own format.
TEST(SurfaceDeviceContext, StretchDIBitsConvertsIntoTheSurface)
{
    compat::testing::resetDisplay();
    IDirectDraw* first = nullptr;
    ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &first, nullptr));
    IDirectDraw4* dd = nullptr;
    ASSERT_EQ(S_OK, first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd)));
    first->Release();

    DDSURFACEDESC2 request{};
    request.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    request.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    request.dwWidth = 2;
    request.dwHeight = 1;
    request.ddpfPixelFormat.dwRGBBitCount = 16;
    request.ddpfPixelFormat.dwRBitMask = 0xF800;
    request.ddpfPixelFormat.dwGBitMask = 0x07E0;
    request.ddpfPixelFormat.dwBBitMask = 0x001F;
    IDirectDrawSurface4* surface = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateSurface(&request, &surface, nullptr));

    // A 2 x 1 24-bit bitmap: red, then blue.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const std::uint8_t bits[8] = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0, 0};

    HDC dc = nullptr;
    ASSERT_EQ(DD_OK, surface->GetDC(&dc));
    EXPECT_EQ(1, StretchDIBits(dc, 0, 0, 2, 1, 0, 0, 2, 1, bits, &info, DIB_RGB_COLORS, SRCCOPY));
    ASSERT_EQ(DD_OK, surface->ReleaseDC(dc));

    DDSURFACEDESC2 locked{};
    ASSERT_EQ(DD_OK, surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr));
    std::uint16_t pixels[2];
    std::memcpy(pixels, locked.lpSurface, sizeof pixels);
    surface->Unlock(nullptr);
    EXPECT_EQ(0xF800, pixels[0]);
    EXPECT_EQ(0x001F, pixels[1]);

    surface->Release();
    dd->Release();
    compat::testing::resetDisplay();
}
