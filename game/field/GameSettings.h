// The new-game record of the play screen: what the title screen chose for the game about to start, and
// what the statistics keep as the settings last used per mode. Copied whole wherever a copy is kept.
#pragma once

#include <cstdint>
#include <string>

struct GameSettings {
    // Non-zero: continue the saved game instead of starting anew.
    uint8_t continueSaved = 0;
    // "CLASSIC" or "ENDLESS".
    std::string mode;
    std::string difficulty;
    int blockset = 0;
    // Groups need four blocks instead of three.
    bool quattro = false;
};
