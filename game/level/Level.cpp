#include "game/level/Level.h"

#include "game/block/Block.h"
#include "game/level/BlockDesc.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/layout/XmlAttr.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/GameException.h"
#include "runtime/Random.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierAlpha.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

namespace {

// A definition with hardly any acceptable entries must not stall the game: after this many refused
// draws a colour block comes.
constexpr int kMaxRefusedDraws = 64;
constexpr int kMaxColourSearches = 256;

int maxMultiplier()
{
    Application* app = Application::instance();
    PropertyManager* store = app ? app->getPropertyManager() : nullptr;
    if (!store)
        throw GameTextException(0, "ID not found: %s\n", "INT_MAX_MULTIPLIER");
    return store->getInteger("INT_MAX_MULTIPLIER");
}

// The unlock indices of the bag's optional kinds.
constexpr int kUnlockRainbow = 4;
constexpr int kUnlockTnt = 6;

int drawIndex(std::size_t size)
{
    return Random::global().nextInt(static_cast<int>(size));
}

// A grid side beyond this is no field the game can show; a layout asking for more gets this many.
constexpr int kMaxSide = 1024;

int clampSide(int n)
{
    return std::min(std::max(n, 0), kMaxSide);
}

// The four neighbours a group grows through, in the order it visits them: left, right, up, down.
constexpr int kNeighbourX[4] = {-1, 1, 0, 0};
constexpr int kNeighbourY[4] = {0, 0, -1, 1};

// Holds one reference for the length of a scope: a block taken out of the grid must stay alive while
// the level still reads its cell, kind and colour.
class Hold {
public:
    explicit Hold(Block* block) : block(block)
    {
        if (block)
            block->addRef();
    }
    Hold(Hold&& other) noexcept : block(std::exchange(other.block, nullptr)) {}
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    Hold& operator=(Hold&& other) noexcept
    {
        std::swap(block, other.block);
        return *this;
    }
    ~Hold()
    {
        if (block)
            block->release();
    }
    Block* get() const { return block; }

private:
    Block* block;
};

// Takes the start block and then, depth first over left, right, up and down, every neighbour of the
// same kind that is not yet in `doneState`. The stack stands in for recursion so that a large field
// cannot exhaust the call stack; the visiting order is the recursive one. Each block is held while its
// neighbours are looked at, since taking it may empty its cell.
template <class Take>
void floodGroup(const Level& level, Block* start, int doneState, Take take)
{
    struct Frame {
        Hold block;
        int next;
    };
    std::vector<Frame> stack;
    Hold first(start);
    take(start);
    stack.push_back({std::move(first), 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == 4) {
            stack.pop_back();
            continue;
        }
        const int dir = top.next++;
        Block* current = top.block.get();
        Block* neighbour = level.getBlock(current->getColumn() + kNeighbourX[dir], current->getRow() + kNeighbourY[dir]);
        if (!neighbour || !neighbour->isSameKind(current) || neighbour->getState() == doneState)
            continue;
        Hold held(neighbour);
        take(neighbour);
        stack.push_back({std::move(held), 0});
    }
}

bool isColourLike(const Block* block)
{
    return block->getType() == BlockTypeColour || block->getType() == BlockTypeColorBomb;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// BlockGrid

BlockGrid::BlockGrid(int width, int height)
{
    resize(width, height);
}

BlockGrid::~BlockGrid()
{
    for (Block* block : cells) {
        if (block)
            block->release();
    }
}

void BlockGrid::resize(int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
    clear();
}

void BlockGrid::clear()
{
    std::vector<Block*> old;
    old.swap(cells);
    cells.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), nullptr);
    for (Block* block : old) {
        if (block)
            block->release();
    }
}

void BlockGrid::set(int x, int y, Block* block)
{
    Block*& cell = cells[static_cast<std::size_t>(y) * width + x];
    if (block)
        block->addRef();
    Block* old = cell;
    cell = block;
    if (old)
        old->release();
}

// ---------------------------------------------------------------------------------------------------------
// Level

Level::Level()
{
    levelNumber.set(1);
    multiplierFont = ResourceManager::getFont("FONT_MUL");
    rainbowChangeTime = getResourceInt("INT_BLOCK_RAINBOW_CHANGE_TIME");
    token = new LevelToken;
    token->addRef();
    bounds = Rect{0, 0, 0, 0};
    clear();
}

