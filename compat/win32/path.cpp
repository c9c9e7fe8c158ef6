#include "compat/win32/path.h"

#include <algorithm>

namespace compat {

std::string hostPath(const std::string& path)
{
    std::string host = path;
    std::replace(host.begin(), host.end(), '\\', '/');
    return host;
}

std::string hostPath(const char* path)
{
    return hostPath(std::string(path != nullptr ? path : ""));
}

} // namespace compat
