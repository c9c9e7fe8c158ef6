#include "compat/win32/system/notify/debug.h"

#include <cstdio>

void OutputDebugStringA(LPCSTR text)
{
    if (text == nullptr)
        return;
    std::fputs(text, stderr);
    std::fflush(stderr);
}
