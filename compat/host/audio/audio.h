// The audio device behind the sound library calls: decoded samples played on numbered mixing
// channels, and one streamed piece of music with a volume of its own. The SDL2_mixer device is the
// only code that talks to real audio; when it cannot open, the sound library runs on the silent
// device, which plays nothing and refuses every load, so callers never test for a missing device.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace compat::host {

// A decoded sample, ready to mix.
class AudioClip {
public:
    virtual ~AudioClip() = default;
};

// An opened music file, decoded while it plays.
class AudioMusic {
public:
    virtual ~AudioMusic() = default;
};

class AudioDevice {
public:
    virtual ~AudioDevice() = default;

    // Volumes are the mixer's: 0 (silent) .. 128 (full).
    static constexpr int kFullVolume = 128;

    // A WAV picture of a sound in memory or on disk (a host path); null when it does not decode.
    virtual std::unique_ptr<AudioClip> loadClip(const void* data, std::size_t size) = 0;
    virtual std::unique_ptr<AudioClip> loadClipFile(const std::string& path) = 0;
    // Starts the clip on the channel (0 .. channels - 1), replacing what played there.
    virtual bool play(int channel, AudioClip& clip, bool loop, int volume) = 0;
    virtual void setVolume(int channel, int volume) = 0;
    virtual void setPaused(int channel, bool paused) = 0;
    virtual void stop(int channel) = 0;
    // Whether the channel is still playing (a paused channel counts as playing).
    virtual bool isPlaying(int channel) = 0;

    // A WAV or OGG Vorbis file; null when it cannot be opened.
    virtual std::unique_ptr<AudioMusic> openMusic(const std::string& path) = 0;
    virtual bool playMusic(AudioMusic& music, bool loop) = 0;
    virtual void setMusicVolume(int volume) = 0;
    virtual void stopMusic() = 0;
    virtual bool isMusicPlaying() = 0;
};

// The SDL2_mixer device with `channels` mixing channels, mixing at `rate` Hz or at 22050 Hz (the rate
// of the game's sounds and music) when `rate` is higher; null with the reason in `error` when no audio
// device opens (no sound card, or an SDL_AUDIODRIVER that fails).
std::unique_ptr<AudioDevice> openAudioDevice(int rate, int channels, std::string& error);

// Sounds a short sine tone of the system's own (message beeps) on a channel kept beside the open SDL
// device's mixing channels; nothing when no such device is open. Never waits for the tone.
void playSystemTone(int frequency, int milliseconds);
// Whether that tone is still sounding.
bool systemTonePlaying();

// The device of no audio: every load fails, nothing plays.
std::unique_ptr<AudioDevice> silentAudioDevice();

} // namespace compat::host
