// The SDL2_mixer audio device: samples are mixer chunks played on mixer channels, the music is the
// mixer's one music stream, whose volume the mixer keeps apart from the channels'.
#include "compat/host/audio/audio.h"
#include "compat/host/audio/PcmWiden.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace compat::host {
namespace {

// Every sound and the music of the game's data are made at 22050 Hz, so the mixer runs at that rate
// when more is asked: mixing faster adds nothing a player can hear, only work, and the music would be
// resampled while it plays (with its decoding, that was most of what a still screen cost). The sound
// server brings the mix to the card's rate, as it did with 44100.
constexpr int kSourceRate = 22050;
// Frames per device buffer: 1024 at 22050 Hz is 46 ms, the latency of a sound effect, and 22 wake-ups
// of the audio thread a second.
constexpr int kDeviceFrames = 1024;

// The system's own tones play on one channel kept beside the device's mixing channels, so a beep
// never takes a channel the game counts on. -1 while no device is open.
// Never destroyed: a device may close while the program's static objects are going away.
struct Tone {
    std::mutex mutex;
    int channel = -1;
    // The samples the mixer reads while the tone plays; replaced only after the channel is halted.
    std::vector<std::int16_t> samples;
    Mix_Chunk* chunk = nullptr;

    // With the mutex held.
    void halt()
    {
        if (channel >= 0)
            Mix_HaltChannel(channel);
        if (chunk != nullptr)
            Mix_FreeChunk(chunk);
        chunk = nullptr;
    }
};

Tone& tone()
{
    static Tone* t = new Tone;
    return *t;
}

void closeTone()
{
    std::lock_guard<std::mutex> lock(tone().mutex);
    tone().halt();
    tone().channel = -1;
}

class SdlClip : public AudioClip {
public:
    explicit SdlClip(Mix_Chunk* chunk) : chunk(chunk) {}
    ~SdlClip() override { Mix_FreeChunk(chunk); }
    Mix_Chunk* chunk;
};

class SdlMusic : public AudioMusic {
public:
    explicit SdlMusic(Mix_Music* music) : music(music) {}
    ~SdlMusic() override
    {
        // The mixer stops a music that is freed while it plays.
        Mix_FreeMusic(music);
    }
    Mix_Music* music;
};

std::unique_ptr<AudioClip> wrapChunk(Mix_Chunk* chunk)
{
    if (!chunk)
        return nullptr;
    return std::make_unique<SdlClip>(chunk);
}

// A 16-bit PCM WAV whose shape only needs widening to the device's (widenPcm16) becomes a chunk here;
// null for anything else (another encoding or rate, or no WAV at all), which the mixer then loads.
// The stream is left open.
Mix_Chunk* loadPlainWav(SDL_RWops* stream)
{
    int deviceRate = 0, deviceChannels = 0;
    Uint16 deviceFormat = 0;
    if (stream == nullptr || Mix_QuerySpec(&deviceRate, &deviceFormat, &deviceChannels) == 0 ||
        deviceFormat != AUDIO_S16SYS)
        return nullptr;
    const Sint64 start = SDL_RWtell(stream);
    SDL_AudioSpec spec{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(stream, 0, &spec, &data, &length) == nullptr) {
        SDL_ClearError();
        SDL_RWseek(stream, start, RW_SEEK_SET);
        return nullptr;
    }
    std::vector<std::int16_t> samples;
    const std::size_t frameBytes = 2 * static_cast<std::size_t>(spec.channels > 0 ? spec.channels : 1);
    const bool widened = spec.format == AUDIO_S16SYS &&
                         widenPcm16(reinterpret_cast<const std::int16_t*>(data), length / frameBytes, spec.channels,
                                    spec.freq, deviceChannels, deviceRate, samples);
    SDL_FreeWAV(data);
    SDL_RWseek(stream, start, RW_SEEK_SET);
    if (!widened || samples.empty())
        return nullptr;
    const std::size_t bytes = samples.size() * sizeof(std::int16_t);
    auto* buffer = static_cast<Uint8*>(SDL_malloc(bytes));
    if (buffer == nullptr)
        return nullptr;
    std::memcpy(buffer, samples.data(), bytes);
    Mix_Chunk* chunk = Mix_QuickLoad_RAW(buffer, static_cast<Uint32>(bytes));
    if (chunk == nullptr) {
        SDL_free(buffer);
        return nullptr;
    }
    // The chunk owns the buffer now: freeing the chunk frees it, as for a chunk the mixer loaded.
    chunk->allocated = 1;
    return chunk;
}

class SdlAudioDevice : public AudioDevice {
public:
    explicit SdlAudioDevice(int channels) : channels(channels) {}
    ~SdlAudioDevice() override
    {
        closeTone();
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    std::unique_ptr<AudioClip> loadClip(const void* data, std::size_t size) override
    {
        if (size > static_cast<std::size_t>(INT32_MAX))
            return nullptr;
        SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
        return load(stream);
    }

    std::unique_ptr<AudioClip> loadClipFile(const std::string& path) override
    {
        return load(SDL_RWFromFile(path.c_str(), "rb"));
    }

    bool play(int channel, AudioClip& clip, bool loop, int volume) override
    {
        if (!valid(channel))
            return false;
        Mix_HaltChannel(channel);
        Mix_Volume(channel, volume);
        Mix_Resume(channel);
        return Mix_PlayChannel(channel, static_cast<SdlClip&>(clip).chunk, loop ? -1 : 0) == channel;
    }

    void setVolume(int channel, int volume) override
    {
        if (valid(channel))
            Mix_Volume(channel, volume);
    }

    void setPaused(int channel, bool paused) override
    {
        if (!valid(channel))
            return;
        if (paused)
            Mix_Pause(channel);
        else
            Mix_Resume(channel);
    }

    void stop(int channel) override
    {
        if (valid(channel))
            Mix_HaltChannel(channel);
    }

    bool isPlaying(int channel) override { return valid(channel) && Mix_Playing(channel) != 0; }

    std::unique_ptr<AudioMusic> openMusic(const std::string& path) override
    {
        Mix_Music* music = Mix_LoadMUS(path.c_str());
        if (!music)
            return nullptr;
        return std::make_unique<SdlMusic>(music);
    }

    bool playMusic(AudioMusic& music, bool loop) override
    {
        return Mix_PlayMusic(static_cast<SdlMusic&>(music).music, loop ? -1 : 1) == 0;
    }

    void setMusicVolume(int volume) override { Mix_VolumeMusic(volume); }
    void stopMusic() override { Mix_HaltMusic(); }
    bool isMusicPlaying() override { return Mix_PlayingMusic() != 0; }

private:
    // Closes the stream.
    static std::unique_ptr<AudioClip> load(SDL_RWops* stream)
    {
        if (stream == nullptr)
            return nullptr;
        if (Mix_Chunk* chunk = loadPlainWav(stream)) {
            SDL_RWclose(stream);
            return wrapChunk(chunk);
        }
        return wrapChunk(Mix_LoadWAV_RW(stream, 1));
    }

    bool valid(int channel) const { return channel >= 0 && channel < channels; }

    int channels;
};

} // namespace

namespace {

// Keeps standard error closed while the device opens: the sound system below SDL (ALSA) prints its
// failures straight to it, line after line, and the caller reports the one reason that matters.
// Opening happens once, at start-up, before any other thread of ours writes there.
class QuietStandardError {
public:
    QuietStandardError()
    {
        std::fflush(stderr);
        saved = dup(STDERR_FILENO);
        const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved >= 0 && sink >= 0)
            dup2(sink, STDERR_FILENO);
        if (sink >= 0)
            close(sink);
    }
    ~QuietStandardError()
    {
        if (saved < 0)
            return;
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved = -1;
};

} // namespace

std::unique_ptr<AudioDevice> openAudioDevice(int rate, int channels, std::string& error)
{
    // Termination signals are the program's own (they close its window); SDL must not take them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    QuietStandardError quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    // Vorbis support is loaded on demand; a mixer without it still plays WAV.
    Mix_Init(MIX_INIT_OGG);
    if (Mix_OpenAudio(std::min(rate, kSourceRate), MIX_DEFAULT_FORMAT, 2, kDeviceFrames) != 0) {
        error = Mix_GetError();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    Mix_AllocateChannels(channels + 1);
    {
        std::lock_guard<std::mutex> lock(tone().mutex);
        tone().channel = channels;
    }
    return std::make_unique<SdlAudioDevice>(channels);
}

void playSystemTone(int frequency, int milliseconds)
{
    Tone& t = tone();
    std::lock_guard<std::mutex> lock(t.mutex);
    int rate = 0, outputs = 0;
    Uint16 format = 0;
    if (t.channel < 0 || Mix_QuerySpec(&rate, &format, &outputs) == 0 || format != AUDIO_S16SYS || outputs < 1)
        return;
    // A new beep cuts the last one short rather than queueing behind it.
    t.halt();

    frequency = std::clamp(frequency, 37, 32767);
    milliseconds = std::clamp(milliseconds, 1, 2000);
    const int frames = static_cast<int>(static_cast<long>(rate) * milliseconds / 1000);
    // A quarter of full scale, with 5 ms ramps at both ends so the tone starts and stops without a click.
    const int ramp = std::max(1, std::min(frames / 2, rate / 200));
    const double step = 2.0 * M_PI * frequency / rate;
    t.samples.assign(static_cast<std::size_t>(frames) * outputs, 0);
    for (int i = 0; i < frames; ++i) {
        const double envelope =
            std::min({1.0, static_cast<double>(i) / ramp, static_cast<double>(frames - 1 - i) / ramp});
        const auto value = static_cast<std::int16_t>(std::lround(8192.0 * envelope * std::sin(step * i)));
        std::fill_n(t.samples.begin() + static_cast<std::ptrdiff_t>(i) * outputs, outputs, value);
    }
    t.chunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(t.samples.data()),
                                static_cast<Uint32>(t.samples.size() * sizeof(std::int16_t)));
    if (t.chunk != nullptr)
        Mix_PlayChannel(t.channel, t.chunk, 0);
}

bool systemTonePlaying()
{
    std::lock_guard<std::mutex> lock(tone().mutex);
    return tone().channel >= 0 && Mix_Playing(tone().channel) != 0;
}

} // namespace compat::host
