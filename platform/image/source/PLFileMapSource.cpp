#include "platform/image/source/PLFileMapSource.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <memory>
#include <new>
#include <string>
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

// The block of the last file read on this thread, kept for the next one: the game reads its pictures
// one after another, and a block of fresh memory for each would pay a page fault on every page.
// Blocks beyond `largestKept` are not kept.
constexpr std::size_t largestKept = 8u << 20;
thread_local std::unique_ptr<std::uint8_t[]> spareBlock;
thread_local std::size_t spareBytes = 0;

std::unique_ptr<std::uint8_t[]> takeBlock(std::size_t bytes, std::size_t& capacity)
{
    if (spareBlock && spareBytes >= bytes) {
        capacity = spareBytes;
        spareBytes = 0;
        return std::move(spareBlock);
    }
    capacity = bytes;
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[bytes]);
}

void giveBlock(std::unique_ptr<std::uint8_t[]> block, std::size_t capacity)
{
    if (!block || capacity > largestKept || capacity <= spareBytes)
        return;
    spareBlock = std::move(block);
    spareBytes = capacity;
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
    // The whole file is read into one block: for files of this size a read is cheaper than a mapping,
    // whose page faults and unmapping (a TLB shootdown on every core) cost more than the copy. An
    // empty file still fails as an empty mapping does, and so does a file that cannot be read.
    const auto bytes = static_cast<std::size_t>(info.st_size);
    std::size_t capacity = 0;
    std::unique_ptr<std::uint8_t[]> block = bytes > 0 ? takeBlock(bytes, capacity) : nullptr;
    std::size_t filled = 0;
    bool failed = !block;
    while (!failed && filled < bytes) {
        ssize_t got = ::read(file, block.get() + filled, bytes - filled);
        if (got < 0 && errno == EINTR)
            continue;
        failed = got < 0;
        if (got <= 0)
            break; // a file that shrank while it was read is taken as far as it goes
        filled += static_cast<std::size_t>(got);
    }
    ::close(file);
    if (failed || filled == 0) {
        giveBlock(std::move(block), capacity);
        return PLTextException::AccessDenied;
    }
    contents = std::move(block);
    contentsBytes = capacity;
    PLSource::open(fileName, static_cast<int>(filled), contents.get());
    return 0;
}

void PLFileMapSource::close()
{
    PLSource::close();
    giveBlock(std::move(contents), contentsBytes);
    contentsBytes = 0;
}
