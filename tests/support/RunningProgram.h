// The game program started as a player starts it, from its staged run directory, in a home of its own:
// its data directory, runtime directory (single-instance guard) and registry file are the home's, and its
// standard output and error go to files there. The program is killed if a test leaves it running.
#pragma once

#include "support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace testsupport {

// Polls until the condition holds or `seconds` pass.
template <class Condition> bool waitFor(Condition condition, double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class RunningProgram {
public:
    // `settings` are NAME=value pairs that replace the inherited ones of the same name.
    RunningProgram(const std::string& program, const TempDir& home, std::vector<std::string> settings,
                   const std::string& argument = "")
    {
        settings.push_back("QUARRYTIDE_REGISTRY=" + home.file("registry"));
        settings.push_back("XDG_DATA_HOME=" + home.path().string());
        // The single-instance guard lives here: programs of other homes never see each other.
        settings.push_back("XDG_RUNTIME_DIR=" + home.path().string());
        std::vector<std::string> inherited;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            const bool replaced = std::any_of(settings.begin(), settings.end(), [&](const std::string& setting) {
                return text.compare(0, setting.find('=') + 1, setting, 0, setting.find('=') + 1) == 0;
            });
            if (!replaced)
                inherited.push_back(text);
        }
        inherited.insert(inherited.end(), settings.begin(), settings.end());
        std::vector<char*> environment;
        for (std::string& text : inherited)
            environment.push_back(text.data());
        environment.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, home.file("stderr").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, home.file("stdout").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        // The program finds its data set beside it, in the run directory it is started in.
        const std::filesystem::path path = program;
        const std::string runDir = path.parent_path().string();
        const std::string command = "cd \"" + runDir + "\" && exec \"" + path.string() + "\"" +
                                    (argument.empty() ? "" : " \"" + argument + "\"");
        char* arguments[] = {const_cast<char*>("/bin/sh"), const_cast<char*>("-c"), const_cast<char*>(command.c_str()),
                             nullptr};
        started = posix_spawn(&pid, "/bin/sh", &actions, nullptr, arguments, environment.data()) == 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~RunningProgram()
    {
        if (started && !ended) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool running()
    {
        if (!started || ended)
            return false;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            ended = true;
            exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return false;
        }
        return true;
    }

    // The exit status, or -1 when the program did not end within the time.
    int waitForExit(double seconds)
    {
        if (!waitFor([&] { return !running(); }, seconds))
            return -1;
        return exitStatus;
    }

    pid_t pid = -1;
    bool started = false;
    bool ended = false;
    int exitStatus = -1;
};

} // namespace testsupport
