// The level of the mode "CLASSIC": it decides what every new block is. Ordinary blocks, blockers, tools
// and specials are drawn from a weighted bag that the level's ratios fill; gold comes from a separate
// roll whose chance grows by one percent per roll until a gold comes, and every gold makes the pipe
// faster (the block time). New rows wait in the pipe below the field and are pushed in from below.
//
// Built from the layout element "classiclevel". Every random draw comes from the program-wide Random, so
// a seed gives the same field.
#pragma once

#include "game/level/Level.h"

class ClassicLevel : public Level {
public:
    // The block time never falls below this through golds.
    static constexpr int kMinBlockTime = 100;
    static constexpr int kBlockTimeStepPerGold = 30;

    ClassicLevel() = default;

    // The factory's creator: a new level that has read the element.
    static void* create(const TiXmlElement* element);

    unsigned instanceSize() override { return sizeof(ClassicLevel); }

    // Harder levels past the last definition: more lines and blockers, fewer tools (k <= 0: no change).
    void extendLevel(int k) override;
    // Fills the start rows, top to bottom, each left to right.
    void createInitialLines() override;
    Block* createNextBlock(int x, int y) override;
    // The field moves one row up and the waiting row enters the bottom row from the right.
    void insertRow() override;
    // The base reader, then "blocktime" of the same element.
    void readXML(const TiXmlElement* element) override;

    int getBlockTime() const { return blockTime; }
    void setBlockTime(int ms) { blockTime = ms; }

private:
    // Whether a drawn entry that is not a colour block may come now.
    bool acceptsSpecial() const;

    std::int32_t blockTime = 0;
};
