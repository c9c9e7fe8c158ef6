#include "compat/win32/beep.h"

BOOL Beep(DWORD frequency, DWORD duration)
{
    return TRUE;
}
