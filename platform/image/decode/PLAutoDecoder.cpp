#include "platform/image/decode/PLAutoDecoder.h"

#include <cstring>

#include "platform/image/decode/PLBmpReader.h"
#include "platform/image/decode/PLJpegReader.h"
#include "platform/image/decode/PLPngReader.h"
#include "platform/image/source/PLSource.h"
#include "platform/image/PLTextException.h"
#include "platform/image/PLTrace.h"

namespace {

constexpr int signatureBytes = 512;

bool isOneOf(int value, std::initializer_list<int> values)
{
    for (int candidate : values) {
        if (value == candidate)
            return true;
    }
    return false;
}

bool startsWith(const std::uint8_t* bytes, const char* text, std::size_t length)
{
    return std::memcmp(bytes, text, length) == 0;
}

std::uint32_t word32At(const std::uint8_t* bytes, int offset)
{
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

} // namespace

PLAutoDecoder::PLAutoDecoder()
    : bmpReader(new PLBmpReader()), jpegReader(new PLJpegReader()), pngReader(new PLPngReader())
{
}

PLAutoDecoder::~PLAutoDecoder()
{
    delete bmpReader;
    delete jpegReader;
    delete pngReader;
}

PLAutoDecoder::FileType PLAutoDecoder::determineType(const std::uint8_t* given, int length)
{
    std::uint8_t b[signatureBytes] = {};
    if (length > 0)
        std::memcpy(b, given, static_cast<std::size_t>(length < signatureBytes ? length : signatureBytes));

    int word = b[0] | (b[1] << 8);
    if (isOneOf(word, {0x4142, 0x4D42, 0x4349, 0x5043, 0x4943}))
        return Bitmap;
    if (b[1] < 2 && b[2] <= 11 && !(b[2] >= 4 && b[2] <= 8) && isOneOf(b[7], {0, 8, 15, 16, 24, 32}) &&
        isOneOf(b[16], {8, 15, 16, 24, 32}))
        return Targa;
    if (startsWith(b, "GIF8", 4))
        return Gif;
    if (startsWith(b, "II\x2A\x00", 4) || startsWith(b, "MM\x00\x2A", 4))
        return Tiff;
    // A PICT is told by an opcode at byte 522, beyond the bytes looked at, so it is never recognised.
    if (startsWith(b, "\xFF\xD8\xFF", 3))
        return Jpeg;
    if (startsWith(b, "\x89PNG", 4))
        return Png;
    if ((startsWith(b, "\xC5\xD0\xD3\xC6", 4) || startsWith(b, "\xC6\xD3\xD0\xC5", 4)) && word32At(b, 20) != 0 &&
        word32At(b, 24) != 0)
        return Eps;
    if (b[0] == 0x0A && b[2] == 1)
        return Pcx;
    if (startsWith(b, "P2", 2) || startsWith(b, "P5", 2))
        return Pgm;
    if (startsWith(b, "P3", 2) || startsWith(b, "P6", 2))
        return Ppm;
    if (startsWith(b, "8BPS", 4))
        return Psd;
    return Unknown;
}

PLImageDecoder& PLAutoDecoder::chooseReader(const PLSource& source)
{
    int length = source.getRemaining() < signatureBytes ? source.getRemaining() : signatureBytes;
    switch (determineType(source.peek(length), length)) {
    case Bitmap:
        PLTrace::trace(2, "Windows bitmap recognized.\n");
        return *bmpReader;
    case Jpeg:
        PLTrace::trace(2, "JPEG file recognized.\n");
        return *jpegReader;
    case Png:
        PLTrace::trace(2, "PNG file recognized.\n");
        return *pngReader;
    case Unknown:
        PLTrace::raise(PLTextException::UnknownFileType, "Unknown file type.");
    default:
        PLTrace::raise(PLTextException::Unsupported, "Library not compiled for this file type.");
    }
}

void PLAutoDecoder::makeBmp(PLSource& source, PLBitmap& bmp, int bpp)
{
    chooseReader(source).makeBmp(source, bmp, bpp);
}

void PLAutoDecoder::decode(PLBitmap& bmp, PLSource& source)
{
    chooseReader(source).decode(bmp, source);
}
