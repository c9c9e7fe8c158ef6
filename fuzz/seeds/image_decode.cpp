// Small images of every kind the decoder reads: Windows bitmaps of several depths (also run-length
// coded), PNG of several colour types and JPEG, grey and colour.
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/ImageFixtures.h"

namespace {

using testsupport::Bytes;

void writeSeed(const char* folder, const std::string& name, const Bytes& bytes)
{
    std::ofstream out(std::string(folder) + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes pattern(std::size_t count, int step)
{
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * static_cast<std::size_t>(step));
    return bytes;
}

testsupport::BmpSpec bmp(int width, int height, int bits, std::uint32_t compression, Bytes pixels)
{
    testsupport::BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bits = bits;
    spec.compression = compression;
    if (bits <= 8) {
        spec.coloursUsed = 4;
        spec.palette = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    }
    spec.pixels = std::move(pixels);
    return spec;
}

testsupport::PngSpec png(int colourType, int bitDepth, int channels)
{
    testsupport::PngSpec spec;
    spec.width = 5;
    spec.height = 3;
    spec.colourType = colourType;
    spec.bitDepth = bitDepth;
    std::size_t rowBytes = (static_cast<std::size_t>(spec.width) * static_cast<std::size_t>(channels * bitDepth) + 7) / 8;
    spec.rows = pattern(rowBytes * static_cast<std::size_t>(spec.height), 37);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        spec.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
        for (auto& byte : spec.rows)
            byte &= bitDepth == 8 ? 0x03 : (bitDepth == 4 ? 0x33 : 0x55);
    }
    return spec;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    const char* folder = argv[1];
    writeSeed(folder, "bmp1", makeBmp(bmp(9, 2, 1, 0, pattern(8, 91))));
    writeSeed(folder, "bmp4", makeBmp(bmp(5, 2, 4, 0, pattern(8, 17))));
    writeSeed(folder, "bmp8", makeBmp(bmp(3, 3, 8, 0, pattern(12, 1))));
    writeSeed(folder, "bmp16", makeBmp(bmp(2, 2, 16, 0, pattern(8, 33))));
    testsupport::BmpSpec fields = bmp(2, 2, 16, 3, pattern(8, 71));
    fields.masks = {0xF800, 0x07E0, 0x001F};
    writeSeed(folder, "bmp16bitfields", makeBmp(fields));
    writeSeed(folder, "bmp24", makeBmp(bmp(3, 2, 24, 0, pattern(24, 13))));
    writeSeed(folder, "bmp32", makeBmp(bmp(2, 2, 32, 0, pattern(16, 29))));
    testsupport::BmpSpec core = bmp(4, 2, 8, 0, pattern(8, 1));
    core.coreHeader = true;
    core.palette.resize(256 * 3, 7);
    writeSeed(folder, "bmpcore", makeBmp(core));
    writeSeed(folder, "bmprle8", makeBmp(bmp(6, 3, 8, 1, {3, 1, 0, 3, 1, 2, 3, 0, 0, 0, 2, 2, 0, 1})));
    writeSeed(folder, "bmprle4", makeBmp(bmp(8, 2, 4, 2, {5, 0x12, 0, 3, 0x12, 0x30, 0, 0, 8, 0x33, 0, 1})));

    writeSeed(folder, "png_grey2", encodePng(png(PNG_COLOR_TYPE_GRAY, 2, 1)));
    writeSeed(folder, "png_grey16", encodePng(png(PNG_COLOR_TYPE_GRAY, 16, 1)));
    writeSeed(folder, "png_palette4", encodePng(png(PNG_COLOR_TYPE_PALETTE, 4, 1)));
    writeSeed(folder, "png_greyalpha", encodePng(png(PNG_COLOR_TYPE_GRAY_ALPHA, 8, 2)));
    writeSeed(folder, "png_rgb", encodePng(png(PNG_COLOR_TYPE_RGB, 8, 3)));
    testsupport::PngSpec interlaced = png(PNG_COLOR_TYPE_RGB_ALPHA, 16, 4);
    interlaced.interlaced = true;
    interlaced.pixelsPerMeter = 3780;
    writeSeed(folder, "png_rgba16_interlaced", encodePng(interlaced));

    writeSeed(folder, "jpeg_grey", testsupport::encodeJpeg(16, 8, 1, pattern(16 * 8, 3), 80));
    writeSeed(folder, "jpeg_colour", testsupport::encodeJpeg(17, 9, 3, testsupport::naturalRgb(17, 9), 75, 96));
    return 0;
}
