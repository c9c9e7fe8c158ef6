// Sound files made in test code: a 16-bit mono PCM WAV of a sine tone.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace testsupport {

inline void appendLittleEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline std::string makeWav(double seconds, int rate = 22050, double frequency = 440.0)
{
    auto frames = static_cast<std::uint32_t>(seconds * rate);
    std::string out = "RIFF";
    appendLittleEndian(out, 36 + frames * 2, 4);
    out += "WAVEfmt ";
    appendLittleEndian(out, 16, 4);
    appendLittleEndian(out, 1, 2); // PCM
    appendLittleEndian(out, 1, 2); // mono
    appendLittleEndian(out, static_cast<std::uint32_t>(rate), 4);
    appendLittleEndian(out, static_cast<std::uint32_t>(rate) * 2, 4);
    appendLittleEndian(out, 2, 2);
    appendLittleEndian(out, 16, 2);
    out += "data";
    appendLittleEndian(out, frames * 2, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        double sample = std::sin(2.0 * 3.14159265358979 * frequency * i / rate) * 12000.0;
        appendLittleEndian(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(sample)) & 0xFFFF, 2);
    }
    return out;
}

} // namespace testsupport
