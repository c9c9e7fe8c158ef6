// Turns a picture rendered from an SVG source into the files the game loads:
//   imagetool image IN.png OUT.png [RRGGBB]   colour picture; with a colour, flattened onto it,
//                                              otherwise the straight colour with the alpha dropped
//   imagetool mask  IN.png OUT.png            grey picture of the coverage (alpha) for a mask
//   imagetool rgba  IN.png OUT.png            colour and alpha as they are (the window icon)
//   imagetool jpeg  IN.png OUT.jpg QUALITY RRGGBB   flattened onto the colour, baseline JPEG
// The outputs depend on the pixels alone.
#include "PngIo.h"

#include <cstdio>
#include <jpeglib.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace assetgen;

namespace {

std::uint8_t over(std::uint8_t top, std::uint8_t bottom, std::uint8_t alpha)
{
    return static_cast<std::uint8_t>((top * alpha + bottom * (255 - alpha) + 127) / 255);
}

Picture flatten(const Picture& in, const Rgba& background)
{
    Picture out = in;
    for (Rgba& p : out.pixels) {
        p.r = over(p.r, background.r, p.a);
        p.g = over(p.g, background.g, p.a);
        p.b = over(p.b, background.b, p.a);
        p.a = 255;
    }
    return out;
}

Picture coverage(const Picture& in)
{
    Picture out = in;
    for (Rgba& p : out.pixels) {
        p.r = p.g = p.b = p.a;
        p.a = 255;
    }
    return out;
}

void writeJpeg(const std::string& path, const Picture& picture, int quality)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot open " + path);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(picture.width) * 3);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& p = picture.at(x, y);
            row[x * 3] = p.r;
            row[x * 3 + 1] = p.g;
            row[x * 3 + 2] = p.b;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (std::fclose(file) != 0)
        throw std::runtime_error("cannot write " + path);
}

int usage()
{
    std::cerr << "usage: imagetool image IN.png OUT.png [RRGGBB]\n"
                 "       imagetool mask IN.png OUT.png\n"
                 "       imagetool rgba IN.png OUT.png\n"
                 "       imagetool jpeg IN.png OUT.jpg QUALITY RRGGBB\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return usage();
    std::string command = argv[1];
    try {
        Picture in = readPng(argv[2]);
        if (command == "image" && (argc == 4 || argc == 5)) {
            writePng(argv[3], argc == 5 ? flatten(in, parseColour(argv[4])) : in, false);
        } else if (command == "rgba" && argc == 4) {
            writePng(argv[3], in, true);
        } else if (command == "mask" && argc == 4) {
            writeGreyPng(argv[3], coverage(in));
        } else if (command == "jpeg" && argc == 6) {
            writeJpeg(argv[3], flatten(in, parseColour(argv[5])), std::atoi(argv[4]));
        } else {
            return usage();
        }
    } catch (const std::exception& error) {
        std::cerr << "imagetool: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
