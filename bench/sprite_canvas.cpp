// A canvas of bitmap sprites (mixed sizes; a third with masks, a third with a constant alpha, a third
// plain) updated and drawn into a 640 x 480 back buffer every frame, next to the same blits made by
// calling the raster routines directly in a loop over the same pictures at the same places. One sprite
// is marked dirty per frame, so the single-tile canvas repaints everything, as a game frame does.
// Times are per frame; after the run a summary prints canvas / direct (CPU time) per sprite count. The
// canvas makes the same blits and walks its sprites besides, so it cannot beat the loop alone: each
// count is held to 1.05, the bookkeeping at most a twentieth on top of the blits.
#include "bench/support/Goals.h"
#include "compat/ddraw/ddraw.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/raster/Blend.h"
#include "platform/surface/SurfaceFactory.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kSizes[] = {16, 24, 32, 48, 64, 96};
constexpr std::uint8_t kAlpha = 160;

// One sprite's picture and place; shared by both sides.
struct Placed {
    Surface* image = nullptr;
    Surface* mask = nullptr;
    int alpha = 255;
    int x = 0;
    int y = 0;
};

// The pictures (one per size and kind, shared by the sprites) and the scene's layout for n sprites.
struct Scene {
    explicit Scene(int count)
    {
        IDirectDraw4* dd = ResourceManager::getDirectDraw();
        back = hold(createDirectDrawSurface(dd, kWidth, kHeight));
        background = hold(createDirectDrawSurface(dd, kWidth, kHeight));
        background->fill(0x203040);
        std::mt19937 rng(7);
        for (int size : kSizes) {
            Surface* image = hold(createDirectDrawSurface(dd, size, size));
            image->fill(rng() & 0xFFFFFF);
            MemorySurface* mask = createMemorySurface(size, size);
            hold(mask);
            auto* bytes = static_cast<std::uint8_t*>(mask->pixels());
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const int dx = 2 * x - size, dy = 2 * y - size;
                    const int d = dx * dx + dy * dy;
                    bytes[y * size + x] = d < size * size / 2 ? 255 : d < size * size ? 128 : 0;
                }
            images.push_back(image);
            masks.push_back(mask);
        }
        for (int i = 0; i < count; ++i) {
            Placed p;
            const std::size_t kind = rng() % (sizeof(kSizes) / sizeof(kSizes[0]));
            p.image = images[kind];
            if (i % 3 == 1)
                p.mask = masks[kind];
            if (i % 3 == 2)
                p.alpha = kAlpha;
            p.x = static_cast<int>(rng() % (kWidth + 32)) - 16;
            p.y = static_cast<int>(rng() % (kHeight + 32)) - 16;
            placed.push_back(p);
        }
    }
    ~Scene()
    {
        for (Surface* s : held)
            s->release();
    }
    Surface* hold(Surface* s)
    {
        s->addRef();
        held.push_back(s);
        return s;
    }

    Surface* back = nullptr;
    Surface* background = nullptr;
    std::vector<Surface*> images;
    std::vector<Surface*> masks;
    std::vector<Surface*> held;
    std::vector<Placed> placed;
};

void canvasFrame(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    auto* canvas = new SpriteCanvas(kWidth, kHeight, kWidth, kHeight);
    canvas->addRef();
    canvas->setBackground(scene.background);
    std::vector<BitmapSprite*> sprites;
    for (const Placed& p : scene.placed) {
        auto* sprite = new BitmapSprite(p.image, p.mask, p.x, p.y);
        sprite->setAlpha(p.alpha);
        canvas->addSprite(sprite);
        sprites.push_back(sprite);
    }
    std::size_t next = 0;
    for (auto _ : state) {
        sprites[next++ % sprites.size()]->setDirty(true);
        canvas->update(0.02f, 20, 50.0f);
        canvas->render(scene.back);
    }
    canvas->release();
}

void directFrame(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        drawSurfaceClipped(scene.background, scene.back, 0, 0);
        for (const Placed& p : scene.placed) {
            const int size = static_cast<int>(p.image->getDesc().width);
            if (p.mask)
                blitAlphaMask(p.image, 0, 0, size, size, scene.back, p.x, p.y, p.mask);
            else if (p.alpha < 255)
                blitAlphaRect(p.image, 0, 0, size, size, scene.back, p.x, p.y, static_cast<std::uint8_t>(p.alpha));
            else
                bltFastClipped(p.image, 0, 0, size, size, scene.back, p.x, p.y);
        }
    }
}

// Prints the usual console report, then canvas / direct for every sprite count, then the goals.
class RatioReporter : public bench::GoalReporter {
public:
    explicit RatioReporter(std::vector<bench::RatioGoal> goals) : GoalReporter({}, std::move(goals)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        GoalReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const auto slash = name.find('/');
            if (slash == std::string::npos || run.iterations == 0 || run.run_type != Run::RT_Iteration)
                continue;
            // CPU time: the machine the benchmarks run on is often shared, which wall time would show.
            const double msPerFrame = run.cpu_accumulated_time / static_cast<double>(run.iterations) * 1e3;
            const std::string count = name.substr(slash + 1, name.find('/', slash + 1) - slash - 1);
            (name.compare(0, slash, "canvas") == 0 ? canvas : direct)[std::stoi(count)] = msPerFrame;
        }
    }

protected:
    void printSummary() override
    {
        std::printf("\n%-10s %14s %14s %8s\n", "sprites", "canvas cpu ms", "direct cpu ms", "ratio");
        for (const auto& [count, canvasMs] : canvas) {
            const auto other = direct.find(count);
            if (other != direct.end())
                std::printf("%-10d %14.3f %14.3f %8.2f\n", count, canvasMs, other->second, canvasMs / other->second);
        }
    }

private:
    std::map<int, double> canvas, direct;
};

} // namespace

int main(int argc, char** argv)
{
    std::vector<bench::RatioGoal> goals;
    for (int count : {500, 1000, 2000}) {
        benchmark::RegisterBenchmark("canvas", canvasFrame)->Arg(count)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("direct", directFrame)->Arg(count)->Unit(benchmark::kMillisecond);
        const std::string arg = "/" + std::to_string(count);
        goals.push_back({"canvas" + arg, "direct" + arg, true, 1.05, true,
                         std::to_string(count) + " sprites: canvas / direct blits"});
    }
    RatioReporter reporter(std::move(goals));
    return bench::runWithReporter(argc, argv, reporter);
}
