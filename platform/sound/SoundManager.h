// The game's sound effects and its one music stream. Effects are samples the resource catalogue loads
// into numbered sample slots, played once or looped under the effects master volume; the music is a
// stream whose volume is the music volume times a fade factor that the frame loop moves towards its
// target. When the audio device cannot start, the manager logs why and stays silent: every play
// answers -1 and the game runs on.
#pragma once

#include "compat/fmod/fmod.h"
#include "compat/win32/base.h"

#include <cstdint>
#include <string>

class Archive;

class SoundManager {
public:
    SoundManager(int directXVersion, int sampleRate, int channels);
    virtual ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Starts the sound library; E_FAIL (logged) when it cannot.
    virtual HRESULT init(int directXVersion, int sampleRate, int channels);
    // Stops the library, which frees every loaded sample.
    virtual int close();

    // Loads the file into the sample slot: from the archive when it holds the file, else (or when
    // that load fails) from disk. E_FAIL, logged, when neither works.
    HRESULT loadSample(Archive* archive, const std::string& fileName, int slot, unsigned mode);
    // The channel the sample plays on, or -1 (silent, or no sample in the slot).
    int playSample(int slot, int volume);
    int playSampleLooped(int slot, int volume);
    bool stopSound(int channel);

    void setSfxVolume(int volume);
    // The volume the music is heard at is the music volume times the fade factor.
    void setMusicVolume(int volume);
    // Moves the fade factor to `target` (0..1) over `seconds`; at once when seconds is not positive.
    void fadeMusic(float target, float seconds);
    // Advances a running fade; once per frame.
    void update(float elapsedSeconds);

    // Opens and starts the music; false when music is already open or the file does not open.
    bool playMusic(const std::string& fileName, unsigned mode);
    bool stopMusic();

    bool isAudioAvailable() const { return audioAvailable != 0; }
    int getSfxVolume() const { return sfxVolume; }
    int getMusicVolume() const { return musicVolume; }
    float getFade() const { return fade; }
    float getFadeTarget() const { return fadeTarget; }
    bool hasMusic() const { return musicStream != nullptr; }
    int getMusicChannel() const { return musicChannel; }

private:
    int play(int slot, int volume, unsigned loopMode);

    FSOUND_STREAM* musicStream = nullptr;
    int musicChannel = -1;
    int audioAvailable = 1;
    std::uint8_t sfxVolume = 255;
    std::uint8_t musicVolume = 255;
    float fadeTarget = 1.0f;
    float fade = 1.0f;
    float fadeRate = 0.0f;
};

// The text of a sound library error code (FSOUND_GetError).
const char* fmodErrorText(int code);
