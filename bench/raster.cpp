// The software rasteriser's fast paths on a 640 x 480 picture in the two display formats, each next to
// pixman doing the equivalent composite on the same pixels. Every benchmark reports ns_per_px; after
// the run a summary prints ours / pixman for every pair.
#include "platform/raster/BlendJob.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kPixels = kWidth * kHeight;
constexpr std::uint32_t kAlpha = 160;

struct Format {
    const char* name;
    int code;
    int bytes;
    pixman_format_code_t pixman;
};
const Format kXrgb{"x8r8g8b8", raster::kFormat32, 4, PIXMAN_x8r8g8b8};
const Format kRgb565{"r5g6b5", raster::kFormat565, 2, PIXMAN_r5g6b5};

// Pictures shared by both sides: noise for colours, a soft-edged disc for the mask (mostly 0 and 255
// with a ramp between, like a sprite's mask), and a source in which a quarter of the pixels is the key.
struct Pictures {
    std::vector<std::uint32_t> src, dst;  // 32-bit words; 16-bit formats use the first half
    std::vector<std::uint8_t> mask;
    Pictures() : src(kPixels), dst(kPixels), mask(kPixels)
    {
        std::mt19937 rng(1);
        for (auto& p : src)
            p = rng() & 0x00FFFFFF;
        for (auto& p : dst)
            p = rng() & 0x00FFFFFF;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const double dx = x - kWidth / 2.0, dy = y - kHeight / 2.0;
                const double r = std::sqrt(dx * dx + dy * dy);
                const double v = (200.0 - r) * 8.0;
                mask[static_cast<std::size_t>(y * kWidth + x)] = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
            }
    }
};
Pictures& pictures()
{
    static Pictures p;
    return p;
}

void setPixelCounter(benchmark::State& state)
{
    // An inverted rate of kPixels * 1e-9 per iteration reads as nanoseconds per pixel.
    state.counters["ns_per_px"] =
        benchmark::Counter(kPixels * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

raster::BlendJob jobFor(const Format& f, std::vector<std::uint32_t>& src, std::vector<std::uint32_t>& dst)
{
    raster::BlendJob job;
    job.formatCode = f.code;
    job.width = kWidth;
    job.height = kHeight;
    job.src = reinterpret_cast<const std::uint8_t*>(src.data());
    job.srcPitch = kWidth * f.bytes;
    job.dst = reinterpret_cast<std::uint8_t*>(dst.data());
    job.dstPitch = kWidth * f.bytes;
    job.map = pictures().mask.data();
    job.mapPitch = kWidth;
    job.alpha = kAlpha;
    return job;
}

// ---- ours ----------------------------------------------------------------------------------------

void oursConstantAlpha(benchmark::State& state, const Format& f)
{
    auto src = pictures().src, dst = pictures().dst;
    const raster::BlendJob job = jobFor(f, src, dst);
    for (auto _ : state) {
        raster::fast::blendRect(job);
        benchmark::ClobberMemory();
    }
    setPixelCounter(state);
}

void oursMaskAlpha(benchmark::State& state, const Format& f)
{
    auto src = pictures().src, dst = pictures().dst;
    const raster::BlendJob job = jobFor(f, src, dst);
    for (auto _ : state) {
        raster::fast::blendMask(job);
        benchmark::ClobberMemory();
    }
    setPixelCounter(state);
}

// ---- pixman --------------------------------------------------------------------------------------

struct PixmanImage {
    pixman_image_t* image;
    explicit PixmanImage(pixman_image_t* i) : image(i) {}
    ~PixmanImage() { pixman_image_unref(image); }
    PixmanImage(const PixmanImage&) = delete;
    PixmanImage& operator=(const PixmanImage&) = delete;
};

pixman_image_t* bitsImage(pixman_format_code_t format, void* bits, int bytesPerPixel)
{
    return pixman_image_create_bits(format, kWidth, kHeight, static_cast<std::uint32_t*>(bits), kWidth * bytesPerPixel);
}

void pixmanComposite(benchmark::State& state, const Format& f, pixman_op_t op, pixman_image_t* mask)
{
    auto src = pictures().src, dst = pictures().dst;
    PixmanImage s(bitsImage(f.pixman, src.data(), f.bytes)), d(bitsImage(f.pixman, dst.data(), f.bytes));
    for (auto _ : state) {
        pixman_image_composite32(op, s.image, mask, d.image, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    setPixelCounter(state);
}

void pixmanConstantAlpha(benchmark::State& state, const Format& f)
{
    const pixman_color_t alpha{0, 0, 0, static_cast<std::uint16_t>(kAlpha * 257)};
    PixmanImage solid(pixman_image_create_solid_fill(&alpha));
    pixmanComposite(state, f, PIXMAN_OP_OVER, solid.image);
}

void pixmanMaskAlpha(benchmark::State& state, const Format& f)
{
    PixmanImage mask(bitsImage(PIXMAN_a8, pictures().mask.data(), 1));
    pixmanComposite(state, f, PIXMAN_OP_OVER, mask.image);
}

// ---- summary -------------------------------------------------------------------------------------

// Prints the usual console report, then ours / pixman for every benchmark that has both sides.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const auto slash = name.find('/');
            if (slash == std::string::npos || run.iterations == 0 || run.run_type != Run::RT_Iteration)
                continue;
            const double nsPerPixel = run.real_accumulated_time / static_cast<double>(run.iterations) / kPixels * 1e9;
            (name.compare(0, slash, "pixman") == 0 ? pixman : ours)[name.substr(slash + 1)] = nsPerPixel;
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
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
    for (const Format* f : {&kXrgb, &kRgb565}) {
        const std::string suffix = std::string("/") + f->name;
        benchmark::RegisterBenchmark(("ours/constant_alpha" + suffix).c_str(), oursConstantAlpha, *f);
        benchmark::RegisterBenchmark(("pixman/constant_alpha" + suffix).c_str(), pixmanConstantAlpha, *f);
        benchmark::RegisterBenchmark(("ours/mask_alpha" + suffix).c_str(), oursMaskAlpha, *f);
        benchmark::RegisterBenchmark(("pixman/mask_alpha" + suffix).c_str(), pixmanMaskAlpha, *f);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
