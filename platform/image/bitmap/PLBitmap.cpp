#include "platform/image/bitmap/PLBitmap.h"

#include <cstring>

#include "platform/image/bitmap/PLMemBitmap.h"
#include "platform/image/filter/PLQuantizer.h"
#include "platform/image/PLTextException.h"

namespace {

constexpr PLPixel32 white = {255, 255, 255, 255};
constexpr PLPixel32 black = {0, 0, 0, 255};

// Any source pixel as blue, green, red, alpha.
PLPixel32 readPixel(const PLBitmap& bitmap, const std::uint8_t* line, int x)
{
    const PLPixel32* palette = bitmap.getPalette();
    switch (bitmap.getBitsPerPixel()) {
    case 1: {
        int bit = (line[x >> 3] >> (7 - (x & 7))) & 1;
        if (palette == nullptr)
            return bit ? black : white;
        return palette[bit];
    }
    case 4: {
        int index = (x & 1) ? (line[x >> 1] & 0x0F) : (line[x >> 1] >> 4);
        return palette != nullptr ? palette[index] : PLPixel32{0, 0, 0, 255};
    }
    case 8:
        return palette != nullptr ? palette[line[x]] : PLPixel32{line[x], line[x], line[x], 255};
    case 16: {
        // 5-5-5, the layout of an uncompressed 16-bit DIB.
        unsigned value = line[2 * x] | (line[2 * x + 1] << 8);
        return {static_cast<std::uint8_t>((value << 3) & 0xF8), static_cast<std::uint8_t>((value >> 2) & 0xF8),
                static_cast<std::uint8_t>((value >> 7) & 0xF8), 255};
    }
    case 24:
        return {line[3 * x], line[3 * x + 1], line[3 * x + 2], 255};
    default: {
        PLPixel32 pixel;
        std::memcpy(&pixel, line + 4 * x, 4);
        return pixel;
    }
    }
}

} // namespace

PLBitmap& PLBitmap::operator=(const PLBitmap& source)
{
    createCopy(source, 0);
    return *this;
}

void PLBitmap::create(int width, int height, int bpp, bool alpha, int xResolution, int yResolution)
{
    madeToFill = false;
    freeMembers();
    internalCreate(width, height, bpp, alpha);
    setResolution(xResolution, yResolution);
}

void PLBitmap::createToFill(int width, int height, int bpp, bool alpha)
{
    fillingWhole = true;
    try {
        create(width, height, bpp, alpha);
    } catch (...) {
        fillingWhole = false;
        throw;
    }
    fillingWhole = false;
    madeToFill = true;
}

void PLBitmap::clearUnfilled()
{
    if (!madeToFill || lineArray == nullptr)
        return;
    madeToFill = false;
    const auto lineBytes = static_cast<std::size_t>(getBytesPerLine());
    for (int y = 0; y < height; ++y)
        std::memset(lineArray[y], 0, lineBytes);
}

void PLBitmap::lock(bool, bool)
{
    ++lockCount;
}

void PLBitmap::unlock()
{
    --lockCount;
}

int PLBitmap::getNumColors() const
{
    return bpp >= 32 ? (1 << 24) : (1 << bpp);
}

void PLBitmap::setResolution(int x, int y)
{
    xResolution = x;
    yResolution = y;
}

std::size_t PLBitmap::checkedStorage(int width, int height, int bpp, std::int64_t lineBytes)
{
    bool knownDepth = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    if (width < 0 || height < 0 || !knownDepth)
        throw PLTextException(PLTextException::FormatError, "Illegal bitmap size.");
    // Far beyond any picture the game uses; keeps line sizes and offsets within an int.
    constexpr int sideLimit = 1 << 20;
    constexpr std::int64_t byteLimit = 0x7FFFFFFF;
    if (width > sideLimit || height > sideLimit || lineBytes * height > byteLimit)
        throw PLTextException(PLTextException::OutOfMemory, "Out of memory creating bitmap.");
    return static_cast<std::size_t>(lineBytes * height);
}

void PLBitmap::setFields(int newWidth, int newHeight, int newBpp, bool newAlpha)
{
    width = newWidth;
    height = newHeight;
    bpp = static_cast<std::uint16_t>(newBpp);
    alpha = newAlpha;
}

