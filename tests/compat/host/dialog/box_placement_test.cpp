#include "compat/host/dialog/BoxPlacement.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>

namespace compat::host {
std::ostream& operator<<(std::ostream& out, const Rect& r)
{
    return out << "(" << r.x << ", " << r.y << ", " << r.width << "x" << r.height << ")";
}
} // namespace compat::host

namespace {

using compat::host::placeBox;
using compat::host::Rect;

struct Case {
    const char* what;
    Rect screen;
    Rect game;
    int width, height;
    bool centredAcross, centredDown; // false where the screen's edge pushes the box off the game's middle
};

// The notice box is wider than the game, as the one a player saw past the screen's right edge.
const Case kCases[] = {
    {"in the middle of a large screen", {0, 0, 1280, 1024}, {320, 272, 640, 480}, 700, 150, true, true},
    {"at the top left", {0, 0, 1280, 1024}, {0, 0, 640, 480}, 700, 150, false, true},
    {"at the right edge", {0, 0, 1280, 1024}, {640, 300, 640, 480}, 700, 150, false, true},
    {"partly off the right and bottom", {0, 0, 1280, 1024}, {1000, 900, 640, 480}, 700, 150, false, false},
    {"partly off the left and top", {0, 0, 1280, 1024}, {-300, -200, 640, 480}, 700, 150, false, false},
    {"full screen", {0, 0, 1280, 1024}, {0, 0, 1280, 1024}, 700, 150, true, true},
    {"a box taller than the game", {0, 0, 1280, 1024}, {320, 272, 640, 480}, 700, 600, true, true},
    {"a small screen, full screen", {0, 0, 640, 480}, {0, 0, 640, 480}, 600, 150, true, true},
    {"a small screen, a wider box", {0, 0, 640, 480}, {0, 0, 640, 480}, 700, 150, false, true},
    {"a small screen, a larger box", {0, 0, 640, 480}, {0, 0, 640, 480}, 900, 700, false, false},
    {"a small screen, the game moved right", {0, 0, 640, 480}, {100, 50, 640, 480}, 600, 150, false, true},
    {"a second screen to the right", {1280, 0, 640, 480}, {1280, 0, 640, 480}, 600, 150, true, true},
};

TEST(BoxPlacement, LiesOnTheScreenAndCentredOnTheGameWhereItFits)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const Rect box = placeBox(c.screen, c.game, c.width, c.height);
        EXPECT_EQ(box.width, c.width);
        EXPECT_EQ(box.height, c.height);
        // On the screen; a box larger than the screen starts at its top left corner.
        EXPECT_GE(box.x, c.screen.x) << box;
        EXPECT_GE(box.y, c.screen.y) << box;
        if (c.width <= c.screen.width) {
            EXPECT_LE(box.x + box.width, c.screen.x + c.screen.width) << box;
        } else {
            EXPECT_EQ(box.x, c.screen.x) << box;
        }
        if (c.height <= c.screen.height) {
            EXPECT_LE(box.y + box.height, c.screen.y + c.screen.height) << box;
        } else {
            EXPECT_EQ(box.y, c.screen.y) << box;
        }
        // Centred on the game's middle (to a pixel) where the screen leaves room for it; where it does
        // not, it stands against the screen's edge on the side the game leans to.
        const int offAcross = 2 * box.x + box.width - (2 * c.game.x + c.game.width);
        const int offDown = 2 * box.y + box.height - (2 * c.game.y + c.game.height);
        if (c.centredAcross) {
            EXPECT_LE(std::abs(offAcross), 1) << box;
        } else {
            EXPECT_TRUE(box.x == c.screen.x || box.x + box.width == c.screen.x + c.screen.width) << box;
        }
        if (c.centredDown) {
            EXPECT_LE(std::abs(offDown), 1) << box;
        } else {
            EXPECT_TRUE(box.y == c.screen.y || box.y + box.height == c.screen.y + c.screen.height) << box;
        }
    }
}

} // namespace
