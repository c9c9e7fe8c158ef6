#include "platform/raster/Clip.h"

#include <algorithm>

namespace raster {
namespace {

// One axis: `start` is cut to [0, limit) together with `size`; `other` (the other image's start)
// moves along with it.
bool clipAxis(long long& start, long long& size, long long& other, long long limit)
{
    if (start >= limit || start + size < 1)
        return false;
    if (start < 0) {
        size += start;
        other -= start;
        start = 0;
    }
    size = std::min(size, limit - start);
    return size > 0;
}

}  // namespace

bool clipBlit(BlitRect& r, long long dstWidth, long long dstHeight, long long srcWidth, long long srcHeight)
{
    // 64 bits, so that no sum of the callers' values can overflow.
    long long sx = r.srcX, sy = r.srcY, w = r.width, h = r.height, dx = r.dstX, dy = r.dstY;
    if (!clipAxis(dx, w, sx, dstWidth) || !clipAxis(dy, h, sy, dstHeight) || !clipAxis(sx, w, dx, srcWidth)
        || !clipAxis(sy, h, dy, srcHeight))
        return false;
    r = BlitRect{static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(w), static_cast<int>(h),
                 static_cast<int>(dx), static_cast<int>(dy)};
    return true;
}

}  // namespace raster
