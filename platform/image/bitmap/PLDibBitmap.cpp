#include "platform/image/bitmap/PLDibBitmap.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "compat/win32/system/process/resources.h"
#include "platform/image/PLTextException.h"

namespace {

const char* const outOfMemory = "Out of memory creating bitmap.";

} // namespace

PLDibBitmap::PLDibBitmap()
{
    internalCreate(16, 16, 8, false);
}

PLDibBitmap::~PLDibBitmap()
{
    freeMembers();
}

PLDibBitmap& PLDibBitmap::operator=(const PLDibBitmap& source)
{
    createCopy(source, 0);
    return *this;
}

int PLDibBitmap::calcBytesPerLine(int width, int bpp)
{
    return (width * bpp + 31) / 32 * 4;
}

std::size_t PLDibBitmap::colourTableBytes(int bpp)
{
    return bpp < 16 ? sizeof(RGBQUAD) << bpp : 0;
}

std::size_t PLDibBitmap::calcBitsSize(int width, int height, int bpp)
{
    return static_cast<std::size_t>(calcBytesPerLine(width, bpp)) * static_cast<std::size_t>(height);
}

std::size_t PLDibBitmap::calcBlockSize(int width, int height, int bpp)
{
    return sizeof(BITMAPINFOHEADER) + colourTableBytes(bpp) + calcBitsSize(width, height, bpp);
}

std::size_t PLDibBitmap::getMemUsed() const
{
    return blockSize + sizeof(*this);
}

int PLDibBitmap::getBytesPerLine() const
{
    return calcBytesPerLine(width, bpp);
}

void PLDibBitmap::allocateBlock(int newWidth, int newHeight, int newBpp)
{
    checkedStorage(newWidth, newHeight, newBpp, (std::int64_t(newWidth) * newBpp + 31) / 32 * 4);
    std::size_t bytes = calcBlockSize(newWidth, newHeight, newBpp);
    // Zeroed, so rows that a short or damaged image never reaches hold black, not old memory; a decoder
    // that writes every row itself skips that.
    block = static_cast<std::uint8_t*>(fillingWhole ? std::malloc(bytes) : std::calloc(bytes, 1));
    if (block == nullptr)
        throw PLTextException(PLTextException::OutOfMemory, outOfMemory);
    blockSize = bytes;
}

void PLDibBitmap::internalCreate(int newWidth, int newHeight, int newBpp, bool newAlpha)
{
    allocateBlock(newWidth, newHeight, newBpp);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = newWidth;
    header.biHeight = newHeight;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(newBpp);
    header.biCompression = BI_RGB;
    std::memcpy(block, &header, sizeof(header));
    setFields(newWidth, newHeight, newBpp, newAlpha);
    initPointers();
    initLineArray();
    setGreyPalette();
}

void PLDibBitmap::initPointers()
{
    palette = bpp < 16 ? reinterpret_cast<PLPixel32*>(block + sizeof(BITMAPINFOHEADER)) : nullptr;
    bits = block + sizeof(BITMAPINFOHEADER) + colourTableBytes(bpp);
}

void PLDibBitmap::initLineArray()
{
    lineArray = new std::uint8_t*[static_cast<std::size_t>(height > 0 ? height : 1)];
    std::size_t lineBytes = static_cast<std::size_t>(getBytesPerLine());
    for (int y = 0; y < height; ++y)
        lineArray[y] = bits + static_cast<std::size_t>(height - 1 - y) * lineBytes;
}

void PLDibBitmap::freeMembers()
{
    std::free(block);
    block = nullptr;
    bits = nullptr;
    blockSize = 0;
    palette = nullptr;
    delete[] lineArray;
    lineArray = nullptr;
    width = 0;
    height = 0;
}

void PLDibBitmap::loadResource(HMODULE module, int id)
{
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), RT_BITMAP);
    HGLOBAL data = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* info = data != nullptr ? LockResource(data) : nullptr;
    if (info == nullptr) {
        char text[64];
        std::snprintf(text, sizeof(text), "Opening resource %i failed", id);
        throw PLTextException(PLTextException::FileNotFound, text);
    }
    freeMembers();
    createFromInfo(static_cast<const BITMAPINFO*>(info));
}

void PLDibBitmap::createFromInfo(const BITMAPINFO* info)
{
    BITMAPINFOHEADER header;
    std::memcpy(&header, &info->bmiHeader, sizeof(header));
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth < 0 || header.biHeight < 0)
        throw PLTextException(PLTextException::FormatError, "Illegal bitmap size.");
    int newBpp = header.biBitCount;
    int newWidth = header.biWidth;
    int newHeight = header.biHeight;
    std::uint8_t* previousBlock = block;
    std::uint8_t** previousLines = lineArray;
    block = nullptr;
    lineArray = nullptr;
    try {
        allocateBlock(newWidth, newHeight, newBpp);
    } catch (...) {
        block = previousBlock;
        lineArray = previousLines;
        throw;
    }
    std::free(previousBlock);
    delete[] previousLines;

    // The source's colour table may be shorter than the full one when it says how many colours it uses.
    const auto* source = reinterpret_cast<const std::uint8_t*>(info);
    std::size_t tableBytes = colourTableBytes(newBpp);
    std::size_t sourceTableBytes = tableBytes;
    if (header.biClrUsed != 0 && header.biClrUsed < (tableBytes / sizeof(RGBQUAD)))
        sourceTableBytes = header.biClrUsed * sizeof(RGBQUAD);
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biCompression = BI_RGB;
    header.biClrUsed = 0;
    header.biClrImportant = 0;
    std::memcpy(block, &header, sizeof(header));
    const std::uint8_t* sourceTable = source + info->bmiHeader.biSize;
    std::memcpy(block + sizeof(header), sourceTable, sourceTableBytes);
    std::memcpy(block + sizeof(header) + tableBytes, sourceTable + sourceTableBytes,
                calcBitsSize(newWidth, newHeight, newBpp));
    setFields(newWidth, newHeight, newBpp, false);
    initPointers();
    initLineArray();
}

void PLDibBitmap::stretchDraw(HDC dc, int x, int y, DWORD rop)
{
    stretchDrawTo(dc, x, y, width, height, rop);
}

void PLDibBitmap::drawScaled(HDC dc, int x, int y, double factor, DWORD rop)
{
    stretchDrawTo(dc, x, y, static_cast<int>(width * factor), static_cast<int>(height * factor), rop);
}

void PLDibBitmap::stretchDrawTo(HDC dc, int x, int y, int destWidth, int destHeight, DWORD rop)
{
    StretchDIBits(dc, x, y, destWidth, destHeight, 0, 0, width, height, bits, getBitmapInfo(), DIB_RGB_COLORS, rop);
}

void PLDibBitmap::drawPart(HDC dc, int x, int y, const RECT& sourceRect)
{
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(sourceRect.right - sourceRect.left),
                      static_cast<DWORD>(sourceRect.bottom - sourceRect.top), sourceRect.left,
                      height - sourceRect.bottom, 0, static_cast<UINT>(height), bits, getBitmapInfo(),
                      DIB_RGB_COLORS);
}

HGLOBAL PLDibBitmap::getGlobalCopy() const
{
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, getMemUsed());
    if (handle == nullptr)
        throw PLTextException(PLTextException::OutOfMemory, "Can't allocate global memory block.");
    void* target = GlobalLock(handle);
    // The block is all the DIB there is; the object's own size only pads the allocation.
    std::memcpy(target, block, blockSize);
    GlobalUnlock(handle);
    return handle;
}
