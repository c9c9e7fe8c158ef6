// A bitmap kept as one Windows device-independent bitmap block: a 40-byte info header, the colour
// table (2^bpp entries below 16 bits per pixel) and the pixel rows bottom-up, each padded to 4 bytes.
// It draws itself on a device context; every decoded image, mask and the start-up picture live in one.
#pragma once

#include "compat/win32/gdi/gdi.h"
#include "compat/win32/system/machine/globalmem.h"
#include "platform/image/bitmap/PLBitmap.h"

class PLDibBitmap : public PLBitmap {
public:
    PLDibBitmap();
    ~PLDibBitmap() override;
    PLDibBitmap& operator=(const PLDibBitmap& source);
    using PLBitmap::operator=;

    std::size_t getMemUsed() const override;
    int getBytesPerLine() const override;

    // Replaces the bitmap by the RT_BITMAP resource id of module.
    virtual void loadResource(HMODULE module, int id);
    virtual void stretchDraw(HDC dc, int x, int y, DWORD rop);
    virtual void drawScaled(HDC dc, int x, int y, double factor, DWORD rop);
    virtual void stretchDrawTo(HDC dc, int x, int y, int width, int height, DWORD rop);
    virtual void drawPart(HDC dc, int x, int y, const RECT& sourceRect);
    // Replaces the bitmap by a copy of a DIB given as its header followed by colours and rows.
    virtual void createFromInfo(const BITMAPINFO* info);
    // A new moveable global block holding a copy of this DIB; the caller owns it.
    virtual HGLOBAL getGlobalCopy() const;

    // The DIB block as GDI takes it: header and colour table, and the pixel rows.
    const BITMAPINFO* getBitmapInfo() const { return reinterpret_cast<const BITMAPINFO*>(block); }
    const std::uint8_t* getBits() const { return bits; }
    std::size_t getBlockSize() const { return blockSize; }

    static int calcBytesPerLine(int width, int bpp);
    static std::size_t calcBitsSize(int width, int height, int bpp);
    static std::size_t calcBlockSize(int width, int height, int bpp);

protected:
    void internalCreate(int width, int height, int bpp, bool alpha) override;
    void freeMembers() override;
    void initLineArray() override;
    virtual void initPointers();

private:
    static std::size_t colourTableBytes(int bpp);
    void allocateBlock(int width, int height, int bpp);

    std::uint8_t* block = nullptr;
    std::uint8_t* bits = nullptr;
    std::size_t blockSize = 0;
};
