// The light band over the gold blocks, and the warning sign over a block in the top row.
#include "game/block/Block.h"
#include "game/effects/EffectsFixture.h"
#include "game/effects/Shine.h"
#include "game/effects/Warning.h"

#include <gtest/gtest.h>

using namespace gamefixture;

namespace {

class FieldEffectsTest : public EffectsFixture {
protected:
    void SetUp() override
    {
        EffectsFixture::SetUp();
        level = makeLevel();
    }

    Block* place(int type, int column, int row)
    {
        auto* block = new Block(level, column, row, type, 0, 1, true);
        level->setBlock(column, row, block);
        block->addToCanvas(canvas);
        return block;
    }

    // The mask byte of band row r is 10 r + 1; the band's strength is (alpha * 200) >> 8.
    static int expectedLevel(int bandRow, int alpha)
    {
        const int strength = (alpha * 200) >> 8;
        return ((10 * bandRow + 1) * strength) >> 8;
    }

    TestLevel* level = nullptr;
};

TEST_F(FieldEffectsTest, ShineLightsTheSliceOfTheBandOverEachGoldBlock)
{
    place(BlockTypeGold, 0, 1);
    place(BlockTypeGold, 2, 0);
    place(BlockTypeColour, 1, 0);
    Shine* shine = keep(new Shine(level));
    EXPECT_EQ(shine->getY(), kLevelY);
    EXPECT_EQ(shine->getWidth(), 1);
    EXPECT_EQ(shine->getHeight(), kRows * kBlockSize);
    // The band starts at the field's top in column 0, one block lower in column 2.
    Surface* target = make32(640, 480);
    target->fill(0);
    shine->draw(target);

    // Column 0, row 1: the block's top is at band row 16; the band (24 rows) ends 8 rows into it.
    const int x0 = kLevelX, y0 = kLevelY + kBlockSize;
    for (int r = 0; r < kBlockSize; ++r) {
        const std::uint32_t pixel = peek(target, x0, y0 + r) & 0xFF;
        if (r < kShineHeight - kBlockSize)
            EXPECT_NEAR(static_cast<int>(pixel), expectedLevel(kBlockSize + r, 255), 1) << r;
        else
            EXPECT_EQ(pixel, 0u) << r;
    }
    // Only as wide as the mask.
    EXPECT_NE(peek(target, x0 + kShineWidth - 1, y0) & 0xFF, 0u);
    EXPECT_EQ(peek(target, x0 + kShineWidth, y0) & 0xFF, 0u);
    // Column 2, row 0: the band starts two blocks below the field's top, below this block.
    EXPECT_EQ(peek(target, kLevelX + 2 * kBlockSize, kLevelY + kBlockSize - 1) & 0xFF, 0u);
    // The colour block is left alone.
    EXPECT_EQ(peek(target, kLevelX + kBlockSize, kLevelY) & 0xFF, 0u);

    // Moved down by 32 rows, the band's top half covers the block in column 2 (its top at band row 0),
    // at the play field's alpha.
    shine->setY(kLevelY + kBlockSize);
    shine->setAlpha(128);
    target->fill(0);
    shine->draw(target);
    EXPECT_EQ(peek(target, kLevelX + 2 * kBlockSize, kLevelY) & 0xFF, 0u);
    EXPECT_NEAR(static_cast<int>(peek(target, x0, kLevelY + 2 * kBlockSize - 1) & 0xFF), expectedLevel(15, 128), 1);
    EXPECT_EQ(peek(target, kLevelX + 2 * kBlockSize, kLevelY + 2 * kBlockSize) & 0xFF, 0u);

    shine->setAlpha(0);
    target->fill(0);
    shine->draw(target);
    EXPECT_EQ(peek(target, x0, y0) & 0xFF, 0u);
}

TEST_F(FieldEffectsTest, WarningDropsInAndFadesWhenItsBlockMoves)
{
    Block* block = place(BlockTypeColour, 2, 0);
    auto* warning = keep(new Warning(block, 70, -20, 10));
    canvas->addSprite(warning);
    EXPECT_EQ(warning->getName(), "SPRITE_WARNING");
    EXPECT_EQ(warning->getWidth(), 12);
    EXPECT_EQ(block->getRefCount(), 3) << "grid, canvas and warning";

    for (int i = 0; i < 120; ++i)
        frame();
    ASSERT_TRUE(warning->getModifiers().empty()) << "it has settled";
    EXPECT_EQ(warning->getBaseX(), 70);
    EXPECT_EQ(warning->getBaseY(), 10);
    EXPECT_GT(warning->getIntensity(), 0.0f);
    for (int i = 0; i < 200; ++i) {
        frame();
        ASSERT_GE(warning->getJitterX(), -1);
        ASSERT_LE(warning->getJitterX(), 1);
        ASSERT_EQ(warning->getX(), 70 + warning->getJitterX());
        ASSERT_EQ(warning->getY(), 10 + warning->getJitterY());
    }
    EXPECT_FLOAT_EQ(warning->getIntensity(), 1.0f) << "capped";

    // It follows the block's alpha.
    block->setAlpha(128);
    frame();
    EXPECT_EQ(warning->getAlpha(), (128 * ((128 * 255) >> 8)) >> 8);

    // The block falls to another row: the warning lets it go and fades away.
    block->setCell(2, 1);
    frame();
    EXPECT_EQ(warning->getBlock(), nullptr);
    EXPECT_EQ(block->getRefCount(), 2);
    EXPECT_LT(framesUntilGone(warning), 100);
}

TEST_F(FieldEffectsTest, WarningWithoutABlockShowsBrieflyAndFades)
{
    auto* warning = keep(new Warning(nullptr, 70, 0, 30));
    canvas->addSprite(warning);
    EXPECT_EQ(warning->getAlpha(), 255);
    const int frames = framesUntilGone(warning);
    EXPECT_GT(frames, 25);
    EXPECT_LT(frames, 200);
}

TEST_F(FieldEffectsTest, WarningOfARemovedBlockFades)
{
    Block* block = place(BlockTypeColour, 1, 0);
    auto* warning = keep(new Warning(block, 50, 0, 10));
    canvas->addSprite(warning);
    frame();
    block->setObsolete(true);
    frame();
    EXPECT_EQ(warning->getBlock(), nullptr);
    EXPECT_LT(framesUntilGone(warning), 100);
}

} // namespace
