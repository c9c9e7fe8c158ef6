// A device context over a block of pixels in memory: what GetDC of one of our surfaces hands out.
// It draws device-independent bitmaps of 1, 4 and 8 bits with a colour table, 16 bits (5-5-5 or bit
// fields), 24 and 32 bits, bottom-up or top-down, into 16, 24 or 32-bit pixels with any channel masks
// (5-5-5, 5-6-5, X8R8G8B8, A8R8G8B8). A 32-bit source keeps its fourth byte as alpha; every other
// source is opaque. Everything is clipped to the pixel block; only SRCCOPY and DIB_RGB_COLORS are
// supported, and stretching picks the nearest pixel.
#pragma once

#include "compat/win32/gdi/gdi.h"

class MemoryDC : public HDC__ {
public:
    // The pixels (top-left first, `pitch` bytes a row) stay owned by the caller and must outlive the
    // context. Masks all 0 mean 5-5-5 for 16 bits and X8R8G8B8 for 24 and 32 bits.
    MemoryDC(void* pixels, LONG pitch, LONG width, LONG height, DWORD bitCount, DWORD redMask, DWORD greenMask,
             DWORD blueMask, DWORD alphaMask);

    int stretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                      int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) override;
    int setDIBitsToDevice(int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                          UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage) override;
    // Anti-aliased text through FreeType, blended over the pixels (see text.cpp).
    bool drawText(int x, int y, const char* text, int length) override;

private:
    void* pixels;
    LONG pitch;
    LONG width;
    LONG height;
    DWORD bitCount;
    DWORD redMask;
    DWORD greenMask;
    DWORD blueMask;
    DWORD alphaMask;
};
