// The registry file's reader on arbitrary text: whatever it keeps must write out in a form that reads
// back whole and writes out the same again.
#include "compat/win32/registry/RegistryFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    compat::RegistryFile first = compat::RegistryFile::parse(text);
    std::string written = first.format();
    compat::RegistryFile second = compat::RegistryFile::parse(written);
    if (!second.unreadableLines().empty() || second.format() != written)
        std::abort();
    return 0;
}
