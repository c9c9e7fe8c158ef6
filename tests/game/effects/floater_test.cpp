// Score floaters: size from the text, the base y and offset kept apart, the colour running down the bar,
// and the shadow drawn under the text.
#include "game/effects/EffectsFixture.h"
#include "game/effects/Floater.h"

#include <gtest/gtest.h>

using namespace gamefixture;

namespace {

class FloaterTest : public EffectsFixture {};

TEST_F(FloaterTest, SizedToTheTextAndAnchoredAtTheTopCentre)
{
    Floater* floater = keep(new Floater("500", font, 100, 40));
    EXPECT_EQ(floater->getWidth(), font->measure("500") + 2);
    EXPECT_EQ(floater->getHeight(), font->getLineHeight() + 2);
    EXPECT_EQ(floater->getAbsoluteX(), 100 - floater->getWidth() / 2);
    EXPECT_EQ(floater->getAbsoluteY(), 40);
    EXPECT_EQ(*floater->getClipRect(), Rect(0, 0, 640, 480));
    EXPECT_EQ(floater->getColor(), kBarRows[0]);

    floater->setText("50000");
    EXPECT_EQ(floater->getWidth(), font->measure("50000") + 2);
}

TEST_F(FloaterTest, BaseAndOffsetNeverPlaceItAboveTheScreen)
{
    struct Case {
        int y, offset, shown;
    };
    for (const Case& c : {Case{-12, 0, 0}, Case{30, 0, 30}, Case{30, -20, 10}, Case{30, -50, 0}, Case{5, 7, 12}}) {
        SCOPED_TRACE(std::to_string(c.y) + " offset " + std::to_string(c.offset));
        Floater* floater = keep(new Floater("1", font, 10, 0));
        floater->setYOffset(c.offset);
        floater->setY(c.y);
        EXPECT_EQ(floater->getY(), c.shown);
        EXPECT_EQ(floater->getBaseY(), c.y);
    }
    // A scrolling field moves the offset; the base stays.
    Floater* floater = keep(new Floater("1", font, 10, 40));
    floater->setYOffset(-15);
    EXPECT_EQ(floater->getY(), 25);
    floater->setYOffset(0);
    EXPECT_EQ(floater->getY(), 40);
}

TEST_F(FloaterTest, ColourRunsDownTheBarAndWraps)
{
    Floater* floater = keep(new Floater("1", font, 10, 40));
    canvas->addSprite(floater);
    const std::uint32_t expected[] = {kBarRows[1], kBarRows[2], kBarRows[0], kBarRows[1]};
    for (std::uint32_t colour : expected) {
        frame();
        EXPECT_EQ(floater->getColor(), colour);
    }
    // Half-speed frames (a 100 frames per second display) take two frames a row.
    canvas->update(0.01f, 10, 100.0f);
    EXPECT_EQ(floater->getColor(), kBarRows[1]);
    canvas->update(0.01f, 10, 100.0f);
    EXPECT_EQ(floater->getColor(), kBarRows[2]);

    floater->setColorCycling(false);
    frame();
    EXPECT_EQ(floater->getColor(), kBarRows[2]);
}

TEST_F(FloaterTest, DrawsAShadowThenTheText)
{
    Floater* floater = keep(new Floater("1", font, 20, 10));
    const int x = floater->getAbsoluteX();
    const int y = floater->getAbsoluteY();
    Surface* target = make32(64, 64);
    target->fill(0x808080);
    floater->draw(target);
    // The text's first ink pixel and the shadow three pixels down and right of its lowest row.
    int inkX = -1, inkY = -1;
    for (int row = y; row < y + 8 && inkX < 0; ++row)
        for (int column = x; column < x + 8 && inkX < 0; ++column)
            if ((peek(target, column, row) & 0xFFFFFF) != 0x808080u) {
                inkX = column;
                inkY = row;
            }
    ASSERT_GE(inkX, 0) << "the text is drawn";
    const std::uint32_t ink = peek(target, inkX, inkY) & 0xFFFFFF;
    EXPECT_GE(ink >> 16, 0xF0u) << "red, the bar's first row";
    EXPECT_LT(ink & 0xFFFF, 0x1010u);
    // The shadow: black at two thirds of the alpha over the grey, where no text lies.
    const std::uint32_t shadow = peek(target, inkX + 3 + 3, inkY + 3 + 4) & 0xFFFFFF;
    EXPECT_LT(shadow & 0xFF, 0x40u);
    EXPECT_EQ(shadow & 0xFF, (shadow >> 8) & 0xFF) << "grey darkened, not tinted";

    // Alpha 0 draws nothing.
    Surface* empty = make32(64, 64);
    empty->fill(0x808080);
    floater->setAlpha(0);
    floater->draw(empty);
    for (int row = 0; row < 64; ++row)
        for (int column = 0; column < 64; ++column)
            ASSERT_EQ(peek(empty, column, row) & 0xFFFFFF, 0x808080u);
}

} // namespace
