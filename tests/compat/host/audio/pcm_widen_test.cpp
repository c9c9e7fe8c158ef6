#include "compat/host/audio/PcmWiden.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using compat::host::widenPcm16;

namespace {

std::vector<std::int16_t> widen(const std::vector<std::int16_t>& in, int channels, int rate, int deviceChannels,
                                int deviceRate, bool* ok = nullptr)
{
    std::vector<std::int16_t> out = {7};
    const bool done = widenPcm16(in.data(), in.size() / static_cast<std::size_t>(channels), channels, rate,
                                 deviceChannels, deviceRate, out);
    if (ok != nullptr)
        *ok = done;
    return out;
}

} // namespace

TEST(PcmWiden, MonoAtHalfTheRateBecomesStereoWithEverySampleKeptAndMidpointsBetween)
{
    // A straight ramp: inside it the interpolated samples fall exactly half-way; at the ends the edge
    // sample stands in for the missing neighbour.
    const std::vector<std::int16_t> ramp = {0, 100, 200, 300};
    const std::vector<std::int16_t> expected = {0,   0,   44,  44,  100, 100, 150, 150,
                                                200, 200, 256, 256, 300, 300, 306, 306};
    EXPECT_EQ(widen(ramp, 1, 22050, 2, 44100), expected);
}

TEST(PcmWiden, TheSameRateOnlyCopiesOrDoublesTheChannels)
{
    EXPECT_EQ(widen({1, -2, 3}, 1, 44100, 2, 44100), (std::vector<std::int16_t>{1, 1, -2, -2, 3, 3}));
    EXPECT_EQ(widen({1, -2, 3, 4}, 2, 44100, 2, 44100), (std::vector<std::int16_t>{1, -2, 3, 4}));
    EXPECT_EQ(widen({5, 6}, 1, 22050, 1, 22050), (std::vector<std::int16_t>{5, 6}));
}

TEST(PcmWiden, StereoKeepsItsChannelsApartWhenTheRateDoubles)
{
    const std::vector<std::int16_t> out = widen({0, 1000, 160, 1000}, 2, 11025, 2, 22050);
    EXPECT_EQ(out, (std::vector<std::int16_t>{0, 1000, 80, 1000, 160, 1000, 170, 1000}));
}

TEST(PcmWiden, AnInterpolatedPeakIsClippedToTheSampleRange)
{
    // Between two full-scale samples the curve overshoots; it is held at the range's ends, not wrapped.
    const std::vector<std::int16_t> out = widen({0, 32767, 32767, 0, -32768, -32768, 0}, 1, 22050, 1, 44100);
    const std::vector<std::int16_t> expected = {0,      16384,  32767,  32767, 32767,  18432, 0,
                                                -18432, -32768, -32768, -32768, -16384, 0,     2048};
    EXPECT_EQ(out, expected);
}

TEST(PcmWiden, ShapesThatAreNoPlainWideningAreLeftToTheGeneralConverter)
{
    struct Case {
        int channels, rate, deviceChannels, deviceRate;
    } cases[] = {
        {1, 22050, 2, 48000}, // no whole multiple
        {1, 11025, 2, 44100}, // four times
        {1, 44100, 2, 22050}, // fewer samples
        {2, 22050, 1, 22050}, // fewer channels
        {6, 22050, 2, 22050}, // surround
        {1, 0, 2, 44100},
    };
    for (const Case& c : cases) {
        bool ok = true;
        const std::vector<std::int16_t> out = widen({1, 2, 3, 4, 5, 6}, c.channels, c.rate, c.deviceChannels, c.deviceRate, &ok);
        EXPECT_FALSE(ok) << c.channels << " " << c.rate << " " << c.deviceChannels << " " << c.deviceRate;
        EXPECT_EQ(out, std::vector<std::int16_t>{7}) << "left untouched";
    }
}