void PLBitmap::setGreyPalette()
{
    if (palette == nullptr)
        return;
    int colours = getNumColors();
    for (int i = 0; i < colours; ++i) {
        auto level = static_cast<std::uint8_t>(i * 255 / (colours - 1));
        palette[i] = {level, level, level, 255};
    }
}

void PLBitmap::setPalette(const PLPixel32* table)
{
    if (palette != nullptr && table != nullptr && bpp <= 8)
        std::memcpy(palette, table, sizeof(PLPixel32) * static_cast<std::size_t>(getNumColors()));
}

void PLBitmap::assign(const PLBitmap& source)
{
    freeMembers();
    internalCreate(source.width, source.height, source.bpp, source.alpha);
    int lineBytes = getBytesPerLine() < source.getBytesPerLine() ? getBytesPerLine() : source.getBytesPerLine();
    for (int y = 0; y < height; ++y)
        std::memcpy(lineArray[y], source.lineArray[y], static_cast<std::size_t>(lineBytes));
    if (bpp <= 8)
        setPalette(source.palette);
    setResolution(source.xResolution, source.yResolution);
}

void PLBitmap::createCopy(const PLBitmap& source, int newBpp)
{
    if (newBpp == 0 || newBpp == source.bpp) {
        if (&source != this)
            assign(source);
        return;
    }
    if (&source == this) {
        // Converting in place: keep the pixels while the storage is rebuilt.
        PLMemBitmap original;
        original.assign(*this);
        createCopy(original, newBpp);
        return;
    }
    switch (newBpp) {
    case 32:
    case 24:
        create(source.width, source.height, newBpp, source.alpha && newBpp == 32);
        convertToTrueColor(source);
        break;
    case 8:
        convertToPaletted(source);
        break;
    case 1:
        create(source.width, source.height, 1, false);
        convertToMonochrome(source);
        break;
    default:
        throw PLTextException(PLTextException::Unsupported, "Image bit depth doesn't match request.");
    }
    setResolution(source.xResolution, source.yResolution);
}

void PLBitmap::convertToTrueColor(const PLBitmap& source)
{
    int pixelBytes = bpp / 8;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = source.lineArray[y];
        std::uint8_t* out = lineArray[y];
        for (int x = 0; x < width; ++x) {
            PLPixel32 pixel = readPixel(source, in, x);
            std::memcpy(out + x * pixelBytes, &pixel, static_cast<std::size_t>(pixelBytes));
        }
    }
}

void PLBitmap::convertToPaletted(const PLBitmap& source)
{
    if (source.bpp == 32) {
        PLQuantizer quantizer(paletteMode, ditherType);
        quantizer.applyInPlace(source, *this);
        return;
    }
    if (source.bpp != 1) {
        // Everything else goes through the 32-bit rules.
        PLMemBitmap trueColor;
        trueColor.createCopy(source, 32);
        convertToPaletted(trueColor);
        return;
    }
    create(source.width, source.height, 8, false);
    if (source.palette != nullptr) {
        palette[0] = source.palette[0];
        palette[1] = source.palette[1];
    } else {
        palette[0] = white;
        palette[1] = black;
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = source.lineArray[y];
        std::uint8_t* out = lineArray[y];
        for (int x = 0; x < width; ++x)
            out[x] = static_cast<std::uint8_t>((in[x >> 3] >> (7 - (x & 7))) & 1);
    }
}

void PLBitmap::convertToMonochrome(const PLBitmap& source)
{
    palette[0] = white;
    palette[1] = black;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = source.lineArray[y];
        std::uint8_t* out = lineArray[y];
        std::memset(out, 0, static_cast<std::size_t>(getBytesPerLine()));
        for (int x = 0; x < width; ++x) {
            PLPixel32 pixel = readPixel(source, in, x);
            if (pixel.r < 0x80 && pixel.g < 0x80 && pixel.b < 0x80)
                out[x >> 3] = static_cast<std::uint8_t>(out[x >> 3] | (0x80 >> (x & 7)));
        }
    }
}
