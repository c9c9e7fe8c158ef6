#include "services/ads/PackageUnpacker.h"

#include <unzip.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace services {

namespace {

// True when no component below base on the way to path is a symbolic link (or something that is not a
// directory); missing components are created as directories.
bool makeDirectories(const fs::path& base, const fs::path& relative)
{
    fs::path current = base;
    for (const fs::path& part : relative) {
        current /= part;
        std::error_code error;
        fs::file_status status = fs::symlink_status(current, error);
        if (fs::is_symlink(status))
            return false;
        if (fs::exists(status)) {
            if (!fs::is_directory(status))
                return false;
            continue;
        }
        if (!fs::create_directory(current, error) && error)
            return false;
    }
    return true;
}

bool writeFile(const fs::path& path, const std::vector<char>& data)
{
    // O_NOFOLLOW: an existing link at the target is an error, never a way out of the package.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    size_t written = 0;
    while (written < data.size()) {
        ssize_t put = ::write(fd, data.data() + written, data.size() - written);
        if (put <= 0) {
            ::close(fd);
            return false;
        }
        written += static_cast<size_t>(put);
    }
    return ::close(fd) == 0;
}

} // namespace

std::string safeEntryPath(const std::string& name)
{
    if (name.empty() || name[0] == '/' || name[0] == '\\' || name.find(':') != std::string::npos)
        return {};
    std::string path;
    std::string component;
    bool trailing = false;
    for (size_t i = 0; i <= name.size(); ++i) {
        char c = i < name.size() ? name[i] : '/';
        if (c == '\0')
            return {};
        if (c != '/' && c != '\\') {
            component += c;
            continue;
        }
        if (i == name.size() && component.empty() && trailing)
            break;
        if (component.empty() || component == "." || component == "..")
            return {};
        path += (path.empty() ? "" : "/") + component;
        component.clear();
        trailing = i + 1 == name.size();
    }
    return trailing ? path + "/" : path;
}

bool unpackPackage(const std::string& archivePath, const std::string& packageDirectory, const UnpackLimits& limits)
{
    fs::path base(packageDirectory);
    std::error_code error;
    fs::create_directories(base, error);
    unzFile archive = unzOpen64(archivePath.c_str());
    if (archive) {
        size_t total = 0;
        int count = 0;
        for (int status = unzGoToFirstFile(archive); status == UNZ_OK && count < limits.maxEntries;
             status = unzGoToNextFile(archive), ++count) {
            char name[256] = {};
            unz_file_info64 info{};
            if (unzGetCurrentFileInfo64(archive, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0) != UNZ_OK)
                break;
            std::string relative = safeEntryPath(name);
            if (relative.empty())
                continue;
            if (relative.back() == '/') {
                makeDirectories(base, fs::path(relative.substr(0, relative.size() - 1)));
                continue;
            }
            fs::path target(relative);
            if (!makeDirectories(base, target.parent_path()))
                continue;
            if (unzOpenCurrentFile(archive) != UNZ_OK)
                break;
            // The declared size is not trusted: what is read counts against the caps.
            std::vector<char> data;
            char chunk[16384];
            bool fits = true;
            for (;;) {
                int got = unzReadCurrentFile(archive, chunk, sizeof chunk);
                if (got < 0) {
                    fits = false;
                    break;
                }
                if (got == 0)
                    break;
                if (data.size() + static_cast<size_t>(got) > limits.maxEntryBytes ||
                    total + data.size() + static_cast<size_t>(got) > limits.maxTotalBytes) {
                    fits = false;
                    break;
                }
                data.insert(data.end(), chunk, chunk + got);
            }
            bool intact = unzCloseCurrentFile(archive) == UNZ_OK;
            // A stream that ends early passes the archive's own checks (its checksum is tested only
            // once the declared size has been read): only exactly the declared size counts.
            bool whole = data.size() == info.uncompressed_size;
            if (fits && intact && whole) {
                total += data.size();
                writeFile(base / target, data);
            }
        }
        unzClose(archive);
    }
    fs::file_status index = fs::symlink_status(base / "index.html", error);
    return fs::is_regular_file(index);
}

void deleteDirectoryTree(const std::string& path)
{
    std::error_code error;
    fs::remove_all(fs::path(path), error);
}

} // namespace services
