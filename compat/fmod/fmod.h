// The sound library calls the sound manager makes: numbered sample slots played on 32 channels, one
// music stream, an effects master volume and the library's last error. Our own declarations, with
// the names and values the game's code uses; the audio device behind them is the host's
// (compat/host/audio/audio.h), or none, in which case FSOUND_Init fails and nothing plays.
#pragma once

typedef struct FSOUND_SAMPLE FSOUND_SAMPLE;
typedef struct FSOUND_STREAM FSOUND_STREAM;
typedef struct FSOUND_DSPUNIT FSOUND_DSPUNIT;

enum : int {
    FSOUND_FREE = -1, // any free channel, or any free sample slot
};

enum : unsigned int {
    FSOUND_LOOP_OFF = 0x1,
    FSOUND_LOOP_NORMAL = 0x2,
    FSOUND_NORMAL = 0x130, // 16 bits, signed, mono: what raw data would be; files describe themselves
    FSOUND_LOADMEMORY = 0x8000,
};

enum : unsigned int {
    FSOUND_INIT_GLOBALFOCUS = 0x2, // keep playing when the window loses the focus
};

enum : int {
    FSOUND_OUTPUT_WINMM = 1,
};

// FSOUND_GetError codes.
enum : int {
    FMOD_ERR_NONE,
    FMOD_ERR_BUSY,
    FMOD_ERR_UNINITIALIZED,
    FMOD_ERR_INIT,
    FMOD_ERR_ALLOCATED,
    FMOD_ERR_PLAY,
    FMOD_ERR_OUTPUT_FORMAT,
    FMOD_ERR_COOPERATIVELEVEL,
    FMOD_ERR_CREATEBUFFER,
    FMOD_ERR_FILE_NOTFOUND,
    FMOD_ERR_FILE_FORMAT,
    FMOD_ERR_FILE_BAD,
    FMOD_ERR_MEMORY,
    FMOD_ERR_VERSION,
    FMOD_ERR_INVALID_PARAM,
    FMOD_ERR_NO_EAX,
    FMOD_ERR_CHANNEL_ALLOC,
    FMOD_ERR_RECORD,
    FMOD_ERR_MEDIAPLAYER,
};

// Set-up, before FSOUND_Init (FMOD_ERR_BUSY afterwards).
signed char FSOUND_SetHWND(void* window);
signed char FSOUND_SetOutput(int outputType);
// Opens the audio device: false with FMOD_ERR_INIT when there is none.
signed char FSOUND_Init(int mixRate, int maxChannels, unsigned int flags);
// Stops everything, frees every sample and stream, closes the device.
void FSOUND_Close();
int FSOUND_GetError();

// Loads a WAV file (or, with FSOUND_LOADMEMORY, `length` bytes at `nameOrData`) into the slot
// (FSOUND_FREE: the first free one), replacing what the slot held. Null on failure.
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* nameOrData, unsigned int mode, int offset, int length);
// Null for an empty slot.
FSOUND_SAMPLE* FSOUND_Sample_Get(int index);
// The loop mode (FSOUND_LOOP_OFF or FSOUND_LOOP_NORMAL) of the sample's following plays.
signed char FSOUND_Sample_SetMode(FSOUND_SAMPLE* sample, unsigned int mode);

// Start the sample on a channel (FSOUND_FREE: the first free one); the channel, or -1.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
int FSOUND_PlaySoundEx(int channel, FSOUND_SAMPLE* sample, FSOUND_DSPUNIT* dsp, signed char startPaused);
signed char FSOUND_StopSound(int channel);
signed char FSOUND_SetPaused(int channel, signed char paused);
// 0..255, scaled by the effects master volume.
signed char FSOUND_SetVolume(int channel, int volume);
// 0..255, not scaled by the effects master volume (the music uses it).
signed char FSOUND_SetVolumeAbsolute(int channel, int volume);
void FSOUND_SetSFXMasterVolume(int volume);

// A music stream (WAV or OGG Vorbis file); FSOUND_LOOP_NORMAL in the mode repeats it.
FSOUND_STREAM* FSOUND_Stream_Open(const char* nameOrData, unsigned int mode, int offset, int length);
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
signed char FSOUND_Stream_Stop(FSOUND_STREAM* stream);
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream);

int FSOUND_GetChannelsPlaying();
float FSOUND_GetCPUUsage();
