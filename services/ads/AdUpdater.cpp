#include "services/ads/AdUpdater.h"

#include "services/ads/PackageUnpacker.h"

#include "resources/settings/RegistryValue.h"

#include "compat/win32/atomic_file.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace services {

namespace {

// Deletes a key with everything below it (the registry deletes only keys without sub-keys); true
// when the key is gone.
bool deleteKeyTree(HKEY parent, const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        // Always the first sub-key: the ones after it move up as it goes. One that cannot be deleted
        // ends the walk, so a damaged name never makes this loop forever.
        char child[261];
        DWORD size = sizeof child;
        while (RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS
               && deleteKeyTree(key, child))
            size = sizeof child;
        RegCloseKey(key);
    }
    return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

} // namespace

AdUpdater::AdUpdater(int id, std::string packagesDirectory, std::string registryKey)
    : id(id), packagesDirectory(std::move(packagesDirectory)), registryKey(std::move(registryKey))
{
    // The settings give the directory in the module's "\" form; the files live at the host path.
    std::replace(this->packagesDirectory.begin(), this->packagesDirectory.end(), '\\', '/');
}

std::string AdUpdater::directory() const
{
    return (fs::path(packagesDirectory) / std::to_string(id)).string();
}

bool AdUpdater::update(const HttpLimits& limits)
{
    fs::path folder(directory());
    std::error_code error;
    if (fs::is_regular_file(fs::symlink_status(folder / "index.html", error)))
        return true;
    std::vector<unsigned char> archive;
    fs::path archivePath = folder / "tmparchive.zip";
    if (httpDownload(fileUrl, archive, limits)) {
        fs::create_directories(folder, error);
        if (compat::writeFileAtomically(archivePath.string(), archive.data(), archive.size()))
            unpackPackage(archivePath.string(), folder.string());
    }
    fs::remove(archivePath, error);
    return fs::is_regular_file(fs::symlink_status(folder / "index.html", error));
}

void AdUpdater::deleteFiles()
{
    deleteDirectoryTree(directory());
}

void AdUpdater::saveEntry()
{
    HKEY key = nullptr;
    std::string path = registryKey + "\\" + std::to_string(id);
    if (RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "filenameurl", 0, REG_SZ, reinterpret_cast<const BYTE*>(fileUrl.c_str()),
                   static_cast<DWORD>(fileUrl.size() + 1));
    RegSetValueExA(key, "gameids", 0, REG_SZ, reinterpret_cast<const BYTE*>(gameIds.c_str()),
                   static_cast<DWORD>(gameIds.size() + 1));
    RegCloseKey(key);
}

void AdUpdater::deleteEntry()
{
    deleteKeyTree(HKEY_CURRENT_USER, registryKey + "\\" + std::to_string(id));
}

bool AdUpdater::loadEntry(HKEY adsKey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(adsKey, std::to_string(id).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    std::string url;
    std::string ids;
    bool complete = readRegistryString(key, "filenameurl", url) && readRegistryString(key, "gameids", ids);
    RegCloseKey(key);
    if (!complete)
        return false;
    fileUrl = url;
    gameIds = ids;
    return true;
}

} // namespace services
