#include "platform/surface/ImageLoader.h"

#include "compat/win32/gdi/gdi.h"
#include "platform/image/decode/PLAutoDecoder.h"
#include "platform/image/bitmap/PLDibBitmap.h"
#include "platform/image/PLTextException.h"
#include "platform/surface/DirectDrawSurface.h"
#include "platform/surface/PixelFormat.h"
#include "platform/surface/SurfaceDesc.h"
#include "platform/surface/SurfaceFactory.h"
#include "runtime/DebugLog.h"
#include "runtime/GameException.h"
#include "runtime/containers/Buffer.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using Decode = std::function<void(PLAutoDecoder&, PLDibBitmap&)>;

Decode fromMemory(const Buffer& buffer)
{
    return [&buffer](PLAutoDecoder& decoder, PLDibBitmap& bitmap) {
        decoder.makeBmpFromMemory(buffer.data, static_cast<int>(buffer.size), bitmap, 0);
    };
}

Decode fromFile(const std::string& fileName)
{
    return [&fileName](PLAutoDecoder& decoder, PLDibBitmap& bitmap) {
        decoder.makeBmpFromFile(fileName.c_str(), bitmap, 0, nullptr);
    };
}

// Reads the file from the archive when it holds it; false when the file should come from disk.
bool readFromArchive(Archive* archive, const std::string& fileName, Buffer& buffer)
{
    if (!archive)
        return false;
    std::string name = fileName;
    toForwardSlashes(name);
    return archive->holdsFile(name) && archive->openFile(name) && archive->readWhole(buffer);
}

// A decoder's failure goes to the debug log as a line of its own.
void logDecodeFailure(const PLTextException& e)
{
    std::string text = e.getText();
    if (text.empty() || text.back() != '\n')
        text += '\n';
    DebugLog::instance().log(text);
}

// Draws the bitmap onto the surface through a device context: GDI converts the pixels into the
// surface's format.
HRESULT drawBitmap(DirectDrawSurface* surface, const PLDibBitmap& bitmap)
{
    IDirectDrawSurface4* target = surface->getInterface();
    HDC dc = nullptr;
    HRESULT result = target->GetDC(&dc);
    if (FAILED(result))
        return result;
    int w = bitmap.getWidth(), h = bitmap.getHeight();
    StretchDIBits(dc, 0, 0, w, h, 0, 0, w, h, bitmap.getBits(), bitmap.getBitmapInfo(), DIB_RGB_COLORS, SRCCOPY);
    target->ReleaseDC(dc);
    return S_OK;
}

// A 32-bit surface whose channels sit where a 32-bit DIB keeps them: drawing such a DIB on it copies
// every row byte for byte, so a true-colour picture can be decoded straight into its rows.
bool takesDibRowsAsTheyAre(const SurfaceDesc& desc)
{
    const PixelFormat& f = desc.format;
    return f.bitsPerPixel == 32 && f.redMask == 0x00FF0000u && f.greenMask == 0x0000FF00u && f.blueMask == 0x000000FFu
           && (f.alphaMask == 0 || f.alphaMask == 0xFF000000u);
}

// The bitmap a picture is decoded into. A true-colour picture whose surface takes DIB rows as they are
// goes straight into the rows of the new surface, which saves a picture-sized buffer and a copy; the
// surface is cleared like the DIB block unless the decoder writes every row, so every byte comes out
// as drawing the DIB would leave it.
// An 8-bit picture for such a surface is decoded as indices into the front of each row and widened in
// place to the opaque colours of its palette, as drawing the DIB does (index 0 where no row was
// decoded). Any other picture (other surface formats) is kept as a DIB and drawn through a device
// context afterwards.
//
// For the display (`forDisplay`), the description gives no format and the surface takes the display's,
// which the caller has found to take DIB rows; the channels the display lacks are cleared afterwards,
// as converting the decoded picture into such a surface clears them.
class DecodeTarget : public PLDibBitmap {
public:
    DecodeTarget(IDirectDraw4* directDraw, SurfaceDesc& desc, bool forDisplay = false)
        : directDraw(directDraw), desc(desc), forDisplay(forDisplay)
    {
    }
    ~DecodeTarget() override { dropSurface(); }

