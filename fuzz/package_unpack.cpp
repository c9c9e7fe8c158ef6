// The package unpacker on arbitrary archives: nothing may land outside the package folder.
#include "services/ads/PackageUnpacker.h"

#include "fuzz/FuzzFile.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string archive = fuzzsupport::scratchFile(data, size, "package.zip");
    fs::path root = fs::path(archive).parent_path() / ("quarrytide-fuzz-ads-" + std::to_string(::getpid()));
    fs::path package = root / "ads" / "12";
    services::UnpackLimits limits;
    limits.maxEntryBytes = 1u << 20;
    limits.maxTotalBytes = 4u << 20;
    limits.maxEntries = 256;
    services::unpackPackage(archive, package.string(), limits);
    // Only the package folder may exist below root.
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(root, error)) {
        if (entry.path().filename() != "ads")
            __builtin_trap();
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(root / "ads", error)) {
        if (entry.path().filename() != "12")
            __builtin_trap();
    }
    fs::remove_all(root, error);
    fs::remove(archive, error);
    return 0;
}
