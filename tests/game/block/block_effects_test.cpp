// A block's timed and random effects: the rainbow's colour cycle (and the selection that follows it)
// and the gold block's sparkles.
#include "game/block/Block.h"
#include "game/effects/Sparkle.h"
#include "game/support/GameFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace gamefixture;

namespace {

class BlockEffectsTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        level = makeLevel();
    }

    // A block held by the level's grid and shown on the canvas.
    Block* place(int type, int colour, int column, int row)
    {
        auto* block = new Block(level, column, row, type, colour, 1, true);
        level->setBlock(column, row, block);
        block->addToCanvas(canvas);
        return block;
    }

    // The rainbow changes every kRainbowChangeTime fiftieths of a second: 25 frames of 20 ms.
    static constexpr int kFramesPerChange = kRainbowChangeTime * 50 / 20;

    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            frame();
    }

    Sparkle* findSparkle() const
    {
        for (Sprite* sprite : canvas->getSprites())
            if (auto* sparkle = dynamic_cast<Sparkle*>(sprite))
                return sparkle;
        return nullptr;
    }

    TestLevel* level = nullptr;
};

TEST_F(BlockEffectsTest, RainbowStepsThroughTheColoursTheLevelDeals)
{
    struct Case {
        const char* what;
        std::array<int, 5> ratios;
        int start;
        std::vector<int> colours;
    };
    const Case cases[] = {
        {"every colour", {1, 1, 1, 1, 1}, 3, {4, 0, 1}},
        {"colours 1 and 2 never dealt", {1, 0, 0, 1, 1}, 0, {3, 4, 0, 3}},
        // A broken definition without any colour must not hang the game: the colour steps plainly.
        {"no colour dealt", {0, 0, 0, 0, 0}, 4, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        level->setColourRatios(c.ratios);
        Block* rainbow = place(BlockTypeRainbow, c.start, 0, 4);
        for (int expected : c.colours) {
            frames(kFramesPerChange - 1);
            EXPECT_NE(rainbow->getColour(), expected) << "not before its time";
            rainbow->setDirty(false);
            frame();
            EXPECT_EQ(rainbow->getColour(), expected);
            EXPECT_TRUE(rainbow->isDirty()) << "the new colour must reach the screen";
        }
        level->setBlock(0, 4, nullptr);
        canvas->removeSprite(rainbow);
        canvas->removeObsolete();
    }
}

TEST_F(BlockEffectsTest, RainbowPictureShowsTheNewColour)
{
    Block* rainbow = place(BlockTypeRainbow, 1, 0, 4);
    Surface* target = make32(640, 480);
    rainbow->draw(target);
    EXPECT_EQ(peek(rainbow->getSurface(), 3, 3) & 0xFFFFFF, backColourPixel(0, 1, false));
    frames(kFramesPerChange);
    rainbow->draw(target);
    EXPECT_EQ(peek(rainbow->getSurface(), 3, 3) & 0xFFFFFF, backColourPixel(0, 2, false));
}

TEST_F(BlockEffectsTest, SelectionFollowsTheRainbowsNewColour)
{
    level->setColourRatios({1, 0, 0, 1, 1});
    Block* zero = place(BlockTypeColour, 0, 0, 4);
    Block* three = place(BlockTypeColour, 3, 1, 4);
    Block* rainbow = place(BlockTypeRainbow, 0, 2, 4);
    Block* bystander = place(BlockTypeRainbow, 0, 3, 4);
    level->setSelectionOrigin(rainbow);
    level->selectGroup(rainbow);
    ASSERT_EQ(zero->getState(), BlockStateSelected);
    ASSERT_EQ(three->getState(), BlockStateNormal);

    frames(kFramesPerChange);
    ASSERT_EQ(rainbow->getColour(), 3);
    EXPECT_EQ(level->getSelectionOrigin(), rainbow);
    EXPECT_EQ(rainbow->getState(), BlockStateSelected);
    EXPECT_EQ(three->getState(), BlockStateSelected);
    EXPECT_EQ(zero->getState(), BlockStateNormal);
    EXPECT_EQ(level->getSelectedCount(), 2);

    // A rainbow that is not the block under the mouse changes colour without touching the selection.
    EXPECT_EQ(bystander->getState(), BlockStateNormal);
    EXPECT_EQ(bystander->getColour(), 3);
}

TEST_F(BlockEffectsTest, OnlyAnOpaqueSelectedGoldBlockSparkles)
{
    addLayers({"LAYER_SPECIALBLOCKS", "LAYER_GOLD", "LAYER_SPARKLES"});
    struct Case {
        const char* what;
        int type, state, alpha;
        bool sparkles;
    };
    const Case cases[] = {
        {"selected gold", BlockTypeGold, BlockStateSelected, 255, true},
        {"gold", BlockTypeGold, BlockStateNormal, 255, false},
        {"fading gold", BlockTypeGold, BlockStateSelected, 254, false},
        {"selected treasure", BlockTypeTreasure, BlockStateSelected, 255, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Block* block = place(c.type, 0, 1, 2);
        block->setState(c.state);
        block->setAlpha(c.alpha);
        // Three in a thousand frames: 3000 frames all but guarantee one (and the seed fixes it).
        Sparkle* sparkle = nullptr;
        for (int i = 0; i < 3000 && !sparkle; ++i) {
            frame();
            sparkle = findSparkle();
        }
        EXPECT_EQ(sparkle != nullptr, c.sparkles);
        if (sparkle) {
            // The 8-pixel star of 4 frames, at (-8 / 2, -(8 / 4) / 2) from the block.
            EXPECT_EQ(sparkle->getFollowed(), block);
            EXPECT_EQ(sparkle->getX(), block->getX() - 4);
            EXPECT_EQ(sparkle->getY(), block->getY() - 1);
            EXPECT_EQ(sparkle->getAlpha(), 200);
            EXPECT_EQ(canvas->indexOf(sparkle) + 1, canvas->indexOf(canvas->findSprite("LAYER_SPARKLES")));
        }
        level->setBlock(1, 2, nullptr);
        canvas->removeSprite(block);
        frames(200);
        EXPECT_EQ(findSparkle(), nullptr) << "a sparkle leaves with its block";
    }
}

} // namespace
