// Start-up of the game, measured once per run, with the host the environment names (headless unless
// QUARRYTIDE_HOST says otherwise; tools/run-bench runs it again with the SDL host under a virtual X
// server): from a fresh application object, started as the program's entry starts it, to the first
// frame the title screen draws, with the program's own message loop (a look at the queue, else a
// frame). The load screen keeps its pace of one catalogue step every other frame, so the wall time
// follows the number of entries.
//
// Counters: "wall_ms" and "cpu_ms" (all threads) of the start-up, "setup_cpu_ms" the part of it before
// the first frame, "frames" it took, "rss_title_MiB" the resident memory at the title; in the same run
// "bare_cpu_ms": the bare libraries decoding every PNG and JPEG picture of the data set into 32-bit
// buffers and reading every WAV sound ("cpu_ratio" is ours over that; the music stream is opened, not
// decoded, at start-up, so it is in neither side), and "pacing_cpu_ms": what the frames' sleeps and
// wake-ups alone cost, measured as that many bare sleeps of one frame period ("cpu_ratio_beyond_pacing"
// leaves it out of ours); "bare_kept_cpu_ms" the same decoding keeping every picture until the end,
// as the game does ("cpu_ratio_to_kept", for information). Afterwards the still title screen runs for a while
// ("title_cpu_share_percent", the share of one core the process takes), then a classic game is started
// through the title's buttons and its full field runs ("play_cpu_share_percent", "rss_play_MiB" the
// resident memory at its end, "rss_peak_MiB" the highest of the whole run).
//
// For an exact before-and-after of the start-up's own work, whatever the machine's load:
//   valgrind --tool=callgrind --collect-atstart=no bench/bench_startup
// counts the instructions from the new application to the title's first frame and stops there.
#include "bench/support/BareDecode.h"
#include "bench/support/Goals.h"
#include "compat/win32/system/machine/timer.h"
#include "frontend/app/GameApp.h"
#include "frontend/app/GameMain.h"
#include "platform/app/Scene.h"
#include "runtime/properties/Properties.h"
#include "tests/support/TempDir.h"
#include "toolkit/scene/SpriteScene.h"
#include "toolkit/sprite/Sprite.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <benchmark/benchmark.h>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#define RUNNING_ON_VALGRIND 0
#endif

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double residentMiB()
{
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

testsupport::Bytes readAll(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return testsupport::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t bigEndian(const testsupport::Bytes& bytes, std::size_t at)
{
    return (std::uint32_t(bytes[at]) << 24) | (std::uint32_t(bytes[at + 1]) << 16) |
           (std::uint32_t(bytes[at + 2]) << 8) | std::uint32_t(bytes[at + 3]);
}

int jpegWidth(const testsupport::Bytes& file, int& height)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    const int width = static_cast<int>(info.image_width);
    height = static_cast<int>(info.image_height);
    jpeg_destroy_decompress(&info);
    return width;
}

// Every picture and sound of the data set through the bare libraries; the CPU seconds it took. With
// `keep`, every decoded picture stays in memory until all are decoded (freeing them is not timed), as
// the game keeps its pictures; otherwise each buffer is freed at once and the next one reuses its pages.
double decodeDataSetBare(const std::filesystem::path& runDir, bool keep = false)
{
    std::vector<std::vector<std::uint8_t>> kept;
    const double start = cpuSeconds();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(runDir)) {
        if (!entry.is_regular_file())
            continue;
        const std::string ext = entry.path().extension().string();
        if (ext == ".png") {
            testsupport::Bytes file = readAll(entry.path());
            if (file.size() < 24)
                continue;
            const int width = static_cast<int>(bigEndian(file, 16));
            const int height = static_cast<int>(bigEndian(file, 20));
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
            std::vector<png_bytep> rows = bare::rowPointers(pixels.data(), width, height);
            bare::decodePng(file, rows);
            if (keep)
                kept.push_back(std::move(pixels));
        } else if (ext == ".jpg") {
            testsupport::Bytes file = readAll(entry.path());
            int height = 0;
            const int width = jpegWidth(file, height);
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
            bare::decodeJpeg(file, pixels.data(), width);
            if (keep)
                kept.push_back(std::move(pixels));
        } else if (ext == ".wav") {
            testsupport::Bytes file = readAll(entry.path());
            benchmark::DoNotOptimize(file.data());
        }
    }
    const double seconds = cpuSeconds() - start;
    kept.clear();
    return seconds;
}

