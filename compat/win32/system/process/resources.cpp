#include "compat/win32/system/process/resources.h"

HRSRC FindResourceA(HMODULE, LPCSTR, LPCSTR)
{
    return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC)
{
    return nullptr;
}

LPVOID LockResource(HGLOBAL)
{
    return nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC)
{
    return 0;
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE;
}
