// The endless field as the player sees it after a seeded start, drawn with the staged data set's
// pictures: the easy level's first rows scrolled part way up and clipped to the field, the waiting row
// below them, the rock floor, and the elevator cart with gold and the miner in it. Rendered headless and
// compared pixel for pixel with the picture kept beside these tests. Set QUARRY_WRITE_GOLDEN to a file
// name to write what was drawn there (as a PPM) when the picture is meant to change; look at it first.
// First: the registry's declarations clash with a name ACE's headers define as a macro.
#include "compat/win32/registry/registry.h"
#include "game/block/Block.h"
#include "game/endless/EndlessActors.h"
#include "game/endless/EndlessLevel.h"
#include "game/stats/StatsManager.h"
#include "game/support/StagedDataSetTest.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

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

class EndlessGoldenTest : public gamefixture::StagedDataSetTest {
protected:
    void SetUp() override
    {
        StagedDataSetTest::SetUp();
        Block::setBlockSet(0);
        StatsManager::instance().distinctOwned = 0;
    }
    std::unique_ptr<Application> makeApp() override { return std::make_unique<StagedApp>(); }
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

    expectLooksAsKept(backBuffer, kWidth, kHeight, "endless_field_golden.png");
    canvas->removeSprite(cart);
}

} // namespace
