// The sound library over the host's audio device. Channels are numbered 0 .. maxChannels - 1 and
// shared by samples and the music stream, as the game expects; a sample started paused is held here
// and reaches the device only when it is unpaused, so that the volume set in between is the first
// thing heard. Effect volumes are scaled by the effects master volume, absolute ones (the music's)
// are not.
#include "compat/fmod/fmod.h"
#include "compat/fmod/testing.h"

#include "compat/host/audio/audio.h"
#include "compat/win32/path.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct FSOUND_SAMPLE {
    int index = 0;
    unsigned loopMode = FSOUND_LOOP_OFF;
    std::unique_ptr<compat::host::AudioClip> clip;
};

struct FSOUND_STREAM {
    std::string fileName;
    unsigned mode = 0;
    int channel = -1;
    std::unique_ptr<compat::host::AudioMusic> music;
};

namespace {

using compat::host::AudioDevice;

struct Channel {
    enum class Use { Free, Sample, Stream };
    Use use = Use::Free;
    FSOUND_SAMPLE* sample = nullptr;
    FSOUND_STREAM* stream = nullptr;
    bool loop = false;
    bool paused = false;
    bool started = false; // reached the device (a sample started paused has not yet)
    bool absolute = false;
    int volume = 255;
    int deviceVolume = AudioDevice::kFullVolume;
    int record = -1; // index of its entry in the played list
};

struct SoundSystem {
    bool initialised = false;
    bool available = true;
    int error = FMOD_ERR_NONE;
    int sfxMaster = 255;
    std::unique_ptr<AudioDevice> device = compat::host::silentAudioDevice();
    std::map<int, std::unique_ptr<FSOUND_SAMPLE>> samples;
    std::vector<std::unique_ptr<FSOUND_STREAM>> streams;
    std::vector<Channel> channels;
    std::vector<compat::testing::PlayedSound> played;
    compat::testing::MusicState music;
};

SoundSystem& sound()
{
    static SoundSystem system;
    return system;
}

// The one thing a player without a sound card hears about it, on the terminal, once a run: the
// game's own log keeps the details.
void sayRunningSilently(const std::string& reason)
{
    static bool said = false;
    if (said)
        return;
    said = true;
    std::fprintf(stderr, "No audio device could be opened (%s): the game runs without sound.\n", reason.c_str());
    std::fflush(stderr);
}

// Sets the last error; for the false/null/-1 answers.
template <class T> T fail(int code, T result)
{
    sound().error = code;
    return result;
}

int clampVolume(int volume) { return volume < 0 ? 0 : volume > 255 ? 255 : volume; }

int toDeviceVolume(int volume) { return (clampVolume(volume) * AudioDevice::kFullVolume + 127) / 255; }

// Frees channels whose sound has ended.
void refresh(Channel& channel, int index)
{
    SoundSystem& s = sound();
    if (channel.use == Channel::Use::Sample && channel.started && !s.device->isPlaying(index))
        channel = Channel();
    if (channel.use == Channel::Use::Stream && !s.device->isMusicPlaying()) {
        channel.stream->channel = -1;
        s.music.playing = false;
        channel = Channel();
    }
}

Channel* busyChannel(int index)
{
    SoundSystem& s = sound();
    if (index < 0 || index >= static_cast<int>(s.channels.size()))
        return nullptr;
    Channel& channel = s.channels[static_cast<std::size_t>(index)];
    refresh(channel, index);
    return channel.use == Channel::Use::Free ? nullptr : &channel;
}

// The channel to start on: the one asked for (stopping what plays there), or the first free one.
int claimChannel(int wanted)
{
    SoundSystem& s = sound();
    int count = static_cast<int>(s.channels.size());
    if (wanted != FSOUND_FREE) {
        if (wanted < 0 || wanted >= count)
            return -1;
        FSOUND_StopSound(wanted);
        return wanted;
    }
    for (int index = 0; index < count; ++index) {
        if (!busyChannel(index))
            return index;
    }
    return -1;
}

void applyVolume(Channel& channel, int index)
{
    SoundSystem& s = sound();
    int heard = channel.absolute ? channel.volume : channel.volume * s.sfxMaster / 255;
    channel.deviceVolume = toDeviceVolume(heard);
    if (channel.use == Channel::Use::Stream)
        s.device->setMusicVolume(channel.deviceVolume);
    else if (channel.started)
        s.device->setVolume(index, channel.deviceVolume);
}

bool startOnDevice(Channel& channel, int index)
{
    channel.started = true;
    return sound().device->play(index, *channel.sample->clip, channel.loop, channel.deviceVolume);
}

void stopChannel(Channel& channel, int index)
{
    SoundSystem& s = sound();
    if (channel.use == Channel::Use::Sample && channel.started)
        s.device->stop(index);
    if (channel.use == Channel::Use::Stream) {
        s.device->stopMusic();
        channel.stream->channel = -1;
        s.music.playing = false;
    }
    channel = Channel();
}

} // namespace

