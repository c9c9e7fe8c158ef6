// A long headless run of the whole game: random pointer moves, clicks and keys go into the window for
// a given time, as if a restless player sat at it. The game runs as it would for a player, with its
// files in a fresh data folder; when a click quits the game, it is started again. At the end the
// window is closed through the termination signal, and the run fails when the game crashed, ended
// with a status other than 0, or left a zero-length file among the player's files. The resident
// memory is printed every ten seconds so a long run shows whether it stays flat.
//
// Usage: soak RUN_DIR SECONDS [SEED [LAST_FRAME.png]] (the last frame shows where the run ended up)
#include "compat/host/CloseSignals.h"
#include "compat/host/testing.h"
#include "compat/win32/messages.h"
#include "compat/win32/window.h"
#include "frontend/app/GameMain.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

long residentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void inject(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    compat::testing::injectHostMessage(message, wParam, lParam);
}

// Plays until `end`, then asks the game to close as a desktop would.
void play(Clock::time_point end, unsigned seed, const std::atomic<bool>& running)
{
    std::mt19937 random(seed);
    auto nextReport = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        if (!running)
            continue;
        const compat::host::HeadlessState state = compat::testing::headlessState();
        if (!state.windowOpen || state.width <= 0 || state.height <= 0)
            continue;
        const int x = std::uniform_int_distribution<int>(0, state.width - 1)(random);
        const int y = std::uniform_int_distribution<int>(0, state.height - 1)(random);
        const LPARAM at = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
        const int what = std::uniform_int_distribution<int>(0, 99)(random);
        if (what < 50) {
            inject(WM_MOUSEMOVE, 0, at);
        } else if (what < 85) {
            inject(WM_MOUSEMOVE, 0, at);
            inject(WM_LBUTTONDOWN, MK_LBUTTON, at);
            inject(WM_LBUTTONUP, 0, at);
        } else if (what < 90) {
            inject(WM_RBUTTONDOWN, MK_RBUTTON, at);
            inject(WM_RBUTTONUP, 0, at);
        } else if (what < 95) {
            const char letter = static_cast<char>('a' + what % 26);
            inject(WM_CHAR, static_cast<std::uintptr_t>(letter), 1);
        } else {
            const int keys[] = {VK_ESCAPE, VK_RETURN, VK_BACK};
            const int key = keys[what % 3];
            inject(WM_KEYDOWN, static_cast<std::uintptr_t>(key), 1);
            inject(WM_KEYUP, static_cast<std::uintptr_t>(key), 1);
        }
        if (Clock::now() >= nextReport) {
            std::printf("soak: resident %ld KiB\n", residentKiB());
            std::fflush(stdout);
            nextReport += std::chrono::seconds(10);
        }
    }
    // The close goes through the same path as a desktop's termination request.
    while (running) {
        std::raise(SIGTERM);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: soak RUN_DIR SECONDS [SEED [LAST_FRAME.png]]\n");
        return 2;
    }
    const std::filesystem::path runDir = std::filesystem::absolute(argv[1]);
    const int seconds = std::atoi(argv[2]);
    const unsigned seed = argc >= 4 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1u;
    if (seconds <= 0 || !std::filesystem::is_regular_file(runDir / "properties" / "default.uprop")) {
        std::fprintf(stderr, "soak: %s holds no data set, or the time is not positive\n", argv[1]);
        return 2;
    }

    // A fresh home, so the run neither reads nor spoils a player's files.
    std::string pattern = (std::filesystem::temp_directory_path() / "quarrytide-soak-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("soak: mkdtemp");
        return 2;
    }
    const std::filesystem::path home = pattern;
    setenv("QUARRYTIDE_HOST", "headless", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    // Its own runtime folder, so a game started by another test does not count as a second copy.
    setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
    setenv("QUARRYTIDE_REGISTRY", (home / "registry").c_str(), 1);
    std::filesystem::current_path(runDir);
    compat::host::closeWindowOnTerminationSignals();

    const auto end = Clock::now() + std::chrono::seconds(seconds);
    std::atomic<bool> running{true};
    std::thread player(play, end, seed, std::cref(running));
    int starts = 0;
    int status = 0;
    while (status == 0) {
        ++starts;
        status = GameMain({(runDir / "quarrytide").string()});
        if (Clock::now() >= end)
            break;
    }
    running = false;
    player.join();
    if (argc == 5 && !compat::host::writePng(compat::testing::headlessState().lastFrame, argv[4]))
        std::fprintf(stderr, "soak: the last frame could not be written to %s\n", argv[4]);

    bool clean = status == 0;
    if (!clean)
        std::fprintf(stderr, "soak: the game ended with status %d\n", status);
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home, error)) {
        // A lock file is empty by nature; any other empty file is a write that went wrong.
        if (entry.is_regular_file() && entry.file_size() == 0 && entry.path().extension() != ".lock") {
            std::fprintf(stderr, "soak: %s is empty\n", entry.path().c_str());
            clean = false;
        }
    }
    std::printf("soak: %d start(s), resident %ld KiB at the end, files in %s\n", starts, residentKiB(),
                home.c_str());
    if (clean)
        std::filesystem::remove_all(home, error);
    return clean ? 0 : 1;
}
