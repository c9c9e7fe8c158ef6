#include "game/field/GroupScore.h"

#include "game/block/Block.h"
#include "game/level/Level.h"
#include "resources/properties/PropertyManager.h"

#include <climits>
#include <cmath>

namespace {

int clampToInt(long double value)
{
    if (!(value == value))
        return 0;
    if (value >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

int clampToInt(std::int64_t value)
{
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

} // namespace

ScoreValues ScoreValues::read(PropertyManager& store)
{
    ScoreValues values;
    values.init = store.getInteger("INT_SCORE_INIT");
    values.perBlock = store.getInteger("INT_SCORE_PER_BLOCK");
    values.perGold = store.getInteger("INT_SCORE_PER_GOLD");
    values.perTreasure = store.getInteger("INT_SCORE_PER_TREASURE");
    values.perSpecial = store.getInteger("INT_SCORE_PER_SPECIAL");
    return values;
}

std::int64_t groupBasePoints(const ScoreValues& values, int type, int selected, int minimum)
{
    switch (type) {
    case BlockTypeColour: {
        // Each block past the minimum is worth one point more than the one before: the sum of
        // perBlock + i for i = 0 .. k - 1, in closed form so a huge selection costs nothing.
        const std::int64_t k = std::max<std::int64_t>(0, static_cast<std::int64_t>(selected) - minimum);
        return values.init + k * values.perBlock + k * (k - 1) / 2;
    }
    case BlockTypeGold:
        return static_cast<std::int64_t>(values.perGold) * selected;
    case BlockTypeTreasure:
        return values.perTreasure;
    case BlockTypeBomb:
    case BlockTypeColorBomb:
    case BlockTypeLineBomb:
    case BlockTypeHammer:
    case BlockTypeBucket:
    case BlockTypeHourglass:
    case BlockTypeRainbow:
    case BlockTypeTnt:
        return values.perSpecial;
    default:
        return values.init;
    }
}

int scaleGroupPoints(std::int64_t points, float factor)
{
    return clampToInt(static_cast<long double>(points) * static_cast<long double>(factor));
}

int groupMultiplier(const Level& level)
{
    std::int64_t product = 1;
    const BlockGrid& grid = level.getGrid();
    for (int x = 0; x < grid.getWidth(); ++x)
        for (int y = 0; y < grid.getHeight(); ++y) {
            const Block* block = grid.get(x, y);
            if (block && block->getState() == BlockStateSelected && block->getType() == BlockTypeColour &&
                block->getMultiplier() > 1)
                product = std::min<std::int64_t>(product * block->getMultiplier(), INT_MAX);
        }
    return static_cast<int>(product);
}

int groupTotal(int points, int multiplier)
{
    return clampToInt(static_cast<std::int64_t>(points) * multiplier);
}

std::string scoreFloaterText(int points, int multiplier)
{
    std::string text = "+" + std::to_string(points);
    if (multiplier > 1)
        text += "x" + std::to_string(multiplier);
    return text;
}

bool StarColourTable::isColoured(int type)
{
    return type == BlockTypeColour || type == BlockTypeColorBomb || type == BlockTypeBucket ||
           type == BlockTypeRainbow;
}

void StarColourTable::read(PropertyManager& store)
{
    // The one colour of each single-colour type (none for type 0 and the coloured types).
    static const char* const kSingle[kTypes] = {
        nullptr,
        nullptr,
        "COLOR_REMOVE_STAR_GOLD",
        "COLOR_REMOVE_STAR_BLOCKER",
        "COLOR_REMOVE_STAR_TREASURE",
        "COLOR_REMOVE_STAR_BOMB",
        nullptr,
        "COLOR_REMOVE_STAR_SHOVEL", // the line bomb
        "COLOR_REMOVE_STAR_HAMMER",
        nullptr,
        "COLOR_REMOVE_STAR_HOURGLASS",
        nullptr,
        "COLOR_REMOVE_STAR_TNT",
    };
    std::uint32_t byColour[kColours];
    for (int c = 0; c < kColours; ++c)
        byColour[c] = store.getColor("COLOR_REMOVE_STAR_COLOR" + std::to_string(c + 1)).packed;
    for (int type = 0; type < kTypes; ++type) {
        if (isColoured(type)) {
            for (int c = 0; c < kColours; ++c)
                colours[type][c] = byColour[c];
        } else if (kSingle[type]) {
            const std::uint32_t one = store.getColor(kSingle[type]).packed;
            for (std::uint32_t& entry : colours[type])
                entry = one;
        }
    }
}

std::uint32_t StarColourTable::get(int type, int colour) const
{
    if (type < 0 || type >= kTypes)
        return 0;
    if (!isColoured(type))
        return colours[type][0];
    return colour >= 0 && colour < kColours ? colours[type][colour] : 0;
}
