// Windows bitmaps: core and info headers; 1, 4 and 8 bits with a palette (4 and 8 also run-length
// coded), 16 bits as 5-5-5 or 5-6-5, 24 and 32 bits. Up to 8 bits decode to an 8-bit bitmap with the
// file's palette, deeper files to 32 bits. Whatever sizes, counts and offsets a file claims, nothing is
// read or written outside the source and the bitmap.
#pragma once

#include <cstdint>

#include "platform/image/decode/PLImageDecoder.h"
#include "platform/image/bitmap/PLPixel32.h"

class PLBmpReader : public PLImageDecoder {
public:
    void decode(PLBitmap& bmp, PLSource& source) override;

private:
    struct Header {
        std::int64_t width = 0;
        std::int64_t height = 0;
        int bits = 0;
        std::uint32_t compression = 0;
        std::int32_t xPelsPerMeter = 0;
        std::int32_t yPelsPerMeter = 0;
        std::uint32_t greenMask = 0;
        int paletteEntries = 0;
        PLPixel32 palette[256] = {};
    };

    static void readHeader(PLSource& source, Header& header);
    static void readPalette(PLSource& source, Header& header, std::uint32_t entries, int entryBytes);
    static void decodeUncompressed(PLSource& source, const Header& header, PLBitmap& bmp);
    static void decodeRunLength(PLSource& source, const Header& header, PLBitmap& bmp);
    static int resolution(std::int32_t pelsPerMeter);
};
