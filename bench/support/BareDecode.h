// The image libraries called directly, with the transforms and settings our readers ask for (BGR
// order with a filler byte, floating-point DCT, plain upsampling), so a benchmark can time our
// decoding path against the bare library in the same run.
#pragma once

#include "tests/support/ImageFixtures.h"

#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <vector>

namespace bare {

struct PngCursor {
    const testsupport::Bytes* bytes;
    std::size_t offset;
};

inline void readPngFromMemory(png_structp png, png_bytep target, png_size_t length)
{
    auto* cursor = static_cast<PngCursor*>(png_get_io_ptr(png));
    if (cursor->offset + length > cursor->bytes->size())
        png_error(png, "end of data");
    std::memcpy(target, cursor->bytes->data() + cursor->offset, length);
    cursor->offset += length;
}

// Decodes a PNG into rows of 4 bytes a pixel, `rows` pointing at each row; false when libpng fails.
inline bool decodePng(const testsupport::Bytes& file, std::vector<png_bytep>& rows)
{
    PngCursor cursor{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &cursor, readPngFromMemory);
    png_read_info(png, info);
    png_set_strip_16(png);
    png_set_packing(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(rows[0][0]);
    return true;
}

// Decodes a JPEG into `pixels`, rows of `width` pixels of 4 bytes each.
inline void decodeJpeg(const testsupport::Bytes& file, std::uint8_t* pixels, int width)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.do_fancy_upsampling = FALSE;
    info.dct_method = JDCT_FLOAT;
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + static_cast<std::size_t>(info.output_scanline) * width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    benchmark::DoNotOptimize(pixels[0]);
}

// Row pointers into a buffer of width x height pixels of 4 bytes each.
inline std::vector<png_bytep> rowPointers(std::uint8_t* pixels, int width, int height)
{
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] = pixels + static_cast<std::size_t>(y) * width * 4;
    return rows;
}

} // namespace bare
