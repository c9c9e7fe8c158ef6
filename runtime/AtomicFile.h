// Replacing a file without ever losing its previous contents: the bytes go to a temporary file beside
// it, which is flushed to disk and then renamed over the old one. A crash or a full disk mid-write
// leaves the old file as it was.
#pragma once

#include <cstddef>
#include <string>

// `path` is a game path (backslashes allowed). Returns false, and leaves any old file untouched and
// no temporary file behind, when any step fails.
bool writeFileAtomically(const std::string& path, const void* bytes, size_t size);
