// The software rasteriser's fast paths on a 640 x 480 picture in the two display formats, each next to
// pixman doing the equivalent composite on the same pixels: constant alpha (OVER through a solid
// mask), per-pixel alpha (OVER through an a8 mask), the colour-keyed copy (OVER of a source whose
// keyed pixels have alpha 0) and the fill. Ours run through the public routines on DirectDraw
// surfaces, locks included. Every benchmark reports ns_per_px; after the run a summary prints
// ours / pixman for every pair, and each pair is held to the goal of 1.0 (ours no slower than pixman,
// wall time as the table).
#include "bench/support/Goals.h"
#include "compat/ddraw/ddraw.h"
#include "platform/system/CpuFeatures.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/raster/Blend.h"
#include "platform/raster/Fill.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kPixels = kWidth * kHeight;
constexpr std::uint8_t kAlpha = 160;
constexpr std::uint32_t kKey = 0x00FF00FF;  // the keyed source's transparent colour (0xAARRGGBB)

struct Format {
    const char* name;
    int bytes;
    std::uint32_t red, green, blue;
    pixman_format_code_t pixman;
};
const Format kXrgb{"x8r8g8b8", 4, 0x00FF0000, 0x0000FF00, 0x000000FF, PIXMAN_x8r8g8b8};
const Format kRgb565{"r5g6b5", 2, 0xF800, 0x07E0, 0x001F, PIXMAN_r5g6b5};

// Pictures shared by both sides, as 0xAARRGGBB: noise for colours (a quarter of the source is the
// key colour, with alpha 0 for pixman), and a soft-edged disc for the mask (mostly 0 and 255 with a
// ramp between, like a sprite's mask).
struct Pictures {
    std::vector<std::uint32_t> src, dst;
    std::vector<std::uint8_t> mask;
    Pictures() : src(kPixels), dst(kPixels), mask(kPixels)
    {
        std::mt19937 rng(1);
        for (auto& p : src)
            p = rng() % 4 == 0 ? kKey : 0xFF000000u | (rng() & 0x00FFFFFFu);
        for (auto& p : dst)
            p = 0xFF000000u | (rng() & 0x00FFFFFFu);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const double dx = x - kWidth / 2.0, dy = y - kHeight / 2.0;
                const double v = (200.0 - std::sqrt(dx * dx + dy * dy)) * 8.0;
                mask[static_cast<std::size_t>(y * kWidth + x)] = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
            }
    }
};
const Pictures& pictures()
{
    static const Pictures p;
    return p;
}

std::uint32_t nativeOf(const Format& f, std::uint32_t argb)
{
    PixelFormat format;
    format.set(0, f.red, f.green, f.blue, f.bytes * 8);
    return format.packPixel(&argb);
}

void setPixelCounter(benchmark::State& state)
{
    // An inverted rate of kPixels * 1e-9 per iteration reads as nanoseconds per pixel.
    state.counters["ns_per_px"] =
        benchmark::Counter(kPixels * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// ---- ours: the public routines on DirectDraw surfaces --------------------------------------------

IDirectDraw4* directDraw()
{
    static IDirectDraw4* dd = [] {
        IDirectDraw* first = nullptr;
        IDirectDraw4* four = nullptr;
        DirectDrawCreate(nullptr, &first, nullptr);
        first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&four));
        first->Release();
        return four;
    }();
    return dd;
}

// A 640 x 480 surface holding the picture, released at the end of the benchmark.
struct OurSurface {
    DirectDrawSurface* surface;
    OurSurface(const Format& f, const std::vector<std::uint32_t>& argb)
    {
        SurfaceDesc desc;
        desc.width = kWidth;
        desc.height = kHeight;
        desc.format.set(0, f.red, f.green, f.blue, f.bytes * 8);
        surface = createDirectDrawSurfaceFromDesc(directDraw(), desc);
        surface->addRef();
        surface->lock();
        auto* base = static_cast<std::uint8_t*>(surface->pixels());
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const std::uint32_t p = nativeOf(f, argb[static_cast<std::size_t>(y * kWidth + x)]);
                std::memcpy(base + y * surface->getDesc().pitch + x * f.bytes, &p, static_cast<std::size_t>(f.bytes));
            }
        surface->unlock();
    }
    ~OurSurface() { surface->release(); }
    OurSurface(const OurSurface&) = delete;
    OurSurface& operator=(const OurSurface&) = delete;
};

