// A fresh temporary directory for one test; optionally the working directory while the test runs,
// since the game reads and writes its files relative to it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace testsupport {

class TempDir {
public:
    explicit TempDir(bool enter = false)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quarrytide-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
        if (enter) {
            previous_ = std::filesystem::current_path();
            std::filesystem::current_path(path_);
        }
    }
    ~TempDir()
    {
        std::error_code ignored;
        if (!previous_.empty())
            std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace testsupport
