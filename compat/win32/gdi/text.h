// The one font of GDI text: a free sans-serif face rendered with FreeType, so that what is drawn and
// what is measured agree.
#pragma once

#include <cstdint>
#include <functional>

namespace compat::win32 {

struct TextMetrics {
    int ascent = 0;
    int height = 0;
};

// False when the font cannot be loaded (the text calls then fail).
bool textMetrics(TextMetrics& metrics);
// Width of the text in pixels; -1 without a font.
int textWidth(const char* text, int length);
// Calls plot(x, y, coverage 1..255) for every covered pixel of the text, the cell's top-left at (x, y).
bool renderText(int x, int y, const char* text, int length, const std::function<void(int, int, int)>& plot);

} // namespace compat::win32
