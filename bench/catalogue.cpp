// A loading pass of the resource catalogue: about 100 PNG pictures from 32 x 32 to 640 x 480, a
// quarter of them with a grey-level mask, named by property entries, read by the property store and
// loaded step by step until the pass is done, as the load screen does. In the same loop the same
// files are read from disk and decoded by the bare library into new 32-bit pixel buffers. Counters:
// "ratio" is our time over the library's, "cpu_ratio" the same in processor time, which a busy machine
// does not sway (goal: 1.5 or less); "catalogue_MiB" is the heap the loaded
// catalogue holds at its peak (every surface, source and mask map), "pixels_MiB" what the pictures
// themselves take as 32-bit pixels.
//
// What each side does per picture:
// - ours: reads the file and, the display being 32-bit, decodes it straight into its surface in the
//   display's format (clearing the byte the display does not use; the source stays the file), and for
//   a mask decodes the grey picture into an 8-bit mask map. All of it stays alive until the pass ends
//   and the catalogue is deleted (both timed), so every pass writes the pictures' memory anew after the
//   previous pass gave it back: the page faults on it are most of the difference (under callgrind the
//   two sides run nearly the same number of instructions).
// - library: reads the file, copies it, decodes it into one 32-bit buffer and frees that at once, so
//   its buffers come back from the allocator already mapped and nothing is kept or converted.
#include "bench/support/BareDecode.h"
#include "bench/support/Goals.h"
#include "compat/ddraw/ddraw.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/containers/Buffer.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <ctime>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Picture {
    std::string file; // the game's path, with a backslash
    int width;
    int height;
    bool grey;
};

// The pictures on disk and the property file that names them.
struct CatalogueFixture {
    CatalogueFixture()
    {
        const int sizes[][2] = {{32, 32}, {48, 48}, {64, 64}, {96, 64}, {128, 128}, {160, 120},
                                {200, 150}, {256, 256}, {320, 240}, {400, 300}, {640, 480}};
        std::string body;
        std::filesystem::create_directories(dir.path() / "images");
        for (int i = 0; i < 100; ++i) {
            const int* size = sizes[i % (sizeof sizes / sizeof sizes[0])];
            std::string id = "IMAGE_" + std::to_string(i);
            std::string image = "images\\picture" + std::to_string(i) + ".png";
            write(image, size[0], size[1], false, static_cast<std::uint32_t>(i + 1));
            body += "<Surface id=\"" + id + "\"><Image>" + image + "</Image>";
            if (i % 4 == 0) {
                std::string mask = "images\\mask" + std::to_string(i) + ".png";
                write(mask, size[0], size[1], true, static_cast<std::uint32_t>(i + 1000));
                body += "<Mask>" + mask + "</Mask>";
            }
            body += "</Surface>\n";
        }
        document = std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
                   PropertyManager::kSchemaLocation +
                   "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n" + body +
                   "</Properties>\n";
    }

    void write(const std::string& file, int width, int height, bool grey, std::uint32_t seed)
    {
        testsupport::PngSpec spec;
        spec.width = width;
        spec.height = height;
        spec.rows = testsupport::naturalRgb(width, height, seed);
        if (grey) {
            spec.colourType = PNG_COLOR_TYPE_GRAY;
            testsupport::Bytes levels;
            for (std::size_t p = 0; p < spec.rows.size(); p += 3)
                levels.push_back(spec.rows[p]);
            spec.rows = levels;
        }
        std::string path = file;
        path[path.find('\\')] = '/';
        testsupport::Bytes bytes = testsupport::encodePng(spec);
        testsupport::writeFile(path, std::string(bytes.begin(), bytes.end()));
        pictures.push_back({file, width, height, grey});
        pixelBytes += static_cast<std::size_t>(width) * height * 4;
    }

    testsupport::TempDir dir{true};
    std::vector<Picture> pictures;
    std::string document;
    std::size_t pixelBytes = 0;
};

std::size_t heapInUse() { return mallinfo2().uordblks; }

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The whole pass; the heap the loaded catalogue holds.
std::size_t loadCatalogue(const std::string& document)
{
    std::size_t before = heapInUse();
    auto* catalogue = new ResourceManager();
    auto* store = new PropertyManager(catalogue);
    store->addRef();
    store->parse(document.c_str());
    catalogue->beginLoading();
    while (!catalogue->isDone())
        catalogue->loadStep();
    if (!ResourceManager::getImage("IMAGE_99"))
        std::abort();
    std::size_t held = heapInUse() - before;
    store->release();
    delete catalogue;
    return held;
}

// Each file read from disk and decoded by the bare library into a new 32-bit pixel buffer.
void decodeBare(const std::vector<Picture>& pictures)
{
    for (const Picture& picture : pictures) {
        Buffer file;
        if (!Buffer::loadFile(nullptr, picture.file, file))
            std::abort();
        testsupport::Bytes bytes(file.data, file.data + file.size);
        std::unique_ptr<std::uint8_t[]> pixels(
            new std::uint8_t[static_cast<std::size_t>(picture.width) * picture.height * 4]);
        std::vector<png_bytep> rows = bare::rowPointers(pixels.get(), picture.width, picture.height);
        if (!bare::decodePng(bytes, rows))
            std::abort();
    }
}

void BM_CatalogueOfPngPictures(benchmark::State& state)
{
    CatalogueFixture fixture;
    IDirectDraw* first = nullptr;
    DirectDrawCreate(nullptr, &first, nullptr);
    IDirectDraw4* directDraw = nullptr;
    first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&directDraw));
    first->Release();
    ResourceManager::setDirectDraw(directDraw);

    using Clock = std::chrono::steady_clock;
    Clock::duration ours{}, library{};
    double oursCpu = 0, libraryCpu = 0;
    std::size_t held = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        double cpuStart = threadCpuSeconds();
        held = std::max(held, loadCatalogue(fixture.document));
        auto middle = Clock::now();
        double cpuMiddle = threadCpuSeconds();
        decodeBare(fixture.pictures);
        auto end = Clock::now();
        double cpuEnd = threadCpuSeconds();
        ours += middle - start;
        library += end - middle;
        oursCpu += cpuMiddle - cpuStart;
        libraryCpu += cpuEnd - cpuMiddle;
    }
    auto ms = [&](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(state.iterations());
    };
    state.counters["ours_ms"] = ms(ours);
    state.counters["library_ms"] = ms(library);
    state.counters["ratio"] = ms(ours) / ms(library);
    // The processor time of each side: what the work costs whatever else the machine runs.
    state.counters["ours_cpu_ms"] = oursCpu * 1000.0 / static_cast<double>(state.iterations());
    state.counters["library_cpu_ms"] = libraryCpu * 1000.0 / static_cast<double>(state.iterations());
    state.counters["cpu_ratio"] = libraryCpu > 0 ? oursCpu / libraryCpu : 0.0;
    state.counters["catalogue_MiB"] = static_cast<double>(held) / (1024.0 * 1024.0);
    state.counters["pixels_MiB"] = static_cast<double>(fixture.pixelBytes) / (1024.0 * 1024.0);

    ResourceManager::setDirectDraw(nullptr);
    directDraw->Release();
}
BENCHMARK(BM_CatalogueOfPngPictures)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runWithGoals(argc, argv,
                               {{"BM_CatalogueOfPngPictures", "cpu_ratio", 1.5, true, "catalogue pass / bare loaders, CPU time"},
                                {"BM_CatalogueOfPngPictures", "ratio", 1.5, true, "catalogue pass / bare loaders, wall time"}});
}
