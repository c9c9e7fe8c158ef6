// Blocks in motion: falls and slides frame by frame, shaking and its return home, the scroll remainder,
// and a block that outlives its level.
#include "game/block/Block.h"
#include "game/block/BlockIcon.h"
#include "game/support/GameFixture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace gamefixture;

namespace {

class BlockMotionTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        level = makeLevel();
    }

    Block* onCanvas(int type, int column, int row)
    {
        Block* block = keep(new Block(level, column, row, type, 0, 1, true));
        block->addToCanvas(canvas);
        return block;
    }

    // Frames until the move has ended (at most 200).
    template <class Moving> int framesUntilStill(Moving moving, int ms)
    {
        int frames = 0;
        while (moving() && frames < 200) {
            frame(ms);
            ++frames;
        }
        return frames;
    }

    TestLevel* level = nullptr;
};

int columnX(int column)
{
    return kLevelX + column * kBlockSize;
}

int rowY(int row)
{
    return kLevelY + row * kBlockSize;
}

TEST_F(BlockMotionTest, FallsAccelerateAndEndExactlyOnTheTargetRow)
{
    // Progress grows by the speed, the speed by 0.002, both per nominal frame: downward from 0.07 the
    // progress passes 1 at the 13th frame (0.91 + 0.156), upward from 0.12 at the 8th (0.96 + 0.056).
    struct Case {
        const char* what;
        int fromRow, toRow, ms;
        int firstY, frames;
    };
    const Case cases[] = {
        {"down", 1, 3, 20, 42, 13},       // 40 + 32 * 0.07
        {"up", 3, 1, 20, 68, 8},          // 72 - 32 * 0.12
        {"down, 40 ms", 1, 3, 40, 44, 7}, // twice the step per frame: 40 + 32 * 0.14
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Block* block = onCanvas(BlockTypeColour, 0, c.fromRow);
        block->startFall(c.toRow);
        EXPECT_EQ(block->getRow(), c.toRow) << "the cell changes at once";
        EXPECT_FLOAT_EQ(block->getFallSpeed(), c.toRow < c.fromRow ? 0.12f : 0.07f);
        EXPECT_EQ(block->getY(), rowY(c.fromRow));
        frame(c.ms);
        EXPECT_EQ(block->getY(), c.firstY);
        const int rest = framesUntilStill([&] { return block->isFalling(); }, c.ms);
        EXPECT_EQ(1 + rest, c.frames);
        EXPECT_EQ(block->getY(), rowY(c.toRow));
        frame(c.ms);
        EXPECT_EQ(block->getY(), rowY(c.toRow)) << "a finished fall stays put";
    }
}

TEST_F(BlockMotionTest, FallFollowsALevelThatMoves)
{
    Block* block = onCanvas(BlockTypeGold, 0, 1);
    block->startFall(3);
    frame();
    frame();
    level->setY(level->getY() + 10);
    const int rest = framesUntilStill([&] { return block->isFalling(); }, 20);
    EXPECT_EQ(2 + rest, 13) << "the move keeps its pace";
    EXPECT_EQ(block->getY(), rowY(3) + 10);
    EXPECT_EQ(block->getIcon()->getY(), block->getY() + kBlockSize / 2 + 2) << "the icon comes along";
}

