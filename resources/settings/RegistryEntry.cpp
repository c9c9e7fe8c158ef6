#include "resources/settings/RegistryEntry.h"

#include "resources/settings/RegistryValue.h"

#include <algorithm>

namespace {

std::string trimBackslashes(const std::string& text)
{
    size_t first = text.find_first_not_of('\\');
    if (first == std::string::npos)
        return std::string();
    size_t last = text.find_last_not_of('\\');
    return text.substr(first, last - first + 1);
}

// Makes the key when needed, stores the bytes and closes the key again.
LONG storeValue(HKEY root, HKEY& key, const std::string& keyPath, const std::string& valueName, DWORD type,
                const BYTE* data, DWORD size)
{
    LONG result = RegCreateKeyExA(root, keyPath.c_str(), 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                                  KEY_WRITE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegSetValueExA(key, valueName.c_str(), 0, type, data, size);
    RegCloseKey(key);
    key = nullptr;
    return result;
}

} // namespace

void splitRegistryPath(const std::string& path, std::string& keyPath, std::string& valueName)
{
    std::string trimmed = path.substr(std::min(path.find_first_not_of('\\'), path.size()));
    size_t cut = trimmed.rfind('\\');
    if (cut == std::string::npos) {
        keyPath.clear();
        valueName = trimmed;
        return;
    }
    keyPath = trimBackslashes(trimmed.substr(0, cut));
    valueName = trimBackslashes(trimmed.substr(cut + 1));
}

template <>
DWORD RegistryEntry<DWORD>::read()
{
    value = defaultValue;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    if (readRegistryDword(key, valueName.c_str(), value))
        valid = 1;
    RegCloseKey(key);
    key = nullptr;
    return value;
}

template <>
LONG RegistryEntry<DWORD>::write()
{
    LONG result = storeValue(root, key, keyPath, valueName, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof value);
    if (result == ERROR_SUCCESS)
        valid = 1;
    return result;
}

template <>
std::string RegistryEntry<std::string>::read()
{
    value = defaultValue;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    if (readRegistryString(key, valueName.c_str(), value))
        valid = 1;
    RegCloseKey(key);
    key = nullptr;
    return value;
}

template <>
LONG RegistryEntry<std::string>::write()
{
    LONG result = storeValue(root, key, keyPath, valueName, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    if (result == ERROR_SUCCESS)
        valid = 1;
    return result;
}