Level::~Level()
{
    token->alive = false;
    clearBlockList(newRow);
    token->release();
    grid.resize(0, 0);
    clearBag();
}

bool Level::contains(int x, int y)
{
    return x >= 0 && x < getColumns() && y >= 0 && y < getRows();
}

int Level::getTypeRatio(int type) const
{
    return type >= 0 && type < TypeCount ? typeRatio[type] : 0;
}

int Level::getColourRatio(int colour) const
{
    return colour >= 0 && colour < ColourCount ? colourRatio[colour] : 0;
}

// ----- queries

Block* Level::getBlock(int x, int y) const
{
    if (x < 0 || y < 0 || x >= grid.getWidth() || y >= grid.getHeight())
        return nullptr;
    return grid.get(x, y);
}

Block* Level::getTopBlock() const
{
    for (int y = 0; y < grid.getHeight(); ++y)
        for (int x = 0; x < grid.getWidth(); ++x)
            if (Block* block = grid.get(x, y))
                return block;
    return nullptr;
}

Block* Level::getLowestBlockOfType(int type) const
{
    for (int y = grid.getHeight() - 1; y >= 0; --y)
        for (int x = 0; x < grid.getWidth(); ++x) {
            Block* block = grid.get(x, y);
            if (block && block->getType() == type)
                return block;
        }
    return nullptr;
}

Block* Level::getNewRowBlock(int i) const
{
    if (i < 0 || static_cast<std::size_t>(i) >= newRow.size())
        return nullptr;
    return newRow[static_cast<std::size_t>(i)];
}

bool Level::isNewRowSettled() const
{
    return !newRow.empty() && newRow.back() && newRow.back()->getModifiers().empty();
}

int Level::getMultiplierProduct(int colour) const
{
    // Saturates: a saved game may hold any multipliers, and the product only ever meets a cap.
    long long product = 1;
    auto take = [&](const Block* block) {
        if (block && block->getType() == BlockTypeColour && block->getColour() == colour)
            product = std::min<long long>(product * std::max(block->getMultiplier(), 1), INT_MAX);
    };
    for (int y = 0; y < grid.getHeight(); ++y)
        for (int x = 0; x < grid.getWidth(); ++x)
            take(grid.get(x, y));
    for (const Block* block : newRow)
        take(block);
    return static_cast<int>(product);
}

int Level::getMinimumGroup(int type, bool quattro)
{
    if (type == BlockTypeColour || type == BlockTypeGold)
        return quattro ? 4 : 3;
    return 1;
}

bool Level::isTopReached() const
{
    for (int x = 0; x < grid.getWidth(); ++x)
        if (grid.get(x, 0))
            return true;
    return false;
}

// ----- changes

void Level::setBlock(int x, int y, Block* block)
{
    if (!contains(x, y))
        return;
    // Hold the new block first: it may be the one the cell already holds.
    Hold keep(block);
    if (Block* old = grid.get(x, y)) {
        // The replaced block leaves the counts it was in.
        --blockCount;
        if (old->getType() == BlockTypeGold)
            --goldCount;
        if (old->getState() == BlockStateSelected)
            --selectedCount;
        if (old->getState() == BlockStateRemoving)
            --removingCount;
    }
    grid.set(x, y, block);
    if (!block)
        return;
    ++blockCount;
    if (block->getType() == BlockTypeGold)
        ++goldCount;
    if (block->getState() == BlockStateSelected)
        ++selectedCount;
    if (block->getState() == BlockStateRemoving)
        ++removingCount;
}

void Level::removeBlock(Block* block, int delay)
{
    if (!block)
        return;
    Hold keep(block);
    const int x = block->getColumn();
    const int y = block->getRow();
    // Only a block that stands in its cell leaves the grid's counts. The selected count stays: the play
    // field reads the size of the group it just removed.
    if (getBlock(x, y) == block) {
        if (block->getType() == BlockTypeGold)
            --goldCount;
        grid.set(x, y, nullptr);
        --blockCount;
    }
    if (playField) {
        playField->removeBlockSprite(block, delay);
    } else {
        block->setState(BlockStateRemoving);
        ++removingCount;
    }
}