TEST_F(BlockMotionTest, SlidesEaseWithoutAccelerationAndEndOnTheTargetColumn)
{
    struct Case {
        const char* what;
        float speed, acceleration;
        int xAfterSeven, frames;
    };
    const Case cases[] = {
        // Gravity closing a column: eased, 0.49 after seven frames eases to 0.485 of 48 pixels.
        {"eased", 0.07f, 0.0f, 56 + 23, 15},
        // Row insertion: linear, 0.14 + 0.00085 * 42 = 0.1757 of 48 pixels after seven frames.
        {"linear", 0.02f, 0.0017f, 56 + 8, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Block* block = onCanvas(BlockTypeColour, 1, 4);
        block->startSlide(4, c.speed, c.acceleration);
        EXPECT_EQ(block->getColumn(), 4);
        EXPECT_EQ(block->getX(), columnX(1));
        for (int i = 0; i < 7; ++i)
            frame();
        EXPECT_EQ(block->getX(), c.xAfterSeven);
        const int rest = framesUntilStill([&] { return block->isSliding(); }, 20);
        EXPECT_EQ(7 + rest, c.frames);
        EXPECT_EQ(block->getX(), columnX(4));
    }
}

TEST_F(BlockMotionTest, ShakingRowsJitterAndComeHomeWhenStopped)
{
    level->setShakingRowCount(2);
    Block* shaking = onCanvas(BlockTypeGold, 1, 1);
    Block* still = onCanvas(BlockTypeColour, 1, 2);
    ASSERT_TRUE(shaking->isShaking());
    ASSERT_FALSE(still->isShaking());

    std::set<int> seenX, seenY;
    for (int i = 0; i < 60; ++i) {
        frame();
        seenX.insert(shaking->getShakeX());
        seenY.insert(shaking->getShakeY());
        ASSERT_EQ(shaking->getX(), columnX(1) + shaking->getShakeX());
        ASSERT_EQ(shaking->getY(), rowY(1) + shaking->getShakeY());
        ASSERT_EQ(shaking->getIcon()->getX(), shaking->getX() + kBlockSize / 2 + 1);
        ASSERT_EQ(still->getX(), columnX(1));
        ASSERT_EQ(still->getY(), rowY(2));
    }
    EXPECT_EQ(seenX, (std::set<int>{0, 1}));
    EXPECT_EQ(seenY, (std::set<int>{-1, 0}));

    shaking->setShaking(false);
    EXPECT_EQ(shaking->getShakeX(), 0);
    EXPECT_EQ(shaking->getShakeY(), 0);
    EXPECT_EQ(shaking->getX(), columnX(1));
    EXPECT_EQ(shaking->getY(), rowY(1));
    EXPECT_EQ(shaking->getIcon()->getX(), columnX(1) + kBlockSize / 2 + 1);

    // Moving a block out of the shaking rows stops it too.
    still->setCell(1, 1);
    EXPECT_TRUE(still->isShaking());
    still->setCell(1, 3);
    EXPECT_FALSE(still->isShaking());
}

TEST_F(BlockMotionTest, DrawnYAddsTheLevelsScrollRemainder)
{
    Block* block = onCanvas(BlockTypeTnt, 0, 1);
    struct Case {
        double remainder;
        int y;
    };
    for (const Case& c : {Case{0.0, 40}, Case{0.75, 40}, Case{5.5, 45}, Case{-0.5, 39}, Case{-1.25, 38}}) {
        SCOPED_TRACE("remainder " + std::to_string(c.remainder));
        level->remainder = c.remainder;
        block->setY(40);
        EXPECT_EQ(block->getHomeY(), 40);
        EXPECT_EQ(block->getY(), c.y);
        EXPECT_EQ(block->getIcon()->getY(), c.y + kBlockSize / 2 + 2);
    }
}

TEST_F(BlockMotionTest, BlockOutlivingItsLevelTouchesNoCounter)
{
    for (bool levelGone : {false, true}) {
        SCOPED_TRACE(levelGone ? "level destroyed" : "level alive");
        auto* own = new TestLevel;
        own->addRef();
        own->remainder = 3.0;
        auto* block = new Block(own, 0, 2, BlockTypeColour, 1, 1, true);
        block->addRef();
        block->addToCanvas(canvas);
        block->setState(BlockStateRemoving);
        own->setRemovingCount(1);
        block->startFall(4);
        frame();

        if (levelGone) {
            own->release();
            EXPECT_FALSE(block->isLevelAlive());
            // Neither the fall, the scroll remainder nor the removal reach the level any more.
            frame();
            block->setY(40);
            EXPECT_EQ(block->getY(), 40);
        }
        canvas->removeSprite(block);
        canvas->removeObsolete();
        EXPECT_EQ(block->getState(), BlockStateRemoved);
        if (!levelGone) {
            EXPECT_EQ(own->getRemovingCount(), 0);
            own->release();
        }
        block->release();
    }
}

} // namespace
