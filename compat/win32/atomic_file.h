// Replacing a file without ever losing its previous contents: the bytes go to a temporary file beside
// it, which is flushed to disk and then renamed over the old one. A crash or a full disk mid-write
// leaves the old file as it was. Every layer that keeps data in files (the registry file, the game's
// own documents and saved data) writes through here.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace compat {

// `path` may be a game path (backslashes allowed). Returns false, and leaves any old file untouched
// and no temporary file behind, when any step fails. The folder must exist.
bool writeFileAtomically(const std::string& path, const void* bytes, std::size_t size);

// The same replacement for a file written piece by piece through a C stream. Destroyed before commit(),
// it throws the temporary file away and the old file stays.
class ReplacingFile {
public:
    ReplacingFile() = default;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile() { abandon(); }

    // Creates the temporary file beside `path` (a game path); false when it cannot be created.
    bool open(const std::string& path, const char* mode);
    // Flushes, syncs and closes the temporary file and renames it over the target; false, with the
    // temporary file removed and the target untouched, when that or any earlier write failed.
    bool commit();
    void abandon();
    // Null while not open.
    std::FILE* handle() const { return file; }

private:
    std::FILE* file = nullptr;
    std::string target;
    std::string temporary;
};

} // namespace compat
