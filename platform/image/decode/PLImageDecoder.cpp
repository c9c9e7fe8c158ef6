#include "platform/image/decode/PLImageDecoder.h"

#include <cstdio>

#include "platform/image/bitmap/PLBitmap.h"
#include "platform/image/source/PLFileMapSource.h"
#include "platform/image/bitmap/PLMemBitmap.h"
#include "platform/image/source/PLMemorySource.h"
#include "platform/image/source/PLResSource.h"
#include "platform/image/PLTextException.h"
#include "platform/image/PLTrace.h"

PLImageDecoder::~PLImageDecoder()
{
    close();
}

bool PLImageDecoder::isAcceptableSize(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide && width * height <= maxPixels;
}

PLImageDecoder::LineLock::LineLock(PLBitmap& bmp) : bmp(bmp)
{
    bmp.lock(false, true);
}

PLImageDecoder::LineLock::~LineLock()
{
    bmp.unlock();
}

void PLImageDecoder::makeBmpFromFile(const char* fileName, PLBitmap& bmp, int bpp, PLIProgressNotification* notifier)
{
    PLTrace::tracef(1, "--- Decoding file %s. ---\n", fileName);
    close();
    auto* source = new PLFileMapSource(notifier);
    int result = source->open(fileName);
    if (result != 0) {
        delete source;
        char text[1200];
        std::snprintf(text, sizeof(text), "Opening %s failed", fileName);
        PLTrace::raise(result, text);
    }
    current = source;
    decodeCurrent(bmp, bpp);
}

void PLImageDecoder::makeBmpFromResource(HMODULE module, int id, PLBitmap& bmp, int bpp, int type)
{
    PLTrace::tracef(1, "--- Decoding resource ID %i. ---\n", id);
    close();
    auto* source = new PLResSource();
    int result = source->open(module, id, type);
    if (result != 0) {
        delete source;
        char text[64];
        std::snprintf(text, sizeof(text), "Opening resource %i failed", id);
        PLTrace::raise(result, text);
    }
    current = source;
    decodeCurrent(bmp, bpp);
}

void PLImageDecoder::makeBmpFromMemory(const std::uint8_t* bytes, int size, PLBitmap& bmp, int bpp)
{
    PLTrace::tracef(1, "--- Decoding from memory at %p. ---\n", static_cast<const void*>(bytes));
    close();
    auto* source = new PLMemorySource();
    int result = source->open(bytes, size);
    if (result != 0) {
        delete source;
        char text[64];
        std::snprintf(text, sizeof(text), "Reading from memory at %p failed", static_cast<const void*>(bytes));
        PLTrace::raise(result, text);
    }
    current = source;
    decodeCurrent(bmp, bpp);
}

void PLImageDecoder::decodeCurrent(PLBitmap& bmp, int bpp)
{
    try {
        makeBmp(*current, bmp, bpp);
    } catch (...) {
        close();
        throw;
    }
    close();
}

void PLImageDecoder::makeBmp(PLSource& source, PLBitmap& bmp, int bpp)
{
    try {
        decode(bmp, source);
    } catch (...) {
        bmp.clearUnfilled();
        throw;
    }
    if (bpp == 0 || bpp == bmp.getBitsPerPixel())
        return;
    if (bmp.getBitsPerPixel() > bpp)
        PLTrace::raise(PLTextException::Unsupported, "Image bit depth doesn't match request.");
    PLMemBitmap converted;
    converted.createCopy(bmp, bpp);
    bmp = converted;
}

void PLImageDecoder::close()
{
    if (current != nullptr) {
        current->close();
        delete current;
        current = nullptr;
    }
}
