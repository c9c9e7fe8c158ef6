#include "compat/win32/atomic_file.h"

#include "compat/win32/path.h"

#include <sys/stat.h>
#include <unistd.h>

namespace compat {

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
    temporary = target + ".XXXXXX";
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
