// The host on SDL2: a real window whose client area shows the game's frame through a streaming
// texture, scaled (keeping its shape) when the window is full screen or maximised; SDL events become
// the window messages the game expects.
#pragma once

#include "compat/host/Host.h"

#include <memory>
#include <string>

namespace compat::host {

class SdlHost : public Host {
public:
    // null, with the reason in `why`, when SDL cannot open a display here.
    static std::unique_ptr<Host> start(std::string& why);
};

} // namespace compat::host

namespace compat::testing {

// Events pushed into SDL's own queue, as a player's hands would make them (SDL host only): a key by
// its Windows virtual-key code, and a mouse button (1 left, 2 middle, 3 right) at a point of the
// game's 640x480 client area.
void pushSdlKey(int virtualKey, bool down);
void pushSdlMouseButton(int x, int y, int button, bool down, int clicks);
void pushSdlMouseMotion(int x, int y);
// Resizes the window as a player dragging its border would (SDL host only).
void resizeSdlWindow(int width, int height);
// What the window shows now: its own pixels, or what the renderer draws (SDL host only; false
// elsewhere).
bool readWindowPixels(int& width, int& height, std::vector<std::uint32_t>& pixels);

} // namespace compat::testing
