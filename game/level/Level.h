// The model of the block field that both game modes share: the field geometry and the per-level
// generator values read from the level element, the grid of blocks, the row of blocks waiting below the
// field, the running counts (gold, selected, being removed, in the grid), and the rules that act on the
// grid as a whole: what a click selects, the staggered removal, gravity with columns closing toward the
// middle, the top-row test and the block state kept in a saved game.
//
// The level draws nothing: its sprite x and y are the pixel position of the top-left cell and its sprite
// width and height are the number of columns and rows (cells, not pixels). Each level kind supplies the
// generator (createNextBlock), the start rows, the row insertion and the growth past its last level.
//
// Blocks are held through their reference counts: the grid and the waiting row each hold one reference
// per block. A level hands every block a reference to its LevelToken, so a block that outlives the level
// sees that it is gone instead of touching freed memory.
#pragma once

#include "game/block/Block.h"
#include "runtime/scramble/ScrambledInt.h"
#include "toolkit/sprite/Sprite.h"

#include <cstdint>
#include <functional>
#include <vector>

class BitmapFont;
class BlockDesc;
class TiXmlElement;

// Alive while its level exists; every block of the level holds a reference.
class LevelToken : public RefObject {
public:
    unsigned size() override { return sizeof(LevelToken); }
    bool alive = true;
};

// What the level asks of the play field for every block it takes out of the grid: play the removal
// (after `delay` frames), set the block's state to removing and raise the level's removing count. The
// play field implements it; a level without one does the bookkeeping itself.
class BlockRemover {
public:
    virtual ~BlockRemover() = default;
    virtual void removeBlockSprite(Block* block, int delay) = 0;
};

// A rectangle of cells, row-major: cell (x, y) at index y * width + x, each holding one counted
// reference or nothing. No bounds checks: callers go through Level::getBlock and Level::setBlock.
class BlockGrid {
public:
    BlockGrid() = default;
    BlockGrid(int width, int height);
    BlockGrid(const BlockGrid&) = delete;
    BlockGrid& operator=(const BlockGrid&) = delete;
    ~BlockGrid();

    // Stores the size and empties every cell.
    void resize(int width, int height);
    // Releases every block and refills with width * height empty cells.
    void clear();
    // Retains the new block, then releases the old one.
    void set(int x, int y, Block* block);
    Block* get(int x, int y) const { return cells[static_cast<std::size_t>(y) * width + x]; }

    int getWidth() const { return width; }
    int getHeight() const { return height; }

private:
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<Block*> cells;
};

class Level : public Sprite {
public:
    // Block types 0..12 and colours 0..4.
    static constexpr int TypeCount = 13;
    static constexpr int ColourCount = 5;

    Level();
    ~Level() override;

    unsigned instanceSize() override { return sizeof(Level); }
    // 0 <= x < width and 0 <= y < height, in cells.
    bool contains(int x, int y) override;

    // The level kinds' slots, in this order.
    // Appends "BlockList" (every cell) and "NewRow" (the waiting blocks) to the element.
    virtual void saveState(TiXmlElement* element);
    // Builds the grid and the waiting row back from what saveState wrote. Entries that do not fit this
    // level (cells outside the grid, unknown types, colours or states) are skipped.
    virtual void loadState(const TiXmlElement* element);
    // Resets the generator state and reads the definition of the current level number.
    virtual void startLevel();
    virtual void extendLevel(int k) = 0;
    virtual void createInitialLines() = 0;
    // A new block for the cell (x, y) (reference count 0).
    virtual Block* createNextBlock(int x, int y) = 0;
    // The vertical offset added to every block's drawn y; 0 for a level that does not scroll.
    virtual double scrollRemainder() { return 0.0; }
    virtual void insertRow() = 0;
    // The first call takes the field geometry and the level count from the element and reads its first
    // child; later calls read the per-level values of the element given.
    virtual void readXML(const TiXmlElement* element);

    // Queries.
    // The block in the cell; null outside the grid or for an empty cell.
    Block* getBlock(int x, int y) const;
    // First block from the top row down, each row left to right.
    Block* getTopBlock() const;
    // First block of the type from the bottom row up, each row left to right.
    Block* getLowestBlockOfType(int type) const;
    Block* getNewRowBlock(int i) const;
    // The waiting row is not empty and its last block has no modifier attached.
    bool isNewRowSettled() const;
    // Product of the multipliers of the colour blocks of that colour in the grid and the waiting row.
    int getMultiplierProduct(int colour) const;
    // 3 (4 with quattro) for colour and gold groups, 1 for everything else.
    static int getMinimumGroup(int type, bool quattro);
    bool isTopReached() const;

    // Changes.
    // Stores the block in the cell and counts it; ignored outside the grid.
    void setBlock(int x, int y, Block* block);
    // Takes the block out of its cell and hands it to the play field with the delay (frames).
    void removeBlock(Block* block, int delay);
    void repaintBlock(Block* block, int type, int colour);
    // Selects the block and counts it once.
    void markSelected(Block* block);
    void deselectAll();
    void setShakingRows(int n);
    void fadeOutBlocks();
    void fadeInBlocks(float speed);
    void appendNewRowBlock(Block* block);
    Block* makeNextBlock();
    void clear();

    // What a click on the block affects (marked selected) and its removal, starting at `delay` frames.
    void selectGroup(Block* block);
    void removeGroup(Block* block, int delay);
    // Blocks fall into gaps, then empty columns close toward the middle.
    void applyGravity();

