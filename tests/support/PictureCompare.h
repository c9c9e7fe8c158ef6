// Comparing pictures of the screen: how far two 0x00RRGGBB pixels lie apart in their worst channel.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace testsupport {

inline int channelDistance(std::uint32_t a, std::uint32_t b)
{
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8)
        worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return worst;
}

} // namespace testsupport
