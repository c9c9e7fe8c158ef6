// Test hooks of the hosts: what the headless host shows, and events injected as if a player made them.
#pragma once

#include "compat/host/Host.h"

#include <cstdint>
#include <string>
#include <vector>

namespace compat::host {

// A picture in 32-bit 0x00RRGGBB pixels, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Converts a frame (R5G6B5 or X8R8G8B8) into a picture, widening 5- and 6-bit channels.
Picture toPicture(const Frame& frame);
// Converts one part of a frame into the same place of a picture of the frame's size.
void copyIntoPicture(const Frame& frame, const Area& area, Picture& picture);
// PNG files of pictures (RGB, 8 bits a channel). False when the file cannot be written or read.
bool writePng(const Picture& picture, const std::string& path);
bool readPng(const std::string& path, Picture& picture);

// What the headless host holds, and the window it pretends to show.
struct HeadlessState {
    bool windowOpen = false;
    std::string title;
    int x = 0, y = 0, width = 0, height = 0;
    Show shown = Show::Hidden;
    bool fullScreen = false;
    int cursor = 0;
    int framesPresented = 0;
    Picture lastFrame;
    // Every message box the host was asked to show; it shows none and answers -1.
    std::vector<MessageBox> messageBoxes;
};

} // namespace compat::host

namespace compat::testing {

// Forgets the chosen host, so the next use chooses again (after a test changed QUARRYTIDE_HOST).
void resetHost();
// The headless host's record (empty when another host serves).
compat::host::HeadlessState headlessState();
// Queues a message as if the player made it; the window layer picks it up at its next look.
void injectHostMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
// The desktop size the headless host reports.
void setHeadlessDesktop(int width, int height);

} // namespace compat::testing
