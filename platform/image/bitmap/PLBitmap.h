// A decoded picture: size, depth, palette and one pointer per line (line 0 is the top row). Pixel
// layout: 1-bit pixels packed most significant bit first, 8-bit palette indices, 24-bit blue-green-red,
// 32-bit blue-green-red-alpha. Subclasses decide where the pixels live.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/image/PLObject.h"
#include "platform/image/bitmap/PLPixel32.h"

class PLBitmap : public PLObject {
public:
    PLBitmap() = default;
    PLBitmap(const PLBitmap&) = delete;
    ~PLBitmap() override = default;

    // Copies the source through createCopy(source, 0).
    PLBitmap& operator=(const PLBitmap& source);

    virtual void create(int width, int height, int bpp, bool alpha, int xResolution = 0, int yResolution = 0);
    // As create, for a decoder that writes every pixel of every line itself: the pixels are left as the
    // allocator gives them instead of being cleared first.
    void createToFill(int width, int height, int bpp, bool alpha);
    // A decoder that made the bitmap with createToFill and stopped on the way clears it, so that no
    // line shows old memory.
    void clearUnfilled();
    virtual std::size_t getMemUsed() const = 0;
    virtual int getBytesPerLine() const = 0;
    virtual void lock(bool forRead, bool forWrite);
    virtual void unlock();

    // Same-depth copy of size, lines, palette and resolution.
    void assign(const PLBitmap& source);
    // Copy converted to bpp (0: the source's own depth).
    void createCopy(const PLBitmap& source, int bpp);
    // Copies getNumColors() entries.
    void setPalette(const PLPixel32* table);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    int getBitsPerPixel() const { return bpp; }
    // 2^bpp, and 2^24 for 32 bits per pixel.
    int getNumColors() const;
    bool hasAlpha() const { return alpha; }
    PLPixel32* getPalette() const { return palette; }
    std::uint8_t** getLineArray() const { return lineArray; }
    int getXResolution() const { return xResolution; }
    int getYResolution() const { return yResolution; }
    void setResolution(int x, int y);
    int getLockCount() const { return lockCount; }
    int getDitherType() const { return ditherType; }
    void setDitherType(int type) { ditherType = type; }
    int getPaletteMode() const { return paletteMode; }
    void setPaletteMode(int mode) { paletteMode = mode; }

protected:
    // Allocates pixels (and palette), sets the fields, builds the line array and gives palettes a grey
    // ramp.
    virtual void internalCreate(int width, int height, int bpp, bool alpha) = 0;
    virtual void freeMembers() = 0;
    virtual void initLineArray() = 0;

    // Rejects shapes no bitmap can have (negative sizes, depths other than 1, 4, 8, 16, 24, 32) and
    // storage beyond what the line arithmetic can address; returns height rows of lineBytes.
    static std::size_t checkedStorage(int width, int height, int bpp, std::int64_t lineBytes);
    // For subclasses: sets the common fields once their storage exists.
    void setFields(int width, int height, int bpp, bool alpha);
    void setGreyPalette();

    // True while createToFill runs: internalCreate need not clear the pixels.
    bool fillingWhole = false;
    int width = 0;
    int height = 0;
    std::uint16_t bpp = 0;
    int xResolution = 0;
    int yResolution = 0;
    PLPixel32* palette = nullptr;
    bool alpha = false;
    std::uint8_t** lineArray = nullptr;
    int lockCount = 0;
    int ditherType = 0;
    int paletteMode = 2;

private:
    bool madeToFill = false;

    void convertToTrueColor(const PLBitmap& source);
    void convertToPaletted(const PLBitmap& source);
    void convertToMonochrome(const PLBitmap& source);
};
