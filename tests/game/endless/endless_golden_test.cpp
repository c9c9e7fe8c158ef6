// The endless field as the player sees it after a seeded start, drawn with the staged data set's
// pictures: the easy level's first rows scrolled part way up and clipped to the field, the waiting row
// below them, the rock floor, and the elevator cart with gold and the miner in it. Rendered headless and
// compared pixel for pixel with the picture kept beside these tests. Set QUARRY_WRITE_GOLDEN to a file
// name to write what was drawn there (as a PPM) when the picture is meant to change; look at it first.
#include "compat/win32/registry/registry.h"
#include "game/block/Block.h"
#include "game/endless/EndlessActors.h"
#include "game/endless/EndlessLevel.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/ImageLoader.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/Random.h"
#include "support/StagedDataSet.h"
#include "support/TempDir.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/sprite/XmlCreation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// The generator reads the multiplier cap from the application's store: the data set's value.
class StagedApp : public Application {
public:
    StagedApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000)
    {
        propertyManager = new PropertyManager(nullptr);
        propertyManager->addRef();
        const std::string text = std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
                                 PropertyManager::kSchemaLocation +
                                 "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n"
                                 "<Integer id=\"INT_MAX_MULTIPLIER\">8</Integer>\n</Properties>\n";
        propertyManager->parse(text.c_str());
    }
};

class EndlessGoldenTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        compat::testing::setRegistryFile(registry.file("registry"));
        app = std::make_unique<StagedApp>();
        data = std::make_unique<testsupport::StagedDataSet>(QUARRY_RUN_DIR);
        Random::global().setSeed(7);
        Block::setBlockSet(0);
        StatsManager::instance().distinctOwned = 0;
    }

    void TearDown() override
    {
        data.reset();
        app.reset();
        DisplayTest::TearDown();
    }

    static std::filesystem::path goldenPath()
    {
        return (std::filesystem::path(QUARRY_TESTS_DIR) / "game") / "endless_field_golden.png";
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

TEST_F(EndlessGoldenTest, SeededStartLooksAsKept)
{
    Held<SpriteCanvas> canvas(new SpriteCanvas(kWidth, kHeight, kWidth, kHeight));
    const TiXmlElement* element = findLayoutElement("LEVEL_EASY_ENDLESS");
    ASSERT_NE(element, nullptr) << "the data set's easy endless level";
    auto* level = dynamic_cast<EndlessLevel*>(static_cast<RefObject*>(EndlessLevel::create(element)));
    ASSERT_NE(level, nullptr);
    Held<EndlessLevel> holder(level);
    level->setLevelNumber(1);
    level->startLevel();
    level->createInitialLines();
    const Rect& clip = getResourceRect("RECT_LEVEL_BLOCKS_CLIP_RECT_ENDLESS");
    for (int i = 0; i < level->getColumns(); ++i)
        if (Block* block = level->makeWaitingBlock()) {
            block->setClipRectFrom(&clip);
            block->addToCanvas(canvas.get());
        }
    for (int y = 0; y < level->getRows(); ++y)
        for (int x = 0; x < level->getColumns(); ++x)
            if (Block* block = level->getBlock(x, y)) {
                block->setClipRectFrom(&clip);
                block->addToCanvas(canvas.get());
            }
    level->setScrollPosition(-100.0);

    SurfaceHolder* floor = ResourceManager::getImage("IMAGE_GAME_ENDLESS_MINE_BOTTOM");
    ASSERT_NE(floor, nullptr);
    auto* bottom = new BitmapSprite(floor->getSurface(), floor->getMask());
    bottom->fitSizeToImage();
    bottom->setPosition(level->getX(), level->getY() + (level->getRows() + 1) * level->getBlockHeight() -
                                           bottom->getHeight());
    canvas->addSprite(bottom);

    auto* miner = new JackEndless;
    miner->addStateFlags(Sprite::StateRelative);
    auto* cart = new MineCartEndless(1, miner);
    cart->setGoldLevel(2);
    cart->setPosition(getResourceInt("INT_GAME_WIDTH") - cart->getWidth() - 40, 120);
    canvas->addSprite(cart);
    canvas->addSpriteAfter(miner, cart);
    miner->setPose(1);

    Surface* backBuffer = make32(kWidth, kHeight);
    backBuffer->fill(0x1B1410);
    canvas->update(0.02f, 20, 50.0f);
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
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): drawn " << std::hex
                              << (peek(backBuffer, x, y) & 0xFFFFFF) << ", kept " << (peek(golden, x, y) & 0xFFFFFF);
    EXPECT_EQ(differing, 0);
    canvas->removeSprite(cart);
}

} // namespace
