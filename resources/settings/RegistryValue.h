// Reading one value of an open registry key, the two kinds the program keeps (REG_DWORD and REG_SZ).
// Both leave `into` as it was when the value is missing or of another kind, so a caller keeps its
// default or its last value.
#pragma once

#include "compat/win32/registry/registry.h"

#include <string>

// A REG_DWORD value: false when it is missing or of another kind.
bool readRegistryDword(HKEY key, const char* name, DWORD& into);

// A REG_SZ value of any length: false when it is missing or of another kind. A value stored without
// its terminating zero still reads as the text it holds; a zero inside the text ends it.
bool readRegistryString(HKEY key, const char* name, std::string& into);
