// Renders a bitmap font for the game from a scalable font with FreeType:
//   fontgen SPEC.font FONTDIR OUT-image.png OUT-mask.png
// The spec is "key=value" lines: font (file in FONTDIR), size (pixels), chars (the character list,
// everything after "chars="), top and bottom (RRGGBB of the glyph colour gradient), optional
// outline (RRGGBB of a one-pixel rim) and width (band width in pixels, 512 by default).
//
// The picture is laid out as bands of glyphs that the game's font scanner finds through the mask:
// the row after each band has a non-zero byte in column 0, the bottom row is all zero, glyphs start
// at column 2 and every glyph is followed by one empty column. Each glyph's box is its advance, so
// the spacing comes with the glyph; the band's bottom row carries coverage 1 (invisible) across the
// box, so that a glyph with gaps between its strokes (a double quote) still scans as one glyph.
#include "PngIo.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

using namespace assetgen;

namespace {

std::map<std::string, std::string> readSpec(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    std::map<std::string, std::string> spec;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            throw std::runtime_error(path + ": expected key=value: " + line);
        spec[line.substr(0, equals)] = line.substr(equals + 1);
    }
    for (const char* key : {"font", "size", "chars", "top", "bottom"})
        if (spec.count(key) == 0)
            throw std::runtime_error(path + ": missing " + key);
    return spec;
}

struct Glyph {
    int width = 0;            // box width: the advance, widened to hold the ink
    int inkLeft = 0;          // where the bitmap starts inside the box
    int inkTop = 0;           // bitmap top below the band's top
    int bitmapWidth = 0, bitmapRows = 0;
    std::vector<std::uint8_t> bitmap;
};