    // The surface holding the decoded rows, now unlocked and handed over; null when the picture was
    // kept as a DIB.
    std::unique_ptr<DirectDrawSurface> takeSurface()
    {
        if (surface && locked && bpp == 8)
            widenIndices();
        if (surface && locked && forDisplay)
            keepDisplayChannels();
        if (surface && locked) {
            surface->unlock();
            locked = false;
        }
        return std::move(surface);
    }
    // True when the surface for the picture was made and DirectDraw refused it: no picture.
    bool surfaceRefused() const { return refused; }

protected:
    void internalCreate(int newWidth, int newHeight, int newBpp, bool newAlpha) override
    {
        refused = false;
        if ((newBpp != 32 && newBpp != 8) || (!forDisplay && !takesDibRowsAsTheyAre(desc))) {
            PLDibBitmap::internalCreate(newWidth, newHeight, newBpp, newAlpha);
            return;
        }
        // The bitmap's own limits, for the depth it has (an 8-bit picture is refused as its DIB would be).
        checkedStorage(newWidth, newHeight, newBpp, (std::int64_t(newWidth) * newBpp + 31) / 32 * 4);
        desc.width = static_cast<std::uint32_t>(newWidth);
        desc.height = static_cast<std::uint32_t>(newHeight);
        surface.reset(createDirectDrawSurfaceFromDesc(directDraw, desc));
        // A decoder that writes every row needs no cleared surface; any other finds it black.
        if (surface && surface->getInterface() && (!forDisplay || takesDibRowsAsTheyAre(surface->getDesc()))
            && SUCCEEDED(fillingWhole ? surface->lockToOverwrite() : surface->lock()) && surface->pixels()) {
            locked = true;
            setFields(newWidth, newHeight, newBpp, newAlpha);
            palette = nullptr;
            if (newBpp == 8) {
                palette = ownPalette;
                setGreyPalette();
            }
            auto* rows = static_cast<std::uint8_t*>(surface->pixels());
            lineArray = new std::uint8_t*[static_cast<std::size_t>(newHeight > 0 ? newHeight : 1)];
            for (int y = 0; y < newHeight; ++y)
                lineArray[y] = rows + static_cast<std::ptrdiff_t>(y) * surface->getDesc().pitch;
            return;
        }
        // The decoder still needs somewhere to put the rows; the picture is dropped afterwards.
        dropSurface();
        refused = true;
        PLDibBitmap::internalCreate(newWidth, newHeight, newBpp, newAlpha);
    }

    void freeMembers() override
    {
        dropSurface();
        PLDibBitmap::freeMembers();
    }

private:
    // Each row holds its indices in its first width bytes; from the right, a pixel's four bytes never
    // cover an index still to be read.
    void widenIndices()
    {
        std::uint32_t colours[256];
        for (int i = 0; i < 256; ++i)
            colours[i] = 0xFF000000u | (std::uint32_t(palette[i].r) << 16) | (std::uint32_t(palette[i].g) << 8) |
                         palette[i].b;
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = lineArray[y];
            for (int x = width - 1; x >= 0; --x) {
                std::uint32_t value = colours[row[x]];
                std::memcpy(row + 4 * static_cast<std::size_t>(x), &value, 4);
            }
        }
    }

    // The decoded pixels are A8R8G8B8; the display keeps its own channels of them and clears the rest.
    void keepDisplayChannels()
    {
        const PixelFormat& f = surface->getDesc().format;
        const std::uint32_t keep = f.redMask | f.greenMask | f.blueMask | f.alphaMask;
        if (keep == 0xFFFFFFFFu)
            return;
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = lineArray[y];
            int x = 0;
#if defined(__SSE2__)
            const __m128i lanes = _mm_set1_epi32(static_cast<int>(keep));
            for (; x + 4 <= width; x += 4) {
                auto* four = reinterpret_cast<__m128i*>(row + 4 * static_cast<std::size_t>(x));
                _mm_storeu_si128(four, _mm_and_si128(_mm_loadu_si128(four), lanes));
            }
#endif
            for (; x < width; ++x) {
                std::uint32_t value;
                std::memcpy(&value, row + 4 * static_cast<std::size_t>(x), 4);
                value &= keep;
                std::memcpy(row + 4 * static_cast<std::size_t>(x), &value, 4);
            }
        }
    }

    void dropSurface()
    {
        if (surface && locked)
            surface->unlock();
        locked = false;
        surface.reset();
    }

    IDirectDraw4* directDraw;
    SurfaceDesc& desc;
    std::unique_ptr<DirectDrawSurface> surface;
    PLPixel32 ownPalette[256] = {};
    bool forDisplay;
    bool locked = false;
    bool refused = false;
};