void Level::repaintBlock(Block* block, int type, int colour)
{
    if (!block || !contains(block->getColumn(), block->getRow()))
        return;
    if (block->getType() == BlockTypeGold)
        --goldCount;
    block->setType(type);
    block->setColour(colour);
    if (type == BlockTypeGold)
        ++goldCount;
}

void Level::markSelected(Block* block)
{
    if (!block)
        return;
    // A block reached twice by one selection (a colour bomb finds itself among its colour) counts once.
    if (block->getState() != BlockStateSelected)
        ++selectedCount;
    block->setState(BlockStateSelected);
}

void Level::deselectAll()
{
    selectionOrigin = nullptr;
    for (int y = 0; y < grid.getHeight(); ++y)
        for (int x = 0; x < grid.getWidth(); ++x)
            if (Block* block = grid.get(x, y))
                block->setState(BlockStateNormal);
    selectedCount = 0;
}

void Level::setShakingRows(int n)
{
    if (n == shakingRows)
        return;
    shakingRows = n;
    for (int y = 0; y < grid.getHeight(); ++y)
        for (int x = 0; x < grid.getWidth(); ++x)
            if (Block* block = grid.get(x, y))
                block->setShaking(block->getRow() < n);
}

namespace {

void dropModifiers(Block* block)
{
    const std::vector<Modifier*> attached = block->getModifiers();
    for (Modifier* modifier : attached)
        block->removeModifier(modifier);
}

// Every block of the grid but those being removed fades from one alpha to the other, whatever
// animation it had ending where it stands.
void fadeGridBlocks(const BlockGrid& grid, int from, int to, float speed)
{
    for (int y = 0; y < grid.getHeight(); ++y)
        for (int x = 0; x < grid.getWidth(); ++x) {
            Block* block = grid.get(x, y);
            if (!block || block->getState() == BlockStateRemoving)
                continue;
            dropModifiers(block);
            ModifierAlpha::start(block, from, to, speed, Modifier::OptionBlocking);
        }
}

} // namespace

void Level::fadeOutBlocks()
{
    fadeGridBlocks(grid, 255, 0, 0.05f);
}

void Level::fadeInBlocks(float speed)
{
    for (Block* block : newRow) {
        if (block && block->getModifiers().empty() && block->getAlpha() != 255 &&
            block->getState() != BlockStateRemoving)
            ModifierAlpha::start(block, 0, 255, 0.04f, Modifier::OptionBlocking);
    }
    fadeGridBlocks(grid, 0, 255, speed);
}

void Level::appendNewRowBlock(Block* block)
{
    if (block)
        block->addRef();
    newRow.push_back(block);
}

Block* Level::makeNextBlock()
{
    StatsManager::instance().treasureCountdown -= 1;
    const int n = static_cast<int>(newRow.size());
    Block* block = createNextBlock(getColumns() - n - 1, getRows() - 1);
    if (block)
        appendNewRowBlock(block);
    return block;
}

void Level::clear()
{
    grid.clear();
    clearBlockList(newRow);
    reserveBlockList(newRow, getColumns());
    clearBag();
    blockCount = 0;
    goldCount = 0;
    selectedCount = 0;
    shakingRows = 0;
    rowsAdded = 0;
    selectionOrigin = nullptr;
}

void Level::clearBlockList(std::vector<Block*>& list)
{
    std::vector<Block*> old;
    old.swap(list);
    for (Block* block : old)
        if (block)
            block->release();
}

void Level::reserveBlockList(std::vector<Block*>& list, int n)
{
    if (n > 0)
        list.reserve(static_cast<std::size_t>(n));
}

void Level::clearBag()
{
    std::vector<BlockDesc*> old;
    old.swap(bag);
    for (BlockDesc* entry : old)
        entry->release();
}

void Level::resetGenerator()
{
    goldChance = 3;
    nextSpecial = 0;
    lastGold = 0;
    blockCounter = 0;
    goldGenerated = 0;
}

// ----- selection

