// The data streams read named files, so each fuzz input is written to a scratch file of this process,
// in memory-backed /dev/shm when there is one (writers sync their files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace fuzzsupport {

inline std::string scratchFile(const uint8_t* data, std::size_t size, const char* name)
{
    static const std::string folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string path = folder + "/quarrytide-fuzz-" + std::to_string(::getpid()) + "-" + name;
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path;
}

} // namespace fuzzsupport
