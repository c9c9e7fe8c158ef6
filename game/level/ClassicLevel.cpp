#include "game/level/ClassicLevel.h"

#include "game/block/Block.h"
#include "game/level/BlockDesc.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/layout/XmlAttr.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/GameException.h"
#include "runtime/ObjectFactory.h"
#include "runtime/Random.h"
#include "toolkit/sprite/XmlCreation.h"

#include <algorithm>

QUARRY_REGISTER_XML_CREATOR("classiclevel", ClassicLevel::create);

namespace {

// The unlock indices of the bag's optional kinds.
constexpr int kUnlockRainbow = 4;
constexpr int kUnlockTnt = 6;

} // namespace

void* ClassicLevel::create(const TiXmlElement* element)
{
    auto* level = new ClassicLevel;
    level->readXML(element);
    return toFactoryResult(level);
}

void ClassicLevel::readXML(const TiXmlElement* element)
{
    Level::readXML(element);
    if (element)
        XmlAttr::getInt(element, "blocktime", blockTime);
}

void ClassicLevel::extendLevel(int k)
{
    if (k <= 0)
        return;
    nrOfLines += k;
    typeRatio[BlockTypeBlocker] += 2 * k;
    for (int type : {BlockTypeBomb, BlockTypeTnt, BlockTypeLineBomb, BlockTypeColorBomb, BlockTypeRainbow,
                     BlockTypeBucket, BlockTypeHammer, BlockTypeHourglass})
        typeRatio[type] -= k;
}

void ClassicLevel::createInitialLines()
{
    const int width = getColumns();
    const int height = getRows();
    // More start rows than the field has fill the whole field.
    for (int y = std::max(height - nrOfInitLines, 0); y < height; ++y) {
        for (int x = 0; x < width; ++x)
            setBlock(x, y, createNextBlock(x, y));
        ++rowsAdded;
    }
}

void ClassicLevel::addEntries(int count, int type, int colour)
{
    for (int i = 0; i < count; ++i) {
        auto* entry = new BlockDesc(type, colour, 1);
        entry->addRef();
        bag.push_back(entry);
    }
}

void ClassicLevel::refillBag()
{
    Random& random = Random::global();
    for (int colour = 0; colour < ColourCount; ++colour)
        addEntries(colourRatio[colour], BlockTypeColour, colour);
    // A level without colour ratios would leave nothing to draw colours from: one of each colour.
    if (bag.empty())
        for (int colour = 0; colour < ColourCount; ++colour)
            addEntries(1, BlockTypeColour, colour);

    // Only colour entries are in the bag yet.
    auto raise = [&](int times, int multiplier) {
        for (int i = 0; i < times; ++i)
            bag[static_cast<std::size_t>(random.nextInt(static_cast<int>(bag.size())))]->multiplier = multiplier;
    };
    raise(multiplierRatio, 2);
    raise(multiplierRatio / 5, 3);
    raise(multiplierRatio / 10, 4);

    addEntries(typeRatio[BlockTypeBlocker], BlockTypeBlocker, 0);
    for (int i = 0; i < typeRatio[BlockTypeColorBomb]; ++i)
        addEntries(1, BlockTypeColorBomb, drawColour());
    if (StatsManager::instance().isUnlocked(kUnlockRainbow))
        for (int i = 0; i < typeRatio[BlockTypeRainbow]; ++i)
            addEntries(1, BlockTypeRainbow, drawColour());
    addEntries(typeRatio[BlockTypeHourglass], BlockTypeHourglass, 0);
    if (lastGold == 0) {
        addEntries(typeRatio[BlockTypeBomb], BlockTypeBomb, 0);
        if (StatsManager::instance().isUnlocked(kUnlockTnt))
            addEntries(typeRatio[BlockTypeTnt], BlockTypeTnt, 0);
        addEntries(typeRatio[BlockTypeLineBomb], BlockTypeLineBomb, 0);
        addEntries(typeRatio[BlockTypeHammer], BlockTypeHammer, 0);
        for (int i = 0; i < typeRatio[BlockTypeBucket]; ++i)
            addEntries(1, BlockTypeBucket, drawColour());
    }
}

bool ClassicLevel::acceptsSpecial() const
{
    if (blockCounter < nextSpecial)
        return false;
    if (goldGenerated > getResourceInt("INT_LEVEL_MAX_GOLD_NEW_TOOL"))
        return false;
    if (getLevelNumber() == 1 && blockCounter <= getColumns() * nrOfInitLines)
        return false;
    return true;
}

Block* ClassicLevel::createNextBlock(int x, int y)
{
    Random& random = Random::global();
    ++blockCounter;

    if (blockCounter > getColumns() * nrOfLines && blockCounter - lastGold > goldSpacing) {
        const int roll = random.nextInt(100);
        const int chance = goldChance++;
        if (roll < chance) {
            if (lastGold == 0)
                clearBag();
            lastGold = blockCounter;
            blockTime = std::max(blockTime - kBlockTimeStepPerGold, kMinBlockTime);
            goldChance = 3;
            ++goldGenerated;
            return new Block(this, x, y, BlockTypeGold, 0, 1, true);
        }
    }

    if (bag.empty())
        refillBag();
    return drawBlockFromBag(x, y, [this] { return acceptsSpecial(); }, true);
}

void ClassicLevel::insertRow()
{
    const int width = getColumns();
    const int height = getRows();
    for (int x = 0; x < width; ++x) {
        for (int y = 1; y < height; ++y) {
            Block* block = grid.get(x, y);
            if (!block)
                continue;
            if (grid.get(x, y - 1))
                // Only a full top row lies there (the play field does not push then); that block leaves.
                setBlock(x, y - 1, nullptr);
            grid.set(x, y - 1, block);
            grid.set(x, y, nullptr);
            block->startFall(y - 1);
        }
    }

    std::vector<Block*> entering;
    entering.swap(newRow);
    for (std::size_t i = 0; i < entering.size() && static_cast<int>(i) < width; ++i) {
        Block* block = entering[i];
        if (!block)
            continue;
        const int column = width - 1 - static_cast<int>(i);
        setBlock(column, height - 1, block);
        block->startSlide(column, 0.02f, 0.0017f);
        // The waiting row lies below the field; it rises into the bottom row with the rows above it, or
        // the player would see an empty bottom row that holds blocks.
        block->startFall(height - 1);
    }
    clearBlockList(entering);
    reserveBlockList(newRow, width);
    ++rowsAdded;
}
