#include "game/level/ClassicLevel.h"

#include "game/block/Block.h"
#include "platform/app/Application.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/layout/XmlAttr.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/GameException.h"
#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/XmlCreation.h"

#include <algorithm>

QUARRY_REGISTER_XML_CREATOR("classiclevel", ClassicLevel::create);

void* ClassicLevel::create(const TiXmlElement* element)
{
    return createAndReadXml<ClassicLevel>(element);
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
    fillStartRows(false);
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
    ++blockCounter;

    if (blockCounter > getColumns() * nrOfLines && blockCounter - lastGold > goldSpacing && rollForGold()) {
        // Every gold makes the pipe faster.
        blockTime = std::max(blockTime - kBlockTimeStepPerGold, kMinBlockTime);
        return new Block(this, x, y, BlockTypeGold, 0, 1, true);
    }

    // Bombs, TNT, line bombs, hammers and buckets come only before the level's first gold.
    if (bag.empty())
        refillBag(lastGold == 0);
    return drawBlockFromBag(x, y, [this] { return acceptsSpecial(); }, true);
}

void ClassicLevel::insertRow()
{
    const int width = getColumns();
    const int height = getRows();
    shiftRowsUp([](Block* block, int, int row) { block->startFall(row); });

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
