// The debugger output of Windows has no counterpart here: the text goes to standard error.
#pragma once

#include "compat/win32/base.h"

void OutputDebugStringA(LPCSTR text);
