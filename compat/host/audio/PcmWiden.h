// Brings 16-bit PCM samples to the mixing device's shape when that is a plain widening: the same
// rate or twice it, and mono to mono or stereo, or stereo to stereo. The mixer's general converter
// runs a long resampling filter over every sample, which made reading the game's short sounds cost
// more than decoding all its pictures; the cases here need only a copy or a short interpolation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace compat::host {

// The interleaved samples at `deviceRate` with `deviceChannels`, or false (and `out` untouched) when
// the shapes are not a plain widening, so the caller converts another way.
bool widenPcm16(const std::int16_t* samples, std::size_t frames, int channels, int rate, int deviceChannels,
                int deviceRate, std::vector<std::int16_t>& out);

} // namespace compat::host
