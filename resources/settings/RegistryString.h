// A REG_SZ value of the registry (see RegistryEntry).
#pragma once

#include "resources/settings/RegistryEntry.h"

class RegistryString : public RegistryEntry<std::string> {
public:
    RegistryString(const std::string& path, const std::string& defaultValue, int reread,
                   HKEY root = HKEY_CURRENT_USER)
        : RegistryEntry<std::string>(path, defaultValue, reread, root)
    {
    }
};
