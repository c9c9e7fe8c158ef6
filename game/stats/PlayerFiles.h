// What the statistics need from the application about players: who is playing and where that player's
// files are. The front end installs its implementation; until then no player is current and nothing is
// read or written.
#pragma once

#include <string>

class PlayerFiles {
public:
    virtual ~PlayerFiles() = default;
    // The current player's name; empty when none.
    virtual std::string getCurrentPlayer() const = 0;
    // The path of the player's file of that extension in that directory of the player's data folder,
    // for example ("data", "Anna", ".cfg") for the statistics. The player's name is made safe for a file
    // name.
    virtual std::string getPlayerFilePath(const std::string& directory, const std::string& player,
                                          const std::string& extension) const = 0;
};