std::uint8_t mix(std::uint8_t a, std::uint8_t b, int weight, int total)
{
    return static_cast<std::uint8_t>((a * (total - weight) + b * weight + total / 2) / total);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::cerr << "usage: fontgen SPEC.font FONTDIR OUT-image.png OUT-mask.png\n";
        return 2;
    }
    try {
        std::map<std::string, std::string> spec = readSpec(argv[1]);
        const std::string chars = spec["chars"];
        const int size = std::stoi(spec["size"]);
        const int bandWidth = spec.count("width") ? std::stoi(spec["width"]) : 512;
        const Rgba top = parseColour(spec["top"]);
        const Rgba bottom = parseColour(spec["bottom"]);
        const bool outlined = spec.count("outline") != 0;
        const Rgba rim = outlined ? parseColour(spec["outline"]) : Rgba{};
        const int pad = outlined ? 1 : 0;
        if (chars.empty() || chars.find_first_of(" <") != std::string::npos)
            throw std::runtime_error("the character list must be non-empty and hold no blank and no '<'");

        FT_Library library;
        if (FT_Init_FreeType(&library) != 0)
            throw std::runtime_error("FreeType failed to start");
        FT_Face face;
        std::string fontPath = std::string(argv[2]) + "/" + spec["font"];
        if (FT_New_Face(library, fontPath.c_str(), 0, &face) != 0)
            throw std::runtime_error("cannot load " + fontPath);
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
        const int ascender = static_cast<int>(face->size->metrics.ascender >> 6);
        const int descender = static_cast<int>(-(face->size->metrics.descender >> 6));
        const int lineHeight = ascender + descender + 2 * pad;

        std::vector<Glyph> glyphs;
        for (unsigned char c : chars) {
            if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
                throw std::runtime_error(std::string("no glyph for '") + static_cast<char>(c) + "'");
            FT_GlyphSlot slot = face->glyph;
            Glyph glyph;
            glyph.bitmapWidth = static_cast<int>(slot->bitmap.width);
            glyph.bitmapRows = static_cast<int>(slot->bitmap.rows);
            int advance = static_cast<int>((slot->advance.x + 32) >> 6);
            int left = std::min(0, slot->bitmap_left);
            int right = std::max(advance, slot->bitmap_left + glyph.bitmapWidth);
            glyph.width = right - left + 2 * pad;
            glyph.inkLeft = slot->bitmap_left - left + pad;
            glyph.inkTop = ascender - slot->bitmap_top + pad;
            for (int y = 0; y < glyph.bitmapRows; ++y)
                for (int x = 0; x < glyph.bitmapWidth; ++x)
                    glyph.bitmap.push_back(slot->bitmap.buffer[y * slot->bitmap.pitch + x]);
            glyphs.push_back(std::move(glyph));
        }
        FT_Done_Face(face);
        FT_Done_FreeType(library);

        // Place glyphs into bands: x from 2, one empty column after each.
        std::vector<std::pair<int, int>> places; // (band, x)
        int band = 0, x = 2, widest = 0;
        for (const Glyph& glyph : glyphs) {
            if (x + glyph.width + 1 > bandWidth && x > 2) {
                ++band;
                x = 2;
            }
            places.emplace_back(band, x);
            x += glyph.width + 1;
            widest = std::max(widest, x);
        }
        const int bands = band + 1;
        const int width = widest;
        const int height = bands * (lineHeight + 1) + 1;

        std::vector<std::uint8_t> ink(static_cast<size_t>(width) * height, 0);
        for (size_t i = 0; i < glyphs.size(); ++i) {
            const Glyph& glyph = glyphs[i];
            int bandTop = places[i].first * (lineHeight + 1);
            int left = places[i].second;
            for (int y = 0; y < glyph.bitmapRows; ++y)
                for (int gx = 0; gx < glyph.bitmapWidth; ++gx) {
                    int py = bandTop + glyph.inkTop + y;
                    int px = left + glyph.inkLeft + gx;
                    if (py >= bandTop && py < bandTop + lineHeight)
                        ink[static_cast<size_t>(py) * width + px] = glyph.bitmap[y * glyph.bitmapWidth + gx];
                }
        }

        Picture image(width, height), mask(width, height);
        for (int py = 0; py < height; ++py) {
            int row = py % (lineHeight + 1);
            for (int px = 0; px < width; ++px) {
                std::uint8_t cover = ink[static_cast<size_t>(py) * width + px];
                std::uint8_t rimCover = 0;
                if (outlined && row < lineHeight)
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) {
                            int nx = px + dx, ny = py + dy;
                            if (nx >= 2 && nx < width && ny >= 0 && ny < height && (ny % (lineHeight + 1)) < lineHeight)
                                rimCover = std::max(rimCover, ink[static_cast<size_t>(ny) * width + nx]);
                        }
                Rgba colour;
                colour.r = mix(top.r, bottom.r, row, lineHeight);
                colour.g = mix(top.g, bottom.g, row, lineHeight);
                colour.b = mix(top.b, bottom.b, row, lineHeight);
                if (outlined) {
                    colour.r = mix(rim.r, colour.r, cover, 255);
                    colour.g = mix(rim.g, colour.g, cover, 255);
                    colour.b = mix(rim.b, colour.b, cover, 255);
                }
                std::uint8_t alpha = std::max(cover, rimCover);
                image.at(px, py) = alpha != 0 ? colour : Rgba{};
                mask.at(px, py).r = mask.at(px, py).g = mask.at(px, py).b = alpha;
            }
        }
        for (size_t i = 0; i < glyphs.size(); ++i) {
            int bottomRow = places[i].first * (lineHeight + 1) + lineHeight - 1;
            for (int px = places[i].second; px < places[i].second + glyphs[i].width; ++px) {
                Rgba& m = mask.at(px, bottomRow);
                if (m.b == 0) {
                    // The faintest coverage marks the glyph's width for the font's scanner. Its picture
                    // pixel is white: a blend at alpha 1 of the brightest source leaves every background
                    // as it was (floor(d + (s - d) / 256) = d), where black would darken it one step
                    // and draw a dark line under every word on 16-bit screens.
                    m.r = m.g = m.b = 1;
                    image.at(px, bottomRow) = Rgba{255, 255, 255, 255};
                }
            }
        }
        for (int b = 0; b < bands; ++b) {
            Rgba& marker = mask.at(0, b * (lineHeight + 1) + lineHeight);
            marker.r = marker.g = marker.b = 255;
        }
        writePng(argv[3], image, false);
        writeGreyPng(argv[4], mask);
    } catch (const std::exception& error) {
        std::cerr << "fontgen: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
