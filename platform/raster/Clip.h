// Clipping of a rectangle copy from a source image to a destination image.
#pragma once

namespace raster {

// Source position, size and destination position of a rectangle copy.
struct BlitRect {
    int srcX = 0;
    int srcY = 0;
    int width = 0;
    int height = 0;
    int dstX = 0;
    int dstY = 0;
};

// Cuts the rectangle to the destination first (coordinates left of or above it move the source start
// along), then to the source, moving the destination start along, so that no routine reads outside the
// image it was given: a layout rectangle may exceed its image. A rectangle inside both is left as it
// is. False when nothing is left to draw.
bool clipBlit(BlitRect& r, long long dstWidth, long long dstHeight, long long srcWidth, long long srcHeight);

}  // namespace raster
