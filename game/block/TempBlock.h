// The copy of a block that the classic play field shows dropping out of the pipe while the block itself
// travels along the pipe row. It mirrors its source every frame with the axes crossed: the source's
// distance left of the pipe's shift point becomes the copy's height above the drop point, and the
// source's distance above the shift point the copy's distance left of the drop point. When the source
// is done (obsolete) the copy takes itself off the canvas.
#pragma once

#include "game/block/Block.h"

class TempBlock : public Block {
public:
    TempBlock(Level* level, Block* source);
    ~TempBlock() override;

    unsigned instanceSize() override { return sizeof(TempBlock); }

    // Places itself again; none of a block's own animation runs.
    void tick() override;

    Block* getSource() const { return source; }

private:
    void place();

    Block* source;
};
