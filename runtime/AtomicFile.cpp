#include "runtime/AtomicFile.h"

#include "compat/win32/path.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const unsigned char* bytes, size_t size)
{
    while (size > 0) {
        ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::string& path, const void* bytes, size_t size)
{
    std::string target = compat::hostPath(path);
    std::string temporary = target + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool written = ::fchmod(fd, 0644) == 0 && writeAll(fd, static_cast<const unsigned char*>(bytes), size)
        && ::fsync(fd) == 0;
    bool closed = ::close(fd) == 0;
    if (written && closed && std::rename(temporary.c_str(), target.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
}
