// The arithmetic of a group click, apart from the play field so the rules can be checked on their own:
// the points of a group by the clicked block's type, the difficulty factor, the product of the selected
// colour blocks' multipliers, the floater text, and the colours of the removal stars by block type and
// colour.
#pragma once

#include <cstdint>
#include <string>

class Level;
class PropertyManager;

// The score values of the property store.
struct ScoreValues {
    int init = 0;        // "INT_SCORE_INIT": a group of exactly the minimum size
    int perBlock = 0;    // "INT_SCORE_PER_BLOCK": the first block past the minimum
    int perGold = 0;     // "INT_SCORE_PER_GOLD"
    int perTreasure = 0; // "INT_SCORE_PER_TREASURE"
    int perSpecial = 0;  // "INT_SCORE_PER_SPECIAL": every tool and bomb

    // Throws the store's "ID not found" exception for a missing value.
    static ScoreValues read(PropertyManager& store);
};

// Points before the difficulty factor: `selected` blocks are selected, `minimum` is the smallest group
// of the type. Colour groups earn init plus perBlock, perBlock + 1, ... for each block past the minimum;
// a type with no block (0) or a blocker keeps init.
std::int64_t groupBasePoints(const ScoreValues& values, int type, int selected, int minimum);

// The points times the difficulty factor in extended precision, truncated toward zero and kept inside
// the int range.
int scaleGroupPoints(std::int64_t points, float factor);

// Product of the multipliers above 1 of the selected colour blocks of the grid, kept inside the int range.
int groupMultiplier(const Level& level);

// points * multiplier, kept inside the int range.
int groupTotal(int points, int multiplier);

// "+12", or "+12x4" when the multiplier is above 1.
std::string scoreFloaterText(int points, int multiplier);

// The tint of the removal stars by block type (0..12) and colour (0..4), as 0xAARRGGBB colours; the
// sprite that draws a star converts it to the screen's pixel format.
class StarColourTable {
public:
    static constexpr int kTypes = 13;
    static constexpr int kColours = 5;

    // Colour, colour bomb, bucket and rainbow blocks take "COLOR_REMOVE_STAR_COLOR1".."5" by their
    // colour; every other type has one colour of its own. Missing entries throw the store's exception.
    void read(PropertyManager& store);
    // The colour of a type and colour; types outside the table give 0. Types with one colour ignore the
    // colour (a treasure's colour is its treasure index); a colour outside 0..4 gives 0.
    std::uint32_t get(int type, int colour) const;

    // Whether the type's stars follow the block's colour.
    static bool isColoured(int type);

private:
    std::uint32_t colours[kTypes][kColours] = {};
};
