// Where the host puts a box it shows over the game (a message box): centred on the game's window, and
// moved the least it takes to lie on the screen. Internal to the host layer.
#pragma once

namespace compat::host {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The box of that size centred on `game`, then kept inside `screen`; a box wider or taller than the
// screen keeps its left or top edge on the screen's, so its title and first lines can be read.
Rect placeBox(const Rect& screen, const Rect& game, int width, int height);

} // namespace compat::host