struct OurMask {
    MemorySurface* surface = createMemorySurface(kWidth, kHeight);
    OurMask()
    {
        surface->addRef();
        std::memcpy(surface->pixels(), pictures().mask.data(), pictures().mask.size());
    }
    ~OurMask() { surface->release(); }
    OurMask(const OurMask&) = delete;
    OurMask& operator=(const OurMask&) = delete;
};

void oursConstantAlpha(benchmark::State& state, const Format& f)
{
    hasMmx = 1;
    OurSurface src(f, pictures().src), dst(f, pictures().dst);
    for (auto _ : state)
        benchmark::DoNotOptimize(blitAlpha(src.surface, dst.surface, 0, 0, kAlpha));
    setPixelCounter(state);
}

void oursMaskAlpha(benchmark::State& state, const Format& f)
{
    hasMmx = 1;
    OurSurface src(f, pictures().src), dst(f, pictures().dst);
    OurMask mask;
    for (auto _ : state)
        benchmark::DoNotOptimize(blitAlphaMask(src.surface, 0, 0, kWidth, kHeight, dst.surface, 0, 0, mask.surface));
    setPixelCounter(state);
}

void oursKeyedCopy(benchmark::State& state, const Format& f)
{
    OurSurface src(f, pictures().src), dst(f, pictures().dst);
    src.surface->setColorKeyValue(kKey);
    for (auto _ : state)
        benchmark::DoNotOptimize(drawSurfaceClipped(src.surface, dst.surface, 0, 0));
    setPixelCounter(state);
}

void oursFill(benchmark::State& state, const Format& f)
{
    OurSurface dst(f, pictures().dst);
    for (auto _ : state)
        benchmark::DoNotOptimize(fillRectClipped(dst.surface, 0, 0, kWidth, kHeight, 0xFF336699));
    setPixelCounter(state);
}

// ---- pixman: the same pixels in pixman images ----------------------------------------------------

struct PixmanPicture {
    std::vector<std::uint32_t> words;
    pixman_image_t* image;
    PixmanPicture(pixman_format_code_t format, int bytes, const std::vector<std::uint32_t>& argb)
        : words(static_cast<std::size_t>(kPixels * bytes / 4))
    {
        image = pixman_image_create_bits(format, kWidth, kHeight, words.data(), kWidth * bytes);
        // Let pixman store the colours in its own format.
        pixman_image_t* from = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight,
                                                        const_cast<std::uint32_t*>(argb.data()), kWidth * 4);
        pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, image, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        pixman_image_unref(from);
    }
    ~PixmanPicture() { pixman_image_unref(image); }
    PixmanPicture(const PixmanPicture&) = delete;
    PixmanPicture& operator=(const PixmanPicture&) = delete;
};

// The keyed source as pixman sees it: alpha 0 where our source holds the key.
std::vector<std::uint32_t> keyedAsAlpha()
{
    std::vector<std::uint32_t> out = pictures().src;
    for (auto& p : out)
        p = p == kKey ? 0 : p | 0xFF000000u;
    return out;
}

