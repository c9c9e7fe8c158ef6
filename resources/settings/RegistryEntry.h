// One value of the registry, named by a single path such as "Software\\Maker\\Game\\musicvolume":
// read when made, read again on demand, written back when it is destroyed. RegistryInt and
// RegistryString are the two kinds the game keeps (REG_DWORD and REG_SZ).
#pragma once

#include "compat/win32/registry/registry.h"

#include <string>

// Splits "\\A\\B\\C\\N" into the key path "A\\B\\C" and the value name "N".
void splitRegistryPath(const std::string& path, std::string& keyPath, std::string& valueName);

template <typename T>
class RegistryEntry {
public:
    // `reread` set: every get() reads the registry again and every set() writes, changed or not.
    RegistryEntry(const std::string& path, const T& defaultValue, int reread, HKEY root)
        : root(root), defaultValue(defaultValue), value(defaultValue), reread(reread)
    {
        splitRegistryPath(path, keyPath, valueName);
        read();
    }
    ~RegistryEntry() { write(); }
    RegistryEntry(const RegistryEntry&) = delete;
    RegistryEntry& operator=(const RegistryEntry&) = delete;

    // Reads the registry; a missing key or value, or one of another type, gives the default.
    T read();
    // Writes the value, making its key when needed. The result is the registry's; nothing else
    // happens on failure.
    LONG write();

    T get() { return (valid && !reread) ? value : read(); }
    void set(const T& newValue)
    {
        if (newValue == value && !reread)
            return;
        value = newValue;
        write();
    }

private:
    HKEY root;
    HKEY key = nullptr;
    std::string valueName;
    std::string keyPath;
    T defaultValue;
    T value;
    int valid = 0;
    int reread;
};

template <> DWORD RegistryEntry<DWORD>::read();
template <> LONG RegistryEntry<DWORD>::write();
template <> std::string RegistryEntry<std::string>::read();
template <> LONG RegistryEntry<std::string>::write();
