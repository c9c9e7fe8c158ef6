// Replacing a file without ever losing its previous contents: the bytes go to a temporary file beside
// it, which is flushed to disk and then renamed over the old one. A crash or a full disk mid-write
// leaves the old file as it was. Every layer that keeps data in files (the registry file, the game's
// own documents and saved data) writes through here.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace compat {

// The temporary file of `<file>` is named `<file>` + kPartialMarker + six letters or digits, so a
// temporary that a killed process left behind is recognisably the game's own.
constexpr const char* kPartialMarker = ".quarrytide-partial-";

// Whether `name` (a file name without folder) is the temporary of some file: a non-empty name, the
// marker, then exactly six letters or digits.
bool isPartialFileName(const std::string& name);

// Removes the temporaries left in `folder` (a game path, not searched below) by writes that never
// finished; nothing else is touched. Returns how many were removed. Only for folders of the game's own
// files, while no other copy of the game writes there.
int removeStalePartialFiles(const std::string& folder);

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
