#include "compat/win32/system/process/mutex.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

struct MutexHandle {
    int fd = -1;
};

std::string lockFileFor(const char* name)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = runtime != nullptr && runtime[0] != '\0' ? runtime : "/tmp";
    std::string safe;
    for (const char* c = name; *c != '\0'; ++c) {
        // A name is one file in the folder: no separators, no dot files.
        safe += (*c == '/' || *c == '\\' || (*c == '.' && safe.empty())) ? '_' : *c;
    }
    return folder + "/" + safe + ".lock";
}

} // namespace

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD error) { lastError = error; }

HANDLE CreateMutexA(LPVOID, BOOL, LPCSTR name)
{
    if (name == nullptr || name[0] == '\0') {
        // An unnamed mutex is private to the process and never exists already.
        lastError = ERROR_SUCCESS;
        return new MutexHandle();
    }
    int fd = ::open(lockFileFor(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        lastError = static_cast<DWORD>(errno);
        return nullptr;
    }
    auto* handle = new MutexHandle();
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        handle->fd = fd;
        lastError = ERROR_SUCCESS;
    } else {
        ::close(fd);
        lastError = ERROR_ALREADY_EXISTS;
    }
    return handle;
}

HANDLE OpenMutexA(DWORD, BOOL, LPCSTR name)
{
    if (name == nullptr || name[0] == '\0') {
        lastError = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    int fd = ::open(lockFileFor(name).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        lastError = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    // A lock nobody holds is a mutex that no longer exists: the file only outlived its holder.
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    if (!held) {
        lastError = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    lastError = ERROR_SUCCESS;
    return new MutexHandle();
}

BOOL CloseHandle(HANDLE handle)
{
    auto* mutex = static_cast<MutexHandle*>(handle);
    if (mutex == nullptr)
        return 0;
    if (mutex->fd >= 0)
        ::close(mutex->fd);
    delete mutex;
    return 1;
}
