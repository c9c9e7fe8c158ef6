// The block's companions: the icon that keeps its distance to the block, and the pipe block that mirrors
// its source with the axes crossed.
#include "game/block/BlockIcon.h"
#include "game/block/TempBlock.h"
#include "game/support/GameFixture.h"
#include "toolkit/sprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace gamefixture;

namespace {

class BlockCompanionsTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        level = makeLevel();
    }

    TestLevel* level = nullptr;
};

TEST_F(BlockCompanionsTest, IconStandsAtItsOffsetFromThePositionItIsGiven)
{
    Surface* picture = make32(6, 12);
    MemorySurface* map = makeMap(6, 12);
    Held<BlockIcon> icon(new BlockIcon(picture, map, 20, 20));
    EXPECT_EQ(icon->getName(), "SPRITE_BLOCK_ICON");
    EXPECT_EQ(icon->getWidth(), 6);
    EXPECT_EQ(icon->getHeight(), 12);
    icon->setPosition(100, 60);
    EXPECT_EQ(icon->getX(), 120);
    EXPECT_EQ(icon->getY(), 80);
    icon->setX(-30);
    EXPECT_EQ(icon->getX(), -10);
}

TEST_F(BlockCompanionsTest, PipeBlockCrossesTheAxesBetweenShiftAndDropPoints)
{
    // Shift point (300, 100), drop point (500, 200).
    struct Case {
        const char* what;
        int sourceX, sourceY;
        int x, y;
    };
    const Case cases[] = {
        {"at the shift point", 300, 100, 500, 200},
        {"10 left of it: 10 above the drop point", 290, 100, 500, 190},
        {"7 above it: 7 left of the drop point", 300, 93, 493, 200},
        {"past it", 320, 104, 504, 220},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Block* source = keep(new Block(level, 3, 0, BlockTypeColour, 2, 4, true));
        source->setPosition(c.sourceX, c.sourceY);
        auto* copy = keep(new TempBlock(level, source));
        EXPECT_EQ(copy->getX(), c.x);
        EXPECT_EQ(copy->getY(), c.y);
        EXPECT_EQ(copy->getType(), BlockTypeColour);
        EXPECT_EQ(copy->getColour(), 2);
        EXPECT_EQ(copy->getMultiplier(), 4);
        EXPECT_TRUE(copy->isEnabled());
        EXPECT_FLOAT_EQ(copy->getFade(), 0.0f);
    }
}

TEST_F(BlockCompanionsTest, PipeBlockFollowsItsSourceAndLeavesWithIt)
{
    auto* source = new Block(level, 3, 0, BlockTypeGold, 0, 1, true);
    source->addToCanvas(canvas);
    source->setPosition(300, 100);
    auto* copy = new TempBlock(level, source);
    copy->addToCanvas(canvas);
    Held<TempBlock> watch(copy);

    // Clipped to the pipe's window, icon included.
    const Rect clip(400, 50, 200, 300);
    EXPECT_EQ(*copy->getClipRect(), clip);
    ASSERT_NE(copy->getIcon(), nullptr);
    EXPECT_EQ(*copy->getIcon()->getClipRect(), clip);

    // The source slides along the pipe row: the copy drops.
    source->startSlide(1, 0.07f, 0.0f);
    for (int i = 0; i < 5; ++i) {
        frame();
        EXPECT_EQ(copy->getX(), 500 - (100 - source->getY()));
        EXPECT_EQ(copy->getY(), 200 - (300 - source->getX()));
        EXPECT_EQ(copy->getIcon()->getY(), copy->getY() + kBlockSize / 2 + 2);
    }

    // The copy keeps its source alive until it has left the canvas with it.
    Held<Block> keepSource(source);
    canvas->removeSprite(source);
    frame();
    EXPECT_TRUE(copy->isObsolete());
    EXPECT_EQ(copy->getCanvas(), nullptr);
    EXPECT_EQ(copy->getSource(), source);
}

} // namespace
