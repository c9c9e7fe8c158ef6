// Synthesises a piece of music from a plain-text score into a 16-bit mono WAV file:
//   musicgen SCORE.txt OUT.wav
// Score lines ('#' at the start of a word starts a comment):
//   rate 22050                       sample rate (default 22050)
//   tempo 100                        beats per minute
//   voice NAME WAVE VOLUME ATTACK RELEASE   WAVE: sine, triangle, square, saw, noise, kick;
//                                    VOLUME 0..1; ATTACK and RELEASE in seconds
//   NAME: NOTE/BEATS ...             notes appended to the voice: C4, F#3, Bb5, or r (rest),
//                                    each with its length in beats (0.5, 1, 2, ...)
// Every voice starts at time 0; the piece lasts as long as its longest voice. Triangle, square and
// saw are summed from their partials below half the sample rate, so no partial folds back into the
// audible range as an off-key tone. A piece that would clip is scaled down as a whole. The noise
// source has a fixed seed, so the same score always gives the same bytes.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Voice {
    std::string wave;
    double volume = 0.2, attack = 0.01, release = 0.05;
    std::vector<std::pair<double, double>> notes; // (frequency or 0 for a rest, beats)
};

double frequencyOf(const std::string& note)
{
    static const std::map<char, int> steps = {{'C', -9}, {'D', -7}, {'E', -5}, {'F', -4}, {'G', -2}, {'A', 0}, {'B', 2}};
    if (note == "r")
        return 0.0;
    auto step = steps.find(note.empty() ? '?' : note[0]);
    if (step == steps.end())
        throw std::runtime_error("bad note: " + note);
    int semitone = step->second;
    size_t i = 1;
    if (i < note.size() && (note[i] == '#' || note[i] == 'b'))
        semitone += note[i++] == '#' ? 1 : -1;
    if (i >= note.size() || !std::isdigit(static_cast<unsigned char>(note[i])))
        throw std::runtime_error("bad note: " + note);
    int octave = std::stoi(note.substr(i));
    return 440.0 * std::pow(2.0, (semitone + 12 * (octave - 4)) / 12.0);
}

// One sample of a band-limited triangle, square or saw at `phase` (0..1): the Fourier series of the
// ideal wave over the partials below half the sample rate only. The partials are stepped by a
// rotation, so a sample costs a few multiplications per partial.
double bandLimited(const std::string& wave, double phase, double frequency, int rate)
{
    const int partials = static_cast<int>(std::ceil(rate / 2.0 / frequency)) - 1; // k * f < rate / 2
    const bool saw = wave == "saw", square = wave == "square";
    const double theta = 2 * M_PI * phase;
    const double stepCos = std::cos(theta), stepSin = std::sin(theta);
    double c = stepCos, s = stepSin; // cos and sin of k * theta, from k = 1
    double sum = 0;
    for (int k = 1; k <= partials; ++k) {
        if (saw) {
            sum -= 2.0 / (M_PI * k) * s; // 2 * phase - 1
        } else if (k % 2 == 1) {
            if (square)
                sum += 0.8 * 4.0 / (M_PI * k) * s; // +0.8 for the first half period, -0.8 for the second
            else
                sum -= 8.0 / (M_PI * M_PI * k * k) * c; // 1 - 4 * |phase - 0.5|
        }
        const double nextC = c * stepCos - s * stepSin;
        s = s * stepCos + c * stepSin;
        c = nextC;
    }
    return sum;
}

