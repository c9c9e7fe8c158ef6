// What a player hears: each effect sits at the level its recipe sets, a looped sound runs on from its
// last sample into its first, and the music generator's waves hold no partial folded back from above
// half the sample rate.
#include "assets/DataSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace dataset;

namespace {

struct Samples {
    int rate = 0;
    std::vector<int> values;
    std::string problem; // empty when the file read as 16-bit mono PCM
};

std::uint32_t le(const std::string& bytes, size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

Samples readWav(const std::filesystem::path& path)
{
    Samples out;
    std::string bytes = readFile(path);
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        out.problem = path.string() + " is no WAV file";
        return out;
    }
    bool format = false;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        std::string id = bytes.substr(at, 4);
        size_t size = le(bytes, at + 4, 4);
        if (at + 8 + size > bytes.size()) {
            out.problem = path.string() + " is cut short";
            return out;
        }
        if (id == "fmt " && size >= 16) {
            format = le(bytes, at + 8, 2) == 1 && le(bytes, at + 10, 2) == 1 && le(bytes, at + 22, 2) == 16;
            out.rate = static_cast<int>(le(bytes, at + 12, 4));
        } else if (id == "data") {
            for (size_t i = at + 8; i + 2 <= at + 8 + size; i += 2)
                out.values.push_back(static_cast<std::int16_t>(le(bytes, i, 2)));
        }
        at += 8 + size + (size & 1);
    }
    if (!format || out.values.empty())
        out.problem = path.string() + " is not 16-bit mono PCM with samples";
    return out;
}

// A recipe's effects without comments, split into words.
std::vector<std::string> recipeWords(const std::filesystem::path& recipe)
{
    std::istringstream lines(readFile(recipe));
    std::vector<std::string> words;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        for (std::string word; in >> word;)
            words.push_back(word);
    }
    return words;
}

std::vector<std::filesystem::path> recipes()
{
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(sourceDir() / "assets" / "sounds"))
        if (entry.path().extension() == ".sox")
            found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

std::filesystem::path stagedSound(const std::filesystem::path& recipe)
{
    return runDir() / "sounds" / (recipe.stem().string() + ".wav");
}

double decibels(double ratio) { return 20.0 * std::log10(ratio); }

} // namespace

TEST(Sounds, EachEffectPeaksAtItsRecipesLevel)
{
    for (const auto& recipe : recipes()) {
        SCOPED_TRACE(recipe.filename().string());
        std::vector<std::string> words = recipeWords(recipe);
        ASSERT_GE(words.size(), 3u);
        ASSERT_EQ(words[words.size() - 3], "gain");
        ASSERT_EQ(words[words.size() - 2], "-n");
        const double target = std::stod(words.back());
        Samples sound = readWav(stagedSound(recipe));
        ASSERT_EQ(sound.problem, "");
        int peak = 0;
        for (int value : sound.values)
            peak = std::max(peak, std::abs(value));
        EXPECT_NEAR(decibels(peak / 32768.0), target, 0.5);
    }
}

// A loop whose end does not meet its start clicks at every turn: the step from the last sample to
// the first must look like any step inside the sound, and the level must not jump either.
TEST(Sounds, LoopedSoundsJoinWithoutAStep)
{
    int loops = 0;
    for (const auto& recipe : recipes()) {
        std::vector<std::string> words = recipeWords(recipe);
        if (std::find(words.begin(), words.end(), "loop") == words.end())
            continue;
        SCOPED_TRACE(recipe.filename().string());
        ++loops;
        Samples sound = readWav(stagedSound(recipe));
        ASSERT_EQ(sound.problem, "");
        const std::vector<int>& s = sound.values;
        ASSERT_GT(s.size(), static_cast<size_t>(sound.rate));
        double meanStep = 0;
        for (size_t i = 1; i < s.size(); ++i)
            meanStep += std::abs(s[i] - s[i - 1]);
        meanStep /= static_cast<double>(s.size() - 1);
        EXPECT_LE(std::abs(s.front() - s.back()), 4 * meanStep)
            << "last sample " << s.back() << ", first " << s.front() << ", mean step " << meanStep;

        auto rms = [&](size_t from, size_t count) {
            double sum = 0;
            for (size_t i = from; i < from + count; ++i)
                sum += static_cast<double>(s[i]) * s[i];
            return std::sqrt(sum / static_cast<double>(count));
        };
        const size_t quarter = static_cast<size_t>(sound.rate / 4);
        EXPECT_NEAR(decibels(rms(0, quarter) / rms(s.size() - quarter, quarter)), 0.0, 1.5)
            << "the loop's first and last quarter second differ in level";
    }
    EXPECT_GT(loops, 0) << "mine_ambience is a looped sound";
}

