// Start-up of the game, headless, measured once per run: from a fresh application object to the end of
// the load screen (every picture, sound and font of the staged data set loaded; the title screen is
// not part of the game yet). Counters: "wall_ms" and "cpu_ms" of the start-up, "rss_MiB" the resident
// memory once loaded, and in the same run "bare_cpu_ms": the bare libraries decoding every PNG and JPEG
// picture of the data set into 32-bit buffers and reading every WAV sound ("cpu_ratio" is ours over
// that; the music stream is opened, not decoded, at start-up, so it is in neither side).
#include "bench/support/BareDecode.h"
#include "frontend/app/GameApp.h"
#include "frontend/app/GameMain.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// Every picture and sound of the data set through the bare libraries; the CPU seconds it took.
double decodeDataSetBare(const std::filesystem::path& runDir)
{
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
        } else if (ext == ".jpg") {
            testsupport::Bytes file = readAll(entry.path());
            int height = 0;
            const int width = jpegWidth(file, height);
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
            bare::decodeJpeg(file, pixels.data(), width);
        } else if (ext == ".wav") {
            testsupport::Bytes file = readAll(entry.path());
            benchmark::DoNotOptimize(file.data());
        }
    }
    return cpuSeconds() - start;
}

class StartupApp : public GameApp {
public:
    void onResourcesLoaded() override
    {
        GameApp::onResourcesLoaded();
        loaded = true;
    }
    bool loaded = false;
};

void BM_StartupToLoaded(benchmark::State& state)
{
    const std::filesystem::path runDir = QUARRY_RUN_DIR;
    testsupport::TempDir home;
    setenv("QUARRYTIDE_HOST", "headless", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", home.path().c_str(), 1);
    setenv("QUARRYTIDE_REGISTRY", home.file("registry").c_str(), 1);
    std::filesystem::current_path(runDir);

    for (auto _ : state) {
        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = cpuSeconds();
        auto* app = new StartupApp();
        bool ok = SUCCEEDED(app->init());
        if (ok) {
            app->createSoundManager();
            app->createInputManager();
            ok = SUCCEEDED(app->createScreen(nullptr, WndProc, 1));
        }
        if (!ok) {
            state.SkipWithError("the game could not start headless");
            delete app;
            return;
        }
        app->setDisplayState(Application::Active);
        const auto giveUp = wallStart + std::chrono::seconds(120);
        while (!app->loaded && std::chrono::steady_clock::now() < giveUp)
            app->tick();
        const double cpu = cpuSeconds() - cpuStart;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        state.SetIterationTime(wall);
        state.counters["wall_ms"] = wall * 1000.0;
        state.counters["cpu_ms"] = cpu * 1000.0;
        state.counters["rss_MiB"] = residentMiB();
        if (!app->loaded)
            state.SkipWithError("the load screen did not finish within two minutes");
        delete app;
        const double bare = decodeDataSetBare(runDir);
        state.counters["bare_cpu_ms"] = bare * 1000.0;
        state.counters["cpu_ratio"] = bare > 0 ? cpu / bare : 0.0;
    }
}
// One application a process: the platform keeps one instance.
BENCHMARK(BM_StartupToLoaded)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
