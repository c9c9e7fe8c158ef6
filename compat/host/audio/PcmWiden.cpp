#include "compat/host/audio/PcmWiden.h"

#include <algorithm>

namespace compat::host {
namespace {

std::int16_t clampSample(int value)
{
    return static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
}

} // namespace

bool widenPcm16(const std::int16_t* samples, std::size_t frames, int channels, int rate, int deviceChannels,
                int deviceRate, std::vector<std::int16_t>& out)
{
    if (rate <= 0 || (channels != 1 && channels != 2) || (deviceChannels != 1 && deviceChannels != 2) ||
        channels > deviceChannels)
        return false;
    int factor = 0;
    if (deviceRate == rate)
        factor = 1;
    else if (deviceRate == 2 * rate)
        factor = 2;
    else
        return false;

    out.resize(frames * static_cast<std::size_t>(factor) * static_cast<std::size_t>(deviceChannels));
    const auto count = static_cast<std::ptrdiff_t>(frames);
    const std::ptrdiff_t step = static_cast<std::ptrdiff_t>(factor) * deviceChannels;
    for (int channel = 0; channel < deviceChannels; ++channel) {
        const std::int16_t* in = samples + (channel < channels ? channel : 0);
        std::int16_t* target = out.data() + channel;
        if (factor == 1) {
            for (std::ptrdiff_t n = 0; n < count; ++n)
                target[n * step] = in[n * channels];
            continue;
        }
        // Half-way between two samples: a four-tap interpolation, which follows a curve more closely
        // than a straight line between the two. Outside the samples the edge sample stands in for the
        // missing neighbour.
        const auto at = [&](std::ptrdiff_t n) {
            return static_cast<int>(in[std::clamp<std::ptrdiff_t>(n, 0, count - 1) * channels]);
        };
        const auto widenOne = [&](std::ptrdiff_t n, int before, int here, int next, int after) {
            target[n * step] = static_cast<std::int16_t>(here);
            target[n * step + deviceChannels] = clampSample((9 * (here + next) - before - after + 8) >> 4);
        };
        // The bulk of the samples has every neighbour at hand; only the first and the last two look
        // past the ends.
        const std::ptrdiff_t inside = std::max<std::ptrdiff_t>(count - 2, 1);
        if (count > 0)
            widenOne(0, at(-1), at(0), at(1), at(2));
        for (std::ptrdiff_t n = 1; n < inside; ++n)
            widenOne(n, in[(n - 1) * channels], in[n * channels], in[(n + 1) * channels], in[(n + 2) * channels]);
        for (std::ptrdiff_t n = inside; n < count; ++n)
            widenOne(n, at(n - 1), at(n), at(n + 1), at(n + 2));
    }
    return true;
}

} // namespace compat::host