void Level::selectGroup(Block* block)
{
    if (!block || block->getState() == BlockStateSelected)
        return;
    const int bx = block->getColumn();
    const int by = block->getRow();
    auto markCell = [this](int x, int y) { markSelected(getBlock(x, y)); };

    switch (block->getType()) {
    case BlockTypeBlocker:
        return;
    case BlockTypeTreasure:
        if (by >= getRows() - 1)
            markSelected(block);
        return;
    case BlockTypeBomb:
        for (int dx = -2; dx <= 2; ++dx)
            for (int dy = -2; dy <= 2; ++dy)
                markCell(bx + dx, by + dy);
        return;
    case BlockTypeColorBomb:
    case BlockTypeRainbow:
        markSelected(block);
        for (int x = 0; x < grid.getWidth(); ++x)
            for (int y = 0; y < grid.getHeight(); ++y) {
                Block* other = grid.get(x, y);
                if (other && isColourLike(other) && other->getColour() == block->getColour())
                    markSelected(other);
            }
        return;
    case BlockTypeLineBomb:
        for (int x = 0; x < grid.getWidth(); ++x)
            markCell(x, by);
        return;
    case BlockTypeHammer:
        markSelected(block);
        for (int y = by + 1; y < getRows(); ++y)
            for (int dx = -1; dx <= 1; ++dx)
                markCell(bx + dx, y);
        return;
    case BlockTypeBucket:
        markSelected(block);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                markCell(bx + dx, by + dy);
        return;
    case BlockTypeHourglass:
        markSelected(block);
        return;
    case BlockTypeTnt:
        for (int y = 0; y < grid.getHeight(); ++y)
            for (int x = 0; x < grid.getWidth(); ++x)
                markCell(x, y);
        return;
    default:
        break;
    }

    // A group of one kind: every block of the same kind reached over left, right, up and down.
    floodGroup(*this, block, BlockStateSelected, [this](Block* member) { markSelected(member); });
}

// ----- removal

void Level::removeGroup(Block* block, int delay)
{
    if (!block || block->getState() == BlockStateRemoving)
        return;
    Hold keep(block);
    const int bx = block->getColumn();
    const int by = block->getRow();
    const int width = grid.getWidth();
    const int height = grid.getHeight();
    auto removeCell = [this](int x, int y, int at) { removeBlock(getBlock(x, y), at); };

    switch (block->getType()) {
    case BlockTypeBlocker:
        return;
    case BlockTypeTreasure:
        if (by >= getRows() - 1)
            removeBlock(block, delay);
        return;
    case BlockTypeBomb:
        removeBlock(block, delay);
        for (int dx = -2; dx <= 2; ++dx)
            for (int dy = -2; dy <= 2; ++dy)
                removeCell(bx + dx, by + dy, delay + 8 * std::max(std::abs(dx), std::abs(dy)));
        return;
    case BlockTypeTnt:
        removeBlock(block, delay);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                removeCell(x, y, delay + 8 * std::max(std::abs(x - bx), std::abs(y - by)));
        return;
    case BlockTypeLineBomb:
        removeBlock(block, delay);
        for (int x = bx - 1; x >= 0; --x)
            removeCell(x, by, delay + 4 + 4 * (bx - x));
        for (int x = bx + 1; x < width; ++x)
            removeCell(x, by, delay + 4 + 4 * (x - bx));
        return;
    case BlockTypeHammer:
        removeBlock(block, delay);
        for (int dy = 1; dy < height - by; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                removeCell(bx + dx, by + dy, delay + 3 * dy + 8 * std::abs(dx));
        return;
    case BlockTypeColorBomb:
    case BlockTypeRainbow: {
        removeBlock(block, delay);
        std::vector<Hold> collected;
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < height; ++y) {
                Block* other = grid.get(x, y);
                if (other && isColourLike(other) && other->getColour() == block->getColour())
                    collected.emplace_back(other);
            }
        Random& random = Random::global();
        for (std::size_t i = collected.size(); i > 1; --i)
            std::swap(collected[i - 1], collected[static_cast<std::size_t>(random.nextInt(static_cast<int>(i)))]);
        int offset = 0;
        int remaining = static_cast<int>(collected.size());
        for (const Hold& other : collected) {
            removeBlock(other.get(), delay + offset);
            --remaining;
            offset += remaining % 4;
        }
        return;
    }
    case BlockTypeBucket:
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                repaintBlock(getBlock(bx + dx, by + dy), BlockTypeColour, block->getColour());
        return;
    case BlockTypeHourglass:
        removeBlock(block, delay);
        return;
    default:
        break;
    }

    // A group of one kind leaves at one delay.
    floodGroup(*this, block, BlockStateRemoving, [this, delay](Block* member) { removeBlock(member, delay); });
}

// ----- gravity

