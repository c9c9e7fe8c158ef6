#include "platform/sound/SoundManager.h"

#include "runtime/DebugLog.h"
#include "runtime/containers/Buffer.h"

#include <cmath>

namespace {

constexpr int kDirectX7 = 0x700;

void log(const std::string& text) { DebugLog::instance().log(text); }

std::uint8_t byteVolume(int volume) { return static_cast<std::uint8_t>(volume < 0 ? 0 : volume > 255 ? 255 : volume); }

} // namespace

const char* fmodErrorText(int code)
{
    static const char* const texts[] = {
        "No errors",
        "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
        "This command failed because FSOUND_Init was not called",
        "Error initializing output device.",
        "The output device is already in use and cannot be reused.",
        "Playing the sound failed.",
        "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
        "Error setting cooperative level for hardware.",
        "Error creating hardware sound buffer.",
        "File not found",
        "Unknown file format",
        "Error loading file",
        "Not enough memory ",
        "The version number of this file format is not supported",
        "An invalid parameter was passed to this function",
        "Tried to use an EAX command on a non EAX enabled channel or output.",
        "Failed to allocate a new channel",
        "Recording not supported on this device",
        "Required Mediaplayer codec is not installed",
    };
    if (code < 0 || code >= static_cast<int>(sizeof texts / sizeof texts[0]))
        return "Unknown error";
    return texts[code];
}

SoundManager::SoundManager(int directXVersion, int sampleRate, int channels)
{
    if (FAILED(init(directXVersion, sampleRate, channels))) {
        log("ERROR: Audio is not available.\n");
        log(std::string(fmodErrorText(FSOUND_GetError())) + "\n");
        audioAvailable = 0;
    }
    FSOUND_SetSFXMasterVolume(sfxVolume);
}

SoundManager::~SoundManager() { close(); }

HRESULT SoundManager::init(int directXVersion, int sampleRate, int channels)
{
    FSOUND_SetHWND(nullptr);
    if (directXVersion != 0 && directXVersion < kDirectX7)
        FSOUND_SetOutput(FSOUND_OUTPUT_WINMM);
    if (!FSOUND_Init(sampleRate, channels, FSOUND_INIT_GLOBALFOCUS)) {
        log(std::string(fmodErrorText(FSOUND_GetError())) + "\n");
        return E_FAIL;
    }
    return S_OK;
}

int SoundManager::close()
{
    FSOUND_Close();
    musicStream = nullptr;
    musicChannel = -1;
    return 0;
}

HRESULT SoundManager::loadSample(Archive* archive, const std::string& fileName, int slot, unsigned mode)
{
    if (archive && archive->holdsFile(fileName)) {
        Buffer buffer;
        if (archive->openFile(fileName) && archive->readWhole(buffer) && buffer.size > 0 &&
            FSOUND_Sample_Load(slot, reinterpret_cast<const char*>(buffer.data), mode | FSOUND_LOADMEMORY, 0,
                               static_cast<int>(buffer.size)))
            return S_OK;
    }
    if (FSOUND_Sample_Load(slot, fileName.c_str(), mode, 0, 0))
        return S_OK;
    log(std::string(fmodErrorText(FSOUND_GetError())) + " " + fileName + "\n");
    return E_FAIL;
}

int SoundManager::play(int slot, int volume, unsigned loopMode)
{
    if (!audioAvailable)
        return -1;
    FSOUND_SAMPLE* sample = FSOUND_Sample_Get(slot);
    if (!sample) {
        log("ERROR: Sample not found! (" + std::to_string(slot) + ")\n");
        return -1;
    }
    FSOUND_Sample_SetMode(sample, loopMode);
    if (volume == 255)
        return FSOUND_PlaySound(FSOUND_FREE, sample);
    int channel = FSOUND_PlaySoundEx(FSOUND_FREE, sample, nullptr, 1);
    FSOUND_SetVolume(channel, volume);
    FSOUND_SetPaused(channel, 0);
    return channel;
}

int SoundManager::playSample(int slot, int volume) { return play(slot, volume, FSOUND_LOOP_OFF); }

int SoundManager::playSampleLooped(int slot, int volume) { return play(slot, volume, FSOUND_LOOP_NORMAL); }

bool SoundManager::stopSound(int channel) { return FSOUND_StopSound(channel) != 0; }

void SoundManager::setSfxVolume(int volume)
{
    sfxVolume = byteVolume(volume);
    FSOUND_SetSFXMasterVolume(sfxVolume);
}

void SoundManager::setMusicVolume(int volume)
{
    musicVolume = byteVolume(volume);
    if (musicStream)
        FSOUND_SetVolumeAbsolute(musicChannel, static_cast<int>(musicVolume * fade));
}

void SoundManager::fadeMusic(float target, float seconds)
{
    target = target < 0.0f ? 0.0f : target > 1.0f ? 1.0f : target;
    // A fade of no time, or of negative time (which would move away from its target for ever), is
    // done at once.
    if (!(seconds > 0.0f)) {
        fade = fadeTarget = target;
        fadeRate = 0.0f;
        setMusicVolume(musicVolume);
        return;
    }
    fadeTarget = target;
    fadeRate = (target - fade) / seconds;
}

void SoundManager::update(float elapsedSeconds)
{
    if (fade < fadeTarget) {
        fade += elapsedSeconds * fadeRate;
        if (fade > fadeTarget)
            fade = fadeTarget;
    } else if (fade > fadeTarget) {
        fade += elapsedSeconds * fadeRate;
        if (fade < fadeTarget)
            fade = fadeTarget;
    } else {
        return;
    }
    setMusicVolume(musicVolume);
}

bool SoundManager::playMusic(const std::string& fileName, unsigned mode)
{
    if (musicStream)
        return false;
    musicStream = FSOUND_Stream_Open(fileName.c_str(), mode, 0, 0);
    if (!musicStream) {
        log("ERROR: Can't open stream!\n");
        return false;
    }
    musicChannel = FSOUND_Stream_Play(FSOUND_FREE, musicStream);
    return musicChannel >= 0;
}

bool SoundManager::stopMusic()
{
    if (!musicStream)
        return false;
    if (!FSOUND_Stream_Stop(musicStream) || !FSOUND_Stream_Close(musicStream))
        return false;
    musicStream = nullptr;
    musicChannel = -1;
    return true;
}