void put16(std::ofstream& out, std::uint16_t v) { out.put(static_cast<char>(v & 0xFF)).put(static_cast<char>(v >> 8)); }
void put32(std::ofstream& out, std::uint32_t v) { put16(out, v & 0xFFFF); put16(out, v >> 16); }

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: musicgen SCORE.txt OUT.wav\n";
        return 2;
    }
    try {
        std::ifstream score(argv[1]);
        if (!score)
            throw std::runtime_error(std::string("cannot open ") + argv[1]);
        int rate = 22050;
        double tempo = 100;
        std::map<std::string, Voice> voices;
        std::vector<std::string> order;
        std::string line;
        int lineNumber = 0;
        while (std::getline(score, line)) {
            ++lineNumber;
            for (size_t i = 0; i < line.size(); ++i)
                if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) {
                    line.resize(i); // a comment; '#' inside a note is a sharp
                    break;
                }
            std::istringstream words(line);
            std::string first;
            if (!(words >> first))
                continue;
            if (first == "rate") {
                words >> rate;
            } else if (first == "tempo") {
                words >> tempo;
            } else if (first == "voice") {
                std::string name;
                Voice voice;
                if (!(words >> name >> voice.wave >> voice.volume >> voice.attack >> voice.release))
                    throw std::runtime_error("line " + std::to_string(lineNumber) + ": voice NAME WAVE VOLUME ATTACK RELEASE");
                voices[name] = voice;
                order.push_back(name);
            } else if (first.back() == ':' && voices.count(first.substr(0, first.size() - 1))) {
                Voice& voice = voices[first.substr(0, first.size() - 1)];
                std::string token;
                while (words >> token) {
                    size_t slash = token.find('/');
                    if (slash == std::string::npos)
                        throw std::runtime_error("line " + std::to_string(lineNumber) + ": NOTE/BEATS expected: " + token);
                    voice.notes.emplace_back(frequencyOf(token.substr(0, slash)), std::stod(token.substr(slash + 1)));
                }
            } else {
                throw std::runtime_error("line " + std::to_string(lineNumber) + ": unknown: " + first);
            }
        }
        if (rate < 8000 || rate > 96000 || tempo <= 0)
            throw std::runtime_error("bad rate or tempo");

        const double secondsPerBeat = 60.0 / tempo;
        size_t length = 0;
        for (auto& [name, voice] : voices) {
            double beats = 0;
            for (auto& note : voice.notes)
                beats += note.second;
            length = std::max(length, static_cast<size_t>(std::llround(beats * secondsPerBeat * rate)));
        }
        std::vector<double> mixed(length, 0.0);
        std::uint32_t noise = 12345;
        for (const std::string& name : order) {
            const Voice& voice = voices[name];
            double start = 0;
            for (auto [frequency, beats] : voice.notes) {
                double duration = beats * secondsPerBeat;
                size_t first = static_cast<size_t>(std::llround(start * rate));
                size_t count = static_cast<size_t>(std::llround(duration * rate));
                start += duration;
                if (frequency == 0.0)
                    continue;
                double phase = 0;
                for (size_t i = 0; i < count && first + i < length; ++i) {
                    double t = static_cast<double>(i) / rate;
                    double envelope = std::min(1.0, voice.attack > 0 ? t / voice.attack : 1.0);
                    double left = duration - t;
                    if (left < voice.release)
                        envelope *= std::max(0.0, left / voice.release);
                    double f = frequency;
                    if (voice.wave == "kick")
                        f = frequency * (1.0 + 3.0 * std::exp(-t * 30.0));
                    phase += f / rate;
                    phase -= std::floor(phase);
                    double s;
                    if (voice.wave == "sine" || voice.wave == "kick")
                        s = std::sin(2 * M_PI * phase);
                    else if (voice.wave == "triangle" || voice.wave == "square" || voice.wave == "saw")
                        s = bandLimited(voice.wave, phase, f, rate);
                    else if (voice.wave == "noise") {
                        noise = noise * 1103515245u + 12345u;
                        s = static_cast<double>((noise >> 8) & 0xFFFF) / 32768.0 - 1.0;
                        envelope *= std::exp(-t * 25.0);
                    } else
                        throw std::runtime_error("unknown wave: " + voice.wave);
                    if (voice.wave == "kick")
                        envelope *= std::exp(-t * 8.0);
                    mixed[first + i] += s * envelope * voice.volume;
                }
            }
        }

        std::ofstream out(argv[2], std::ios::binary);
        if (!out)
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
        std::uint32_t bytes = static_cast<std::uint32_t>(length * 2);
        out.write("RIFF", 4);
        put32(out, 36 + bytes);
        out.write("WAVEfmt ", 8);
        put32(out, 16);
        put16(out, 1);
        put16(out, 1);
        put32(out, static_cast<std::uint32_t>(rate));
        put32(out, static_cast<std::uint32_t>(rate * 2));
        put16(out, 2);
        put16(out, 16);
        out.write("data", 4);
        put32(out, bytes);
        // A limiter that bends the wave would add partials of its own above half the sample rate;
        // scaling the whole piece adds none.
        double peak = 0;
        for (double s : mixed)
            peak = std::max(peak, std::fabs(s));
        const double gain = peak > 1.0 ? 1.0 / peak : 1.0;
        for (double s : mixed)
            put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(s * gain * 32000.0))));
        if (!out.flush())
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& error) {
        std::cerr << "musicgen: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
