#include "platform/surface/FrameCounter.h"

namespace frame {
namespace {
std::uint32_t counter = 0;
std::uint32_t displayNumber = 0;
} // namespace

std::uint32_t current() { return counter; }
void advance() { ++counter; }
void set(std::uint32_t number) { counter = number; }
std::uint32_t display() { return displayNumber; }
void newDisplay() { ++displayNumber; }

} // namespace frame
