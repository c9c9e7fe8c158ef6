// The service settings and the list of installed advertisement packages, built from the registry: the
// input is the registry file (which a player, an installer or another program may have edited). Whatever
// it holds, every package in the list is named by its own id in plain decimal and read from its own
// complete key; no such key is missed; a package that is no longer offered leaves the registry for good
// while the offered ones stay; and the moment of the update check is kept.
#include "services/shell/ServiceShell.h"

#include "compat/win32/registry/registry.h"
#include "compat/win32/system/process/module.h"

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kGameId = 42;
std::string registryFile;
fs::path moduleAds;

std::time_t fixedClock()
{
    return 1700000000;
}

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "service settings: %s\n", what);
        std::abort();
    }
}

std::set<int> idsOf(services::ServiceSettings& settings)
{
    std::set<int> ids;
    for (const auto& entry : settings.getAdTable())
        ids.insert(entry.first);
    return ids;
}

// The ids of the sub-keys of "ads" that hold both values as strings, found with a name buffer large
// enough for any name the file can hold.
std::set<int> completeKeys(const std::string& adsKey)
{
    std::set<int> ids;
    HKEY ads = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, adsKey.c_str(), 0, KEY_READ, &ads) != ERROR_SUCCESS)
        return ids;
    std::vector<char> name(1 << 16);
    for (DWORD index = 0;; ++index) {
        DWORD size = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(ads, index, name.data(), &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        const int id = services::ServiceSettings::packageIdOf(name.data());
        HKEY key = nullptr;
        if (id <= 0 || RegOpenKeyExA(ads, name.data(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        bool complete = true;
        for (const char* value : {"filenameurl", "gameids"}) {
            DWORD type = 0;
            DWORD bytes = 0;
            complete = complete && RegQueryValueExA(key, value, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
                       type == REG_SZ;
        }
        RegCloseKey(key);
        if (complete)
            ids.insert(id);
    }
    RegCloseKey(ads);
    return ids;
}

void removeScratchFiles()
{
    std::remove(registryFile.c_str());
    std::remove((registryFile + ".lock").c_str());
}

// The "lastcheckdate" value of the settings' key, or 0 when it is missing or not a number.
DWORD storedCheckDate(const std::string& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG result =
        RegQueryValueExA(key, "lastcheckdate", nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD ? value : 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A memory file system when there is one: every registry change is flushed to disk.
    const char* folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    registryFile = std::string(folder) + "/quarrytide-fuzz-settings-" + std::to_string(::getpid());
    setenv("QUARRYTIDE_REGISTRY", registryFile.c_str(), 1);
    std::atexit(removeScratchFiles);
    services::ServiceSettings::clock = fixedClock;
    // The packages' folders lie beside the program; a package dropped here has none, and none is made.
    char module[4096] = {};
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string path = module;
    std::replace(path.begin(), path.end(), '\\', '/');
    moduleAds = fs::path(path).parent_path() / "ads";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (std::FILE* out = std::fopen(registryFile.c_str(), "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    const bool modulePackages = fs::exists(moduleAds);
    {
        services::ServiceShell shell;
        shell.loadServiceSettings(kGameId);
        services::ServiceSettings& settings = *shell.getSettings();
        const std::string adsKey = settings.adsKeyPath();
        const fs::path adsFolder = [&] {
            std::string folder = settings.getAdsDirectory();
            std::replace(folder.begin(), folder.end(), '\\', '/');
            return fs::path(folder);
        }();

        for (const auto& [id, package] : settings.getAdTable()) {
            check(id > 0 && package && package->getId() == id, "a package is listed under another id");
            check(services::ServiceSettings::packageIdOf(std::to_string(id)) == id, "an id that names no package");
            check(fs::path(package->directory()) == adsFolder / std::to_string(id),
                  "a package's folder is not its id below the packages' folder");
        }
        const std::set<int> listed = idsOf(settings);
        check(listed == completeKeys(adsKey), "the list is not the complete package keys");

        // The update check stores its moment, which the registry then holds.
        settings.isCheckDue();
        check(settings.getLastCheckDate() == static_cast<long>(fixedClock()), "the check's moment is not kept");
        check(storedCheckDate(settings.keyPath()) == static_cast<DWORD>(fixedClock()), "the check's moment is lost");
        shell.buildDebugReport(false, "fuzz");

        // Every other package is still offered: the rest leave the list and the registry for good (the
        // next start would list what the registry holds); the offered ones are kept without a download.
        std::vector<services::OfferedPackage> offered;
        std::set<int> kept;
        bool keep = true;
        for (int id : listed) {
            if (keep) {
                offered.push_back(services::OfferedPackage{id, "1", "http://127.0.0.1:9/" + std::to_string(id)});
                kept.insert(id);
            }
            keep = !keep;
        }
        shell.mergeAds(offered);
        check(idsOf(settings) == (offered.empty() ? listed : kept), "the merged list is not the offered one");
        if (kept.size() != listed.size())
            check(completeKeys(adsKey) == idsOf(settings),
                  "a dropped package stays in the registry, or a kept one is lost");
    }
    check(modulePackages || !fs::exists(moduleAds), "a packages' folder was made");
    std::remove(registryFile.c_str());
    return 0;
}