DirectDrawSurface* decodeImage(IDirectDraw4* directDraw, SurfaceDesc& desc, const Decode& decode,
                               bool forDisplay = false)
{
    DecodeTarget bitmap(directDraw, desc, forDisplay);
    try {
        PLAutoDecoder decoder;
        decode(decoder, bitmap);
    } catch (const PLTextException& e) {
        logDecodeFailure(e);
        return nullptr;
    }
    if (bitmap.surfaceRefused())
        return nullptr;
    std::unique_ptr<DirectDrawSurface> surface = bitmap.takeSurface();
    // Only a picture decoded straight into its rows is converted as the display needs.
    if (!surface && forDisplay)
        return nullptr;
    if (!surface) {
        desc.width = static_cast<std::uint32_t>(bitmap.getWidth());
        desc.height = static_cast<std::uint32_t>(bitmap.getHeight());
        // Nobody holds the new surface yet (count 0) until it is handed out.
        surface.reset(createDirectDrawSurfaceFromDesc(directDraw, desc));
        // A surface that DirectDraw refused has nothing to draw on: no picture.
        if (!surface || !surface->getInterface() || FAILED(drawBitmap(surface.get(), bitmap)))
            return nullptr;
    }
    surface->setColorKey(desc.colorKey.get());
    return surface.release();
}

// The bitmap a mask map is decoded into. The map's byte is the blue channel the picture would have on
// an A8R8G8B8 surface. An 8-bit picture (grey levels or a palette) goes straight into the map, one
// index byte per pixel, and each index is then replaced by the blue of its palette entry, which is what
// drawing it onto such a surface gives; this saves a 32-bit picture, a drawing and a pass over it.
// Lines the decoder never reaches hold index 0, as in the zeroed DIB block (a decoder that writes every
// line leaves nothing to clear). Deeper pictures are kept as
// a DIB, whose 32-bit pixels carry blue in their first byte.
class MaskTarget : public PLDibBitmap {
public:
    ~MaskTarget() override { dropMask(); }

    // Lines in the map are packed: no reader may count on the DIB's padding.
    int getBytesPerLine() const override { return mask ? width : PLDibBitmap::getBytesPerLine(); }

    // The finished map (reference count 0), or null when it could not be had.
    MemorySurface* takeMask()
    {
        if (mask) {
            auto* bytes = static_cast<std::uint8_t*>(mask->pixels());
            std::uint8_t blue[256];
            bool levels = true; // each index is its own blue, as in an 8-bit grey picture
            for (int i = 0; i < 256; ++i) {
                blue[i] = palette[i].b;
                levels = levels && blue[i] == i;
            }
            std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
            if (!levels) {
                for (std::size_t i = 0; i < count; ++i)
                    bytes[i] = blue[bytes[i]];
            }
            return mask.release();
        }
        if (refused || getBitsPerPixel() != 32)
            return nullptr;
        std::unique_ptr<MemorySurface> map(
            createMemorySurface(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)));
        if (!map)
            return nullptr;
        auto* out = static_cast<std::uint8_t*>(map->pixels());
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = lineArray[y];
            for (int x = 0; x < width; ++x)
                *out++ = row[4 * x];
        }
        return map.release();
    }

protected:
    void internalCreate(int newWidth, int newHeight, int newBpp, bool newAlpha) override
    {
        refused = false;
        if (newBpp != 8) {
            PLDibBitmap::internalCreate(newWidth, newHeight, newBpp, newAlpha);
            return;
        }
        checkedStorage(newWidth, newHeight, newBpp, newWidth);
        mask.reset(createMemorySurface(static_cast<std::uint32_t>(newWidth), static_cast<std::uint32_t>(newHeight)));
        if (!mask) {
            // The decoder still needs somewhere to put the rows; the map is dropped afterwards.
            refused = true;
            PLDibBitmap::internalCreate(newWidth, newHeight, newBpp, newAlpha);
            return;
        }
        auto* bytes = static_cast<std::uint8_t*>(mask->pixels());
        std::size_t count = static_cast<std::size_t>(newWidth) * static_cast<std::size_t>(newHeight);
        if (count != 0 && !fillingWhole)
            std::memset(bytes, 0, count);
        setFields(newWidth, newHeight, newBpp, newAlpha);
        palette = ownPalette;
        setGreyPalette();
        lineArray = new std::uint8_t*[static_cast<std::size_t>(newHeight > 0 ? newHeight : 1)];
        for (int y = 0; y < newHeight; ++y)
            lineArray[y] = bytes + static_cast<std::size_t>(y) * static_cast<std::size_t>(newWidth);
    }

    void freeMembers() override
    {
        dropMask();
        PLDibBitmap::freeMembers();
    }

