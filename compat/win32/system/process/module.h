// The path of the running program. The game splits it at its last backslash to find its own
// directory, so the path comes back in the game's convention: every '/' turned into '\', which
// compat::hostPath turns back when a file is opened.
#pragma once

#include "compat/win32/base.h"

// Any module handle stands for the program itself. Copies at most size - 1 characters and a
// terminator; returns the number of characters copied, `size` when the path was cut short, and 0 on
// failure.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

namespace compat {
#ifdef QUARRY_TESTING
namespace testing {
// Makes GetModuleFileNameA answer `path` (a host path with '/'); empty returns to the real one.
void setModuleFileName(const char* path);
} // namespace testing
#endif
} // namespace compat
