// Base of the image decoders: opens a file, a resource or a block of memory as a source, decodes it
// into a bitmap and converts the result up to a requested depth. Failures are PLTextExceptions.
#pragma once

#include <cstdint>

#include "compat/win32/base.h"
#include "platform/image/PLObject.h"

class PLBitmap;
class PLSource;
class PLIProgressNotification;

class PLImageDecoder : public PLObject {
public:
    PLImageDecoder() = default;
    PLImageDecoder(const PLImageDecoder&) = delete;
    PLImageDecoder& operator=(const PLImageDecoder&) = delete;
    ~PLImageDecoder() override;

    // bpp 0 keeps the image's own depth; a larger one converts up to it.
    virtual void makeBmpFromFile(const char* fileName, PLBitmap& bmp, int bpp = 0,
                                 PLIProgressNotification* notifier = nullptr);
    // type 0 means raw data.
    virtual void makeBmpFromResource(HMODULE module, int id, PLBitmap& bmp, int bpp = 0, int type = 0);
    virtual void makeBmpFromMemory(const std::uint8_t* bytes, int size, PLBitmap& bmp, int bpp = 0);
    virtual void makeBmp(PLSource& source, PLBitmap& bmp, int bpp);
    // Closes and deletes the current source.
    virtual void close();

    virtual void decode(PLBitmap& bmp, PLSource& source) = 0;

    // The largest picture any decoder accepts: a hostile header must not force a huge allocation.
    static constexpr int maxSide = 16384;
    static constexpr std::int64_t maxPixels = std::int64_t(1) << 25;
    static bool isAcceptableSize(std::int64_t width, std::int64_t height);

protected:
    // While the lines are written: lock on construction, unlock when done or left by an exception.
    class LineLock {
    public:
        explicit LineLock(PLBitmap& bmp);
        ~LineLock();
        LineLock(const LineLock&) = delete;
        LineLock& operator=(const LineLock&) = delete;

    private:
        PLBitmap& bmp;
    };

private:
    // Decodes from the current source, closing it whatever happens.
    void decodeCurrent(PLBitmap& bmp, int bpp);

    PLSource* current = nullptr;
};
