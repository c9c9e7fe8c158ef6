// The registry script "setup.reg" that ships beside the program: key lines and value lines in the
// registry editor's text form, applied at every start so the script can provide or reset values
// the rest of the program reads. Nothing is reported: lines that cannot be applied are skipped.
#pragma once

#include <cstddef>
#include <string>

// Applies the script `fileName` from the program's own directory.
void importRegistryFile(const std::string& fileName, int overwrite);

// Applies a script's bytes: 8-bit text, or UTF-16 little-endian text after the mark FF FE. With
// `overwrite` off, values that already exist keep their data.
void applyRegistryScript(const unsigned char* bytes, size_t length, int overwrite);
