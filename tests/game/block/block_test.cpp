// Blocks: what each type is made of (mask, icon, icon place and frames), what it renders for each type
// and state, the multiplier text, the block-set fallback, missing pictures and the fade-in.
#include "game/block/Block.h"
#include "game/block/BlockIcon.h"
#include "game/support/GameFixture.h"
#include "toolkit/sprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace gamefixture;

namespace {

class BlockTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        level = makeLevel();
        target = make32(640, 480);
        target->fill(0);
    }

    Block* makeBlock(int type, int colour = 0, int multiplier = 1, bool enabled = true, int column = 2, int row = 1)
    {
        return keep(new Block(level, column, row, type, colour, multiplier, enabled));
    }

    // The own surface's pixel at the block's centre, after a draw (which renders what changed).
    std::uint32_t rendered(Block* block)
    {
        block->draw(target);
        return peek(block->getSurface(), kBlockSize / 2, kBlockSize / 2) & 0xFFFFFF;
    }

    static std::uint32_t iconPixel(Block* block)
    {
        return peek(block->getIcon()->getSurface(), 3, 3) & 0xFFFFFF;
    }

    static MemorySurface* catalogueMask(const char* id) { return ResourceManager::getImage(id)->getMask(); }

    TestLevel* level = nullptr;
    Surface* target = nullptr;
};