    // Field geometry.
    int getColumns() const { return bounds.width; }
    int getRows() const { return bounds.height; }
    int getBlockWidth() const { return blockWidth; }
    int getBlockHeight() const { return blockHeight; }

    // Per-level values.
    int getGoldSpacing() const { return goldSpacing; }
    int getSpecialSpacing() const { return specialSpacing; }
    int getNrOfLines() const { return nrOfLines; }
    int getNrOfInitLines() const { return nrOfInitLines; }
    int getMultiplierRatio() const { return multiplierRatio; }
    // Ratio of a block type 0..12 (0 outside).
    int getTypeRatio(int type) const;
    // Ratio of a colour 0..4 (0 outside).
    int getColourRatio(int colour) const;
    int getLevelCount() const { return levelCount; }
    int getLevelNumber() const { return levelNumber.get(); }
    void setLevelNumber(int n) { levelNumber.set(n); }

    // Generator state.
    int getGoldChance() const { return goldChance; }
    int getNextSpecialCounter() const { return nextSpecial; }
    int getLastGoldCounter() const { return lastGold; }
    int getBlockCounter() const { return blockCounter; }
    int getGoldGenerated() const { return goldGenerated; }

    // Counts.
    int getGoldCount() const { return goldCount; }
    int getSelectedCount() const { return selectedCount; }
    int getRemovingCount() const { return removingCount; }
    void setRemovingCount(int n) { removingCount = n; }
    int getBlockCount() const { return blockCount; }
    int getShakingRows() const { return shakingRows; }
    int getRowsAdded() const { return rowsAdded; }
    void setRowsAdded(int n) { rowsAdded = n; }

    Block* getSelectionOrigin() const { return selectionOrigin; }
    void setSelectionOrigin(Block* block) { selectionOrigin = block; }

    const BlockGrid& getGrid() const { return grid; }
    const std::vector<Block*>& getNewRow() const { return newRow; }
    const std::vector<BlockDesc*>& getBag() const { return bag; }
    LevelToken* getToken() const { return token; }
    BitmapFont* getMultiplierFont() const { return multiplierFont; }
    int getRainbowChangeTime() const { return rainbowChangeTime; }
    const TiXmlElement* getDefinition() const { return definition; }

    void setPlayField(BlockRemover* remover) { playField = remover; }
    BlockRemover* getPlayField() const { return playField; }

protected:
    // Releases every entry and empties the list, then reserves room for n.
    static void clearBlockList(std::vector<Block*>& list);
    static void reserveBlockList(std::vector<Block*>& list, int n);
    void clearBag();
    // Resets the generator state as a level start does.
    void resetGenerator();
    // The start rows from the bottom of the field up to nrOfInitLines rows, top to bottom and each left
    // to right, every block from createNextBlock (enabled first with `enable`); each row counts as added.
    void fillStartRows(bool enable);
    // One roll for gold at the growing chance (3 % after a level start or a gold, one more each roll):
    // a gold sets the chance back, counts and marks the last gold, and the level's first gold empties
    // the bag.
    bool rollForGold();
    // Fills the empty bag from the level's ratios: the colour entries (one of each colour for a level
    // without colour ratios) and their multipliers, blockers, colour bombs, rainbows (once unlocked) and
    // hourglasses, then with `withTools` bombs, TNT (once unlocked), line bombs, hammers and buckets.
    void refillBag(bool withTools);
    void addBagEntries(int count, int type, int colour);
    // Moves every block below the top row one row up in the grid (the level's counts stay), each column
    // left to right and each from the top down, and tells `moved` of each block's new cell. Only a full
    // top row lies above one; that top block leaves the level.
    void shiftRowsUp(const std::function<void(Block* block, int column, int row)>& moved);
    // The colour of a colour entry drawn from the bag; a bag of nearly nothing but specials gives its
    // first colour, an empty one colour 0.
    int drawColour();
    // The next block drawn from the bag, which must not be empty. A drawn special comes only while
    // `acceptsSpecial` allows one, and then sets the counter of the next; a definition that keeps
    // offering refused entries gets a colour block. A multiplier that would raise its colour's product
    // beyond the cap is dropped.
    Block* drawBlockFromBag(int x, int y, const std::function<bool()>& acceptsSpecial, bool enabled);

    std::int32_t blockWidth = 0;
    std::int32_t blockHeight = 0;
    std::int32_t goldSpacing = 0;
    std::int32_t specialSpacing = 0;
    std::int32_t nrOfLines = 0;
    std::int32_t nrOfInitLines = 0;
    std::int32_t multiplierRatio = 0;
    std::int32_t typeRatio[TypeCount] = {};
    std::int32_t colourRatio[ColourCount] = {};
    ScrambledInt levelNumber;
    std::int32_t goldChance = 3;
    std::int32_t nextSpecial = 0;
    std::int32_t lastGold = 0;
    std::int32_t blockCounter = 0;
    std::int32_t goldGenerated = 0;
    std::vector<BlockDesc*> bag;
    const TiXmlElement* definition = nullptr;
    BlockRemover* playField = nullptr;
    BitmapFont* multiplierFont = nullptr;
    std::int32_t rainbowChangeTime = 0;
    BlockGrid grid;
    std::vector<Block*> newRow;
    std::int32_t goldCount = 0;
    std::int32_t selectedCount = 0;
    std::int32_t removingCount = 0;
    std::int32_t blockCount = 0;
    std::int32_t shakingRows = 0;
    std::int32_t levelCount = 0;
    std::int32_t rowsAdded = 0;
    Block* selectionOrigin = nullptr;
    bool gridSized = false;
    LevelToken* token = nullptr;
};
