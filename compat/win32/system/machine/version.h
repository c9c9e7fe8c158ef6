// File version resources and the system directory, as the DirectX probe reads them. The system
// libraries belong to the platform: here they are a table of names and versions, empty unless a
// test fills it, and no other file has a version resource.
#pragma once

#include "compat/win32/base.h"

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

// Characters copied without the terminator; when the buffer is too small, the size it needs.
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
// 0 when the file has no version resource.
DWORD GetFileVersionInfoSizeA(LPCSTR file, DWORD* handle);
BOOL GetFileVersionInfoA(LPCSTR file, DWORD handle, DWORD size, LPVOID data);
// Only the root block "\" (the fixed file information) is known.
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, UINT* length);

namespace compat::testing {

// A library in the system directory with this file version (MS in the high half); the name is
// compared without regard to case.
void setSystemFileVersion(const char* name, std::uint64_t version);
void clearSystemFileVersions();

} // namespace compat::testing
