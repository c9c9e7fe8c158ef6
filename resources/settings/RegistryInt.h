// A REG_DWORD value of the registry (see RegistryEntry).
#pragma once

#include "resources/settings/RegistryEntry.h"

class RegistryInt : public RegistryEntry<DWORD> {
public:
    RegistryInt(const std::string& path, DWORD defaultValue, int reread, HKEY root = HKEY_CURRENT_USER)
        : RegistryEntry<DWORD>(path, defaultValue, reread, root)
    {
    }
};
