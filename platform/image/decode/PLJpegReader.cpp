#include "platform/image/decode/PLJpegReader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#ifndef JCS_EXTENSIONS
#error "libjpeg-turbo's extended colour spaces are needed to decode into 4-byte pixels"
#endif

#include "platform/image/bitmap/PLBitmap.h"
#include "platform/image/source/PLSource.h"
#include "platform/image/PLTextException.h"
#include "platform/image/PLTrace.h"

namespace {

// The library's memory ceiling: beyond it a picture (a progressive one needs a buffer for the whole
// image) fails instead of taking the machine's memory.
constexpr long memoryLimit = 256L * 1024 * 1024;

// What the library's callbacks share with the reader. The callbacks never throw: a C++ exception must
// not pass through the library's frames, so errors jump back to the reader, which then raises.
struct JpegJob {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    jpeg_source_mgr input;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX + 2];
};

JpegJob* jobOf(j_common_ptr info)
{
    return static_cast<JpegJob*>(info->client_data);
}

void onErrorExit(j_common_ptr info)
{
    JpegJob* job = jobOf(info);
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    std::snprintf(job->message, sizeof(job->message), "%s\n", text);
    std::longjmp(job->back, 1);
}

// Warnings and traces are not printed anywhere.
void onOutputMessage(j_common_ptr) {}

const JOCTET endOfImage[2] = {0xFF, JPEG_EOI};

void initSource(j_decompress_ptr) {}

// The whole input was handed over at once; asking for more means the data ended early. The library
// gets an end-of-image marker and finishes with what it has.
boolean fillInputBuffer(j_decompress_ptr info)
{
    WARNMS(info, JWRN_JPEG_EOF);
    info->src->next_input_byte = endOfImage;
    info->src->bytes_in_buffer = sizeof(endOfImage);
    return TRUE;
}

void skipInputData(j_decompress_ptr info, long bytes)
{
    if (bytes <= 0)
        return;
    if (static_cast<std::size_t>(bytes) > info->src->bytes_in_buffer) {
        fillInputBuffer(info);
        return;
    }
    info->src->next_input_byte += bytes;
    info->src->bytes_in_buffer -= static_cast<std::size_t>(bytes);
}

void termSource(j_decompress_ptr) {}

struct JpegHeader {
    int width = 0;
    int height = 0;
    bool grey = false;
    int components = 0;
};

// The stretches of library work. Each returns false when the library jumped back with an error;
// nothing in them has a destructor or can throw.
bool readHeader(JpegJob& job, PLSource& source, bool fastUpsampling, JpegHeader& header)
{
    if (setjmp(job.back))
        return false;
    jpeg_create_decompress(&job.info);
    job.info.mem->max_memory_to_use = memoryLimit;
    job.input.init_source = initSource;
    job.input.fill_input_buffer = fillInputBuffer;
    job.input.skip_input_data = skipInputData;
    job.input.resync_to_restart = jpeg_resync_to_restart;
    job.input.term_source = termSource;
    job.input.next_input_byte = source.data();
    job.input.bytes_in_buffer = static_cast<std::size_t>(source.getRemaining());
    job.info.src = &job.input;
    jpeg_read_header(&job.info, TRUE);
    if (fastUpsampling)
        job.info.do_fancy_upsampling = FALSE;
    job.info.dct_method = JDCT_FLOAT;
    header.grey = job.info.jpeg_color_space == JCS_GRAYSCALE;
    // Colour lines come as blue, green, red and a filler byte, the bitmap's own pixel layout.
    job.info.out_color_space = header.grey ? JCS_GRAYSCALE : JCS_EXT_BGRX;
    header.width = static_cast<int>(job.info.image_width);
    header.height = static_cast<int>(job.info.image_height);
    return true;
}

bool startDecompress(JpegJob& job, JpegHeader& header)
{
    if (setjmp(job.back))
        return false;
    jpeg_start_decompress(&job.info);
    header.components = job.info.output_components;
    return true;
}

bool readScanline(JpegJob& job, JSAMPROW row)
{
    if (setjmp(job.back))
        return false;
    jpeg_read_scanlines(&job.info, &row, 1);
    return true;
}

bool finishDecompress(JpegJob& job)
{
    if (setjmp(job.back))
        return false;
    jpeg_finish_decompress(&job.info);
    return true;
}

class JpegJobOwner {
public:
    explicit JpegJobOwner(JpegJob& job) : job(job) {}
    ~JpegJobOwner() { jpeg_destroy_decompress(&job.info); }
    JpegJobOwner(const JpegJobOwner&) = delete;
    JpegJobOwner& operator=(const JpegJobOwner&) = delete;

private:
    JpegJob& job;
};

} // namespace

void PLJpegReader::decode(PLBitmap& bmp, PLSource& source)
{
    JpegJob job;
    std::memset(&job, 0, sizeof(job));
    job.info.client_data = &job;
    job.info.err = jpeg_std_error(&job.errors);
    job.errors.error_exit = onErrorExit;
    job.errors.output_message = onOutputMessage;
    JpegJobOwner owner(job);

    JpegHeader header;
    if (!readHeader(job, source, fastUpsampling, header))
        PLTrace::raise(PLTextException::Unsupported, job.message);
    if (!isAcceptableSize(header.width, header.height))
        PLTrace::raise(PLTextException::FormatError, "Image size out of range.");
    if (!startDecompress(job, header))
        PLTrace::raise(PLTextException::Unsupported, job.message);
    if (header.components != (header.grey ? 1 : 4) || static_cast<int>(job.info.output_width) != header.width)
        PLTrace::raise(PLTextException::Unsupported, "Unexpected JPEG output format.\n");

    bmp.createToFill(header.width, header.height, header.grey ? 8 : 32, false);
    {
        // Every scanline goes straight into its line.
        LineLock lock(bmp);
        for (int y = 0; y < header.height; ++y) {
            if (!readScanline(job, bmp.getLineArray()[y]))
                PLTrace::raise(PLTextException::Unsupported, job.message);
        }
        if (!finishDecompress(job))
            PLTrace::raise(PLTextException::Unsupported, job.message);
    }
    int xDensity = job.info.X_density < 2 ? 72 : job.info.X_density;
    int yDensity = job.info.Y_density < 2 ? 72 : job.info.Y_density;
    bmp.setResolution(xDensity, yDensity);
}
