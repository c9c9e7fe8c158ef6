// A bitmap in plain memory: one pixel block with the lines top-down and no padding, and a separate
// palette of 2^bpp entries for 8 bits per pixel or fewer. The temporary bitmap of conversions.
#pragma once

#include "platform/image/bitmap/PLBitmap.h"

class PLMemBitmap : public PLBitmap {
public:
    PLMemBitmap();
    ~PLMemBitmap() override;
    PLMemBitmap& operator=(const PLMemBitmap& source);
    using PLBitmap::operator=;

    std::size_t getMemUsed() const override;
    int getBytesPerLine() const override;

protected:
    void internalCreate(int width, int height, int bpp, bool alpha) override;
    void freeMembers() override;
    void initLineArray() override;

private:
    static int bytesPerLine(int width, int bpp);

    std::uint8_t* pixels = nullptr;
    std::size_t pixelBytes = 0;
};