private:
    void dropMask() { mask.reset(); }

    std::unique_ptr<MemorySurface> mask;
    PLPixel32 ownPalette[256] = {};
    bool refused = false;
};

MemorySurface* decodeMask(const Decode& decode)
{
    MaskTarget bitmap;
    try {
        PLAutoDecoder decoder;
        decode(decoder, bitmap);
    } catch (const PLTextException& e) {
        logDecodeFailure(e);
        return nullptr;
    }
    return bitmap.takeMask();
}

void decodeDib(PLDibBitmap& bitmap, const Decode& decode)
{
    try {
        PLAutoDecoder decoder;
        decode(decoder, bitmap);
    } catch (const PLTextException& e) {
        throw GameTextException(0, e.getText());
    }
}

} // namespace

SurfaceDesc sourceImageDesc()
{
    SurfaceDesc desc;
    desc.format.set(0xFF000000u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 32);
    desc.memoryType = SurfaceDesc::SystemMemory;
    return desc;
}

DirectDrawSurface* decodeImageFromMemory(IDirectDraw4* directDraw, const Buffer& buffer, SurfaceDesc& desc)
{
    return decodeImage(directDraw, desc, fromMemory(buffer));
}

DirectDrawSurface* decodeImageFromFile(IDirectDraw4* directDraw, const std::string& fileName, SurfaceDesc& desc)
{
    return decodeImage(directDraw, desc, fromFile(fileName));
}

bool displayTakesDibRows(IDirectDraw4* directDraw)
{
    if (directDraw == nullptr)
        return false;
    DDSURFACEDESC2 mode{};
    mode.dwSize = 124;
    if (FAILED(directDraw->GetDisplayMode(&mode)))
        return false;
    SurfaceDesc desc;
    desc.format.set(mode.ddpfPixelFormat.dwRGBAlphaBitMask, mode.ddpfPixelFormat.dwRBitMask,
                    mode.ddpfPixelFormat.dwGBitMask, mode.ddpfPixelFormat.dwBBitMask,
                    mode.ddpfPixelFormat.dwRGBBitCount);
    return takesDibRowsAsTheyAre(desc);
}

DirectDrawSurface* decodeImageForDisplay(IDirectDraw4* directDraw, const std::string& fileName, SurfaceDesc& desc)
{
    return decodeImage(directDraw, desc, fromFile(fileName), true);
}

DirectDrawSurface* loadImageFromArchiveOrFile(IDirectDraw4* directDraw, Archive* archive, const std::string& fileName,
                                              SurfaceDesc& desc)
{
    Buffer buffer;
    if (readFromArchive(archive, fileName, buffer))
        return decodeImageFromMemory(directDraw, buffer, desc);
    return decodeImageFromFile(directDraw, fileName, desc);
}

MemorySurface* decodeMaskFromMemory(IDirectDraw4* directDraw, const Buffer& buffer)
{
    (void)directDraw;
    return decodeMask(fromMemory(buffer));
}

MemorySurface* decodeMaskFromFile(IDirectDraw4* directDraw, const std::string& fileName)
{
    (void)directDraw;
    return decodeMask(fromFile(fileName));
}

MemorySurface* loadSurfaceFromArchiveOrFile(IDirectDraw4* directDraw, Archive* archive, const std::string& fileName)
{
    Buffer buffer;
    if (readFromArchive(archive, fileName, buffer))
        return decodeMaskFromMemory(directDraw, buffer);
    return decodeMaskFromFile(directDraw, fileName);
}

void decodeDibFromMemory(const Buffer& buffer, PLDibBitmap& bitmap)
{
    decodeDib(bitmap, fromMemory(buffer));
}

void decodeDibFromFile(const std::string& fileName, PLDibBitmap& bitmap)
{
    decodeDib(bitmap, fromFile(fileName));
}

void loadDibFromArchiveOrFile(Archive* archive, const std::string& fileName, PLDibBitmap& bitmap)
{
    Buffer buffer;
    if (readFromArchive(archive, fileName, buffer))
        decodeDibFromMemory(buffer, bitmap);
    else
        decodeDibFromFile(fileName, bitmap);
}
