// Where a treasure may drop: a column whose stack holds no gold, bomb, tnt, blocker or bucket and whose
// highest block stands in a row range. The range comes from the data: deep in the field for the
// player's first treasure, otherwise anywhere below a free space at the top.
#pragma once

class Level;
class Random;

struct TreasureRows {
    int minRow = 0;
    int maxRow = -1;
};

// The range for a field of `rows` rows from the layout values. It is kept inside 1 .. rows - 1, so the
// treasure, which enters at row 0 and falls onto the column, never lands on an occupied cell; a maximum
// below the minimum gives an empty range.
TreasureRows treasureDropRows(int rows, bool firstTreasure);

// The same from the raw bounds.
TreasureRows clampTreasureRows(int rows, int minRow, int maxRow);

bool columnTakesTreasure(const Level& level, int column, const TreasureRows& range);

// The first fitting column of the shuffled column list; -1 when none fits.
int findTreasureColumn(const Level& level, const TreasureRows& range, Random& random);
