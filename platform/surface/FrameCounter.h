// The application's frame number: the frame loop adds one at the start of every tick. Objects that
// repair themselves after a lost display compare it with the frame of their last repair, so that
// they rebuild at most once per frame however many blits fail.
//
// The application object owns the counter and sets it here at the start of every tick.
#pragma once

#include <cstdint>

namespace frame {

std::uint32_t current();
void advance();
void set(std::uint32_t number);

// The display the frames draw on: one more each time the frame loop rebuilds it. What was rebuilt for
// a display that is gone again (two switches between window and full screen within one frame) is
// rebuilt once more for the new one, even within the same frame.
std::uint32_t display();
void newDisplay();

} // namespace frame
