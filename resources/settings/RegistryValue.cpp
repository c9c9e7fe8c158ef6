#include "resources/settings/RegistryValue.h"

#include <vector>

bool readRegistryDword(HKEY key, const char* name, DWORD& into)
{
    DWORD type = REG_NONE;
    DWORD number = 0;
    DWORD size = sizeof number;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return false;
    into = number;
    return true;
}

bool readRegistryString(HKEY key, const char* name, std::string& into)
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return false;
    // One byte more than reported, always zero: a value stored without its terminator still reads as
    // a terminated text. The kind is asked again: the value may have changed between the two reads.
    std::vector<char> text(static_cast<size_t>(size) + 1, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    into = text.data();
    return true;
}
