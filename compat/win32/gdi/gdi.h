// Device-independent bitmaps and the two GDI calls that draw them. A device context here is an object
// that knows how to take a DIB: surfaces and windows provide their own kinds.
#pragma once

#include "compat/win32/base.h"

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;

constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD SRCCOPY = 0x00CC0020;

#pragma pack(push, 1)
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40, "a DIB header is 40 bytes");

// What a device context does with a DIB; the arguments are those of the GDI calls below. Both return
// the number of scan lines drawn, 0 on failure.
struct HDC__ {
    virtual ~HDC__() = default;
    virtual int stretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                              int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info,
                              UINT usage, DWORD rop) = 0;
    virtual int setDIBitsToDevice(int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                                  UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* info,
                                  UINT usage) = 0;
    // Draws text as TextOutA describes; contexts without pixels answer false.
    virtual bool drawText(int x, int y, const char* text, int length) { return false; }

    DWORD textColor = 0x000000;
    DWORD backColor = 0xFFFFFF;
    int backMode = 2; // OPAQUE
};

int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage);

// Text drawing on a device context, as the frame-statistics line uses it.
using COLORREF = DWORD;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}

COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
// Text at (x, y), its top-left corner, in the context's text colour; an opaque background fills the
// text's cell first. Characters are single bytes (Latin-1). FALSE when the context cannot draw.
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* clip, LPCSTR text, UINT length, const int* dx);
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size);
