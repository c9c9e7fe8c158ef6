#include "game/endless/EndlessLevel.h"

#include "game/block/Block.h"
#include "game/level/BlockDesc.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "resources/layout/XmlAttr.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/GameException.h"
#include "runtime/ObjectFactory.h"
#include "runtime/Random.h"
#include "toolkit/sprite/XmlCreation.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <limits>

QUARRY_REGISTER_XML_CREATOR("endlesslevel", EndlessLevel::create);

namespace {

constexpr int kUnlockRainbow = 4;
constexpr int kUnlockTnt = 6;

} // namespace

void* EndlessLevel::create(const TiXmlElement* element)
{
    auto* level = new EndlessLevel;
    level->readXML(element);
    return toFactoryResult(level);
}

void EndlessLevel::readXML(const TiXmlElement* element)
{
    Level::readXML(element);
    if (!element)
        return;
    XmlAttr::getInt(element, "leveldepth", levelDepth);
    XmlAttr::getFloatValue(element, "minspeed", minSpeed);
    XmlAttr::getFloatValue(element, "maxspeed", maxSpeed);
}

void EndlessLevel::startLevel()
{
    Level::startLevel();
    prevLevelEnd = nextLevelEnd;
    nextLevelEnd += levelDepth;
}

void EndlessLevel::createInitialLines()
{
    const int width = getColumns();
    const int height = getRows();
    for (int y = std::max(height - nrOfInitLines, 0); y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Block* block = createNextBlock(x, y);
            block->setEnabled(true);
            setBlock(x, y, block);
        }
        ++rowsAdded;
    }
    pixelsCreated = rowsAdded * blockHeight;
}

double EndlessLevel::scrollRemainder()
{
    return static_cast<double>(pixelsCreated) + levelYPos + blockHeight;
}

void EndlessLevel::placeBlocksAgain()
{
    for (int y = 0; y < grid.getHeight(); ++y)
        for (int x = 0; x < grid.getWidth(); ++x)
            if (Block* block = grid.get(x, y))
                block->setY(block->getHomeY());
    for (Block* block : newRow)
        if (block)
            block->setY(block->getHomeY());
}

void EndlessLevel::setScrollPosition(double y)
{
    levelYPos = y;
    placeBlocksAgain();
    if (blockHeight > 0)
        depth = static_cast<float>((getRows() * blockHeight - y) / blockHeight / kRowsPerDepth);
}

Block* EndlessLevel::makeWaitingBlock()
{
    Block* block = makeNextBlock();
    if (block)
        block->setY(getY() + getRows() * blockHeight);
    return block;
}

float EndlessLevel::getSpeed() const
{
    // Wide apart as a damaged saved game may set them, the two ends are subtracted beyond int.
    const long long span = static_cast<long long>(nextLevelEnd) - prevLevelEnd;
    // An empty span has no curve: it runs at its end speed.
    if (span == 0)
        return maxSpeed;
    // Outside its span (a depth that a damaged saved game put far from it) the level runs at the speed of
    // its nearer end rather than off the curve.
    const float s = std::clamp((depth - static_cast<float>(prevLevelEnd)) / static_cast<float>(span), 0.0f, 1.0f);
    return minSpeed + (maxSpeed - minSpeed) * (3.0f - 2.0f * s) * s * s;
}

bool EndlessLevel::isLevelEnd() const
{
    return static_cast<int>(depth) == nextLevelEnd;
}

void EndlessLevel::insertRow()
{
    const int width = getColumns();
    const int height = getRows();
    for (int x = 0; x < width; ++x) {
        for (int y = 1; y < height; ++y) {
            Block* block = grid.get(x, y);
            if (!block)
                continue;
            // Only a full top row lies there (the play field ends the game first); that block leaves.
            if (grid.get(x, y - 1))
                setBlock(x, y - 1, nullptr);
            block->addRef();
            grid.set(x, y, nullptr);
            grid.set(x, y - 1, block);
            block->release();
            block->setCell(x, y - 1);
            block->setY(getY() + (y - 1) * blockHeight);
        }
    }

    std::vector<Block*> entering;
    entering.swap(newRow);
    // Counted first so that the entering blocks are drawn with the remainder of the new row count.
    ++rowsAdded;
    pixelsCreated = rowsAdded * blockHeight;
    for (Block* block : entering) {
        if (!block)
            continue;
        const int column = block->getColumn();
        if (column < 0 || column >= width)
            continue;
        setBlock(column, height - 1, block);
        block->setCell(column, height - 1);
        block->setY(getY() + (height - 1) * blockHeight);
        block->setEnabled(true);
    }
    clearBlockList(entering);
    reserveBlockList(newRow, width);
    // Blocks that did not move take the grown remainder too.
    placeBlocksAgain();
}

