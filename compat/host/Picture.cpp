#include "compat/host/testing.h"

#include <png.h>

#include <cstring>

namespace compat::host {

void copyIntoPicture(const Frame& frame, const Area& area, Picture& picture)
{
    const auto* base = static_cast<const std::uint8_t*>(frame.pixels);
    for (int y = area.y; y < area.y + area.height; ++y) {
        const std::uint8_t* row = base + static_cast<std::ptrdiff_t>(y) * frame.pitch;
        std::uint32_t* out = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
        if (frame.bitsPerPixel == 16) {
            for (int x = area.x; x < area.x + area.width; ++x) {
                std::uint16_t p;
                std::memcpy(&p, row + 2 * x, 2);
                const std::uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
                out[x] = ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
            }
        } else {
            for (int x = area.x; x < area.x + area.width; ++x) {
                std::uint32_t p;
                std::memcpy(&p, row + 4 * x, 4);
                out[x] = p & 0x00FFFFFF;
            }
        }
    }
}

Picture toPicture(const Frame& frame)
{
    Picture picture;
    if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0)
        return picture;
    picture.width = frame.width;
    picture.height = frame.height;
    picture.pixels.resize(static_cast<std::size_t>(frame.width) * frame.height);
    copyIntoPicture(frame, Area{0, 0, frame.width, frame.height}, picture);
    return picture;
}

bool writePng(const Picture& picture, const std::string& path)
{
    if (picture.width <= 0 || picture.height <= 0)
        return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_BGRA; // 0x00RRGGBB in little-endian memory is B, G, R, 0
    std::vector<std::uint32_t> opaque(picture.pixels);
    for (std::uint32_t& p : opaque)
        p |= 0xFF000000u;
    const int ok = png_image_write_to_file(&image, path.c_str(), 0, opaque.data(), 0, nullptr);
    png_image_free(&image);
    return ok != 0;
}

bool readPng(const std::string& path, Picture& picture)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0)
        return false;
    image.format = PNG_FORMAT_BGRA;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image.width) * image.height);
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return false;
    }
    for (std::uint32_t& p : pixels)
        p &= 0x00FFFFFF;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels = std::move(pixels);
    return true;
}

} // namespace compat::host
