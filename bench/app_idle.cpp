// The application loop when nothing changes: the CPU time of one idle frame (the clock is virtual, so
// the pacing sleep costs nothing and only the work is measured), and the share of one processor an
// idle application takes over two seconds of real time (it must sleep, not spin), after a few frames
// that set the display up.
//
// Goals (none was set before): an idle frame's work within a thousandth of the 20 ms frame period
// (20 us), and the idle application within 1 % of one core, half the still title screen's 2 %.
#include "bench/support/Goals.h"
#include "compat/ddraw/testing.h"
#include "compat/win32/system/machine/timer.h"
#include "compat/win32/window/window.h"
#include "platform/app/Application.h"
#include "platform/app/InputManager.h"
#include "platform/app/Scene.h"
#include "platform/app/Screen.h"
#include "resources/settings/Settings.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace {

class IdleApp : public Application {
public:
    IdleApp() : Application(1, "Quarrytide Bench", "1.1.0", "Quarrytide Bench", 50, 2000) {}
};

LRESULT windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Application* app = Application::instance())
        if (app->getInputManager() != nullptr)
            app->getInputManager()->handleMessage(message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

std::unique_ptr<IdleApp> startApp()
{
    setenv("QUARRYTIDE_HOST", "headless", 0);
    Settings::instance().setNoRegistry(1);
    auto app = std::make_unique<IdleApp>();
    app->createSoundManager();
    app->createInputManager();
    app->createScreen(nullptr, windowProcedure, 1);
    app->setDisplayState(Application::Active);
    auto* scene = new Scene(app.get(), "SCENE_IDLE");
    app->addScene(scene);
    app->switchScene(scene);
    return app;
}

// One idle frame as the program's loop runs it: a look at the queue, then a tick.
void loopOnce(Application& app)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    app.tick();
}

void BM_IdleFrame(benchmark::State& state)
{
    compat::testing::useVirtualClock(true, 1000);
    auto app = startApp();
    for (int i = 0; i < 5; ++i)
        loopOnce(*app);
    for (auto _ : state)
        loopOnce(*app);
    app.reset();
    compat::testing::useVirtualClock(false);
}
BENCHMARK(BM_IdleFrame)->Unit(benchmark::kMicrosecond);

void BM_IdleApplicationCpuShare(benchmark::State& state)
{
    compat::testing::useVirtualClock(false);
    auto app = startApp();
    // The first frames make the display's surfaces and the host's picture; what an idle frame costs
    // comes after them.
    for (int i = 0; i < 10; ++i)
        loopOnce(*app);
    for (auto _ : state) {
        const auto wallStart = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        int frames = 0;
        while (std::chrono::steady_clock::now() - wallStart < std::chrono::seconds(2)) {
            loopOnce(*app);
            ++frames;
        }
        const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        state.counters["cpu_share_percent"] = 100.0 * cpu / wall;
        state.counters["frames_per_second"] = frames / wall;
    }
    app.reset();
}
BENCHMARK(BM_IdleApplicationCpuShare)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runWithGoals(argc, argv,
                               {{"BM_IdleFrame", bench::kCpuMicroseconds, 20.0, true, "idle frame's work, CPU us"},
                                {"BM_IdleApplicationCpuShare", "cpu_share_percent", 1.0, true,
                                 "idle application, % of one core"}});
}
