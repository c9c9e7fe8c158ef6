// Decoding a 640x480 PNG and JPEG through our decoder path (automatic decoder into a DIB bitmap, as
// the surface layer does it) against the bare library calls into a plain buffer, with the same
// transforms and output layout, in the same run. The ratio is ours / bare (goal 1.00 or less), in wall
// time and in processor time.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/support/BareDecode.h"
#include "platform/image/decode/PLAutoDecoder.h"
#include "platform/image/bitmap/PLDibBitmap.h"
#include "tests/support/ImageFixtures.h"

namespace {

using testsupport::Bytes;

constexpr int width = 640;
constexpr int height = 480;

const Bytes& pngBytes()
{
    static const Bytes bytes = [] {
        testsupport::PngSpec spec;
        spec.width = width;
        spec.height = height;
        spec.colourType = PNG_COLOR_TYPE_RGB;
        spec.rows = testsupport::naturalRgb(width, height, 7);
        return testsupport::encodePng(spec);
    }();
    return bytes;
}

const Bytes& jpegBytes()
{
    static const Bytes bytes = testsupport::encodeJpeg(width, height, 3, testsupport::naturalRgb(width, height, 7), 85);
    return bytes;
}

void decodeOurs(benchmark::State& state, const Bytes& bytes)
{
    for (auto _ : state) {
        PLAutoDecoder decoder;
        PLDibBitmap bmp;
        decoder.makeBmpFromMemory(bytes.data(), static_cast<int>(bytes.size()), bmp);
        benchmark::DoNotOptimize(bmp.getLineArray()[0][0]);
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}

void OursPng(benchmark::State& state)
{
    decodeOurs(state, pngBytes());
}

void OursJpeg(benchmark::State& state)
{
    decodeOurs(state, jpegBytes());
}

void BarePng(benchmark::State& state)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    std::vector<png_bytep> rows = bare::rowPointers(pixels.data(), width, height);
    for (auto _ : state) {
        if (!bare::decodePng(pngBytes(), rows))
            state.SkipWithError("libpng failed");
    }
}

void BareJpeg(benchmark::State& state)
{
    const Bytes& bytes = jpegBytes();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (auto _ : state)
        bare::decodeJpeg(bytes, pixels.data(), width);
}

} // namespace

BENCHMARK(OursPng)->Unit(benchmark::kMicrosecond);
BENCHMARK(BarePng)->Unit(benchmark::kMicrosecond);
BENCHMARK(OursJpeg)->Unit(benchmark::kMicrosecond);
BENCHMARK(BareJpeg)->Unit(benchmark::kMicrosecond);

// Prints ours / bare for each format after the usual report.
int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    struct Collect : benchmark::ConsoleReporter {
        void ReportRuns(const std::vector<Run>& runs) override
        {
            ConsoleReporter::ReportRuns(runs);
            for (const Run& run : runs) {
                if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                    nanoseconds[run.benchmark_name()] = run.GetAdjustedRealTime() * 1000.0;
                    cpuNanoseconds[run.benchmark_name()] = run.GetAdjustedCPUTime() * 1000.0;
                }
            }
        }
        std::map<std::string, double> nanoseconds;
        std::map<std::string, double> cpuNanoseconds;
    } reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* format : {"Png", "Jpeg"}) {
        double ours = reporter.nanoseconds[std::string("Ours") + format];
        double bare = reporter.nanoseconds[std::string("Bare") + format];
        double oursCpu = reporter.cpuNanoseconds[std::string("Ours") + format];
        double bareCpu = reporter.cpuNanoseconds[std::string("Bare") + format];
        if (ours > 0 && bare > 0)
            std::printf("%s: ours %.0f ns, bare %.0f ns per image, ours/bare %.2f (goal 1.00 or less: %s)\n", format,
                        ours, bare, ours / bare, ours / bare <= 1.0 ? "met" : "NOT met");
        // Processor time, which a busy machine does not sway.
        if (oursCpu > 0 && bareCpu > 0)
            std::printf("%s: CPU time ours %.0f ns, bare %.0f ns, ours/bare %.2f (goal 1.00 or less: %s)\n", format,
                        oursCpu, bareCpu, oursCpu / bareCpu, oursCpu / bareCpu <= 1.0 ? "met" : "NOT met");
    }
    benchmark::Shutdown();
    return 0;
}
