// The field-cleared bonus: its points text, the arrow column, the drawing order it sets up and the
// whole show run to its end on the virtual clock.
#include "game/effects/ClearBonus.h"
#include "game/effects/EffectsFixture.h"
#include "game/effects/Floater.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/widget/TextSprite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace gamefixture;

namespace {

constexpr int kAreaX = 40, kAreaY = 24, kAreaW = 96, kAreaH = 300;

class ClearBonusTest : public EffectsFixture {
protected:
    ClearBonus* make(int points, int factor, int bottomY)
    {
        return keep(new ClearBonus(font, font, points, factor, kAreaX, kAreaY, kAreaW, kAreaH, bottomY));
    }

    std::vector<int> firstFrames(const ClearBonus* bonus) const
    {
        std::vector<int> frames;
        for (const BitmapSprite* arrow : bonus->getArrows())
            frames.push_back(arrow->getFrame());
        return frames;
    }
};

TEST_F(ClearBonusTest, PointsTextShowsTheFactorFromTwo)
{
    struct Case {
        int points, factor;
        const char* text;
    };
    for (const Case& c : {Case{500, 1, "+500"}, Case{500, 3, "+500x3"}, Case{70, 2, "+70x2"}, Case{0, 0, "+0"}}) {
        ClearBonus* bonus = make(c.points, c.factor, kAreaY + 200);
        EXPECT_EQ(bonus->getPoints()->getText(), c.text);
        EXPECT_EQ(bonus->getPoints()->getAlpha(), 0);
        EXPECT_EQ(bonus->getPoints()->getBaseY(), kClearBonusY + 40 + bonus->getHeadline()->getHeight());
    }
}

TEST_F(ClearBonusTest, ArrowColumnFillsUpToTheAreaTop)
{
    const int q = kArrowFrameHeight;
    ClearBonus* three = make(10, 1, kAreaY + 3 * q);
    ASSERT_EQ(three->getArrows().size(), 3u);
    EXPECT_EQ(firstFrames(three), (std::vector<int>{3, 2, 1}));
    const int centre = kAreaX + kAreaW / 2;
    EXPECT_EQ(three->getCentreX(), centre);
    for (std::size_t i = 0; i < 3; ++i) {
        const BitmapSprite* arrow = three->getArrows()[i];
        EXPECT_EQ(arrow->getX(), centre - kArrowWidth / 2);
        EXPECT_EQ(arrow->getY(), kAreaY + static_cast<int>(2 - i) * q);
        EXPECT_EQ(arrow->getHeight(), q);
        EXPECT_EQ(arrow->getAlpha(), 0);
        EXPECT_EQ(*arrow->getClipRect(), Rect(kAreaX, kAreaY, kAreaW, kAreaH));
    }
    // A column that ends between two rows still reaches above the top; everything above the third is 0.
    EXPECT_EQ(firstFrames(make(10, 1, kAreaY + 5 * q + 4)), (std::vector<int>{3, 2, 1, 0, 0, 0}));
    EXPECT_TRUE(make(10, 1, kAreaY)->getArrows().empty());
}

TEST_F(ClearBonusTest, ArrowPictureTooLowForItsFramesMakesNoColumn)
{
    addImage("IMAGE_ARROW", kArrowWidth, 3, 0x00C0C000);
    EXPECT_TRUE(make(10, 1, kAreaY + 200)->getArrows().empty());
}

TEST_F(ClearBonusTest, DrawingOrderIsArrowsBonusHeadlineFloater)
{
    addLayers({"LAYER_BLOCKS"});
    ClearBonus* bonus = make(500, 1, kAreaY + 3 * kArrowFrameHeight);
    canvas->addSprite(bonus);
    std::vector<const Sprite*> expected;
    expected.push_back(canvas->getSprites().front());
    for (const BitmapSprite* arrow : bonus->getArrows())
        expected.push_back(arrow);
    expected.push_back(bonus);
    expected.push_back(bonus->getHeadline());
    expected.push_back(bonus->getPoints());
    EXPECT_EQ(std::vector<const Sprite*>(canvas->getSprites().begin(), canvas->getSprites().end()), expected);
    EXPECT_EQ(bonus->getName(), "SPRITE_BONUS_ARROW");
}

TEST_F(ClearBonusTest, ArrowsFlashAsTheMarkerPassesThenThePointsRiseAndAllLeave)
{
    const int bottom = kAreaY + 10 * kArrowFrameHeight;
    ClearBonus* bonus = make(500, 2, bottom);
    canvas->addSprite(bonus);
    Floater* points = bonus->getPoints();
    TextSprite* headline = bonus->getHeadline();
    Held<Floater> keepPoints(points);
    Held<TextSprite> keepHeadline(headline);

    // The marker walks down; arrows light only once it has passed them.
    int frames = 0;
    int lowestHeadline = headline->getY();
    while (!bonus->isFinished() && frames < 500) {
        frame();
        ++frames;
        lowestHeadline = std::max(lowestHeadline, headline->getY());
        for (const BitmapSprite* arrow : bonus->getArrows())
            if (arrow->getCanvas() && arrow->getY() >= bonus->getY()) {
                EXPECT_EQ(arrow->getAlpha(), 0) << "not yet passed, frame " << frames;
            }
    }
    ASSERT_TRUE(bonus->isFinished());
    EXPECT_EQ(bonus->getY(), bottom);
    for (const BitmapSprite* arrow : bonus->getArrows())
        EXPECT_TRUE(!arrow->getCanvas() || arrow->getAlpha() > 0);
    EXPECT_EQ(headline->getAlpha(), 255);
    EXPECT_EQ(points->getAlpha(), 0);

    const int startY = points->getBaseY();
    int bestAlpha = 0;
    while (bonus->getCanvas() && frames < 1000) {
        frame();
        ++frames;
        bestAlpha = std::max(bestAlpha, points->getAlpha());
        lowestHeadline = std::max(lowestHeadline, headline->getY());
    }
    EXPECT_GE(lowestHeadline, kClearBonusY) << "the headline drops in and sways about its place";
    EXPECT_LE(lowestHeadline, kClearBonusY + 25);
    EXPECT_FALSE(bonus->getCanvas()) << "the marker leaves after its delay";
    EXPECT_EQ(bestAlpha, 255);
    EXPECT_LT(points->getBaseY(), startY) << "the points rise";
    EXPECT_GE(points->getBaseY(), startY - 35);

    // Headline and points fade out after the marker, and then the canvas is empty.
    framesUntilGone(points);
    framesUntilGone(headline);
    frame();
    EXPECT_TRUE(canvas->getSprites().empty());
}

} // namespace