signed char FSOUND_SetHWND(void*)
{
    return sound().initialised ? fail(FMOD_ERR_BUSY, 0) : 1;
}

signed char FSOUND_SetOutput(int)
{
    return sound().initialised ? fail(FMOD_ERR_BUSY, 0) : 1;
}

signed char FSOUND_Init(int mixRate, int maxChannels, unsigned int)
{
    SoundSystem& s = sound();
    if (s.initialised)
        FSOUND_Close();
    if (mixRate <= 0 || maxChannels <= 0 || maxChannels > 256)
        return fail(FMOD_ERR_INVALID_PARAM, 0);
    std::string reason = "audio made unavailable";
    std::unique_ptr<AudioDevice> device;
    if (s.available)
        device = compat::host::openAudioDevice(mixRate, maxChannels, reason);
    if (!device) {
        sayRunningSilently(reason);
        return fail(FMOD_ERR_INIT, 0);
    }
    s.device = std::move(device);
    s.channels.assign(static_cast<std::size_t>(maxChannels), Channel());
    s.initialised = true;
    s.error = FMOD_ERR_NONE;
    return 1;
}

void FSOUND_Close()
{
    SoundSystem& s = sound();
    for (std::size_t index = 0; index < s.channels.size(); ++index)
        stopChannel(s.channels[index], static_cast<int>(index));
    s.channels.clear();
    s.samples.clear();
    s.streams.clear();
    s.music = compat::testing::MusicState();
    s.device = compat::host::silentAudioDevice();
    s.initialised = false;
}

int FSOUND_GetError() { return sound().error; }

FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* nameOrData, unsigned int mode, int, int length)
{
    SoundSystem& s = sound();
    if (!s.initialised)
        return fail(FMOD_ERR_UNINITIALIZED, static_cast<FSOUND_SAMPLE*>(nullptr));
    if (!nameOrData || index < FSOUND_FREE)
        return fail(FMOD_ERR_INVALID_PARAM, static_cast<FSOUND_SAMPLE*>(nullptr));
    if (index == FSOUND_FREE) {
        index = 0;
        while (s.samples.count(index))
            ++index;
    }
    std::unique_ptr<compat::host::AudioClip> clip;
    if (mode & FSOUND_LOADMEMORY) {
        if (length <= 0)
            return fail(FMOD_ERR_INVALID_PARAM, static_cast<FSOUND_SAMPLE*>(nullptr));
        clip = s.device->loadClip(nameOrData, static_cast<std::size_t>(length));
    } else {
        std::string path = compat::hostPath(nameOrData);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file)
            return fail(FMOD_ERR_FILE_NOTFOUND, static_cast<FSOUND_SAMPLE*>(nullptr));
        std::fclose(file);
        clip = s.device->loadClipFile(path);
    }
    if (!clip)
        return fail(FMOD_ERR_FILE_FORMAT, static_cast<FSOUND_SAMPLE*>(nullptr));

    // A slot that is reloaded stops the channels that play its old sample.
    auto old = s.samples.find(index);
    if (old != s.samples.end()) {
        for (std::size_t channel = 0; channel < s.channels.size(); ++channel) {
            if (s.channels[channel].sample == old->second.get())
                stopChannel(s.channels[channel], static_cast<int>(channel));
        }
    }
    auto sample = std::make_unique<FSOUND_SAMPLE>();
    sample->index = index;
    sample->loopMode = (mode & FSOUND_LOOP_NORMAL) ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF;
    sample->clip = std::move(clip);
    FSOUND_SAMPLE* result = sample.get();
    s.samples[index] = std::move(sample);
    return result;
}

FSOUND_SAMPLE* FSOUND_Sample_Get(int index)
{
    SoundSystem& s = sound();
    auto found = s.samples.find(index);
    if (found == s.samples.end())
        return fail(FMOD_ERR_INVALID_PARAM, static_cast<FSOUND_SAMPLE*>(nullptr));
    return found->second.get();
}