void pixmanComposite(benchmark::State& state, pixman_op_t op, pixman_image_t* src, pixman_image_t* mask,
                     pixman_image_t* dst)
{
    for (auto _ : state) {
        pixman_image_composite32(op, src, mask, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    setPixelCounter(state);
}

void pixmanConstantAlpha(benchmark::State& state, const Format& f)
{
    PixmanPicture src(f.pixman, f.bytes, pictures().src), dst(f.pixman, f.bytes, pictures().dst);
    const pixman_color_t alpha{0, 0, 0, static_cast<std::uint16_t>(kAlpha * 257)};
    pixman_image_t* solid = pixman_image_create_solid_fill(&alpha);
    pixmanComposite(state, PIXMAN_OP_OVER, src.image, solid, dst.image);
    pixman_image_unref(solid);
}

void pixmanMaskAlpha(benchmark::State& state, const Format& f)
{
    PixmanPicture src(f.pixman, f.bytes, pictures().src), dst(f.pixman, f.bytes, pictures().dst);
    pixman_image_t* mask = pixman_image_create_bits(PIXMAN_a8, kWidth, kHeight,
                                                    reinterpret_cast<std::uint32_t*>(const_cast<std::uint8_t*>(pictures().mask.data())), kWidth);
    pixmanComposite(state, PIXMAN_OP_OVER, src.image, mask, dst.image);
    pixman_image_unref(mask);
}

void pixmanKeyedCopy(benchmark::State& state, const Format& f)
{
    PixmanPicture src(PIXMAN_a8r8g8b8, 4, keyedAsAlpha()), dst(f.pixman, f.bytes, pictures().dst);
    pixmanComposite(state, PIXMAN_OP_OVER, src.image, nullptr, dst.image);
}

void pixmanFill(benchmark::State& state, const Format& f)
{
    PixmanPicture dst(f.pixman, f.bytes, pictures().dst);
    const std::uint32_t filler = nativeOf(f, 0xFF336699);
    for (auto _ : state) {
        pixman_fill(dst.words.data(), kWidth * f.bytes / 4, f.bytes * 8, 0, 0, kWidth, kHeight, filler);
        benchmark::ClobberMemory();
    }
    setPixelCounter(state);
}

// ---- summary -------------------------------------------------------------------------------------

// Prints the usual console report, then ours / pixman for every benchmark that has both sides, then
// the goals.
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
            const double nsPerPixel = run.real_accumulated_time / static_cast<double>(run.iterations) / kPixels * 1e9;
            (name.compare(0, slash, "pixman") == 0 ? pixman : ours)[name.substr(slash + 1)] = nsPerPixel;
        }
    }

protected:
    void printSummary() override
    {
        std::printf("\n%-32s %10s %10s %8s\n", "ns per pixel", "ours", "pixman", "ratio");
        for (const auto& [what, oursNs] : ours) {
            const auto other = pixman.find(what);
            if (other == pixman.end())
                continue;
            std::printf("%-32s %10.3f %10.3f %8.2f\n", what.c_str(), oursNs, other->second, oursNs / other->second);
        }
    }

private:
    std::map<std::string, double> ours, pixman;
};

}  // namespace

int main(int argc, char** argv)
{
    std::vector<bench::RatioGoal> goals;
    for (const Format* f : {&kXrgb, &kRgb565}) {
        const std::string suffix = std::string("/") + f->name;
        for (const std::string what : {"constant_alpha", "mask_alpha", "keyed_copy", "fill"}) {
            goals.push_back({"ours/" + what + suffix, "pixman/" + what + suffix, false, 1.0, true,
                             what + suffix + ": ours / pixman"});
        }
        benchmark::RegisterBenchmark(("ours/constant_alpha" + suffix).c_str(), oursConstantAlpha, *f);
        benchmark::RegisterBenchmark(("pixman/constant_alpha" + suffix).c_str(), pixmanConstantAlpha, *f);
        benchmark::RegisterBenchmark(("ours/mask_alpha" + suffix).c_str(), oursMaskAlpha, *f);
        benchmark::RegisterBenchmark(("pixman/mask_alpha" + suffix).c_str(), pixmanMaskAlpha, *f);
        benchmark::RegisterBenchmark(("ours/keyed_copy" + suffix).c_str(), oursKeyedCopy, *f);
        benchmark::RegisterBenchmark(("pixman/keyed_copy" + suffix).c_str(), pixmanKeyedCopy, *f);
        benchmark::RegisterBenchmark(("ours/fill" + suffix).c_str(), oursFill, *f);
        benchmark::RegisterBenchmark(("pixman/fill" + suffix).c_str(), pixmanFill, *f);
    }
    RatioReporter reporter(std::move(goals));
    return bench::runWithReporter(argc, argv, reporter);
}
