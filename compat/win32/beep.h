// The system beep. There is no speaker to drive here: it does nothing and reports success.
#pragma once

#include "compat/win32/base.h"

BOOL Beep(DWORD frequency, DWORD duration);
