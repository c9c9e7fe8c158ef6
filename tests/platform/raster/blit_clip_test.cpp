#include "platform/raster/Clip.h"

#include <gtest/gtest.h>

#include <climits>

using raster::BlitRect;
using raster::clipBlit;

namespace {

struct ClipCase {
    const char* what;
    BlitRect in;
    bool drawn;
    BlitRect out;
};

bool operator==(const BlitRect& a, const BlitRect& b)
{
    return a.srcX == b.srcX && a.srcY == b.srcY && a.width == b.width && a.height == b.height && a.dstX == b.dstX
        && a.dstY == b.dstY;
}

}  // namespace

TEST(BlitClip, CutsToTheDestinationThenToTheSource)
{
    // Destination 100 x 50, source 40 x 30. Fields: source x, y, width, height, destination x, y.
    const ClipCase cases[] = {
        {"inside both", {1, 2, 10, 5, 20, 30}, true, {1, 2, 10, 5, 20, 30}},
        {"left of the destination", {0, 0, 10, 5, -5, 0}, true, {5, 0, 5, 5, 0, 0}},
        {"above the destination", {0, 0, 10, 5, 0, -3}, true, {0, 3, 10, 2, 0, 0}},
        {"past the right edge", {0, 0, 20, 5, 90, 0}, true, {0, 0, 10, 5, 90, 0}},
        {"past the bottom edge", {0, 0, 5, 20, 0, 40}, true, {0, 0, 5, 10, 0, 40}},
        {"at the right edge", {0, 0, 5, 5, 100, 0}, false, {}},
        {"ends at the left edge", {0, 0, 5, 5, -5, 0}, false, {}},
        {"one column left", {0, 0, 5, 5, -4, 0}, true, {4, 0, 1, 5, 0, 0}},
        {"empty", {0, 0, 0, 5, 3, 3}, false, {}},
        {"negative size", {0, 0, -5, 5, 10, 0}, false, {}},
        {"source past its right edge", {35, 0, 10, 5, 0, 0}, true, {35, 0, 5, 5, 0, 0}},
        {"source left of its edge", {-3, -2, 10, 5, 10, 10}, true, {0, 0, 7, 3, 13, 12}},
        {"source wholly outside", {40, 0, 10, 5, 0, 0}, false, {}},
        {"both cuts", {-2, 0, 100, 5, -10, 0}, true, {8, 0, 32, 5, 0, 0}},
        {"huge values", {INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN}, false, {}},
    };
    for (const ClipCase& c : cases) {
        BlitRect r = c.in;
        EXPECT_EQ(clipBlit(r, 100, 50, 40, 30), c.drawn) << c.what;
        if (c.drawn) {
            EXPECT_TRUE(r == c.out) << c.what << ": " << r.srcX << "," << r.srcY << " " << r.width << "x" << r.height
                                    << " at " << r.dstX << "," << r.dstY;
        }
    }
}
