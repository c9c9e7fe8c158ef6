// The play-through's eyes and hands: pictures of the virtual display, real pointer and key events, and
// pictures compared with the golden ones kept beside the test.
#pragma once

#include "compat/host/testing.h"

#include <string>
#include <vector>

namespace playthrough {

using compat::host::Picture;

struct Area {
    int x = 0, y = 0, width = 0, height = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

// What the display shows now (the game's window sits at the top left of a screen of its size).
Picture capture();

// The share of pixels, outside the ignored areas, whose colour differs by more than `threshold` in a
// channel; 1 when the sizes differ.
double differingShare(const Picture& a, const Picture& b, const std::vector<Area>& ignored, int threshold = 40);

void click(int x, int y);
void rightClick(int x, int y);
void movePointer(int x, int y);
void type(const std::string& text);
void pressKey(const char* keysymName);
void pause(double seconds);

// Waits for the display to show the golden picture `name` (outside the ignored areas) and says whether
// it did within the time. With QUARRYTIDE_UPDATE_GOLDEN set, waits `settle` seconds and then for a still
// picture, and keeps that as the new golden one instead (to be looked at before it is committed). A mismatch leaves the last picture and a difference picture in the
// screenshot folder for a person to look at.
bool expectScreen(const std::string& name, const std::vector<Area>& ignored, double seconds, double settle = 2.0);

// Waits until the area shows what the golden picture `name` shows there.
bool waitForArea(const std::string& name, const Area& area, double seconds);

} // namespace playthrough
