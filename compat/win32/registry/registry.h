// The registry calls of the game, over one human-readable text file instead of the system registry.
// The file is chosen by QUARRYTIDE_REGISTRY, else $XDG_CONFIG_HOME/quarrytide/registry (default
// ~/.config). Key and value names compare without regard to case; REG_DWORD and REG_SZ are stored;
// strings always come back terminated. Every change rewrites the file atomically (temporary file,
// then rename), so a crash never leaves half a registry behind, and holds an exclusive lock on the lock
// file beside it (the registry file's name + ".lock") from reading the file to writing it back, so
// processes changing the registry at the same time lose none of each other's values.
#pragma once

#include "compat/win32/base.h"

#include <string>

using HKEY = struct HKEY__*;
using PHKEY = HKEY*;
using LPDWORD = DWORD*;
using LPBYTE = BYTE*;
using REGSAM = DWORD;
struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;

// The predefined roots: sign-extended 32-bit handle values, as on a 64-bit system.
#define HKEY_CLASSES_ROOT ((HKEY)(std::intptr_t)(LONG)0x80000000)
#define HKEY_CURRENT_USER ((HKEY)(std::intptr_t)(LONG)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(std::intptr_t)(LONG)0x80000002)
#define HKEY_USERS ((HKEY)(std::intptr_t)(LONG)0x80000003)
#define HKEY_PERFORMANCE_DATA ((HKEY)(std::intptr_t)(LONG)0x80000004)
#define HKEY_CURRENT_CONFIG ((HKEY)(std::intptr_t)(LONG)0x80000005)
#define HKEY_DYN_DATA ((HKEY)(std::intptr_t)(LONG)0x80000006)

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                     REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LONG RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result);
// REG_SZ data is returned with its terminating zero byte, which `size` counts; a buffer too small for
// it gets nothing and ERROR_MORE_DATA with the size needed.
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size);
// REG_SZ data ends at its first zero byte or after `size` bytes, whichever comes first, so a text
// written without its terminator is stored whole. REG_DWORD needs at least 4 bytes.
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size);
// The name of the sub-key at `index` below `key`, counting from 0 in case-insensitive name order;
// ERROR_NO_MORE_ITEMS past the last one. `nameSize` holds the buffer's size in characters, the zero
// included, and on success the name's length without it. A buffer too small for the name and its zero
// gets nothing, `nameSize` stays as it was, and the result is ERROR_MORE_DATA. The file keeps no class
// or time of last write: a class buffer gets an empty text and the time is zero. Each call reads the
// file afresh, so indexes count the sub-keys as they are now.
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR keyClass,
                   LPDWORD classSize, PFILETIME lastWriteTime);
// Deletes the sub-key `subKey` of `key` with its values. As in the system registry, a key that has
// sub-keys of its own is refused (ERROR_ACCESS_DENIED), and so are the roots; a key that does not
// exist gives ERROR_FILE_NOT_FOUND. Handles still open on the deleted key read it as missing.
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
LONG RegCloseKey(HKEY key);

namespace compat {

// The file the registry lives in now.
std::string registryFilePath();

#ifdef QUARRY_TESTING
namespace testing {
// Points the registry at `path`; an empty path returns to the environment's choice.
void setRegistryFile(const std::string& path);
} // namespace testing
#endif

} // namespace compat
