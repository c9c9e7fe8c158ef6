// Where a double-byte font finds its single-byte characters: the full-width forms of GB2312 row 3
// (and a few other cells), measured in a 26-pixel design cell that the font scales to its own cell.
#pragma once

struct HalfWidthEntry {
    int x;       // cell position in the grid, in design pixels
    int y;
    int width;   // cell size, in design pixels
    int height;
    int advance; // pen advance, in design pixels
    int offset;  // drawn this far right of the pen (negative: left), in design pixels
};

// The size of the design cell the entries are measured in.
constexpr int halfWidthDesignCell = 26;

// The entry of byte c; bytes without a cell of their own get cell (0, 0) and advance 0.
const HalfWidthEntry& halfWidthEntry(unsigned char c);
