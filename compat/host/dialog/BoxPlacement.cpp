#include "compat/host/dialog/BoxPlacement.h"

#include <algorithm>

namespace compat::host {

namespace {

// The start of a span of `size` centred on [start, start + length), then kept in [low, low + room).
int place(int start, int length, int size, int low, int room)
{
    const int centred = start + (length - size) / 2;
    return std::max(low, std::min(centred, low + room - size));
}

} // namespace

Rect placeBox(const Rect& screen, const Rect& game, int width, int height)
{
    return {place(game.x, game.width, width, screen.x, screen.width),
            place(game.y, game.height, height, screen.y, screen.height), width, height};
}

} // namespace compat::host
