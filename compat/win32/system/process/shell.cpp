#include "compat/win32/system/process/shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include <cstring>
#include <string>
#include <vector>

namespace {

bool recording = false;
std::vector<std::vector<std::string>> recorded;

HINSTANCE result(std::intptr_t value)
{
    return reinterpret_cast<HINSTANCE>(value);
}

// Starts the opener detached: an intermediate child starts it and exits at once, so the opener is
// nobody's child and leaves no zombie behind. Everything is prepared before forking; the children only
// call functions that are safe after a fork in a threaded program.
bool spawnDetached(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    pid_t child = fork();
    if (child < 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        return false;
    }
    if (child == 0) {
        setsid();
        pid_t grandchild = fork();
        if (grandchild == 0) {
            execvp(argv[0], argv.data());
            char failed = 1;
            (void)!write(pipeFds[1], &failed, 1);
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    close(pipeFds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes on a successful exec; a byte means the opener could not be started.
    char failed = 0;
    ssize_t got;
    do {
        got = read(pipeFds[0], &failed, 1);
    } while (got < 0 && errno == EINTR);
    close(pipeFds[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

} // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR, int)
{
    if (verb != nullptr && verb[0] != '\0' && std::strcmp(verb, "open") != 0)
        return result(31);
    if (file == nullptr || file[0] == '\0')
        return result(2);
    std::vector<std::string> arguments{"xdg-open", file};
    if (parameters != nullptr && parameters[0] != '\0')
        arguments.emplace_back(parameters);
    if (recording) {
        recorded.push_back(arguments);
        return result(42);
    }
    return spawnDetached(arguments) ? result(42) : result(31);
}

#ifdef QUARRY_TESTING
namespace compat::testing {
void recordShellOpens(bool on)
{
    recording = on;
    recorded.clear();
}
const std::vector<std::vector<std::string>>& recordedShellOpens()
{
    return recorded;
}
} // namespace compat::testing
#endif
