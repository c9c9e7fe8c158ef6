#include "compat/win32/system/machine/version.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>

namespace {

constexpr char systemDirectory[] = "C:\\Windows\\system32";
constexpr DWORD fixedInfoSignature = 0xFEEF04BD;

std::map<std::string, std::uint64_t>& systemFiles()
{
    static std::map<std::string, std::uint64_t> files;
    return files;
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The version of a file in the system directory, when it has one.
const std::uint64_t* findVersion(LPCSTR file)
{
    if (file == nullptr)
        return nullptr;
    const std::string path = lowered(file);
    const std::string directory = lowered(systemDirectory) + "\\";
    if (path.compare(0, directory.size(), directory) != 0)
        return nullptr;
    const auto found = systemFiles().find(path.substr(directory.size()));
    return found != systemFiles().end() ? &found->second : nullptr;
}

} // namespace

UINT GetSystemDirectoryA(LPSTR buffer, UINT size)
{
    const UINT length = sizeof systemDirectory - 1;
    if (buffer == nullptr || size <= length)
        return length + 1;
    std::memcpy(buffer, systemDirectory, length + 1);
    return length;
}

DWORD GetFileVersionInfoSizeA(LPCSTR file, DWORD* handle)
{
    if (handle != nullptr)
        *handle = 0;
    return findVersion(file) != nullptr ? sizeof(VS_FIXEDFILEINFO) : 0;
}

BOOL GetFileVersionInfoA(LPCSTR file, DWORD handle, DWORD size, LPVOID data)
{
    const std::uint64_t* version = findVersion(file);
    if (version == nullptr || data == nullptr || size < sizeof(VS_FIXEDFILEINFO))
        return FALSE;
    VS_FIXEDFILEINFO info{};
    info.dwSignature = fixedInfoSignature;
    info.dwStrucVersion = 0x10000;
    info.dwFileVersionMS = info.dwProductVersionMS = static_cast<DWORD>(*version >> 32);
    info.dwFileVersionLS = info.dwProductVersionLS = static_cast<DWORD>(*version);
    std::memcpy(data, &info, sizeof info);
    return TRUE;
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, UINT* length)
{
    if (block == nullptr || subBlock == nullptr || buffer == nullptr || std::strcmp(subBlock, "\\") != 0)
        return FALSE;
    *buffer = const_cast<LPVOID>(block);
    if (length != nullptr)
        *length = sizeof(VS_FIXEDFILEINFO);
    return TRUE;
}

void compat::testing::setSystemFileVersion(const char* name, std::uint64_t version)
{
    systemFiles()[lowered(name)] = version;
}

void compat::testing::clearSystemFileVersions() { systemFiles().clear(); }