constexpr auto kWarmUp = std::chrono::seconds(2);
constexpr auto kMeasured = std::chrono::seconds(5);

// The highest resident memory of the process so far.
double peakResidentMiB()
{
    double peak = 0;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            peak = std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return peak;
}

// One turn of the program's message loop: a waiting message is dispatched, else one frame runs.
// False once the loop would end.
bool loopOnce(Application& app)
{
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        app.tick();
        return true;
    }
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
        return false;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

bool currentIs(Application& app, const char* name)
{
    Scene* scene = app.getCurrentScene();
    return scene != nullptr && scene->getName() == name;
}

// Runs the loop for the warm-up, then measures the share of one core over the measured time.
double runAndMeasureShare(Application& app)
{
    const auto warmEnd = std::chrono::steady_clock::now() + kWarmUp;
    while (std::chrono::steady_clock::now() < warmEnd)
        loopOnce(app);
    const double cpuStart = cpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - wallStart < kMeasured)
        loopOnce(app);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    return 100.0 * (cpuSeconds() - cpuStart) / wall;
}

// The processor time one paced frame costs with no work at all: the sleep to the next frame and the
// wake-up after it, measured over a number of sleeps of one frame period.
double pacingCpuPerFrame(DWORD framePeriodMs)
{
    constexpr int kSleeps = 50;
    const double start = cpuSeconds();
    for (int i = 0; i < kSleeps; ++i)
        Sleep(framePeriodMs);
    return (cpuSeconds() - start) / kSleeps;
}

// Clicks the named sprite of the screen's canvas in its middle, as the mouse would.
bool click(SpriteScene& scene, const char* name)
{
    SpriteCanvas* canvas = scene.getCanvas();
    Sprite* target = canvas != nullptr ? canvas->findSprite(name) : nullptr;
    if (target == nullptr)
        return false;
    const int x = target->getAbsoluteX() + target->getWidth() / 2;
    const int y = target->getAbsoluteY() + target->getHeight() / 2;
    canvas->mouseMoved(x, y, 0);
    canvas->leftPressed(x, y, 1, 0);
    canvas->leftReleased(x, y, 0);
    return true;
}

