#include "compat/win32/atomic_file.h"

#include "compat/win32/path.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace compat {

bool isPartialFileName(const std::string& name)
{
    const std::string marker = kPartialMarker;
    constexpr std::size_t kUnique = 6;
    if (name.size() < marker.size() + kUnique + 1)
        return false;
    const std::size_t at = name.size() - kUnique - marker.size();
    if (name.compare(at, marker.size(), marker) != 0)
        return false;
    for (std::size_t i = name.size() - kUnique; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

int removeStalePartialFiles(const std::string& folder)
{
    int removed = 0;
    std::error_code error;
    std::filesystem::directory_iterator it(hostPath(folder), error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code ignored;
        // Only plain files: a folder or a link of that name is nothing the writer made.
        if (!it->is_regular_file(ignored) || it->is_symlink(ignored))
            continue;
        if (isPartialFileName(it->path().filename().string()) && std::filesystem::remove(it->path(), ignored))
            ++removed;
    }
    return removed;
}

bool writeFileAtomically(const std::string& path, const void* bytes, std::size_t size)
{
    ReplacingFile file;
    if (!file.open(path, "wb"))
        return false;
    if (size > 0 && std::fwrite(bytes, 1, size, file.handle()) != size) {
        file.abandon();
        return false;
    }
    return file.commit();
}

bool ReplacingFile::open(const std::string& path, const char* mode)
{
    if (file != nullptr)
        return false;
    target = hostPath(path);
    temporary = target + kPartialMarker + "XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    if (::fchmod(fd, 0644) != 0 || (file = ::fdopen(fd, mode)) == nullptr) {
        ::close(fd);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool ReplacingFile::commit()
{
    if (file == nullptr)
        return false;
    bool written = std::fflush(file) == 0 && !std::ferror(file) && ::fsync(fileno(file)) == 0;
    bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (written && closed && std::rename(temporary.c_str(), target.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
}

void ReplacingFile::abandon()
{
    if (file == nullptr)
        return;
    std::fclose(file);
    file = nullptr;
    std::remove(temporary.c_str());
}

} // namespace compat
