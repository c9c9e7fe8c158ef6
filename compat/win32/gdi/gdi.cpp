#include "compat/win32/gdi/gdi.h"

int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
    if (dc == nullptr || bits == nullptr || info == nullptr)
        return 0;
    return dc->stretchDIBits(xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight, bits, info, usage,
                             rop);
}

int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    if (dc == nullptr || bits == nullptr || info == nullptr)
        return 0;
    return dc->setDIBitsToDevice(xDest, yDest, width, height, xSrc, ySrc, startScan, scanLines, bits, info, usage);
}
