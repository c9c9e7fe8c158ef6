// The headless host keeps the last frame: a frame that names its changed part updates only that part
// of the frame kept from before; a first frame, or one of another size, is taken whole.
#include "compat/host/window/HeadlessHost.h"
#include "compat/host/testing.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(HeadlessPresent, AChangedPartUpdatesOnlyThatPartOfTheKeptFrame)
{
    compat::host::HeadlessHost host;
    const std::uint32_t first[3 * 2] = {1, 2, 3, 4, 5, 6};
    host.present({first, 12, 3, 2, 32, 1, 0, 1, 1}); // nothing kept yet: taken whole
    EXPECT_EQ(host.snapshot().lastFrame.pixels, (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6}));

    const std::uint32_t second[3 * 2] = {10, 20, 30, 40, 50, 60};
    host.present({second, 12, 3, 2, 32, 1, 0, 2, 2});
    EXPECT_EQ(host.snapshot().lastFrame.pixels, (std::vector<std::uint32_t>{1, 20, 30, 4, 50, 60}));
    // A part reaching past the frame is cut to it.
    host.present({first, 12, 3, 2, 32, 2, 1, 5, 5});
    EXPECT_EQ(host.snapshot().lastFrame.pixels, (std::vector<std::uint32_t>{1, 20, 30, 4, 50, 6}));

    const std::uint32_t other[2 * 1] = {7, 8};
    host.present({other, 8, 2, 1, 32, 1, 0, 1, 1});
    EXPECT_EQ(host.snapshot().lastFrame.pixels, (std::vector<std::uint32_t>{7, 8}));
    EXPECT_EQ(host.snapshot().framesPresented, 4);
}

} // namespace
