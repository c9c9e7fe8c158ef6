#include "runtime/DataDirectory.h"

#include <system_error>
#include <unistd.h>

namespace {

// A file every data set has; a folder without it is not one.
bool holdsDataSet(const std::filesystem::path& folder)
{
    std::error_code ignored;
    return std::filesystem::is_regular_file(folder / "properties" / "default.uprop", ignored);
}

std::filesystem::path runningExecutable()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size())
        return {};
    path.resize(static_cast<size_t>(length));
    return path;
}

} // namespace

std::filesystem::path findDataDirectory(const std::filesystem::path& executable,
                                        const std::filesystem::path& workingDirectory)
{
    if (!workingDirectory.empty() && holdsDataSet(workingDirectory))
        return workingDirectory;
    if (executable.empty())
        return {};
    const std::filesystem::path own = executable.parent_path();
    if (holdsDataSet(own))
        return own;
    const std::filesystem::path installed = own.parent_path() / "share" / "quarrytide";
    if (holdsDataSet(installed))
        return installed;
    return {};
}

bool enterDataDirectory()
{
    std::error_code error;
    const std::filesystem::path working = std::filesystem::current_path(error);
    const std::filesystem::path found = findDataDirectory(runningExecutable(), error ? std::filesystem::path() : working);
    if (found.empty())
        return false;
    if (!error && found == working)
        return true;
    std::filesystem::current_path(found, error);
    return !error;
}
