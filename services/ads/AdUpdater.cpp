#include "services/ads/AdUpdater.h"

#include "services/ads/PackageUnpacker.h"

#include "compat/win32/atomic_file.h"
#include "compat/win32/registry.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace services {

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

} // namespace services
