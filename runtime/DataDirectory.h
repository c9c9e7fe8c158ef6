// Where the game finds its data set. The game opens its files relative to its working directory, so a
// program started anywhere else (an installed one from a desktop menu, say) first moves into the data
// directory: the working directory itself when it holds the data set, else the program's own folder,
// else the installed layout's share/quarrytide beside the program's bin/ folder.
#pragma once

#include <filesystem>
#include <string>

// The folder that holds the data set for a program at `executable` started in `workingDirectory`, or
// an empty path when none of the candidates holds it.
std::filesystem::path findDataDirectory(const std::filesystem::path& executable,
                                        const std::filesystem::path& workingDirectory);

// Moves into the data directory of the running program. Returns false (and stays) when none is found,
// so the game reports its missing files as usual.
bool enterDataDirectory();
