#include "game/endless/EndlessLevel.h"

#include "game/block/Block.h"
#include "platform/app/Application.h"
#include "resources/layout/XmlAttr.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/GameException.h"
#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/XmlCreation.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <limits>

QUARRY_REGISTER_XML_CREATOR("endlesslevel", EndlessLevel::create);

void* EndlessLevel::create(const TiXmlElement* element)
{
    return createAndReadXml<EndlessLevel>(element);
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
    fillStartRows(true);
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
    shiftRowsUp([this](Block* block, int column, int row) {
        block->setCell(column, row);
        block->setY(getY() + row * blockHeight);
    });

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
    ++blockCounter;

    if ((getLevelNumber() > 1 || blockCounter > getColumns() * nrOfLines) && blockCounter - lastGold > goldSpacing &&
        rollForGold())
        return new Block(this, x, y, BlockTypeGold, 0, 0, true);

    if (bag.empty())
        refillBag(true);
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