signed char FSOUND_Sample_SetMode(FSOUND_SAMPLE* sample, unsigned int mode)
{
    if (!sample)
        return fail(FMOD_ERR_INVALID_PARAM, 0);
    if (mode & FSOUND_LOOP_NORMAL)
        sample->loopMode = FSOUND_LOOP_NORMAL;
    else if (mode & FSOUND_LOOP_OFF)
        sample->loopMode = FSOUND_LOOP_OFF;
    return 1;
}

int FSOUND_PlaySoundEx(int channel, FSOUND_SAMPLE* sample, FSOUND_DSPUNIT*, signed char startPaused)
{
    SoundSystem& s = sound();
    if (!s.initialised)
        return fail(FMOD_ERR_UNINITIALIZED, -1);
    if (!sample)
        return fail(FMOD_ERR_INVALID_PARAM, -1);
    int index = claimChannel(channel);
    if (index < 0)
        return fail(channel == FSOUND_FREE ? FMOD_ERR_CHANNEL_ALLOC : FMOD_ERR_INVALID_PARAM, -1);

    Channel& slot = s.channels[static_cast<std::size_t>(index)];
    slot = Channel();
    slot.use = Channel::Use::Sample;
    slot.sample = sample;
    slot.loop = sample->loopMode == FSOUND_LOOP_NORMAL;
    slot.paused = startPaused != 0;
    applyVolume(slot, index);

#ifdef QUARRY_TESTING
    // Only test builds keep the list, which grows with every sound played.
    compat::testing::PlayedSound record;
    record.slot = sample->index;
    record.channel = index;
    record.loopMode = sample->loopMode;
    record.startedPaused = record.paused = slot.paused;
    slot.record = static_cast<int>(s.played.size());
    s.played.push_back(record);
#endif

    if (!slot.paused && !startOnDevice(slot, index)) {
        slot = Channel();
        return fail(FMOD_ERR_PLAY, -1);
    }
    return index;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample)
{
    return FSOUND_PlaySoundEx(channel, sample, nullptr, 0);
}

signed char FSOUND_StopSound(int channel)
{
    Channel* busy = busyChannel(channel);
    if (!busy)
        return fail(FMOD_ERR_INVALID_PARAM, 0);
    stopChannel(*busy, channel);
    return 1;
}

signed char FSOUND_SetPaused(int channel, signed char paused)
{
    Channel* busy = busyChannel(channel);
    if (!busy)
        return fail(FMOD_ERR_INVALID_PARAM, 0);
    SoundSystem& s = sound();
    busy->paused = paused != 0;
    if (busy->record >= 0)
        s.played[static_cast<std::size_t>(busy->record)].paused = busy->paused;
    if (busy->use == Channel::Use::Sample) {
        if (!busy->started) {
            if (!busy->paused && !startOnDevice(*busy, channel)) {
                *busy = Channel();
                return fail(FMOD_ERR_PLAY, 0);
            }
        } else {
            s.device->setPaused(channel, busy->paused);
        }
    }
    return 1;
}

namespace {

signed char setChannelVolume(int channel, int volume, bool absolute)
{
    Channel* busy = busyChannel(channel);
    if (!busy)
        return fail(FMOD_ERR_INVALID_PARAM, 0);
    SoundSystem& s = sound();
    busy->volume = clampVolume(volume);
    busy->absolute = absolute;
    applyVolume(*busy, channel);
    if (busy->record >= 0)
        s.played[static_cast<std::size_t>(busy->record)].volume = busy->volume;
    if (busy->use == Channel::Use::Stream)
        s.music.volume = absolute ? busy->volume : busy->volume * s.sfxMaster / 255;
    return 1;
}

} // namespace

signed char FSOUND_SetVolume(int channel, int volume) { return setChannelVolume(channel, volume, false); }

signed char FSOUND_SetVolumeAbsolute(int channel, int volume) { return setChannelVolume(channel, volume, true); }

