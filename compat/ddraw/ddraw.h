// The DirectDraw interfaces the game calls (DirectX 6 generation: IDirectDraw4, IDirectDrawSurface4,
// IDirectDrawClipper), their structures, flags and result codes. Our own declarations; the objects
// behind them are memory-backed and share one display state (compat/ddraw/display.h).
#pragma once

#include "compat/ddraw/ddraw_errors.h"
#include "compat/win32/base.h"
#include "compat/win32/com.h"

constexpr HRESULT MAKE_DDHRESULT(unsigned code) { return static_cast<HRESULT>(0x88760000u | code); }

constexpr HRESULT DD_OK = S_OK;
#define QUARRY_DECLARE_DDERR(name, value) constexpr HRESULT name = value;
QUARRY_DDRAW_ERROR_CODES(QUARRY_DECLARE_DDERR)
#undef QUARRY_DECLARE_DDERR

// Surface description flags (which fields of DDSURFACEDESC2 are valid).
constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x20;
constexpr DWORD DDSD_LPSURFACE = 0x800;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;
constexpr DWORD DDSD_CKSRCBLT = 0x10000;
constexpr DWORD DDSD_REFRESHRATE = 0x40000;

// Surface capabilities.
constexpr DWORD DDSCAPS_ALPHA = 0x2;
constexpr DWORD DDSCAPS_BACKBUFFER = 0x4;
constexpr DWORD DDSCAPS_COMPLEX = 0x8;
constexpr DWORD DDSCAPS_FLIP = 0x10;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;

// Pixel format flags.
constexpr DWORD DDPF_ALPHAPIXELS = 0x1;
constexpr DWORD DDPF_RGB = 0x40;

// Cooperative levels.
constexpr DWORD DDSCL_FULLSCREEN = 0x1;
constexpr DWORD DDSCL_NORMAL = 0x8;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;

// Lock, blit, fast blit, flip and colour key flags.
constexpr DWORD DDLOCK_WAIT = 0x1;
constexpr DWORD DDLOCK_READONLY = 0x10;
constexpr DWORD DDLOCK_WRITEONLY = 0x20;
// The caller writes every pixel of the locked area: what the area held before need not be kept.
constexpr DWORD DDLOCK_DISCARDCONTENTS = 0x2000;
constexpr DWORD DDBLT_COLORFILL = 0x400;
constexpr DWORD DDBLT_KEYSRC = 0x8000;
constexpr DWORD DDBLT_WAIT = 0x01000000;
constexpr DWORD DDBLTFAST_NOCOLORKEY = 0x0;
constexpr DWORD DDBLTFAST_SRCCOLORKEY = 0x1;
constexpr DWORD DDBLTFAST_WAIT = 0x10;
constexpr DWORD DDFLIP_WAIT = 0x1;
constexpr DWORD DDCKEY_SRCBLT = 0x8;

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};
using LPDDCOLORKEY = DDCOLORKEY*;

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

struct DDSCAPS2 {
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCaps3;
    DWORD dwCaps4;
};

struct DDSURFACEDESC2 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwRefreshRate;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    LPVOID lpSurface;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS2 ddsCaps;
    DWORD dwTextureStage;
};
using LPDDSURFACEDESC2 = DDSURFACEDESC2*;

struct DDBLTFX {
    DWORD dwSize;
    DWORD dwDDFX;
    DWORD dwROP;
    DWORD dwFillColor;
    DDCOLORKEY ddckDestColorkey;
    DDCOLORKEY ddckSrcColorkey;
};
using LPDDBLTFX = DDBLTFX*;

struct IDirectDrawClipper : IUnknown {
    virtual HRESULT SetHWnd(DWORD flags, HWND window) = 0;

protected:
    ~IDirectDrawClipper() = default;
};
using LPDIRECTDRAWCLIPPER = IDirectDrawClipper*;

struct IDirectDrawSurface4 : IUnknown {
    virtual HRESULT Blt(LPRECT destRect, IDirectDrawSurface4* source, LPRECT sourceRect, DWORD flags,
                        LPDDBLTFX effects) = 0;
    virtual HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface4* source, LPRECT sourceRect, DWORD flags) = 0;
    virtual HRESULT Flip(IDirectDrawSurface4* target, DWORD flags) = 0;
    virtual HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface4** attached) = 0;
    virtual HRESULT GetDC(HDC* dc) = 0;
    virtual HRESULT GetDDInterface(LPVOID* directDraw) = 0;
    virtual HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 desc) = 0;
    virtual HRESULT IsLost() = 0;
    virtual HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT ReleaseDC(HDC dc) = 0;
    virtual HRESULT Restore() = 0;
    virtual HRESULT SetClipper(LPDIRECTDRAWCLIPPER clipper) = 0;
    virtual HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
    virtual HRESULT Unlock(LPRECT rect) = 0;

protected:
    ~IDirectDrawSurface4() = default;
};
using LPDIRECTDRAWSURFACE4 = IDirectDrawSurface4*;

// The first interface DirectDrawCreate hands out; the game only asks it for IDirectDraw4.
struct IDirectDraw : IUnknown {
protected:
    ~IDirectDraw() = default;
};
using LPDIRECTDRAW = IDirectDraw*;

struct IDirectDraw4 : IDirectDraw {
    virtual HRESULT CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) = 0;
    virtual HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface, IUnknown* outer) = 0;
    virtual HRESULT FlipToGDISurface() = 0;
    virtual HRESULT GetDisplayMode(LPDDSURFACEDESC2 desc) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                                   DWORD flags) = 0;
    virtual HRESULT TestCooperativeLevel() = 0;

protected:
    ~IDirectDraw4() = default;
};
using LPDIRECTDRAW4 = IDirectDraw4*;

inline constexpr IID IID_IDirectDraw = {0x6C14DB80, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectDraw4 = {0x9C59509A, 0x39BD, 0x11D1, {0x8C, 0x4A, 0x00, 0xC0, 0x4F, 0xD9, 0x30, 0xC5}};
inline constexpr IID IID_IDirectDrawSurface4 = {0x0B2B8630, 0xAD35, 0x11D0, {0x8E, 0xA6, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
inline constexpr IID IID_IDirectDrawClipper = {0x6C14DB85, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

// device: null for the default display. The object starts with one reference.
HRESULT DirectDrawCreate(GUID* device, LPDIRECTDRAW* directDraw, IUnknown* outer);