TEST_F(BlockTest, EachTypeHasItsMaskAndIconInItsPlace)
{
    struct Case {
        int type;
        const char* maskOf; // null: an own map, all zero
        bool icon;
        int centreX, centreY; // from the block's position: half the block plus the type's offsets
    };
    const Case cases[] = {
        {BlockTypeColour, nullptr, false, 0, 0},
        {BlockTypeGold, nullptr, true, 8 + 1, 8 + 2},
        {BlockTypeBlocker, "IMAGE_BLOCKER", false, 0, 0},
        {BlockTypeTreasure, nullptr, true, 8 - 1, 8},
        {BlockTypeBomb, "IMAGE_BLOCK_BACK_BLACK", true, 8 + 2, 8 - 2},
        {BlockTypeColorBomb, "IMAGE_BLOCK_BACK_COLOR", true, 8, 8 + 1},
        {BlockTypeLineBomb, "IMAGE_BLOCK_BACK_BLACK", true, 8 + 3, 8},
        {BlockTypeHammer, "IMAGE_BLOCK_BACK_BLACK", true, 8 - 2, 8 - 1},
        {BlockTypeBucket, nullptr, true, 8 + 1, 8 + 1},
        {BlockTypeHourglass, "IMAGE_BLOCK_BACK_BLACK", true, 8, 8 - 3},
        {BlockTypeRainbow, "IMAGE_BLOCK_BACK_COLOR", true, 8, 8 + 1},
        {BlockTypeTnt, nullptr, true, 8 + 2, 8 + 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        Block* block = makeBlock(c.type);
        EXPECT_EQ(block->getName(), "SPRITE_BLOCK");
        EXPECT_EQ(block->getBounds(), Rect(kLevelX + 2 * kBlockSize, kLevelY + kBlockSize, kBlockSize, kBlockSize));
        ASSERT_NE(block->getMask(), nullptr);
        if (c.maskOf) {
            EXPECT_EQ(block->getMask(), catalogueMask(c.maskOf));
        } else {
            EXPECT_NE(block->getMask(), catalogueMask("IMAGE_BLOCKS"));
            EXPECT_EQ(mapByte(block->getMask(), 0, 0), 0);
            EXPECT_EQ(mapByte(block->getMask(), kBlockSize - 1, kBlockSize - 1), 0);
        }
        EXPECT_EQ(block->getRainbowTimer() != nullptr, c.type == BlockTypeRainbow);
        BlockIcon* icon = block->getIcon();
        ASSERT_EQ(icon != nullptr, c.icon);
        if (!icon)
            continue;
        EXPECT_EQ(icon->getName(), "SPRITE_BLOCK_ICON");
        EXPECT_EQ(icon->getX(), block->getX() + c.centreX);
        EXPECT_EQ(icon->getY(), block->getY() + c.centreY);
        EXPECT_EQ(icon->getAnchor(), Sprite::AnchorCenter);
        // Two frames of 6 x 6 stacked in each picture; the bucket's is one colour cell of its strip.
        EXPECT_EQ(icon->getWidth(), 6);
        EXPECT_EQ(icon->getHeight(), 6);
        EXPECT_EQ(icon->getFrameCount(), kIconFrames);
        EXPECT_EQ(icon->getFrameWrap(), Sprite::WrapBounce);
        EXPECT_EQ(icon->getBounds().x, icon->getX() - 3) << "centred on its place";
    }
}

TEST_F(BlockTest, TypesRenderTheirPicturesPlainAndSelected)
{
    struct Case {
        int type;
        int colour;
        std::uint32_t own, ownSelected;   // 0: the own surface is not drawn (all-zero mask)
        std::uint32_t icon, iconSelected; // 0: no icon
    };
    const std::uint32_t back = plainPixel("IMAGE_BLOCK_BACK_BLACK");
    const std::uint32_t backSelected = plainPixel("IMAGE_BLOCK_BACK_BLACK_SELECTED");
    const Case cases[] = {
        {BlockTypeColour, 2, sheetPixel(0, 2, false), sheetPixel(0, 2, true), 0, 0},
        {BlockTypeGold, 0, 0, 0, plainPixel("IMAGE_GOLD"), plainPixel("IMAGE_GOLD_SELECTED")},
        {BlockTypeBlocker, 0, plainPixel("IMAGE_BLOCKER"), plainPixel("IMAGE_BLOCKER_SELECTED"), 0, 0},
        {BlockTypeTreasure, 0, 0, 0, plainPixel("IMAGE_BLOCK_TREASURE"), plainPixel("IMAGE_BLOCK_TREASURE_SELECTED")},
        {BlockTypeBomb, 0, back, backSelected, plainPixel("IMAGE_BLOCK_DYNAMITE"), plainPixel("IMAGE_BLOCK_DYNAMITE")},
        {BlockTypeColorBomb, 3, backColourPixel(0, 3, false), backColourPixel(0, 3, true),
         plainPixel("IMAGE_BLOCK_PICKAXE"), plainPixel("IMAGE_BLOCK_PICKAXE")},
        {BlockTypeLineBomb, 0, back, backSelected, plainPixel("IMAGE_BLOCK_SHOVEL"), plainPixel("IMAGE_BLOCK_SHOVEL")},
        {BlockTypeHammer, 0, back, backSelected, plainPixel("IMAGE_BLOCK_HAMMER"), plainPixel("IMAGE_BLOCK_HAMMER")},
        {BlockTypeBucket, 3, 0, 0, bucketPixel(3, false), bucketPixel(3, true)},
        {BlockTypeHourglass, 0, back, backSelected, plainPixel("IMAGE_BLOCK_HOURGLASS"),
         plainPixel("IMAGE_BLOCK_HOURGLASS")},
        {BlockTypeRainbow, 4, backColourPixel(0, 4, false), backColourPixel(0, 4, true),
         plainPixel("IMAGE_BLOCK_PICKAXE"), plainPixel("IMAGE_BLOCK_PICKAXE")},
        {BlockTypeTnt, 0, 0, 0, plainPixel("IMAGE_BLOCK_TNT"), plainPixel("IMAGE_BLOCK_TNT")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        Block* block = makeBlock(c.type, c.colour);
        for (bool selected : {false, true}) {
            SCOPED_TRACE(selected ? "selected" : "plain");
            block->setState(selected ? BlockStateSelected : BlockStateNormal);
            const std::uint32_t own = rendered(block);
            if (selected ? c.ownSelected : c.own) {
                EXPECT_EQ(own, selected ? c.ownSelected : c.own);
            } else {
                EXPECT_EQ(mapByte(block->getMask(), kBlockSize / 2, kBlockSize / 2), 0) << "invisible own surface";
            }
            if (c.icon) {
                EXPECT_EQ(iconPixel(block), selected ? c.iconSelected : c.icon);
            }
        }
    }
}

TEST_F(BlockTest, SelectedColourBlockKeepsThePlainSheetsShape)
{
    Block* block = makeBlock(BlockTypeColour, 3);
    block->setState(BlockStateSelected);
    EXPECT_EQ(rendered(block), sheetPixel(0, 3, true));
    EXPECT_EQ(mapByte(block->getMask(), 0, 0), sheetMaskByte(0, 3));

    // Block set 1 takes the second column of both the picture and the shape.
    Block::setBlockSet(1);
    block->setState(BlockStateNormal);
    EXPECT_EQ(rendered(block), sheetPixel(1, 3, false));
    EXPECT_EQ(mapByte(block->getMask(), 5, 5), sheetMaskByte(1, 3));
}

TEST_F(BlockTest, MultiplierTextOnlyInTheFirstBlockSet)
{
    // "x3" is 10 pixels wide and 5 high, centred: the "x" covers (3..6, 5..9) of the block.
    struct Case {
        int set;
        int multiplier;
        bool text;
    };
    for (const Case& c : {Case{0, 3, true}, Case{1, 3, false}, Case{0, 1, false}}) {
        SCOPED_TRACE("set " + std::to_string(c.set) + " multiplier " + std::to_string(c.multiplier));
        Block::setBlockSet(c.set);
        Block* block = makeBlock(BlockTypeColour, 1, c.multiplier);
        block->draw(target);
        const std::uint32_t cell = sheetPixel(c.set, 1, false);
        const std::uint32_t inText = peek(block->getSurface(), 4, 6) & 0xFFFFFF;
        EXPECT_EQ(inText != cell, c.text);
        EXPECT_EQ(peek(block->getSurface(), 1, 1) & 0xFFFFFF, cell) << "outside the text";
        EXPECT_EQ(peek(block->getSurface(), 4, 12) & 0xFFFFFF, cell) << "below the text";
    }
}

TEST_F(BlockTest, BlockSetBeyondTheSheetFallsBackToTheFirstForEveryBlock)
{
    Block* first = makeBlock(BlockTypeColour, 2);
    Block* second = makeBlock(BlockTypeColour, 4, 1, true, 3, 1);
    EXPECT_EQ(rendered(first), sheetPixel(0, 2, false));

    Block::setBlockSet(1);
    EXPECT_EQ(rendered(first), sheetPixel(1, 2, false));
    EXPECT_EQ(rendered(second), sheetPixel(1, 4, false));

    for (int beyond : {kBlockSets, 7, -1}) {
        SCOPED_TRACE("block set " + std::to_string(beyond));
        Block::setBlockSet(beyond);
        EXPECT_EQ(rendered(first), sheetPixel(0, 2, false));
        EXPECT_EQ(Block::getBlockSet(), 0);
        EXPECT_EQ(rendered(second), sheetPixel(0, 4, false));
        Block::setBlockSet(1);
        rendered(first);
    }

    // Without a sheet at all every set falls back as well.
    catalogue->storeImage("IMAGE_BLOCKS", nullptr);
    Block::setBlockSet(0);
    first->draw(target);
    Block::setBlockSet(1);
    first->draw(target);
    EXPECT_EQ(Block::getBlockSet(), 0);
}

TEST_F(BlockTest, MissingBackgroundDrawsNothingOfThatPart)
{
    const char* const backgrounds[] = {"IMAGE_BLOCKS", "IMAGE_BLOCKER", "IMAGE_BLOCK_BACK_BLACK",
                                       "IMAGE_BLOCK_BACK_COLOR"};
    const int typeOf[] = {BlockTypeColour, BlockTypeBlocker, BlockTypeBomb, BlockTypeColorBomb};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(backgrounds[i]);
        catalogue->storeImage(backgrounds[i], nullptr);
        catalogue->storeImage(std::string(backgrounds[i]) + "_SELECTED", nullptr);
        target->fill(0);
        Block* block = makeBlock(typeOf[i], 1);
        for (int state : {BlockStateNormal, BlockStateSelected}) {
            block->setState(state);
            block->draw(target);
            for (int y = 0; y < kBlockSize; ++y)
                for (int x = 0; x < kBlockSize; ++x)
                    ASSERT_EQ(peek(target, block->getX() + x, block->getY() + y) & 0xFFFFFF, 0u) << x << "," << y;
        }
        // The icon does not depend on the background.
        if (typeOf[i] == BlockTypeBomb) {
            ASSERT_NE(block->getIcon(), nullptr);
            EXPECT_EQ(iconPixel(block), plainPixel("IMAGE_BLOCK_DYNAMITE"));
        }
    }
}

TEST_F(BlockTest, MissingIconPictureGivesABlockWithoutIcon)
{
    catalogue->storeImage("IMAGE_GOLD", nullptr);
    Block* gold = makeBlock(BlockTypeGold);
    EXPECT_EQ(gold->getIcon(), nullptr);
    gold->setState(BlockStateSelected);
    gold->draw(target);
    EXPECT_EQ(gold->getIcon(), nullptr);
}

TEST_F(BlockTest, DisabledBlockIsDarkenedAndBrightensAfterEnabling)
{
    Block* block = keep(new Block(level, 0, 0, BlockTypeBomb, 0, 1, false));
    block->addToCanvas(canvas);
    EXPECT_FLOAT_EQ(block->getFade(), 1.0f);
    const std::uint32_t bright = plainPixel("IMAGE_BLOCK_BACK_BLACK");
    EXPECT_NE(rendered(block), bright);
    EXPECT_NE(iconPixel(block), plainPixel("IMAGE_BLOCK_DYNAMITE"));

    // While disabled the fade waits.
    frame();
    EXPECT_FLOAT_EQ(block->getFade(), 1.0f);

    block->setEnabled(true);
    std::uint32_t previous = rendered(block);
    for (int step = 1; step <= kFadeSteps; ++step) {
        block->setDirty(false);
        frame();
        EXPECT_FLOAT_EQ(block->getFade(), 1.0f - static_cast<float>(step) / kFadeSteps);
        EXPECT_TRUE(block->isDirty()) << "the new picture must reach the screen";
        const std::uint32_t now = rendered(block);
        if (step < kFadeSteps) {
            EXPECT_NE(now, previous);
        }
        previous = now;
    }
    EXPECT_EQ(previous, bright);
    EXPECT_EQ(iconPixel(block), plainPixel("IMAGE_BLOCK_DYNAMITE"));
}

TEST_F(BlockTest, SameKindMeansSameTypeAndColour)
{
    Block* a = makeBlock(BlockTypeColour, 2);
    EXPECT_TRUE(a->isSameKind(makeBlock(BlockTypeColour, 2)));
    EXPECT_FALSE(a->isSameKind(makeBlock(BlockTypeColour, 3)));
    EXPECT_FALSE(a->isSameKind(makeBlock(BlockTypeColorBomb, 2)));
    EXPECT_FALSE(a->isSameKind(nullptr));
}

TEST_F(BlockTest, BlocksAndIconsGoBeforeTheirLayerMarkers)
{
    addLayers({"LAYER_BLOCKS", "LAYER_SPECIALBLOCKS", "LAYER_GOLD", "LAYER_TREASURES", "LAYER_SMALL_BLOCKICONS",
               "LAYER_LARGE_BLOCKICONS"});
    auto before = [&](Sprite* sprite, const char* marker) {
        return canvas->indexOf(sprite) + 1 == canvas->indexOf(canvas->findSprite(marker));
    };
    struct Case {
        int type;
        const char* layer;
        const char* iconLayer;
    };
    const Case cases[] = {
        {BlockTypeColour, "LAYER_BLOCKS", nullptr},
        {BlockTypeBlocker, "LAYER_SPECIALBLOCKS", nullptr},
        {BlockTypeGold, "LAYER_SPECIALBLOCKS", "LAYER_GOLD"},
        {BlockTypeTreasure, "LAYER_SPECIALBLOCKS", "LAYER_TREASURES"},
        {BlockTypeHammer, "LAYER_SPECIALBLOCKS", "LAYER_SMALL_BLOCKICONS"},
        {BlockTypeBucket, "LAYER_SPECIALBLOCKS", "LAYER_LARGE_BLOCKICONS"},
        {BlockTypeHourglass, "LAYER_SPECIALBLOCKS", "LAYER_LARGE_BLOCKICONS"},
        {BlockTypeTnt, "LAYER_SPECIALBLOCKS", "LAYER_LARGE_BLOCKICONS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type));
        Block* block = makeBlock(c.type);
        block->addToCanvas(canvas);
        EXPECT_TRUE(before(block, c.layer));
        if (c.iconLayer) {
            EXPECT_TRUE(before(block->getIcon(), c.iconLayer));
        }
    }
}

TEST_F(BlockTest, IconFollowsTheBlocksTypeAlphaClipAndLife)
{
    addLayers({"LAYER_SPECIALBLOCKS", "LAYER_SMALL_BLOCKICONS", "LAYER_LARGE_BLOCKICONS"});
    Block* block = keep(new Block(level, 1, 1, BlockTypeHammer, 0, 1, true));
    block->addToCanvas(canvas);
    BlockIcon* first = block->getIcon();
    Held<BlockIcon> watch(first);

    block->setAlpha(90);
    block->setClipRect(1, 2, 3, 4);
    EXPECT_EQ(first->getAlpha(), 90);
    EXPECT_EQ(*first->getClipRect(), Rect(1, 2, 3, 4));

    // A new type makes a new icon on the canvas, with the block's alpha and clip; the old one leaves.
    block->setType(BlockTypeTnt);
    BlockIcon* second = block->getIcon();
    ASSERT_NE(second, first);
    EXPECT_TRUE(first->isObsolete());
    EXPECT_EQ(second->getCanvas(), canvas);
    EXPECT_EQ(second->getAlpha(), 90);
    EXPECT_EQ(*second->getClipRect(), Rect(1, 2, 3, 4));

    // Handing the icon over leaves it on the canvas.
    Held<BlockIcon> taken(second);
    block->removeIcon();
    EXPECT_EQ(block->getIcon(), nullptr);
    EXPECT_FALSE(second->isObsolete());

    // A block's icon leaves the canvas with the block.
    Block* other = new Block(level, 2, 1, BlockTypeBomb, 0, 1, true);
    other->addRef();
    other->addToCanvas(canvas);
    Held<BlockIcon> third(other->getIcon());
    canvas->removeSprite(other);
    other->release();
    canvas->removeObsolete();
    EXPECT_TRUE(third->isObsolete());
}

} // namespace

namespace {

TEST_F(BlockTest, LostDisplayRebuildsThePictureAndTheIcon)
{
    Block* block = makeBlock(BlockTypeColorBomb, 2);
    block->draw(target);
    // Held, so that a new object cannot take the old one's address.
    Surface* before = hold(block->getSurface());
    Held<BlockIcon> iconBefore(block->getIcon());

    // Everything made before is lost; the catalogue's pictures come back first, as the frame loop
    // restores them before drawing.
    compat::testing::loseAllSurfaces();
    addPictures();
    Surface* screen = make32(640, 480);
    screen->fill(0);
    block->draw(screen); // fails on the lost surface and rebuilds it
    block->draw(screen);

    EXPECT_NE(block->getSurface(), before);
    EXPECT_EQ(peek(block->getSurface(), 8, 8) & 0xFFFFFF, backColourPixel(0, 2, false));
    EXPECT_NE(peek(screen, block->getX() + 8, block->getY() + 8) & 0xFFFFFF, 0u);
    ASSERT_NE(block->getIcon(), nullptr);
    EXPECT_NE(block->getIcon(), iconBefore.get());
    EXPECT_EQ(iconPixel(block), plainPixel("IMAGE_BLOCK_PICKAXE"));
}

} // namespace