void FSOUND_SetSFXMasterVolume(int volume)
{
    SoundSystem& s = sound();
    s.sfxMaster = clampVolume(volume);
    for (std::size_t index = 0; index < s.channels.size(); ++index) {
        Channel* busy = busyChannel(static_cast<int>(index));
        if (busy && !busy->absolute)
            applyVolume(*busy, static_cast<int>(index));
    }
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* nameOrData, unsigned int mode, int, int)
{
    SoundSystem& s = sound();
    if (!s.initialised)
        return fail(FMOD_ERR_UNINITIALIZED, static_cast<FSOUND_STREAM*>(nullptr));
    if (!nameOrData || (mode & FSOUND_LOADMEMORY))
        return fail(FMOD_ERR_INVALID_PARAM, static_cast<FSOUND_STREAM*>(nullptr));
    std::string path = compat::hostPath(nameOrData);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return fail(FMOD_ERR_FILE_NOTFOUND, static_cast<FSOUND_STREAM*>(nullptr));
    std::fclose(file);
    std::unique_ptr<compat::host::AudioMusic> music = s.device->openMusic(path);
    if (!music)
        return fail(FMOD_ERR_FILE_FORMAT, static_cast<FSOUND_STREAM*>(nullptr));
    auto stream = std::make_unique<FSOUND_STREAM>();
    stream->fileName = nameOrData;
    stream->mode = mode;
    stream->music = std::move(music);
    s.streams.push_back(std::move(stream));
    return s.streams.back().get();
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream)
{
    SoundSystem& s = sound();
    if (!s.initialised)
        return fail(FMOD_ERR_UNINITIALIZED, -1);
    if (!stream)
        return fail(FMOD_ERR_INVALID_PARAM, -1);
    // The device has one music: another stream that plays is stopped first.
    for (std::size_t index = 0; index < s.channels.size(); ++index) {
        if (s.channels[index].use == Channel::Use::Stream)
            stopChannel(s.channels[index], static_cast<int>(index));
    }
    int index = claimChannel(channel);
    if (index < 0)
        return fail(channel == FSOUND_FREE ? FMOD_ERR_CHANNEL_ALLOC : FMOD_ERR_INVALID_PARAM, -1);
    Channel& slot = s.channels[static_cast<std::size_t>(index)];
    slot = Channel();
    slot.use = Channel::Use::Stream;
    slot.stream = stream;
    slot.started = true;
    applyVolume(slot, index);
    if (!s.device->playMusic(*stream->music, (stream->mode & FSOUND_LOOP_NORMAL) != 0)) {
        slot = Channel();
        return fail(FMOD_ERR_PLAY, -1);
    }
    stream->channel = index;
    s.music.fileName = stream->fileName;
    s.music.channel = index;
    s.music.playing = true;
    s.music.volume = -1;
    return index;
}

signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream)
{
    SoundSystem& s = sound();
    if (!stream)
        return fail(FMOD_ERR_INVALID_PARAM, 0);
    if (stream->channel >= 0)
        stopChannel(s.channels[static_cast<std::size_t>(stream->channel)], stream->channel);
    return 1;
}

signed char FSOUND_Stream_Close(FSOUND_STREAM* stream)
{
    SoundSystem& s = sound();
    for (auto it = s.streams.begin(); it != s.streams.end(); ++it) {
        if (it->get() == stream) {
            FSOUND_Stream_Stop(stream);
            if (s.music.fileName == stream->fileName)
                s.music = compat::testing::MusicState();
            s.streams.erase(it);
            return 1;
        }
    }
    return fail(FMOD_ERR_INVALID_PARAM, 0);
}

int FSOUND_GetChannelsPlaying()
{
    int playing = 0;
    for (std::size_t index = 0; index < sound().channels.size(); ++index) {
        Channel* busy = busyChannel(static_cast<int>(index));
        if (busy && !busy->paused)
            ++playing;
    }
    return playing;
}

float FSOUND_GetCPUUsage() { return 0.0f; }

#ifdef QUARRY_TESTING

namespace compat::testing {

void setAudioAvailable(bool available) { sound().available = available; }

const std::vector<PlayedSound>& playedSounds() { return sound().played; }

void clearPlayedSounds()
{
    SoundSystem& s = sound();
    s.played.clear();
    for (Channel& channel : s.channels)
        channel.record = -1;
}

const MusicState& musicState()
{
    SoundSystem& s = sound();
    for (std::size_t index = 0; index < s.channels.size(); ++index)
        busyChannel(static_cast<int>(index));
    return s.music;
}

int sfxMasterVolume() { return sound().sfxMaster; }

int deviceChannelVolume(int channel)
{
    Channel* busy = busyChannel(channel);
    return busy ? busy->deviceVolume : -1;
}

} // namespace compat::testing

#endif