void Level::applyGravity()
{
    const int width = grid.getWidth();
    const int height = grid.getHeight();
    for (int x = 0; x < width; ++x) {
        int empty = 0;
        for (int y = height - 1; y >= 0; --y) {
            Block* block = grid.get(x, y);
            if (!block) {
                ++empty;
                continue;
            }
            if (empty == 0)
                continue;
            grid.set(x, y + empty, block);
            grid.set(x, y, nullptr);
            block->startFall(y + empty);
        }
    }

    if (height == 0)
        return;
    auto shiftColumn = [&](int from, int to) {
        for (int y = 0; y < height; ++y) {
            Block* block = grid.get(from, y);
            if (!block)
                continue;
            grid.set(to, y, block);
            grid.set(from, y, nullptr);
            block->startSlide(to, 0.07f, 0.0f);
        }
    };
    const int middle = width / 2;
    int gap = 0;
    for (int x = middle - 1; x >= 0; --x) {
        if (!grid.get(x, height - 1))
            ++gap;
        else if (gap > 0)
            shiftColumn(x, x + gap);
    }
    gap = 0;
    for (int x = middle; x < width; ++x) {
        if (!grid.get(x, height - 1))
            ++gap;
        else if (gap > 0)
            shiftColumn(x, x - gap);
    }
}

// ----- level definition

void Level::readXML(const TiXmlElement* element)
{
    if (!element)
        return;
    if (!definition) {
        definition = element;
        int value = position.x;
        if (XmlAttr::getInt(element, "x", value))
            setX(value);
        value = position.y;
        if (XmlAttr::getInt(element, "y", value))
            setY(value);
        value = bounds.width;
        if (XmlAttr::getInt(element, "width", value))
            setWidth(clampSide(value));
        value = bounds.height;
        if (XmlAttr::getInt(element, "height", value))
            setHeight(clampSide(value));
        XmlAttr::getInt(element, "blockwidth", blockWidth);
        XmlAttr::getInt(element, "blockheight", blockHeight);
        XmlAttr::getInt(element, "nrofinitlines", nrOfInitLines);
        levelCount = 0;
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            ++levelCount;
        // The per-level values come from the first level; a definition without levels keeps its values.
        element = element->FirstChildElement();
    }

    if (element) {
        static const char* const typeWords[TypeCount] = {"invalid", "invalid", "gold",     "blocker", "invalid",
                                                         "bomb",    "colorbomb", "linebomb", "hammer",  "bucket",
                                                         "hourglass", "rainbow", "tnt"};
        XmlAttr::getInt(element, "goldspacing", goldSpacing);
        XmlAttr::getInt(element, "specialspacing", specialSpacing);
        XmlAttr::getInt(element, "nroflines", nrOfLines);
        XmlAttr::getInt(element, "multiplierratio", multiplierRatio);
        for (int type = 0; type < TypeCount; ++type)
            XmlAttr::getInt(element, std::string(typeWords[type]) + "ratio", typeRatio[type]);
        for (int colour = 0; colour < ColourCount; ++colour)
            XmlAttr::getInt(element, "color" + std::to_string(colour + 1) + "ratio", colourRatio[colour]);
    }

    if (!gridSized) {
        grid.resize(getColumns(), getRows());
        reserveBlockList(newRow, getColumns());
        gridSized = true;
    }
}

void Level::startLevel()
{
    resetGenerator();
    if (definition) {
        const TiXmlElement* chosen = nullptr;
        int i = 1;
        for (const TiXmlElement* child = definition->FirstChildElement(); child;
             child = child->NextSiblingElement(), ++i) {
            chosen = child;
            if (i >= getLevelNumber())
                break;
        }
        if (chosen)
            readXML(chosen);
    }
    if (getLevelNumber() > levelCount)
        extendLevel(getLevelNumber() - levelCount + 1);
}

// ----- saved state

namespace {

void writeBlock(TiXmlElement* parent, int x, int y, const Block* block)
{
    TiXmlElement entry("BlockDescription");
    entry.SetAttribute("x", x);
    entry.SetAttribute("y", y);
    entry.SetAttribute("type", block ? block->getType() : 0);
    if (block) {
        entry.SetAttribute("color", block->getColour());
        entry.SetAttribute("multiplier", block->getMultiplier());
        entry.SetAttribute("state", block->getState());
    }
    parent->InsertEndChild(entry);
}

int readInt(const TiXmlElement* element, const char* name, int fallback)
{
    int value = fallback;
    element->QueryIntAttribute(name, &value);
    return value;
}

const TiXmlElement* firstElementNamed(const TiXmlElement* element, const char* name)
{
    const TiXmlNode* node = element->FirstChild(name);
    return node ? node->ToElement() : nullptr;
}

} // namespace

