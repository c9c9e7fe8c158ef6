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
};

int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage);