void EndlessLevel::addEntries(int count, int type, int colour, int multiplier)
{
    for (int i = 0; i < count; ++i) {
        auto* entry = new BlockDesc(type, colour, multiplier);
        entry->addRef();
        bag.push_back(entry);
    }
}

void EndlessLevel::refillBag()
{
    for (int colour = 0; colour < ColourCount; ++colour)
        addEntries(colourRatio[colour], BlockTypeColour, colour);
    // A level without colour ratios would leave nothing to draw colours from: one of each colour.
    if (bag.empty())
        for (int colour = 0; colour < ColourCount; ++colour)
            addEntries(1, BlockTypeColour, colour);

    auto raise = [&](int times, int multiplier) {
        for (int i = 0; i < times; ++i)
            bag[static_cast<std::size_t>(Random::global().nextInt(static_cast<int>(bag.size())))]->multiplier = multiplier;
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
    addEntries(typeRatio[BlockTypeBomb], BlockTypeBomb, 0);
    if (StatsManager::instance().isUnlocked(kUnlockTnt))
        addEntries(typeRatio[BlockTypeTnt], BlockTypeTnt, 0);
    addEntries(typeRatio[BlockTypeLineBomb], BlockTypeLineBomb, 0);
    addEntries(typeRatio[BlockTypeHammer], BlockTypeHammer, 0);
    for (int i = 0; i < typeRatio[BlockTypeBucket]; ++i)
        addEntries(1, BlockTypeBucket, drawColour());
}

bool EndlessLevel::acceptsSpecial() const
{
    if (blockCounter < nextSpecial)
        return false;
    if (getLevelNumber() == 1 && blockCounter <= getColumns() * nrOfInitLines)
        return false;
    return true;
}

Block* EndlessLevel::createNextBlock(int x, int y)
{
    Random& random = Random::global();
    ++blockCounter;

    if ((getLevelNumber() > 1 || blockCounter > getColumns() * nrOfLines) && blockCounter - lastGold > goldSpacing) {
        const int roll = random.nextInt(100);
        const int chance = goldChance++;
        if (roll < chance) {
            if (lastGold == 0)
                clearBag();
            lastGold = blockCounter;
            goldChance = 3;
            ++goldGenerated;
            return new Block(this, x, y, BlockTypeGold, 0, 0, true);
        }
    }

    if (bag.empty())
        refillBag();
    return drawBlockFromBag(x, y, [this] { return acceptsSpecial(); }, false);
}

void EndlessLevel::saveState(TiXmlElement* element)
{
    Level::saveState(element);
    if (!element)
        return;
    element->SetAttribute("nrlinescreated", rowsAdded);
    element->SetAttribute("prevlevelend", prevLevelEnd);
    element->SetAttribute("nextlevelend", nextLevelEnd);
}

void EndlessLevel::loadState(const TiXmlElement* element)
{
    Level::loadState(element);
    if (!element)
        return;
    int rows = rowsAdded;
    element->QueryIntAttribute("nrlinescreated", &rows);
    // A count no game reaches (its rows' height beyond what a pixel count holds) came from a damaged
    // file: it is held at that bound, so the field's arithmetic stays within its numbers.
    const int maxRows = blockHeight > 0 ? std::numeric_limits<int>::max() / 4 / blockHeight : 0;
    rowsAdded = std::clamp(rows, 0, maxRows);
    element->QueryIntAttribute("prevlevelend", &prevLevelEnd);
    element->QueryIntAttribute("nextlevelend", &nextLevelEnd);
    pixelsCreated = rowsAdded * blockHeight;
    placeBlocksAgain();
}
