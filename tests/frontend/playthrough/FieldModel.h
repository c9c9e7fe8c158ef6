// A model of a classic field as a player sees it, for the play-through's player: which cell holds what,
// the group under a cell, what the field looks like once a group is gone and the blocks have settled,
// and a choice of the next click that brings gold together. It knows only what the screen shows.
#pragma once

#include "compat/host/testing.h"

#include <optional>
#include <vector>

namespace playthrough {

enum CellKind : int {
    Empty = -1,
    // 0 to 4: the five block colours.
    Gold = 5,
    Other = 6, // a tool, a blocker, a treasure or anything not recognised: never clicked
};

struct Cell {
    int x = 0;
    int y = 0;
    bool operator==(const Cell& other) const { return x == other.x && y == other.y; }
};

class FieldModel {
public:
    FieldModel(int width, int height);

    int width() const { return columns; }
    int height() const { return rows; }
    int at(int x, int y) const;
    void set(int x, int y, int kind);
    int count(int kind) const;
    int occupied() const;
    // The highest occupied row counted from the bottom (0: empty field).
    int fillHeight() const;

    // The 4-connected cells of the same colour (or gold) as the cell; empty for other kinds.
    std::vector<Cell> groupAt(int x, int y) const;
    // The field after the group is removed: blocks fall, then empty columns close toward the middle.
    FieldModel without(const std::vector<Cell>& group) const;
    // The biggest gold group.
    int biggestGold() const;

    bool operator==(const FieldModel& other) const { return columns == other.columns && cells == other.cells; }

private:
    int columns;
    int rows;
    std::vector<int> cells;
};

// Reads the field from a picture of the screen: the grid's top-left corner and cell size as the level
// lays them out. A cell counts as a colour by the median colour of its lower right part (clear of the
// colour mark and the multiplier), as gold by the share of gold pixels, and as something else when a
// colour or gold block lies above it in its column; the rest is empty.
FieldModel readField(const compat::host::Picture& screen, int left, int top, int cellSize, int width, int height);

// The cell to click next: a gold group of three when there is one, else the colour group whose removal
// (looking two clicks ahead) brings the gold closest together, keeping the field low. None when no
// group of the minimum size exists.
std::optional<Cell> chooseClick(const FieldModel& field, int minimumGroup);

} // namespace playthrough
