// One frame of a full play field during a game, drawn with the staged data set's pictures: every cell
// of the 12 x 11 field holds a block (gold among them, with their sparkles), a group of six is fading
// out as a removal does, score floaters rise with their colours running, and sparkles play. The
// "canvas" side updates and draws it all through the sprite canvas into a 640 x 480 back buffer; the
// "direct" side draws the same pictures (the blocks' own surfaces, the floaters' text, the sparkle
// masks) at the same places straight through the raster routines. A summary prints both frame times
// (CPU) and canvas / direct (goal: 1.5 or less). The endless pair does the same while the whole field
// scrolls up a pixel a frame (every block moves, clipped to the field), as the endless mode's field does.
#include "bench/support/Goals.h"
#include "game/block/Block.h"
#include "game/effects/Floater.h"
#include "game/effects/Sparkle.h"
#include "game/level/Level.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/raster/Blend.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/Random.h"
#include "tests/support/StagedDataSet.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kColumns = 12;
constexpr int kRows = 11;
constexpr int kCell = 32;
constexpr int kFieldX = 64;
constexpr int kFieldY = 64;
constexpr int kFloaters = 4;
constexpr int kSparkles = 8;

class BenchApp : public Application {
public:
    BenchApp() : Application(1, "Quarrytide Bench", "1.1.0", "Quarrytide Bench", 50, 2000) {}
};

class FieldLevel : public Level {
public:
    FieldLevel()
    {
        setPosition(kFieldX, kFieldY);
        bounds.width = kColumns;
        bounds.height = kRows;
        blockWidth = kCell;
        blockHeight = kCell;
        grid.resize(kColumns, kRows);
        for (int& ratio : colourRatio)
            ratio = 1;
    }
    void extendLevel(int) override {}
    void createInitialLines() override {}
    Block* createNextBlock(int, int) override { return nullptr; }
    void insertRow() override {}
};

// The staged data set, loaded the way the game loads it.
struct DataSet {
    DataSet()
    {
        app = std::make_unique<BenchApp>();
        data = std::make_unique<testsupport::StagedDataSet>(QUARRY_RUN_DIR);
    }
    ~DataSet()
    {
        data.reset();
    }
    std::unique_ptr<BenchApp> app;
    std::unique_ptr<testsupport::StagedDataSet> data;
};

DataSet& dataSet()
{
    static DataSet loaded;
    return loaded;
}

// The field on its canvas, with the moving parts restarted as they run out so that every frame does
// the same work.
struct Field {
    explicit Field(bool scrollingField = false) : scrolling(scrollingField)
    {
        dataSet();
        Random::global().setSeed(11);
        Block::setBlockSet(0);
        IDirectDraw4* dd = ResourceManager::getDirectDraw();
        back = createDirectDrawSurface(dd, kWidth, kHeight);
        back->addRef();
        background = createDirectDrawSurface(dd, kWidth, kHeight);
        background->addRef();
        background->fill(0x3A2A20);
        canvas = new SpriteCanvas(kWidth, kHeight, kWidth, kHeight);
        canvas->addRef();
        canvas->setBackground(background);
        for (const char* layer : {"LAYER_BLOCKS", "LAYER_SPECIALBLOCKS", "LAYER_SPARKLES", "LAYER_FLOATERS"}) {
            auto* marker = new Sprite(0, 0, 0, 0);
            marker->setName(layer);
            canvas->addSprite(marker);
        }
        level = new FieldLevel;
        level->addRef();
        Random& random = Random::global();
        for (int row = 0; row < kRows; ++row)
            for (int column = 0; column < kColumns; ++column) {
                const bool gold = (row * kColumns + column) % 13 == 5;
                const bool group = row >= 8 && row < 10 && column >= 4 && column < 7;
                const int colour = group ? 2 : random.nextInt(5);
                const int multiplier = !gold && random.nextInt(12) == 0 ? 2 : 1;
                auto* block = new Block(level, column, row, gold ? BlockTypeGold : BlockTypeColour, colour,
                                        multiplier, true);
                level->setBlock(column, row, block);
                if (scrolling)
                    block->setClipRect(kFieldX, kFieldY, kColumns * kCell, kRows * kCell);
                block->addToCanvas(canvas);
                if (group) {
                    block->setState(BlockStateRemoving);
                    removing.push_back(block);
                }
            }
        font = ResourceManager::getFont("FONT_FLOATER");
        sparkleMask = ResourceManager::getMask("IMAGE_SPARKLE_BIG_ALPHA");
        Sprite* floaterLayer = canvas->findSprite("LAYER_FLOATERS");
        for (int i = 0; i < kFloaters; ++i) {
            auto* floater = new Floater("+" + std::to_string(120 * (i + 1)) + "x2", font, 120 + 90 * i, 200 + 20 * i);
            floater->addRef();
            canvas->addSpriteBefore(floater, floaterLayer);
            floaters.push_back(floater);
        }
        // Draw once so that every block has rendered its own picture.
        canvas->update(0.02f, 20, 50.0f);
        canvas->render(back);
    }

    ~Field()
    {
        for (Floater* floater : floaters)
            floater->release();
        canvas->removeAll();
        canvas->release();
        level->release();
        back->release();
        background->release();
    }

