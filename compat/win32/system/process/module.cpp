#include "compat/win32/system/process/module.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string moduleOverride;

std::string executablePath()
{
    if (!moduleOverride.empty())
        return moduleOverride;
    std::string path(4096, '\0');
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size())
        return std::string();
    path.resize(static_cast<size_t>(length));
    return path;
}

} // namespace

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size)
{
    if (fileName == nullptr || size == 0)
        return 0;
    std::string path = executablePath();
    if (path.empty()) {
        fileName[0] = '\0';
        return 0;
    }
    std::replace(path.begin(), path.end(), '/', '\\');
    size_t copied = std::min<size_t>(path.size(), size - 1);
    std::memcpy(fileName, path.data(), copied);
    fileName[copied] = '\0';
    return copied < path.size() ? size : static_cast<DWORD>(copied);
}

#ifdef QUARRY_TESTING
namespace compat::testing {
void setModuleFileName(const char* path)
{
    moduleOverride = path != nullptr ? path : "";
}
} // namespace compat::testing
#endif
