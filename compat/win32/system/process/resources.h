// Module resources. This build links no resources into the program, so every lookup fails the way
// Windows reports a missing resource, and callers take their failure path.
#pragma once

#include <cstdint>

#include "compat/win32/base.h"
#include "compat/win32/system/machine/globalmem.h"

using HRSRC = struct HRSRC__*;

inline LPCSTR MAKEINTRESOURCEA(int id)
{
    return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id)));
}

#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_RCDATA MAKEINTRESOURCEA(10)

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL resourceData);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL FreeResource(HGLOBAL resourceData);
