// The contents of the registry file: keys by full path ("HKEY_CURRENT_USER\Software\..."), each with
// its values, in the order they were made. The text form looks like a registry export:
//
//   [HKEY_CURRENT_USER\Software\Game]
//   "musicvolume"=dword:00000080
//   "language"="en"
//
// Strings escape backslash, double quote and control bytes (\\, \", \xHH); other bytes stand as they
// are. A hand-edited file may start with a UTF-8 byte-order mark and have blanks at either end of a
// line and around the equals sign. A line that cannot be read is skipped, and so are the values under
// a key line that cannot be read: a damaged file loses only what is damaged, and the skipped lines are
// listed so that whoever rewrites the file can say what it drops.
#pragma once

#include "compat/win32/base.h"

#include <string>
#include <vector>

namespace compat {

// The predefined roots, in the order of their handle values (0x80000000 upwards).
constexpr int kRegistryRootCount = 7;
extern const char* const kRegistryRootNames[kRegistryRootCount];

struct RegistryValue {
    std::string name;
    DWORD type = 0;  // REG_DWORD or REG_SZ
    DWORD number = 0;
    std::string text;
};

struct RegistryKey {
    std::string path;  // root name and sub-keys joined by backslashes, as first spelt
    std::vector<RegistryValue> values;

    RegistryValue* findValue(const std::string& name);
};

class RegistryFile {
public:
    // Turns "HKEY_CURRENT_USER\\A\\\\B\\" into "HKEY_CURRENT_USER\\A\\B": empty parts are dropped.
    static std::string normalizePath(const std::string& path);

    // A line of the parsed text that was skipped: its number (from 1) and its text.
    struct UnreadableLine {
        int number = 0;
        std::string text;
    };

    static RegistryFile parse(const std::string& text);
    std::string format() const;
    const std::vector<UnreadableLine>& unreadableLines() const { return unreadable; }

    RegistryKey* findKey(const std::string& path);
    // Makes the key and every key above it that is missing; `created` tells whether any was made.
    RegistryKey& createKey(const std::string& path, bool& created);
    // The names of the keys directly below `path`, as first spelt, in case-insensitive name order.
    std::vector<std::string> subKeyNames(const std::string& path) const;
    // Removes the key and its values; false when there is no such key. Keys below it are left alone:
    // the caller decides whether a key that has some may go.
    bool removeKey(const std::string& path);

private:
    std::vector<RegistryKey> keys;
    std::vector<UnreadableLine> unreadable;
};

// Case-insensitive comparison of key and value names (ASCII letters fold).
bool sameRegistryName(const std::string& a, const std::string& b);

} // namespace compat
