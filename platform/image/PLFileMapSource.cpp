#include "platform/image/PLFileMapSource.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "compat/win32/path.h"
#include "platform/image/PLTextException.h"

namespace {

// A missing file in a missing folder is "path not found"; a missing file alone is "file not found".
int openFailure(int error, const std::string& path)
{
    if (error == EACCES || error == EPERM)
        return PLTextException::AccessDenied;
    if (error == ENOTDIR)
        return PLTextException::PathNotFound;
    if (error == ENOENT) {
        std::string::size_type slash = path.find_last_of('/');
        std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
        struct stat info;
        if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return PLTextException::PathNotFound;
    }
    return PLTextException::FileNotFound;
}

} // namespace

PLFileMapSource::~PLFileMapSource()
{
    if (isOpen())
        close();
}

int PLFileMapSource::open(const char* fileName)
{
    std::string path = compat::hostPath(fileName != nullptr ? fileName : "");
    int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return openFailure(errno, path);
    struct stat info;
    if (fstat(file, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > INT_MAX) {
        ::close(file);
        return PLTextException::FileNotFound;
    }
    // An empty file cannot be mapped, as on the system the game was written for.
    void* mapped = info.st_size > 0
                       ? mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, file, 0)
                       : MAP_FAILED;
    ::close(file);
    if (mapped == MAP_FAILED)
        return PLTextException::AccessDenied;
    view = mapped;
    viewBytes = static_cast<std::size_t>(info.st_size);
    PLSource::open(fileName, static_cast<int>(info.st_size), static_cast<const std::uint8_t*>(mapped));
    return 0;
}

void PLFileMapSource::close()
{
    if (view != nullptr)
        munmap(view, viewBytes);
    view = nullptr;
    viewBytes = 0;
    PLSource::close();
}
