// The SDL2_mixer audio device: samples are mixer chunks played on mixer channels, the music is the
// mixer's one music stream, whose volume the mixer keeps apart from the channels'.
#include "compat/host/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace compat::host {
namespace {

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

class SdlAudioDevice : public AudioDevice {
public:
    explicit SdlAudioDevice(int channels) : channels(channels) {}
    ~SdlAudioDevice() override
    {
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
        return stream ? wrapChunk(Mix_LoadWAV_RW(stream, 1)) : nullptr;
    }

    std::unique_ptr<AudioClip> loadClipFile(const std::string& path) override
    {
        return wrapChunk(Mix_LoadWAV(path.c_str()));
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
    bool valid(int channel) const { return channel >= 0 && channel < channels; }

    int channels;
};

} // namespace

std::unique_ptr<AudioDevice> openAudioDevice(int rate, int channels, std::string& error)
{
    // An interrupt or termination signal ends the program as usual; SDL would otherwise turn it into a
    // quit event that only a host polling for events ever sees.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    // Vorbis support is loaded on demand; a mixer without it still plays WAV.
    Mix_Init(MIX_INIT_OGG);
    if (Mix_OpenAudio(rate, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        error = Mix_GetError();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    Mix_AllocateChannels(channels);
    return std::make_unique<SdlAudioDevice>(channels);
}

} // namespace compat::host
