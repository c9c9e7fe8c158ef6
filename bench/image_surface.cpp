// Image loading and text drawing on display surfaces.
//
// Decoding: a 640 x 480 PNG and JPEG go through the whole path of the game (a SurfaceHolder loading
// from an in-memory archive: decoder, device context into the A8R8G8B8 source, converting copy into
// the display-format surface) and, in the same loop, through the bare library with the same
// decoding settings into a new 32-bit pixel buffer. The counter "ratio" is our time over the
// library's (goal: within 1.3).
//
// Text: one line of 40 characters of a bitmap font drawn into a 640 x 480 back buffer.
#include "bench/support/BareDecode.h"
#include "bench/support/Goals.h"
#include "compat/ddraw/ddraw.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"
#include "runtime/containers/Buffer.h"
#include "tests/support/ImageFixtures.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int width = 640;
constexpr int height = 480;

IDirectDraw4* directDraw()
{
    static IDirectDraw4* dd = [] {
        IDirectDraw* first = nullptr;
        DirectDrawCreate(nullptr, &first, nullptr);
        IDirectDraw4* dd4 = nullptr;
        first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd4));
        first->Release();
        return dd4;
    }();
    return dd;
}

// Serves one file from memory, as an archive would.
class MemoryArchive : public Archive {
public:
    explicit MemoryArchive(testsupport::Bytes bytes) : bytes(std::move(bytes)) {}
    bool holdsFile(const std::string&) override { return true; }
    bool openFile(const std::string&) override { return true; }
    bool readWhole(Buffer& buffer) override
    {
        buffer.allocate(static_cast<unsigned>(bytes.size()));
        std::memcpy(buffer.data, bytes.data(), bytes.size());
        return true;
    }
    testsupport::Bytes bytes;
};

// The display's own format, as the resource catalogue asks for images.
void loadThroughHolder(MemoryArchive& archive)
{
    SurfaceDesc desc;
    desc.memoryType = SurfaceDesc::SystemMemory;
    auto* holder = new SurfaceHolder;
    holder->addRef();
    if (holder->loadFromArchiveOrFile(directDraw(), &archive, "picture", desc) != S_OK)
        std::abort();
    benchmark::DoNotOptimize(holder->getSurface());
    holder->release();
}

// The bare library into a new 32-bit pixel buffer, as our path makes a new surface.
void decodePngBare(const testsupport::Bytes& file)
{
    std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[static_cast<std::size_t>(width) * height * 4]);
    std::vector<png_bytep> rows = bare::rowPointers(pixels.get(), width, height);
    if (!bare::decodePng(file, rows))
        std::abort();
}

void decodeJpegBare(const testsupport::Bytes& file)
{
    std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[static_cast<std::size_t>(width) * height * 4]);
    bare::decodeJpeg(file, pixels.get(), width);
}

template <class Bare>
void comparePaths(benchmark::State& state, const testsupport::Bytes& file, Bare bare)
{
    MemoryArchive archive(file);
    using Clock = std::chrono::steady_clock;
    Clock::duration ours{}, library{};
    for (auto _ : state) {
        auto start = Clock::now();
        loadThroughHolder(archive);
        auto middle = Clock::now();
        bare(file);
        auto end = Clock::now();
        ours += middle - start;
        library += end - middle;
    }
    auto ms = [&](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(state.iterations());
    };
    state.counters["ours_ms"] = ms(ours);
    state.counters["library_ms"] = ms(library);
    state.counters["ratio"] = ms(ours) / ms(library);
}

void BM_PngIntoDisplaySurface(benchmark::State& state)
{
    testsupport::PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.rows = testsupport::naturalRgb(width, height);
    comparePaths(state, testsupport::encodePng(spec), decodePngBare);
}
BENCHMARK(BM_PngIntoDisplaySurface)->Unit(benchmark::kMillisecond);

void BM_JpegIntoDisplaySurface(benchmark::State& state)
{
    comparePaths(state, testsupport::encodeJpeg(width, height, 3, testsupport::naturalRgb(width, height)),
                 decodeJpegBare);
}
BENCHMARK(BM_JpegIntoDisplaySurface)->Unit(benchmark::kMillisecond);

// A band-mask font of the 95 printable characters, 8 x 12 pixels each with an empty column after
// each, on one band closed by the marker below it.
struct TextFixture {
    TextFixture()
    {
        for (int c = 32; c < 127; ++c)
            characters += static_cast<char>(c);
        const int glyphs = static_cast<int>(characters.size());
        const std::uint32_t w = 2 + static_cast<std::uint32_t>(glyphs) * 9, h = 14;
        image = new SurfaceHolder;
        image->addRef();
        image->setSurface(createDirectDrawSurface(directDraw(), w, h));
        image->getSurface()->fill(0x00FFFFFF);
        MemorySurface* map = createMemorySurface(w, h);
        auto* bytes = static_cast<std::uint8_t*>(map->pixels());
        std::memset(bytes, 0, w * h);
        bytes[12 * w] = 0xFF; // closes the band of rows 0-11
        for (int g = 0; g < glyphs; ++g)
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 8; ++x)
                    bytes[static_cast<std::uint32_t>(y) * w + 2 + static_cast<std::uint32_t>(g * 9 + x)] =
                        static_cast<std::uint8_t>(((x + y + g) % 3) ? 0xFF : 0x60);
        image->setMask(map);
        image->getOptions()->flags |= BlitOptions::BlendMask;
        font = new BitmapFont(image, characters);
        font->addRef();
        target = createDirectDrawSurface(directDraw(), width, height);
        target->addRef();
    }
    ~TextFixture()
    {
        font->release();
        image->release();
        target->release();
    }

    std::string characters;
    SurfaceHolder* image;
    BitmapFont* font;
    Surface* target;
};

const std::string line40 = "The quick brown fox jumps over 13 lazy d";

void BM_FontLineTinted(benchmark::State& state)
{
    TextFixture f;
    for (auto _ : state)
        f.font->drawStringTinted(f.target, 10, 10, line40, 0x00FFCC00, 255);
}
BENCHMARK(BM_FontLineTinted)->Unit(benchmark::kMicrosecond);

void BM_FontLineBlended(benchmark::State& state)
{
    TextFixture f;
    for (auto _ : state)
        f.font->drawStringBlended(f.target, 10, 10, line40, 200);
}
BENCHMARK(BM_FontLineBlended)->Unit(benchmark::kMicrosecond);

void BM_FontMeasureLine(benchmark::State& state)
{
    TextFixture f;
    for (auto _ : state)
        benchmark::DoNotOptimize(f.font->measure(line40));
}
BENCHMARK(BM_FontMeasureLine);

} // namespace

int main(int argc, char** argv)
{
    return bench::runWithGoals(argc, argv,
                               {{"BM_PngIntoDisplaySurface", "ratio", 1.3, true, "PNG into a display surface / bare"},
                                {"BM_JpegIntoDisplaySurface", "ratio", 1.3, true, "JPEG into a display surface / bare"}});
}