void Level::saveState(TiXmlElement* element)
{
    if (!element)
        return;
    TiXmlElement blockList("BlockList");
    for (int y = 0; y < grid.getHeight(); ++y)
        for (int x = 0; x < grid.getWidth(); ++x)
            writeBlock(&blockList, x, y, grid.get(x, y));
    element->InsertEndChild(blockList);

    TiXmlElement pending("NewRow");
    for (std::size_t i = 0; i < newRow.size(); ++i)
        writeBlock(&pending, static_cast<int>(i), newRow[i] ? newRow[i]->getRow() : 0, newRow[i]);
    element->InsertEndChild(pending);
}

void Level::loadState(const TiXmlElement* element)
{
    if (!element)
        return;

    // What a saved entry must be for this level to take it; anything else came from a damaged or
    // edited file and is left out.
    auto makeBlock = [this](const TiXmlElement* entry, int& x, int& y) -> Block* {
        const int type = readInt(entry, "type", BlockTypeNone);
        if (type < BlockTypeColour || type > BlockTypeTnt)
            return nullptr;
        const int state = readInt(entry, "state", BlockStateNormal);
        if (state < 0 || state > BlockStateSelected)
            return nullptr;
        x = readInt(entry, "x", 0);
        y = readInt(entry, "y", 0);
        const int colour = readInt(entry, "color", 0);
        const int colours = type == BlockTypeTreasure ? StatsManager::kTreasureCount : ColourCount;
        if (colour < 0 || colour >= colours)
            return nullptr;
        const int multiplier = std::max(readInt(entry, "multiplier", 1), 1);
        // The row of a waiting block may lie just below the field; nothing saved lies far outside it.
        if (std::abs(x) > kMaxSide * 2 || std::abs(y) > kMaxSide * 2)
            return nullptr;
        Block* block = new Block(this, x, y, type, colour, multiplier, true);
        block->setState(state);
        return block;
    };

    if (const TiXmlElement* blockList = firstElementNamed(element, "BlockList")) {
        for (const TiXmlElement* entry = blockList->FirstChildElement(); entry; entry = entry->NextSiblingElement()) {
            int x = 0;
            int y = 0;
            if (!contains(readInt(entry, "x", 0), readInt(entry, "y", 0)))
                continue;
            if (Block* block = makeBlock(entry, x, y)) {
                Hold keep(block);
                setBlock(x, y, block);
            }
        }
    }

    if (const TiXmlElement* pending = firstElementNamed(element, "NewRow")) {
        for (const TiXmlElement* entry = pending->FirstChildElement(); entry; entry = entry->NextSiblingElement()) {
            int x = 0;
            int y = 0;
            const int index = readInt(entry, "x", -1);
            if (index < 0 || index >= getColumns())
                continue;
            if (Block* block = makeBlock(entry, x, y)) {
                block->addRef();
                if (newRow.size() <= static_cast<std::size_t>(index))
                    newRow.resize(static_cast<std::size_t>(index) + 1, nullptr);
                Block*& slot = newRow[static_cast<std::size_t>(index)];
                if (slot)
                    slot->release();
                slot = block;
            }
        }
    }
}

int Level::drawColour()
{
    for (int attempt = 0; attempt < kMaxColourSearches; ++attempt) {
        const BlockDesc* entry = bag[static_cast<std::size_t>(drawIndex(bag.size()))];
        if (entry->type == BlockTypeColour)
            return entry->colour;
    }
    for (const BlockDesc* entry : bag)
        if (entry->type == BlockTypeColour)
            return entry->colour;
    return 0;
}

