// Play a catalogue sound once or looped on the host's sound manager (the application's): the channel,
// or -1 when there is no sound manager, audio is silent or the identifier names no loaded sound.
// stopSound ends what a channel plays; -1 (nothing was playing) is ignored.
#pragma once

#include <string>

int playSound(const std::string& soundId, int volume);
int loopSound(const std::string& soundId, int volume);
void stopSound(int channel);
