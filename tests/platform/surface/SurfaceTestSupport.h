// A fresh windowed display for each test, and surfaces made on it.
#pragma once

#include "compat/ddraw/ddraw.h"
#include "compat/ddraw/display.h"
#include "compat/ddraw/testing.h"
#include "platform/surface/DirectDrawSurface.h"
#include "platform/surface/DrawError.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/SurfaceFactory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        compat::testing::resetDisplay();
        resetDrawError();
        IDirectDraw* first = nullptr;
        ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &first, nullptr));
        ASSERT_EQ(S_OK, first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd)));
        first->Release();
    }
    void TearDown() override
    {
        for (Surface* s : held)
            s->release();
        dd->Release();
        compat::testing::resetDisplay();
        resetDrawError();
    }

    // The surface is released at the end of the test.
    template <class T> T* hold(T* surface)
    {
        surface->addRef();
        held.push_back(surface);
        return surface;
    }

    static SurfaceDesc describe(std::uint32_t width, std::uint32_t height, std::uint32_t bits = 0,
                                std::uint32_t red = 0, std::uint32_t green = 0, std::uint32_t blue = 0,
                                std::uint32_t alpha = 0)
    {
        SurfaceDesc desc;
        desc.width = width;
        desc.height = height;
        desc.format.set(alpha, red, green, blue, bits);
        return desc;
    }

    DirectDrawSurface* make32(std::uint32_t width, std::uint32_t height)
    {
        return hold(createDirectDrawSurfaceFromDesc(dd, describe(width, height, 32, 0xFF0000, 0xFF00, 0xFF)));
    }
    DirectDrawSurface* make565(std::uint32_t width, std::uint32_t height)
    {
        return hold(createDirectDrawSurfaceFromDesc(dd, describe(width, height, 16, 0xF800, 0x07E0, 0x001F)));
    }
    // DirectDraw's own 24-bit surface, wrapped: the rasteriser skips this depth.
    DirectDrawSurface* make24(std::uint32_t width, std::uint32_t height)
    {
        DDSURFACEDESC2 request{};
        request.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        request.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        request.dwWidth = width;
        request.dwHeight = height;
        request.ddpfPixelFormat.dwRGBBitCount = 24;
        request.ddpfPixelFormat.dwRBitMask = 0xFF0000;
        request.ddpfPixelFormat.dwGBitMask = 0xFF00;
        request.ddpfPixelFormat.dwBBitMask = 0xFF;
        IDirectDrawSurface4* raw = nullptr;
        EXPECT_EQ(DD_OK, dd->CreateSurface(&request, &raw, nullptr));
        DirectDrawSurface* wrapped = hold(new DirectDrawSurface(raw));
        raw->Release();
        return wrapped;
    }
    MemorySurface* makeMap(std::uint32_t width, std::uint32_t height)
    {
        return hold(createMemorySurface(width, height));
    }

    IDirectDraw4* dd = nullptr;
    std::vector<Surface*> held;
};

// Writes and reads native pixels by coordinates, whatever the depth.
inline void poke(Surface* s, int x, int y, std::uint32_t value)
{
    ASSERT_EQ(S_OK, s->lock());
    auto* p = static_cast<std::uint8_t*>(s->pixels()) + y * s->getDesc().pitch;
    const std::uint32_t bytes = s->getDesc().format.bitsPerPixel / 8;
    std::memcpy(p + x * bytes, &value, bytes);
    s->unlock();
}

inline std::uint32_t peek(Surface* s, int x, int y)
{
    std::uint32_t value = 0;
    EXPECT_EQ(S_OK, s->lock());
    const auto* p = static_cast<const std::uint8_t*>(s->pixels()) + y * s->getDesc().pitch;
    const std::uint32_t bytes = s->getDesc().format.bitsPerPixel / 8;
    std::memcpy(&value, p + x * bytes, bytes);
    s->unlock();
    return value;
}

// Sets every pixel of the surface to a value that depends on its position.
inline void pattern(Surface* s)
{
    for (int y = 0; y < static_cast<int>(s->getDesc().height); ++y)
        for (int x = 0; x < static_cast<int>(s->getDesc().width); ++x)
            poke(s, x, y, static_cast<std::uint32_t>(0x10 * y + x + 1));
}
