#include "PngIo.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace assetgen {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openFile(const std::string& path, const char* mode)
{
    File file(std::fopen(path.c_str(), mode));
    if (!file)
        throw std::runtime_error("cannot open " + path);
    return file;
}

} // namespace

Picture readPng(const std::string& path)
{
    File file = openFile(path, "rb");
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_stdio(&image, file.get()))
        throw std::runtime_error(path + ": " + image.message);
    image.format = PNG_FORMAT_RGBA;
    Picture picture(static_cast<int>(image.width), static_cast<int>(image.height));
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) {
        std::string message = image.message;
        png_image_free(&image);
        throw std::runtime_error(path + ": " + message);
    }
    return picture;
}

void writePng(const std::string& path, const Picture& picture, bool withAlpha)
{
    writePicture(path, picture, withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB);
}

void writeGreyPng(const std::string& path, const Picture& picture)
{
    for (const Rgba& p : picture.pixels) {
        if (p.r != p.b || p.g != p.b)
            throw std::runtime_error(path + ": a grey picture has a coloured pixel");
    }
    writePicture(path, picture, PNG_COLOR_TYPE_GRAY);
}

void writePicture(const std::string& path, const Picture& picture, int colourType)
{
    const int channels = colourType == PNG_COLOR_TYPE_RGBA ? 4 : colourType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    File file = openFile(path, "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error("libpng: out of memory");
    }
    std::vector<png_byte> row(static_cast<size_t>(picture.width) * channels);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("cannot write " + path);
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                 colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y) {
        png_byte* out = row.data();
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& p = picture.at(x, y);
            if (channels == 1) {
                *out++ = p.b;
                continue;
            }
            *out++ = p.r;
            *out++ = p.g;
            *out++ = p.b;
            if (channels == 4)
                *out++ = p.a;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0)
        throw std::runtime_error("cannot write " + path);
}

Rgba parseColour(const std::string& text)
{
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        throw std::runtime_error("colour must be RRGGBB: " + text);
    unsigned long value = std::stoul(text, nullptr, 16);
    Rgba colour;
    colour.r = static_cast<std::uint8_t>(value >> 16);
    colour.g = static_cast<std::uint8_t>(value >> 8);
    colour.b = static_cast<std::uint8_t>(value);
    colour.a = 255;
    return colour;
}

} // namespace assetgen
