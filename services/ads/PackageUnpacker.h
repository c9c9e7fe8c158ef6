#pragma once

#include <cstddef>
#include <string>

namespace services {

// Bounds on what one downloaded archive may put on disk.
struct UnpackLimits {
    size_t maxEntryBytes = 16u * 1024u * 1024u;
    size_t maxTotalBytes = 64u * 1024u * 1024u;
    int maxEntries = 4096;
};

// A safe relative path for an archive entry name ("\" and "/" both separate), or empty when the name
// is absolute, carries a drive, or has an empty, "." or ".." component. A trailing separator is kept.
std::string safeEntryPath(const std::string& name);

// Unpacks the zip archive into packageDirectory (a host path). Entries with unsafe names, entries over
// the caps, entries that do not give exactly their declared size and entries whose way down passes a
// symbolic link are skipped, the others still unpacked; a file's folders are created as it needs them. Returns whether packageDirectory/index.html exists afterwards.
bool unpackPackage(const std::string& archivePath, const std::string& packageDirectory,
                   const UnpackLimits& limits = UnpackLimits());

// Deletes a package's directory tree; symbolic links inside are removed, never followed.
void deleteDirectoryTree(const std::string& path);

} // namespace services
