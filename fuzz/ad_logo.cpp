// The advertisement logo package on arbitrary archives: the SDK unpacks the package into the logo folder
// below its installation folder, and the game takes the first picture as "logo.jpg" and the start of the
// first text file. Our own SDK unpacks nothing, so an SDK that unpacks with the game's own unpacker stands
// in for it here.
//
// Whatever the package holds, nothing outside the logo folder changes, nothing of the previous logo
// survives, a logo path is given only for a "logo.jpg" that is a file, and the text comes only with a
// logo and holds at most 255 characters.
#include "FuzzFile.h"

#include "compat/win32/path.h"
#include "compat/win32/registry/registry.h"
#include "frontend/app/AdSdk.h"
#include "services/ads/PackageUnpacker.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path root;
fs::path install;
std::string registryFile;

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "ad logo: %s\n", what);
        std::abort();
    }
}

int init(int, int, int, int, int, int, int)
{
    return 0;
}

int query(int, int* handle, char* path, int, int)
{
    *handle = 0;
    path[0] = '\0';
    return 0;
}

int focus(int, int, int)
{
    return 0;
}

int unzip(const char* archive, const char* target)
{
    services::UnpackLimits limits;
    limits.maxEntryBytes = 1u << 20;
    limits.maxTotalBytes = 4u << 20;
    limits.maxEntries = 256;
    services::unpackPackage(archive, compat::hostPath(target), limits);
    return 1;
}

const AdSdkFunctions unpackingSdk{init, query, focus, unzip};

void removeScratch()
{
    std::error_code error;
    fs::remove_all(root, error);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    root = fs::path(folder) / ("quarrytide-fuzz-adlogo-" + std::to_string(::getpid()));
    install = root / "sdk";
    registryFile = (root / "registry").string();
    fs::create_directories(install);
    std::atexit(removeScratch);
    setenv("QUARRYTIDE_REGISTRY", registryFile.c_str(), 1);
    // The SDK's installation folder, as its installer records it.
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\CorvelChina\\tbnq", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        &disposition) == ERROR_SUCCESS) {
        const std::string text = install.string();
        RegSetValueExA(key, "InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size()));
        RegCloseKey(key);
    }
    AdSdk::setFunctions(&unpackingSdk);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    check(readAdInstallDir() == install.string(), "the SDK's folder cannot be read back");
    const fs::path logoFolder = install / "logo";
    std::error_code error;
    fs::remove_all(logoFolder, error);
    fs::create_directories(logoFolder);
    // The previous logo and its text.
    std::ofstream(logoFolder / "previous.jpg") << "previous picture";
    std::ofstream(logoFolder / "previous.txt") << "previous text";

    const std::string archive = fuzzsupport::scratchFile(data, size, "logo.zip");
    std::string logo;
    std::string text;
    // An object of its own: the operation uses no state of the program-wide one, whose instance() the
    // runtime's start-up object of the same name also defines (the link order decides which one a program
    // gets, and this one links the runtime first).
    AdSdk sdk;
    sdk.updateAdLogo(archive, logo, text);

    check(!fs::exists(logoFolder / "previous.jpg") && !fs::exists(logoFolder / "previous.txt"),
          "the previous logo survives");
    for (const fs::directory_entry& entry : fs::directory_iterator(install))
        check(entry.path().filename() == "logo", "something besides the logo folder in the SDK's folder");
    check(logo.empty() || logo == install.string() + "\\logo\\logo.jpg", "the logo path is not logo.jpg");
    check(logo.empty() || fs::is_regular_file(fs::symlink_status(compat::hostPath(logo))),
          "the logo path names no picture file");
    check(text.size() <= 255, "the text is longer than 255 characters");
    check(text.empty() || !logo.empty(), "a text without a logo");

    fs::remove(archive, error);
    return 0;
}
