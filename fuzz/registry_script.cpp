// The registry-script reader on arbitrary bytes, over a registry file of its own that is emptied
// after every input.
#include "compat/win32/registry/registry.h"
#include "resources/settings/RegistryScript.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
std::string registryFile;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A memory file system when there is one: every registry change is flushed to disk.
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    registryFile = std::string(folder) + "/quarrytide-fuzz-registry-" + std::to_string(getpid());
    setenv("QUARRYTIDE_REGISTRY", registryFile.c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    applyRegistryScript(data, size, size % 2);
    std::remove(registryFile.c_str());
    return 0;
}
