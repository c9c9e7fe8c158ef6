// A small field as the player sees it, drawn with the staged data set's pictures and fonts: blocks of
// several kinds, a score floater and a warning sign, rendered headless into a back buffer and compared
// pixel for pixel with the picture kept beside these tests. Set QUARRY_WRITE_GOLDEN to a file name to
// write what was drawn there (as a PPM) when the picture is meant to change; look at it before keeping.
#include "compat/win32/registry/registry.h"
#include "game/block/Block.h"
#include "game/effects/Floater.h"
#include "game/effects/Warning.h"
#include "game/level/Level.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/ImageLoader.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/Random.h"
#include "support/StagedDataSet.h"
#include "support/TempDir.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

constexpr int kWidth = 224;
constexpr int kHeight = 144;
constexpr int kCell = 32;

class StagedApp : public Application {
public:
    StagedApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
};

// Five columns by three rows of the data set's 32-pixel blocks.
class SceneLevel : public Level {
public:
    SceneLevel()
    {
        setPosition(32, 40);
        bounds.width = 5;
        bounds.height = 3;
        blockWidth = kCell;
        blockHeight = kCell;
        grid.resize(5, 3);
        for (int& ratio : colourRatio)
            ratio = 1;
    }
    void extendLevel(int) override {}
    void createInitialLines() override {}
    Block* createNextBlock(int, int) override { return nullptr; }
    void insertRow() override {}
};

class GoldenFieldTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        compat::testing::setRegistryFile(registry.file("registry"));
        app = std::make_unique<StagedApp>();
        data = std::make_unique<testsupport::StagedDataSet>(QUARRY_RUN_DIR);
        Random::global().setSeed(7);
        Block::setBlockSet(0);
    }

    void TearDown() override
    {
        data.reset();
        app.reset();
        DisplayTest::TearDown();
    }

    static std::filesystem::path goldenPath()
    {
        return (std::filesystem::path(QUARRY_TESTS_DIR) / "game") / "field_scene_golden.png";
    }

    static void writePpm(Surface* picture, const char* file)
    {
        std::ofstream out(file, std::ios::binary);
        out << "P6\n" << kWidth << " " << kHeight << "\n255\n";
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const std::uint32_t p = peek(picture, x, y);
                const char rgb[3] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)};
                out.write(rgb, 3);
            }
    }

    testsupport::TempDir registry;
    std::unique_ptr<StagedApp> app;
    std::unique_ptr<testsupport::StagedDataSet> data;
};

TEST_F(GoldenFieldTest, BlocksFloaterAndWarningLookAsKept)
{
    Held<SpriteCanvas> canvas(new SpriteCanvas(kWidth, kHeight, kWidth, kHeight));
    Held<SceneLevel> level(new SceneLevel);
    // Colour blocks of every colour (one with a multiplier), gold, a blocker and a bomb.
    struct Cell {
        int column, row, type, colour, multiplier;
    };
    const Cell cells[] = {{0, 2, BlockTypeColour, 0, 1}, {1, 2, BlockTypeColour, 1, 1}, {2, 2, BlockTypeColour, 2, 2},
                          {3, 2, BlockTypeColour, 3, 1}, {4, 2, BlockTypeColour, 4, 1}, {0, 1, BlockTypeGold, 0, 1},
                          {1, 1, BlockTypeColour, 1, 1}, {2, 1, BlockTypeBlocker, 0, 1}, {3, 1, BlockTypeBomb, 0, 1},
                          {4, 1, BlockTypeColour, 4, 1}, {4, 0, BlockTypeColour, 2, 1}};
    Block* top = nullptr;
    for (const Cell& c : cells) {
        auto* block = new Block(level.get(), c.column, c.row, c.type, c.colour, c.multiplier, true);
        level->setBlock(c.column, c.row, block);
        block->addToCanvas(canvas.get());
        if (c.row == 0)
            top = block;
    }
    ASSERT_NE(top, nullptr);
    BitmapFont* floaterFont = ResourceManager::getFont("FONT_FLOATER");
    ASSERT_NE(floaterFont, nullptr) << "the staged data set's floater font";
    auto* floater = new Floater("+120x2", floaterFont, 96, 60);
    canvas->addSprite(floater);
    auto* warning = new Warning(top, 32 + 4 * kCell + 2, 10, 10);
    canvas->addSprite(warning);
    ASSERT_NE(warning->getSurface(), nullptr) << "the staged data set's warning sign";

    Surface* backBuffer = make32(kWidth, kHeight);
    backBuffer->fill(0x1B1410);
    canvas->render(backBuffer);

    if (const char* file = std::getenv("QUARRY_WRITE_GOLDEN"))
        writePpm(backBuffer, file);

    SurfaceDesc desc = sourceImageDesc();
    DirectDrawSurface* golden = decodeImageFromFile(ResourceManager::getDirectDraw(), goldenPath().string(), desc);
    ASSERT_NE(golden, nullptr) << goldenPath();
    golden->addRef();
    held.push_back(golden);
    ASSERT_EQ(golden->getDesc().width, static_cast<std::uint32_t>(kWidth));
    ASSERT_EQ(golden->getDesc().height, static_cast<std::uint32_t>(kHeight));
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if ((peek(backBuffer, x, y) & 0xFFFFFF) != (peek(golden, x, y) & 0xFFFFFF) && ++differing <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): drawn " << std::hex << (peek(backBuffer, x, y) & 0xFFFFFF)
                              << ", kept " << (peek(golden, x, y) & 0xFFFFFF);
    EXPECT_EQ(differing, 0);
}

} // namespace
