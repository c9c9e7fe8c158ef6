#include "runtime/containers/Buffer.h"

#include "compat/win32/path.h"
#include "runtime/GameException.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

void Buffer::allocate(unsigned newSize)
{
    free();
    data = new unsigned char[newSize];
    size = newSize;
}

void Buffer::free()
{
    size = 0;
    delete[] data;
    data = nullptr;
}

unsigned char Buffer::byteAt(unsigned index) const
{
    if (index >= size)
        throw GameTextException(0, "Buffer index out of bounds\n");
    return data[index];
}

namespace {

// A regular file of 1 byte or more (and at most what `size` can count), read whole; else false and
// `buffer` untouched. A directory or a device never reaches the allocation.
bool loadFromDisk(const std::string& path, Buffer& buffer)
{
    std::string host = compat::hostPath(path);
    struct stat info;
    if (::stat(host.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    std::ifstream in(host, std::ios::in | std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    std::streamoff length = in.tellg();
    if (length < 1 || length > std::numeric_limits<unsigned>::max())
        return false;
    auto bytes = std::make_unique<unsigned char[]>(static_cast<std::size_t>(length));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.get()), length))
        return false;
    buffer.free();
    buffer.data = bytes.release();
    buffer.size = static_cast<unsigned>(length);
    return true;
}

} // namespace

bool Buffer::loadFile(Archive* archive, const std::string& path, Buffer& buffer)
{
    std::string name = path;
    toForwardSlashes(name);
    if (archive != nullptr && archive->holdsFile(name))
        return archive->openFile(name) && archive->readWhole(buffer);
    return loadFromDisk(path, buffer);
}

void toForwardSlashes(std::string& path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
}

bool fileExists(const std::string& path)
{
    int fd = ::open(compat::hostPath(path).c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

std::string makeSafeFileName(const std::string& name, bool keepSpaces)
{
    std::string safe = name;
    for (char& c : safe) {
        if ((c != '\0' && std::strchr("\"*/:<>?\\|", c) != nullptr) || (c == ' ' && !keepSpaces))
            c = '_';
    }
    return safe;
}
