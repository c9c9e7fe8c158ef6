#include "platform/image/decode/PLPngReader.h"

#include <csetjmp>
#include <cstring>
#include <png.h>

#include "platform/image/bitmap/PLBitmap.h"
#include "platform/image/source/PLSource.h"
#include "platform/image/PLTextException.h"
#include "platform/image/PLTrace.h"

namespace {

// What libpng's callbacks share with the reader. The callbacks never throw: a C++ exception must not
// pass through the library's frames, so they record what happened and jump back to the reader.
struct PngJob {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PLSource* source = nullptr;
    bool endOfData = false;
    char message[256] = {};
};

PngJob* jobOf(png_structp png)
{
    return static_cast<PngJob*>(png_get_error_ptr(png));
}

void onError(png_structp png, png_const_charp message)
{
    PngJob* job = jobOf(png);
    std::snprintf(job->message, sizeof(job->message), "%s", message != nullptr ? message : "");
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onRead(png_structp png, png_bytep target, png_size_t length)
{
    PngJob* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (length > static_cast<png_size_t>(job->source->getRemaining())) {
        job->endOfData = true;
        png_error(png, "End of file reached while decoding.");
    }
    std::memcpy(target, job->source->read(static_cast<int>(length)), length);
}

// The two stretches of library work. Each returns false when the library jumped back with an error;
// nothing in them has a destructor or can throw.
struct PngHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    png_size_t rowBytes = 0;
};

bool readHeader(PngJob& job, PngHeader& header)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    png_set_read_fn(job.png, &job, onRead);
    png_set_user_limits(job.png, PLImageDecoder::maxSide, PLImageDecoder::maxSide);
    png_read_info(job.png, job.info);
    int interlace = 0;
    png_get_IHDR(job.png, job.info, &header.width, &header.height, &header.bitDepth, &header.colourType, &interlace,
                 nullptr, nullptr);
    png_set_strip_16(job.png);
    png_set_packing(job.png);
    switch (header.colourType) {
    case PNG_COLOR_TYPE_RGB:
        png_set_bgr(job.png);
        png_set_filler(job.png, 0xFF, PNG_FILLER_AFTER);
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        png_set_expand(job.png);
        png_set_gray_to_rgb(job.png);
        png_set_bgr(job.png);
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        png_set_bgr(job.png);
        break;
    default:
        break;
    }
    png_set_interlace_handling(job.png);
    png_read_update_info(job.png, job.info);
    header.rowBytes = png_get_rowbytes(job.png, job.info);
    return true;
}

bool readImage(PngJob& job, png_bytepp lines)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    png_read_image(job.png, lines);
    png_read_end(job.png, nullptr);
    return true;
}

// Frees the library's structures however decoding ends.
class PngJobOwner {
public:
    explicit PngJobOwner(PngJob& job) : job(job) {}
    ~PngJobOwner() { png_destroy_read_struct(&job.png, job.info != nullptr ? &job.info : nullptr, nullptr); }
    PngJobOwner(const PngJobOwner&) = delete;
    PngJobOwner& operator=(const PngJobOwner&) = delete;

private:
    PngJob& job;
};

[[noreturn]] void raiseLibraryError(const PngJob& job)
{
    if (job.endOfData)
        PLTrace::raise(PLTextException::EndOfFile, "End of file reached while decoding.\n");
    PLTrace::raise(PLTextException::FormatError, job.message);
}

} // namespace

void PLPngReader::decode(PLBitmap& bmp, PLSource& source)
{
    PngJob job;
    job.source = &source;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, onError, onWarning);
    if (job.png == nullptr)
        PLTrace::raise(PLTextException::OutOfMemory, "Out of memory.");
    PngJobOwner owner(job);
    job.info = png_create_info_struct(job.png);
    if (job.info == nullptr)
        PLTrace::raise(PLTextException::OutOfMemory, "Out of memory.");

    PngHeader header;
    if (!readHeader(job, header))
        raiseLibraryError(job);
    if (!isAcceptableSize(header.width, header.height))
        PLTrace::raise(PLTextException::FormatError, "Image size out of range.");

    int width = static_cast<int>(header.width);
    int height = static_cast<int>(header.height);
    bool paletted = header.colourType == PNG_COLOR_TYPE_PALETTE;
    bool trueColour = !paletted && (header.colourType & (PNG_COLOR_MASK_COLOR | PNG_COLOR_MASK_ALPHA)) != 0;
    bmp.createToFill(width, height, trueColour ? 32 : 8, header.colourType & PNG_COLOR_MASK_ALPHA);
    if (header.rowBytes > static_cast<png_size_t>(bmp.getBytesPerLine()))
        PLTrace::raise(PLTextException::FormatError, "Unexpected PNG row size.");

    if (paletted) {
        png_colorp entries = nullptr;
        int count = 0;
        png_get_PLTE(job.png, job.info, &entries, &count);
        for (int i = 0; i < count && i < 256; ++i)
            bmp.getPalette()[i] = {entries[i].blue, entries[i].green, entries[i].red, 255};
    } else if (!trueColour) {
        // Grey: a ramp over the levels of the (at most 8-bit) samples.
        int levels = 1 << (header.bitDepth > 8 ? 8 : header.bitDepth);
        for (int i = 0; i < levels; ++i) {
            auto level = static_cast<std::uint8_t>(i * 255 / (levels - 1));
            bmp.getPalette()[i] = {level, level, level, 255};
        }
    }

    {
        LineLock lock(bmp);
        if (!readImage(job, bmp.getLineArray()))
            raiseLibraryError(job);
    }

    png_uint_32 xPerMeter = 0;
    png_uint_32 yPerMeter = 0;
    int unit = 0;
    if (png_get_pHYs(job.png, job.info, &xPerMeter, &yPerMeter, &unit) && unit == PNG_RESOLUTION_METER)
        bmp.setResolution(static_cast<int>(xPerMeter * 0.0254 + 0.5), static_cast<int>(yPerMeter * 0.0254 + 0.5));
    else
        bmp.setResolution(0, 0);
}
