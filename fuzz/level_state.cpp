// The block state of a saved game read back into a classic level: saved games can be edited by hand or
// cut short, so whatever the document holds (cells outside the field, unknown kinds, colours or states,
// waiting-row indices anywhere) must give a consistent field or be left out. After the load the field
// is written again, clicked, removed and settled, and the level's counts must agree with its grid.
#include "game/block/Block.h"
#include "game/level/ClassicLevel.h"
#include "runtime/DebugLog.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

struct Setup {
    Setup()
    {
        DebugLog::instance().setDebuggerOutput(false);
        definition.Parse("<classiclevel width='8' height='6' blockwidth='16' blockheight='16'><level/></classiclevel>");
        level = static_cast<ClassicLevel*>(static_cast<RefObject*>(ClassicLevel::create(definition.RootElement())));
        level->addRef();
    }
    TiXmlDocument definition;
    ClassicLevel* level;
};

// The grid's own count of blocks, gold and selected blocks must match the level's running counts.
void checkCounts(const Level* level)
{
    int blocks = 0;
    int gold = 0;
    for (int y = 0; y < level->getRows(); ++y)
        for (int x = 0; x < level->getColumns(); ++x)
            if (const Block* block = level->getBlock(x, y)) {
                ++blocks;
                gold += block->getType() == BlockTypeGold;
                if (block->getColumn() != x || block->getRow() != y)
                    std::abort();
                if (block->getType() < BlockTypeColour || block->getType() > BlockTypeTnt)
                    std::abort();
            }
    if (blocks != level->getBlockCount() || gold != level->getGoldCount())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Setup setup;
    ClassicLevel* level = setup.level;

    TiXmlDocument document;
    document.Parse(std::string(reinterpret_cast<const char*>(data), size).c_str());
    level->clear();
    level->loadState(document.RootElement());
    checkCounts(level);

    TiXmlElement saved("SaveGame");
    level->saveState(&saved);

    // Click the first block of every row, then let the field settle.
    for (int y = 0; y < level->getRows(); ++y) {
        Block* block = nullptr;
        for (int x = 0; x < level->getColumns() && !block; ++x)
            block = level->getBlock(x, y);
        if (!block)
            continue;
        level->deselectAll();
        level->setSelectionOrigin(block);
        level->selectGroup(block);
        level->removeGroup(block, 0);
        level->applyGravity();
        checkCounts(level);
    }
    level->clear();
    level->setRemovingCount(0);
    return 0;
}
