// Decoding a 640x480 PNG and JPEG through our decoder path (automatic decoder into a DIB bitmap, as
// the surface layer does it) against the bare library calls into a plain buffer, with the same
// transforms and output layout, in the same run. The ratio is ours / bare (goal 1.00 or less), in wall
// time and in processor time.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/support/BareDecode.h"
#include "bench/support/Goals.h"
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

// The usual report, then ours / bare for each format against the goal, in wall time and in processor
// time (which a busy machine does not sway).
int main(int argc, char** argv)
{
    std::vector<bench::RatioGoal> goals;
    for (const std::string format : {"Png", "Jpeg"}) {
        goals.push_back({"Ours" + format, "Bare" + format, false, 1.0, true, format + " decode: ours / bare"});
        goals.push_back({"Ours" + format, "Bare" + format, true, 1.0, true, format + " decode: ours / bare"});
    }
    return bench::runWithGoals(argc, argv, {}, std::move(goals));
}