namespace {

void fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2 * M_PI / static_cast<double>(length));
        for (size_t i = 0; i < n; i += length) {
            std::complex<double> w = 1;
            for (size_t k = 0; k < length / 2; ++k, w *= step) {
                std::complex<double> u = a[i + k], v = a[i + k + length / 2] * w;
                a[i + k] = u + v;
                a[i + k + length / 2] = u - v;
            }
        }
    }
}

} // namespace

// The generator renders one held note of each wave; in the spectrum of its steady part, everything
// away from the note's harmonics stays 60 dB below the fundamental. A wave drawn sample by sample
// from its ideal shape folds its partials above 11025 Hz back in at -20 to -40 dB.
TEST(Music, WavesHaveNoFoldedPartials)
{
    const std::filesystem::path folder =
        std::filesystem::path(::testing::TempDir()) / ("quarry_music_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const double fundamental = 1318.51; // E6: harmonics up to the eighth fit below 11025 Hz
    for (const char* wave : {"square", "saw", "triangle"}) {
        SCOPED_TRACE(wave);
        const std::filesystem::path score = folder / "wave.score", rendered = folder / "wave.wav";
        std::ofstream(score) << "rate 22050\ntempo 60\nvoice v " << wave << " 0.5 0.01 0.01\nv: E6/2\n";
        const std::string command = "'" + std::string(QUARRY_MUSICGEN) + "' '" + score.string() + "' '" +
                                    rendered.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        Samples sound = readWav(rendered);
        ASSERT_EQ(sound.problem, "");
        ASSERT_EQ(sound.rate, 22050);

        const size_t n = 8192, from = static_cast<size_t>(sound.rate / 2); // past the attack
        ASSERT_GE(sound.values.size(), from + n);
        std::vector<std::complex<double>> spectrum(n);
        for (size_t i = 0; i < n; ++i) {
            const double x = 2 * M_PI * static_cast<double>(i) / static_cast<double>(n - 1);
            const double window = 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
            spectrum[i] = sound.values[from + i] * window;
        }
        fft(spectrum);

        const double binWidth = sound.rate / static_cast<double>(n);
        auto nearHarmonic = [&](size_t bin) {
            const double harmonic = std::round(bin * binWidth / fundamental);
            return harmonic >= 1 && std::fabs(bin * binWidth - harmonic * fundamental) <= 6 * binWidth;
        };
        double reference = 0;
        for (size_t bin = 1; bin < n / 2; ++bin)
            if (std::fabs(bin * binWidth - fundamental) <= 6 * binWidth)
                reference = std::max(reference, std::abs(spectrum[bin]));
        ASSERT_GT(reference, 0);
        double worst = 0;
        size_t worstBin = 0;
        for (size_t bin = static_cast<size_t>(fundamental / 2 / binWidth); bin < n / 2; ++bin)
            if (!nearHarmonic(bin) && std::abs(spectrum[bin]) > worst) {
                worst = std::abs(spectrum[bin]);
                worstBin = bin;
            }
        EXPECT_LT(decibels(worst / reference), -60.0) << "strongest partial off the harmonics: " << worstBin * binWidth
                                                      << " Hz";
    }
    std::filesystem::remove_all(folder);
}
