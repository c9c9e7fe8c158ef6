// Decoding a 640x480 PNG and JPEG through our decoder path (automatic decoder into a DIB bitmap, as
// the surface layer does it) against the bare library calls into a plain buffer, with the same
// transforms and output layout, in the same run. The ratio is ours / bare.
#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "platform/image/PLAutoDecoder.h"
#include "platform/image/PLDibBitmap.h"
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

struct MemoryReader {
    const Bytes* bytes;
    std::size_t offset;
};

void readFromMemory(png_structp png, png_bytep target, png_size_t length)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->offset + length > reader->bytes->size())
        png_error(png, "end of data");
    std::memcpy(target, reader->bytes->data() + reader->offset, length);
    reader->offset += length;
}

bool barePng(const Bytes& bytes, std::vector<std::uint8_t>& pixels, std::vector<png_bytep>& rows)
{
    MemoryReader reader{&bytes, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, readFromMemory);
    png_read_info(png, info);
    png_set_strip_16(png);
    png_set_packing(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels[0]);
    return true;
}

void BarePng(benchmark::State& state)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] = pixels.data() + static_cast<std::size_t>(y) * width * 4;
    for (auto _ : state) {
        if (!barePng(pngBytes(), pixels, rows))
            state.SkipWithError("libpng failed");
    }
}

void BareJpeg(benchmark::State& state)
{
    const Bytes& bytes = jpegBytes();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    for (auto _ : state) {
        jpeg_decompress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&info, TRUE);
        info.do_fancy_upsampling = FALSE;
        info.dct_method = JDCT_FLOAT;
        info.out_color_space = JCS_EXT_BGRX;
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = pixels.data() + static_cast<std::size_t>(info.output_scanline) * width * 4;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(pixels[0]);
    }
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
                if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                    nanoseconds[run.benchmark_name()] = run.GetAdjustedRealTime() * 1000.0;
            }
        }
        std::map<std::string, double> nanoseconds;
    } reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* format : {"Png", "Jpeg"}) {
        double ours = reporter.nanoseconds[std::string("Ours") + format];
        double bare = reporter.nanoseconds[std::string("Bare") + format];
        if (ours > 0 && bare > 0)
            std::printf("%s: ours %.0f ns, bare %.0f ns per image, ours/bare %.2f (goal 1.30 or less)\n", format, ours,
                        bare, ours / bare);
    }
    benchmark::Shutdown();
    return 0;
}
