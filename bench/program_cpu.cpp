// The share of one processor the running program takes (its CPU time over wall time, all threads,
// measured from /proc after a warm-up): the game itself on its still title screen (once the load
// screen, paced at one catalogue step every other frame, has handed over to it), and this program's own scene runner on two animated screens, one where a small
// square moves across a still background (what a game screen mostly does) and one where every pixel
// changes every frame (the most presenting can cost). Every case runs with the headless host and with
// the SDL host in a real window; the SDL cases need a display (tools/run-bench starts a virtual X
// server when there is none).
//
// Goals: the still title screen within 2 % of one core with either host; the moving square (what a game
// screen mostly does) within 3 %, the still screen's goal and a little for the square; a whole new frame
// every frame, the most presenting can cost, within 10 %.
#include "bench/support/Goals.h"
#include "compat/win32/window/window.h"
#include "platform/app/Application.h"
#include "platform/app/InputManager.h"
#include "platform/app/Scene.h"
#include "platform/app/Screen.h"
#include "platform/raster/Fill.h"
#include "platform/surface/Surface.h"
#include "resources/settings/Settings.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr auto warmUp = std::chrono::seconds(2);
// The game's own start-up runs through its whole load screen first (some eight seconds for the data set).
constexpr auto programWarmUp = std::chrono::seconds(15);
constexpr auto measured = std::chrono::seconds(6);

// ---- the scene runner (a child process of the benchmark) ----

class RunnerApp : public Application {
public:
    RunnerApp() : Application(1, "Quarrytide Bench", "1.1.0", "Quarrytide Bench", 50, 2000) {}
};

// Redraws the whole back buffer every frame, as the game's scenes do: a background, and either a
// 48-pixel square moving by 4 pixels a frame, or a background whose colour changes every frame.
class AnimatedScene : public Scene {
public:
    AnimatedScene(Application* owner, bool whole) : Scene(owner, "SCENE_ANIMATED"), whole(whole) {}

    void paint(Surface* target, const FrameTime&) override
    {
        if (target == nullptr)
            return;
        const SurfaceDesc& desc = target->getDesc();
        const int width = static_cast<int>(desc.width), height = static_cast<int>(desc.height);
        ++frame;
        const std::uint32_t background = whole ? (0x203040u + static_cast<std::uint32_t>(frame % 64) * 0x010101u) : 0x203040u;
        const std::uint32_t square = 0xE0C040;
        fillRectClipped(target, 0, 0, width, height, desc.format.packPixel(&background));
        if (!whole)
            fillRectClipped(target, (frame * 4) % (width - 48), height / 2 - 24, 48, 48, desc.format.packPixel(&square));
    }

private:
    bool whole;
    int frame = 0;
};