void BM_StartupToTitle(benchmark::State& state)
{
    const std::filesystem::path runDir = QUARRY_RUN_DIR;
    testsupport::TempDir home;
    setenv("QUARRYTIDE_HOST", "headless", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", home.path().c_str(), 1);
    setenv("QUARRYTIDE_REGISTRY", home.file("registry").c_str(), 1);
    std::filesystem::current_path(runDir);
    state.SetLabel(std::string("host ") + std::getenv("QUARRYTIDE_HOST"));

    for (auto _ : state) {
        // Under callgrind (--collect-atstart=no) only the start-up itself is counted, and the run ends
        // at the title: one start, instruction for instruction, for comparing before and after a change.
        CALLGRIND_TOGGLE_COLLECT;
        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = cpuSeconds();
        auto* app = new GameApp();
        bool ok = SUCCEEDED(app->init());
        if (ok) {
            app->createSoundManager();
            app->createInputManager();
            ok = SUCCEEDED(app->createScreen(nullptr, WndProc, 1));
        }
        if (!ok) {
            state.SkipWithError("the game could not start");
            delete app;
            return;
        }
        app->setDisplayState(Application::Active);
        const double setupCpu = cpuSeconds() - cpuStart;
        // A returning player: the title opens without asking for a name.
        GameApp::getConfig().setString("currentplayer", "Bench");
        const auto giveUp = wallStart + std::chrono::seconds(120);
        int frames = 0;
        bool titleDrawn = false;
        while (!titleDrawn && std::chrono::steady_clock::now() < giveUp) {
            // The frame that starts on the title screen is the title's first.
            const bool onTitle = currentIs(*app, "SCENE_TITLE");
            const unsigned before = app->getFrameCounter();
            loopOnce(*app);
            if (app->getFrameCounter() != before) {
                ++frames;
                titleDrawn = onTitle;
            }
        }
        const double cpu = cpuSeconds() - cpuStart;
        CALLGRIND_TOGGLE_COLLECT;
        if (RUNNING_ON_VALGRIND) {
            delete app;
            return;
        }
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        state.SetIterationTime(wall);
        state.counters["wall_ms"] = wall * 1000.0;
        state.counters["cpu_ms"] = cpu * 1000.0;
        state.counters["setup_cpu_ms"] = setupCpu * 1000.0;
        state.counters["frames"] = frames;
        state.counters["rss_title_MiB"] = residentMiB();
        if (!titleDrawn) {
            state.SkipWithError("the title screen did not show within two minutes");
            delete app;
            return;
        }

        state.counters["title_cpu_share_percent"] = runAndMeasureShare(*app);

        // A classic game from the title's button and the start-game dialog's OK.
        auto* title = dynamic_cast<SpriteScene*>(app->getCurrentScene());
        bool started = title != nullptr && click(*title, "BUTTON_TITLE_CLASSIC");
        for (int i = 0; started && i < 5 && !click(*title, "BUTTON_OK"); ++i)
            loopOnce(*app);
        const auto playGiveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (started && !currentIs(*app, "SCENE_PLAY") && std::chrono::steady_clock::now() < playGiveUp)
            loopOnce(*app);
        if (!currentIs(*app, "SCENE_PLAY")) {
            state.SkipWithError("no classic game started from the title screen");
            delete app;
            return;
        }
        state.counters["play_cpu_share_percent"] = runAndMeasureShare(*app);
        state.counters["rss_play_MiB"] = residentMiB();
        state.counters["rss_peak_MiB"] = peakResidentMiB();
        delete app;

        const double bare = decodeDataSetBare(runDir);
        state.counters["bare_cpu_ms"] = bare * 1000.0;
        state.counters["cpu_ratio"] = bare > 0 ? cpu / bare : 0.0;
        // The bare side above reuses one buffer's pages for the next picture; the game keeps every
        // picture, and a page the process touches for the first time costs a page fault (on this kind
        // of virtual machine about 10 us, more than decoding its pixels). The same decoding keeping
        // every picture, from memory handed back to the system first, shows how much of the ratio
        // that is. For information: the goal stays on cpu_ratio.
        malloc_trim(0);
        const double bareKept = decodeDataSetBare(runDir, true);
        state.counters["bare_kept_cpu_ms"] = bareKept * 1000.0;
        state.counters["cpu_ratio_to_kept"] = bareKept > 0 ? cpu / bareKept : 0.0;
        // The pace alone (every frame's sleep and wake-up) costs this much however little a frame
        // does; the ratio without it shows what the work itself costs.
        const double pacing = frames * pacingCpuPerFrame(20);
        state.counters["pacing_cpu_ms"] = pacing * 1000.0;
        state.counters["cpu_ratio_beyond_pacing"] = bare > 0 ? (cpu - pacing) / bare : 0.0;
    }
}
// One application a process: the platform keeps one instance.
BENCHMARK(BM_StartupToTitle)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // The run's host, as the benchmark chooses it.
    const char* host = std::getenv("QUARRYTIDE_HOST");
    const std::string hostName = host != nullptr ? host : "headless";
    return bench::runWithGoals(
        argc, argv,
        {{"BM_StartupToTitle", "cpu_ratio", 2.0, true, "CPU to the title / bare decoding of the data set"},
         {"BM_StartupToTitle", "rss_title_MiB", 52.0, false, "resident MiB at the title (" + hostName + " host)"},
         {"BM_StartupToTitle", "title_cpu_share_percent", 2.0, true, "still title, % of one core"}});
}
