// A small field as the player sees it, drawn with the staged data set's pictures and fonts: blocks of
// several kinds, a score floater and a warning sign, rendered headless into a back buffer and compared
// pixel for pixel with the picture kept beside these tests. Set QUARRY_WRITE_GOLDEN to a file name to
// write what was drawn there (as a PPM) when the picture is meant to change; look at it before keeping.
// First: the registry's declarations clash with a name ACE's headers define as a macro.
#include "compat/win32/registry/registry.h"
#include "game/block/Block.h"
#include "game/effects/Floater.h"
#include "game/effects/Warning.h"
#include "game/support/GameFixture.h"
#include "game/support/StagedDataSetTest.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 224;
constexpr int kHeight = 144;
constexpr int kCell = 32;

class GoldenFieldTest : public gamefixture::StagedDataSetTest {
protected:
    void SetUp() override
    {
        StagedDataSetTest::SetUp();
        Block::setBlockSet(0);
    }
};

// Five columns by three rows of the data set's 32-pixel blocks.
class SceneLevel : public gamefixture::TestLevel {
public:
    SceneLevel() : TestLevel(32, 40, 5, 3, kCell) {}
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

    expectLooksAsKept(backBuffer, kWidth, kHeight, "field_scene_golden.png");
}

} // namespace
