// Image files made in memory for tests, fuzz seeds and benchmarks: Windows bitmaps written byte by
// byte, PNG and JPEG through the libraries' own encoders. Nothing binary is kept in the repository.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <png.h>
#include <jpeglib.h>
#include <vector>

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void put32(Bytes& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A Windows bitmap. The pixel data is given as stored in the file (rows bottom-up and padded, or a
// run-length stream); the palette as blue-green-red triples.
struct BmpSpec {
    int width = 1;
    int height = 1;
    int bits = 8;
    std::uint32_t compression = 0;
    bool coreHeader = false;
    std::uint32_t infoHeaderSize = 40;
    std::vector<std::uint32_t> masks;
    std::vector<std::uint8_t> palette;
    std::uint32_t coloursUsed = 0;
    std::int32_t pelsPerMeter = 0;
    Bytes pixels;
};

inline Bytes makeBmp(const BmpSpec& spec)
{
    Bytes header;
    std::size_t paletteBytes = spec.coreHeader ? spec.palette.size() : spec.palette.size() / 3 * 4;
    std::uint32_t headerSize = spec.coreHeader ? 12 : spec.infoHeaderSize;
    std::uint32_t dataOffset =
        static_cast<std::uint32_t>(14 + headerSize + spec.masks.size() * 4 + paletteBytes);
    header.push_back('B');
    header.push_back('M');
    put32(header, static_cast<std::uint32_t>(dataOffset + spec.pixels.size()));
    put32(header, 0);
    put32(header, dataOffset);
    put32(header, headerSize);
    if (spec.coreHeader) {
        put16(header, static_cast<unsigned>(spec.width));
        put16(header, static_cast<unsigned>(spec.height));
        put16(header, 1);
        put16(header, static_cast<unsigned>(spec.bits));
    } else {
        put32(header, static_cast<std::uint32_t>(spec.width));
        put32(header, static_cast<std::uint32_t>(spec.height));
        put16(header, 1);
        put16(header, static_cast<unsigned>(spec.bits));
        put32(header, spec.compression);
        put32(header, static_cast<std::uint32_t>(spec.pixels.size()));
        put32(header, static_cast<std::uint32_t>(spec.pelsPerMeter));
        put32(header, static_cast<std::uint32_t>(spec.pelsPerMeter));
        put32(header, spec.coloursUsed);
        put32(header, 0);
        // Later header versions: the masks first, the rest zero.
        std::size_t extra = headerSize - 40;
        for (std::size_t i = 0; i < extra; i += 4)
            put32(header, i / 4 < spec.masks.size() && headerSize > 40 ? spec.masks[i / 4] : 0);
    }
    if (headerSize == 40 || spec.coreHeader) {
        for (std::uint32_t mask : spec.masks)
            put32(header, mask);
    }
    for (std::size_t i = 0; i + 2 < spec.palette.size(); i += 3) {
        header.insert(header.end(), spec.palette.begin() + static_cast<std::ptrdiff_t>(i),
                      spec.palette.begin() + static_cast<std::ptrdiff_t>(i + 3));
        if (!spec.coreHeader)
            header.push_back(0);
    }
    header.insert(header.end(), spec.pixels.begin(), spec.pixels.end());
    return header;
}

// A PNG of the given colour type and depth; rows hold the packed samples, height rows in a row.
struct PngSpec {
    int width = 1;
    int height = 1;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::uint32_t pixelsPerMeter = 0;
    Bytes rows;
};

inline void appendPngBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

inline void flushPngBytes(png_structp) {}

// Empty on a library error.
inline Bytes encodePng(const PngSpec& spec)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::size_t rowBytes = spec.rows.size() / static_cast<std::size_t>(spec.height);
    std::vector<png_bytep> rowPointers(static_cast<std::size_t>(spec.height));
    for (int y = 0; y < spec.height; ++y)
        rowPointers[static_cast<std::size_t>(y)] = const_cast<png_bytep>(spec.rows.data()) + rowBytes * y;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return out;
    }
    png_set_write_fn(png, &out, appendPngBytes, flushPngBytes);
    png_set_IHDR(png, info, static_cast<png_uint_32>(spec.width), static_cast<png_uint_32>(spec.height), spec.bitDepth,
                 spec.colourType, spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty())
        png_set_PLTE(png, info, const_cast<png_colorp>(spec.palette.data()), static_cast<int>(spec.palette.size()));
    if (spec.pixelsPerMeter != 0)
        png_set_pHYs(png, info, spec.pixelsPerMeter, spec.pixelsPerMeter, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A baseline JPEG of 1 (grey) or 3 (RGB) components; pixels row by row.
inline Bytes encodeJpeg(int width, int height, int components, const Bytes& pixels, int quality = 90,
                        int density = 0)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (density > 0) {
        info.density_unit = 1;
        info.X_density = static_cast<UINT16>(density);
        info.Y_density = static_cast<UINT16>(density);
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data()) +
                       static_cast<std::size_t>(info.next_scanline) * static_cast<std::size_t>(width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

// Smooth gradients with a little noise, like a photograph: RGB rows of width * 3 bytes.
inline Bytes naturalRgb(int width, int height, std::uint32_t seed = 1)
{
    Bytes out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    std::uint32_t state = seed;
    std::size_t i = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            int noise = static_cast<int>((state >> 24) & 15) - 8;
            int base[3] = {x * 255 / width, y * 255 / height, (x + y) * 255 / (width + height)};
            for (int c = 0; c < 3; ++c) {
                int value = base[c] + noise;
                out[i++] = static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
            }
        }
    }
    return out;
}

} // namespace testsupport
