// Where the player's own files live (configuration, saved games, statistics, the log): one writable
// folder, $XDG_DATA_HOME/quarrytide (default ~/.local/share/quarrytide), so an installed game and several
// users each keep their own. Read-only data stays in the run directory.
#pragma once

#include <string>

namespace compat {

// The folder as a host path, without a trailing separator. Read from the environment on every call
// (tests point XDG_DATA_HOME at a temporary folder).
std::string userDataFolder();
// A game path (backslashes allowed) below that folder, e.g. "data\\Anna.cfg"; file operations turn it
// into a host path as they do every game path.
std::string userDataPath(const std::string& gamePath);

} // namespace compat
