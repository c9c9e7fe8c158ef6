#include "platform/surface/FrameCounter.h"

namespace frame {
namespace {
std::uint32_t counter = 0;
}

std::uint32_t current() { return counter; }
void advance() { ++counter; }
void set(std::uint32_t number) { counter = number; }

} // namespace frame