Block* Level::drawBlockFromBag(int x, int y, const std::function<bool()>& acceptsSpecial, bool enabled)
{
    // Every entry of the bag can be drawn, the last one included, so the kind appended last appears too.
    const BlockDesc* chosen = nullptr;
    for (int draw = 0; draw < kMaxRefusedDraws && !chosen; ++draw) {
        const BlockDesc* entry = bag[static_cast<std::size_t>(drawIndex(bag.size()))];
        if (entry->type == BlockTypeColour) {
            chosen = entry;
        } else if (acceptsSpecial()) {
            chosen = entry;
            nextSpecial = blockCounter + specialSpacing;
        }
    }
    int type = BlockTypeColour;
    int colour = 0;
    int multiplier = 1;
    if (chosen) {
        type = chosen->type;
        colour = chosen->colour;
        multiplier = chosen->multiplier;
    } else {
        colour = drawColour();
    }

    if (type == BlockTypeColour && multiplier > 1 &&
        static_cast<long long>(getMultiplierProduct(colour)) * multiplier > maxMultiplier())
        multiplier = 1;

    return new Block(this, x, y, type, colour, multiplier, enabled);
}

void Level::fillStartRows(bool enable)
{
    const int width = getColumns();
    const int height = getRows();
    // More start rows than the field has fill the whole field.
    for (int y = std::max(height - nrOfInitLines, 0); y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Block* block = createNextBlock(x, y);
            if (enable)
                block->setEnabled(true);
            setBlock(x, y, block);
        }
        ++rowsAdded;
    }
}

bool Level::rollForGold()
{
    const int roll = Random::global().nextInt(100);
    const int chance = goldChance++;
    if (roll >= chance)
        return false;
    if (lastGold == 0)
        clearBag();
    lastGold = blockCounter;
    goldChance = 3;
    ++goldGenerated;
    return true;
}

void Level::addBagEntries(int count, int type, int colour)
{
    for (int i = 0; i < count; ++i) {
        auto* entry = new BlockDesc(type, colour, 1);
        entry->addRef();
        bag.push_back(entry);
    }
}

void Level::refillBag(bool withTools)
{
    for (int colour = 0; colour < ColourCount; ++colour)
        addBagEntries(colourRatio[colour], BlockTypeColour, colour);
    // A level without colour ratios would leave nothing to draw colours from: one of each colour.
    if (bag.empty())
        for (int colour = 0; colour < ColourCount; ++colour)
            addBagEntries(1, BlockTypeColour, colour);

    // Only colour entries are in the bag yet.
    auto raise = [&](int times, int multiplier) {
        for (int i = 0; i < times; ++i)
            bag[static_cast<std::size_t>(Random::global().nextInt(static_cast<int>(bag.size())))]->multiplier = multiplier;
    };
    raise(multiplierRatio, 2);
    raise(multiplierRatio / 5, 3);
    raise(multiplierRatio / 10, 4);

    addBagEntries(typeRatio[BlockTypeBlocker], BlockTypeBlocker, 0);
    for (int i = 0; i < typeRatio[BlockTypeColorBomb]; ++i)
        addBagEntries(1, BlockTypeColorBomb, drawColour());
    if (StatsManager::instance().isUnlocked(kUnlockRainbow))
        for (int i = 0; i < typeRatio[BlockTypeRainbow]; ++i)
            addBagEntries(1, BlockTypeRainbow, drawColour());
    addBagEntries(typeRatio[BlockTypeHourglass], BlockTypeHourglass, 0);
    if (!withTools)
        return;
    addBagEntries(typeRatio[BlockTypeBomb], BlockTypeBomb, 0);
    if (StatsManager::instance().isUnlocked(kUnlockTnt))
        addBagEntries(typeRatio[BlockTypeTnt], BlockTypeTnt, 0);
    addBagEntries(typeRatio[BlockTypeLineBomb], BlockTypeLineBomb, 0);
    addBagEntries(typeRatio[BlockTypeHammer], BlockTypeHammer, 0);
    for (int i = 0; i < typeRatio[BlockTypeBucket]; ++i)
        addBagEntries(1, BlockTypeBucket, drawColour());
}

void Level::shiftRowsUp(const std::function<void(Block* block, int column, int row)>& moved)
{
    for (int x = 0; x < getColumns(); ++x) {
        for (int y = 1; y < getRows(); ++y) {
            Block* block = grid.get(x, y);
            if (!block)
                continue;
            if (grid.get(x, y - 1))
                setBlock(x, y - 1, nullptr);
            grid.set(x, y - 1, block);
            grid.set(x, y, nullptr);
            moved(block, x, y - 1);
        }
    }
}