LRESULT runnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Application* app = Application::instance())
        if (app->getInputManager() != nullptr)
            app->getInputManager()->handleMessage(message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// Runs the program's frame loop (look at the queue, else a frame) until it is killed.
int runScene(bool whole)
{
    Settings::instance().setNoRegistry(1);
    auto* app = new RunnerApp();
    app->createInputManager();
    if (FAILED(app->createScreen(nullptr, runnerProcedure, 1)))
        return 1;
    app->setDisplayState(Application::Active);
    auto* scene = new AnimatedScene(app, whole);
    app->addScene(scene);
    app->switchScene(scene);
    MSG msg;
    for (;;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            app->tick();
            continue;
        }
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
            return 0;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---- the benchmark ----

std::string self;

// The processor time of every thread of the process, in seconds, from the scheduler's nanosecond
// counts (/proc/<pid>/stat counts only in hundredths); negative once the process is gone.
double cpuSeconds(pid_t pid)
{
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code error;
    double total = 0;
    bool any = false;
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream in(task.path() / "schedstat");
        unsigned long long running = 0;
        if (in >> running) {
            total += static_cast<double>(running) * 1e-9;
            any = true;
        }
    }
    return any ? total : -1;
}

// Starts `argv` in `dir` with the host and a scratch place for the player's files, lets it warm up,
// then measures; the child is killed afterwards. Negative when it could not be measured.
double measureShare(const std::vector<std::string>& argv, const std::string& dir, const std::string& host,
                    const std::filesystem::path& scratch, std::chrono::seconds settle)
{
    std::vector<std::string> settings;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (text.rfind("QUARRYTIDE_HOST=", 0) != 0 && text.rfind("QUARRYTIDE_REGISTRY=", 0) != 0 &&
            text.rfind("XDG_DATA_HOME=", 0) != 0 && text.rfind("SDL_VIDEODRIVER=", 0) != 0 &&
            text.rfind("SDL_AUDIODRIVER=", 0) != 0)
            settings.push_back(text);
    }
    settings.push_back("QUARRYTIDE_HOST=" + host);
    settings.push_back("QUARRYTIDE_REGISTRY=" + (scratch / "registry").string());
    settings.push_back("XDG_DATA_HOME=" + scratch.string());
    // Sound plays as on a machine with a sound card, into SDL's silent device.
    settings.push_back("SDL_AUDIODRIVER=dummy");
    std::vector<char*> environment;
    for (std::string& text : settings)
        environment.push_back(text.data());
    environment.push_back(nullptr);
    std::vector<std::string> command = {"/bin/sh", "-c", "cd \"$0\" && exec \"$@\"", dir};
    command.insert(command.end(), argv.begin(), argv.end());
    std::vector<char*> arguments;
    for (std::string& text : command)
        arguments.push_back(text.data());
    arguments.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const bool started = posix_spawn(&pid, "/bin/sh", &actions, nullptr, arguments.data(), environment.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started)
        return -1;
    std::this_thread::sleep_for(settle);
    const double cpuStart = cpuSeconds(pid);
    const auto wallStart = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(measured);
    const double cpuEnd = cpuSeconds(pid);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (cpuStart < 0 || cpuEnd < 0)
        return -1; // it had ended by itself
    return (cpuEnd - cpuStart) / wall;
}

enum class View { Still, Square, Whole };

void BM_ProgramCpuShare(benchmark::State& state, const char* host, View view)
{
    if (std::string(host) == "sdl" && std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("no display: run under xvfb-run (tools/run-bench does)");
        return;
    }
    const std::filesystem::path program = QUARRY_PROGRAM;
    std::string pattern = (std::filesystem::temp_directory_path() / "quarrytide-bench-XXXXXX").string();
    const std::filesystem::path scratch = mkdtemp(pattern.data());
    for (auto _ : state) {
        double share;
        if (view == View::Still)
            share = measureShare({program.string()}, program.parent_path().string(), host, scratch, programWarmUp);
        else
            share = measureShare({self, view == View::Whole ? "--scene=whole" : "--scene=square"},
                                 std::filesystem::current_path().string(), host, scratch, warmUp);
        if (share < 0) {
            state.SkipWithError("the program ended before it was measured");
            break;
        }
        state.counters["cpu_share_percent"] = 100.0 * share;
    }
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
}

BENCHMARK_CAPTURE(BM_ProgramCpuShare, still_headless, "headless", View::Still)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ProgramCpuShare, still_sdl, "sdl", View::Still)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ProgramCpuShare, moving_square_headless, "headless", View::Square)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ProgramCpuShare, moving_square_sdl, "sdl", View::Square)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ProgramCpuShare, whole_frame_headless, "headless", View::Whole)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_ProgramCpuShare, whole_frame_sdl, "sdl", View::Whole)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--scene=square" || argument == "--scene=whole")
            return runScene(argument == "--scene=whole");
    }
    self = std::filesystem::canonical("/proc/self/exe").string();
    const std::string share = "cpu_share_percent";
    return bench::runWithGoals(
        argc, argv,
        {{"BM_ProgramCpuShare/still_headless", share, 2.0, true, "still title (headless), % of one core"},
         {"BM_ProgramCpuShare/still_sdl", share, 2.0, true, "still title (SDL window), % of one core"},
         {"BM_ProgramCpuShare/moving_square_headless", share, 3.0, true, "moving square (headless), % of one core"},
         {"BM_ProgramCpuShare/moving_square_sdl", share, 3.0, true, "moving square (SDL window), % of one core"},
         {"BM_ProgramCpuShare/whole_frame_headless", share, 10.0, true, "whole new frames (headless), % of one core"},
         {"BM_ProgramCpuShare/whole_frame_sdl", share, 10.0, true, "whole new frames (SDL window), % of one core"}});
}
