#include "game/field/TreasureDrop.h"

#include "game/block/Block.h"
#include "game/level/Level.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/Random.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

TreasureRows clampTreasureRows(int rows, int minRow, int maxRow)
{
    TreasureRows range;
    range.minRow = std::max(minRow, 1);
    range.maxRow = std::min(maxRow, rows - 1);
    return range;
}

TreasureRows treasureDropRows(int rows, bool firstTreasure)
{
    auto difference = [](int a, int b) {
        return static_cast<int>(std::clamp<std::int64_t>(static_cast<std::int64_t>(a) - b, INT_MIN, INT_MAX));
    };
    if (firstTreasure)
        return clampTreasureRows(rows, difference(rows, getResourceInt("INT_DROP_FIRST_TREASURE_MAX_ROWS")),
                                 difference(rows, getResourceInt("INT_DROP_FIRST_TREASURE_MIN_ROWS")));
    const int space = getResourceInt("INT_DROP_TREASURE_MIN_TOPBLOCK_SPACE");
    return clampTreasureRows(rows, space == INT_MAX ? INT_MAX : space + 1,
                             difference(rows, getResourceInt("INT_DROP_TREASURE_MIN_ROWS")));
}

bool columnTakesTreasure(const Level& level, int column, const TreasureRows& range)
{
    int top = -1;
    for (int row = 0; row < level.getRows(); ++row) {
        const Block* block = level.getBlock(column, row);
        if (!block)
            continue;
        if (top < 0)
            top = row;
        switch (block->getType()) {
        case BlockTypeGold:
        case BlockTypeBomb:
        case BlockTypeTnt:
        case BlockTypeBlocker:
        case BlockTypeBucket:
            return false;
        default:
            break;
        }
    }
    return top >= 0 && top >= range.minRow && top <= range.maxRow;
}

int findTreasureColumn(const Level& level, const TreasureRows& range, Random& random)
{
    std::vector<int> columns(static_cast<std::size_t>(std::max(0, level.getColumns())));
    std::iota(columns.begin(), columns.end(), 0);
    for (std::size_t i = columns.size(); i > 1; --i)
        std::swap(columns[i - 1], columns[static_cast<std::size_t>(random.nextInt(static_cast<int>(i)))]);
    for (int column : columns)
        if (columnTakesTreasure(level, column, range))
            return column;
    return -1;
}
