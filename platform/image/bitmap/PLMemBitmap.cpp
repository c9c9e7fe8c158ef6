#include "platform/image/bitmap/PLMemBitmap.h"

#include <cstdlib>
#include <new>

#include "platform/image/PLTextException.h"

PLMemBitmap::PLMemBitmap()
{
    internalCreate(16, 16, 8, false);
}

PLMemBitmap::~PLMemBitmap()
{
    freeMembers();
}

PLMemBitmap& PLMemBitmap::operator=(const PLMemBitmap& source)
{
    createCopy(source, 0);
    return *this;
}

int PLMemBitmap::bytesPerLine(int width, int bpp)
{
    // Whole bytes; a 1-bit line whose width is not a multiple of 8 gets one more.
    return (width * bpp + 7) / 8;
}

std::size_t PLMemBitmap::getMemUsed() const
{
    std::size_t paletteBytes = palette != nullptr ? sizeof(PLPixel32) * static_cast<std::size_t>(getNumColors()) : 0;
    return pixelBytes + paletteBytes + sizeof(*this);
}

int PLMemBitmap::getBytesPerLine() const
{
    return bytesPerLine(width, bpp);
}

void PLMemBitmap::internalCreate(int newWidth, int newHeight, int newBpp, bool newAlpha)
{
    std::size_t bytes = checkedStorage(newWidth, newHeight, newBpp, (std::int64_t(newWidth) * newBpp + 7) / 8);
    pixels = static_cast<std::uint8_t*>(fillingWhole ? std::malloc(bytes > 0 ? bytes : 1)
                                                     : std::calloc(bytes > 0 ? bytes : 1, 1));
    if (newBpp <= 8)
        palette = new (std::nothrow) PLPixel32[std::size_t(1) << newBpp];
    if (pixels == nullptr || (newBpp <= 8 && palette == nullptr)) {
        freeMembers();
        throw PLTextException(PLTextException::OutOfMemory, "Out of memory creating bitmap.");
    }
    pixelBytes = bytes;
    setFields(newWidth, newHeight, newBpp, newAlpha);
    initLineArray();
    setGreyPalette();
}

void PLMemBitmap::freeMembers()
{
    std::free(pixels);
    pixels = nullptr;
    pixelBytes = 0;
    delete[] palette;
    palette = nullptr;
    delete[] lineArray;
    lineArray = nullptr;
    width = 0;
    height = 0;
}

void PLMemBitmap::initLineArray()
{
    lineArray = new std::uint8_t*[static_cast<std::size_t>(height > 0 ? height : 1)];
    int lineBytes = getBytesPerLine();
    for (int y = 0; y < height; ++y)
        lineArray[y] = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(lineBytes);
}
