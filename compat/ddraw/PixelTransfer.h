// Pixel moves between memory surfaces: fills, copies, stretches, colour-keyed copies and
// conversion between RGB formats.
#pragma once

#include "compat/ddraw/ddraw.h"

namespace compat::ddraw {

// A rectangle of pixels: origin points at its top-left pixel.
struct PixelView {
    BYTE* origin;
    LONG pitch;
    LONG width;
    LONG height;
    const DDPIXELFORMAT* format;
};

DWORD bytesPerPixel(const DDPIXELFORMAT& format);

void fillPixels(const PixelView& target, DWORD value);

// Copies source onto target, stretching (nearest pixel) when the sizes differ and converting when
// the formats differ. With a key, source pixels whose colour bits equal the key's are skipped.
// The two views must not overlap.
void transferPixels(const PixelView& source, const PixelView& target, const DWORD* key);

// Compares two views of the same size and format. False when every pixel is equal; otherwise true,
// with `changed` the smallest rectangle (relative to the views' top-left pixel) holding every pixel
// that differs.
bool findDifference(const PixelView& a, const PixelView& b, RECT& changed);

} // namespace compat::ddraw