    // The removal fades, the floaters rise and the sparkles play; each starts again once it has run.
    void keepMoving()
    {
        for (Block* block : removing)
            if (block->getModifiers().empty()) {
                block->setAlpha(255);
                ModifierAlpha::start(block, 255, 0, 0.04f, Modifier::OptionBlocking);
            }
        for (Floater* floater : floaters)
            if (floater->getModifiers().empty())
                ModifierLocationLine::start(floater, floater->getX(), 240, floater->getX(), 180, 0.02f,
                                            Modifier::OptionBlocking);
        int running = 0;
        for (Sprite* sprite : canvas->getSprites())
            running += dynamic_cast<Sparkle*>(sprite) != nullptr;
        Sprite* sparkleLayer = canvas->findSprite("LAYER_SPARKLES");
        for (int i = running; i < kSparkles; ++i) {
            Block* host = level->getBlock((i * 5 + sparkleCount) % kColumns, (i * 3 + sparkleCount) % kRows);
            auto* star = new Sparkle(host, sparkleMask, 4, 4, -1, i % 2 == 0);
            canvas->addSpriteBefore(star, sparkleLayer);
            ++sparkleCount;
        }
    }

    // The endless field scrolls up a pixel a frame, one block height round and round.
    void scrollField()
    {
        if (!scrolling)
            return;
        scroll = (scroll + 1) % kCell;
        for (int row = 0; row < kRows; ++row)
            for (int column = 0; column < kColumns; ++column)
                level->getBlock(column, row)->setY(kFieldY + row * kCell + kCell - scroll);
    }

    void canvasFrame()
    {
        scrollField();
        keepMoving();
        canvas->update(0.02f, 20, 50.0f);
        canvas->render(back);
    }

    // The same pictures at the same places, straight through the raster routines.
    void directFrame()
    {
        scrollField();
        drawSurfaceClipped(background, back, 0, 0);
        for (int row = 0; row < kRows; ++row)
            for (int column = 0; column < kColumns; ++column) {
                Block* block = level->getBlock(column, row);
                Surface* image = block->getSurface();
                const int alpha = block->getAlpha();
                if (alpha >= 255)
                    blitAlphaMask(image, 0, 0, kCell, kCell, back, block->getAbsoluteX(), block->getAbsoluteY(),
                                  block->getMask());
                else if (alpha > 0)
                    blitBlendDispatch(image, 0, 0, kCell, kCell, back, block->getAbsoluteX(), block->getAbsoluteY(),
                                      block->getMask(), static_cast<std::uint8_t>(alpha));
            }
        const std::uint32_t white = 0xFFFFFF;
        const std::uint32_t tint = back->getDesc().format.packPixel(&white);
        const int frameHeight = static_cast<int>(sparkleMask->getDesc().height) / 6;
        for (int i = 0; i < kSparkles; ++i)
            blitTinted(sparkleMask, 0, frameHeight * (i % 6), static_cast<int>(sparkleMask->getDesc().width),
                       frameHeight, back, 100 + 37 * i, 90 + 29 * i, tint, 200);
        for (Floater* floater : floaters) {
            const std::uint32_t ink = floater->getColor();
            font->drawStringTinted(back, floater->getAbsoluteX() + 3, floater->getAbsoluteY() + 3, floater->getText(), 0,
                                   168);
            font->drawStringTinted(back, floater->getAbsoluteX(), floater->getAbsoluteY(), floater->getText(),
                                   back->getDesc().format.packPixel(&ink), 255);
        }
    }

    Surface* back = nullptr;
    Surface* background = nullptr;
    SpriteCanvas* canvas = nullptr;
    FieldLevel* level = nullptr;
    BitmapFont* font = nullptr;
    MemorySurface* sparkleMask = nullptr;
    std::vector<Block*> removing;
    std::vector<Floater*> floaters;
    int sparkleCount = 0;
    bool scrolling = false;
    int scroll = 0;
};

void canvasFrame(benchmark::State& state)
{
    Field field;
    for (auto _ : state)
        field.canvasFrame();
}

void directFrame(benchmark::State& state)
{
    Field field;
    for (auto _ : state)
        field.directFrame();
}

void endlessCanvasFrame(benchmark::State& state)
{
    Field field(true);
    for (auto _ : state)
        field.canvasFrame();
}

void endlessDirectFrame(benchmark::State& state)
{
    Field field(true);
    for (auto _ : state)
        field.directFrame();
}

// The console report, then the two frame times and canvas / direct, then the goals.
class RatioReporter : public bench::GoalReporter {
public:
    explicit RatioReporter(std::vector<bench::RatioGoal> goals) : GoalReporter({}, std::move(goals)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        GoalReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.iterations == 0 || run.run_type != Run::RT_Iteration)
                continue;
            // CPU time: the machine the benchmarks run on is often shared, which wall time would show.
            times[run.benchmark_name()] = run.cpu_accumulated_time / static_cast<double>(run.iterations) * 1e3;
        }
    }

protected:
    void printSummary() override
    {
        summary("full field frame", "canvas", "direct");
        summary("endless field frame", "endless_canvas", "endless_direct");
    }

private:
    void summary(const char* what, const std::string& canvasName, const std::string& directName) const
    {
        const auto canvas = times.find(canvasName), direct = times.find(directName);
        if (canvas == times.end() || direct == times.end())
            return;
        std::printf("\n%s: canvas %.3f ms, direct %.3f ms, ratio %.2f\n", what, canvas->second, direct->second,
                    canvas->second / direct->second);
    }

    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::RegisterBenchmark("canvas", canvasFrame)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("direct", directFrame)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("endless_canvas", endlessCanvasFrame)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("endless_direct", endlessDirectFrame)->Unit(benchmark::kMillisecond);
    RatioReporter reporter({{"canvas", "direct", true, 1.5, true, "full field frame: canvas / direct"},
                            {"endless_canvas", "endless_direct", true, 1.5, true, "endless field frame: canvas / direct"}});
    return bench::runWithReporter(argc, argv, reporter);
}
