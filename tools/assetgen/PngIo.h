// Reading and writing the 8-bit grey and RGB(A) pictures the asset generators work on. Written files carry no
// time stamp or text chunk, so the same pixels always give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels; // row by row, top first

    Picture() = default;
    Picture(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
    Rgba& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgba& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Any PNG libpng can read, expanded to 8-bit RGBA. Throws std::runtime_error on failure.
Picture readPng(const std::string& path);
// Writes RGB (alpha dropped) or RGBA. Throws std::runtime_error on failure.
void writePng(const std::string& path, const Picture& picture, bool withAlpha);
// Writes an 8-bit grey picture of a picture whose pixels are all grey (a mask: the game reads masks
// one byte a pixel, and a grey file decodes straight into that); a coloured pixel throws.
void writeGreyPng(const std::string& path, const Picture& picture);
// Writes the picture as the PNG colour type given (grey, RGB or RGBA).
void writePicture(const std::string& path, const Picture& picture, int colourType);

// "RRGGBB" to a colour; throws std::runtime_error on anything else.
Rgba parseColour(const std::string& text);

} // namespace assetgen
