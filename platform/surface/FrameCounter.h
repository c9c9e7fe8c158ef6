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

} // namespace frame
