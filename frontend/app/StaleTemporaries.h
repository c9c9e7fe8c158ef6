// A write killed between making its temporary file and renaming it over the real one leaves the
// temporary behind. At start-up, before anything is written, the game removes its own temporaries (and
// nothing else) beside the player's files and beside the settings file.
#pragma once

// How many were removed.
int removeStaleTemporaries();
