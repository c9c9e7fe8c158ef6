// Recognises the format from the first bytes and hands the data to the bitmap, JPEG or PNG reader.
// Other formats it knows are refused as not compiled in.
#pragma once

#include <cstdint>

#include "platform/image/decode/PLImageDecoder.h"

class PLBmpReader;
class PLJpegReader;
class PLPngReader;

class PLAutoDecoder : public PLImageDecoder {
public:
    // Formats told apart by their first bytes.
    enum FileType {
        Unknown = 0,
        Bitmap = 1,
        Pict = 2,
        Targa = 3,
        Tiff = 4,
        Jpeg = 5,
        Png = 6,
        Eps = 7,
        Pcx = 10,
        Pgm = 11,
        Gif = 12,
        Ppm = 13,
        Psd = 14,
    };

    PLAutoDecoder();
    ~PLAutoDecoder() override;

    void makeBmp(PLSource& source, PLBitmap& bmp, int bpp) override;
    void decode(PLBitmap& bmp, PLSource& source) override;

    // The type of data starting with these bytes; fewer than 512 count as followed by zeros.
    static FileType determineType(const std::uint8_t* bytes, int length);

private:
    // The reader for the source's data, or a PLTextException for anything else.
    PLImageDecoder& chooseReader(const PLSource& source);

    PLBmpReader* bmpReader;
    PLJpegReader* jpegReader;
    PLPngReader* pngReader;
};
