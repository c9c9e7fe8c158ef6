// Test hooks of the sound library: make the audio device unavailable, and read back what was played,
// so that tests check the sound a player would hear without listening to it.
#pragma once

#include <string>
#include <vector>

namespace compat::testing {

// While false, FSOUND_Init fails with FMOD_ERR_INIT as it does on a machine without audio.
void setAudioAvailable(bool available);

// One started sample: its slot, channel, the loop mode it was started with, whether it was started
// paused and is paused now, and the last volume (0..255) set on its channel.
struct PlayedSound {
    int slot = -1;
    int channel = -1;
    unsigned loopMode = 0;
    int volume = 255;
    bool startedPaused = false;
    bool paused = false;
};

// The music stream as the device has it: the file, its channel, whether it plays, and the last
// absolute volume (0..255) given to its channel (-1 while none was given).
struct MusicState {
    std::string fileName;
    int channel = -1;
    bool playing = false;
    int volume = -1;
};

// Every sample started since the last clear, oldest first.
const std::vector<PlayedSound>& playedSounds();
void clearPlayedSounds();
const MusicState& musicState();
int sfxMasterVolume();
// The mixer volume (0..128) a channel is playing at now.
int deviceChannelVolume(int channel);

} // namespace compat::testing
