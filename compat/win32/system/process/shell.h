// Opening documents and web pages with the desktop's own handler. On Linux that is xdg-open, started
// with an argument vector (never through a shell, so nothing in the address is interpreted) and not
// waited for. Only the verb "open" (or none) is known; anything else fails like an unknown verb.
#pragma once

#include "compat/win32/base.h"

#include <string>
#include <vector>

constexpr int SW_SHOWNORMAL_OPEN = 1;

// Answers a value above 32 when the handler was started, otherwise an error value (2: file not found,
// 31: no association).
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int showCommand);

namespace compat {
#ifdef QUARRY_TESTING
namespace testing {
// While recording, nothing is started: each request's argument vector is kept instead.
void recordShellOpens(bool on);
const std::vector<std::vector<std::string>>& recordedShellOpens();
} // namespace testing
#endif
} // namespace compat
