// The small animated picture over a gold, treasure or tool block. It keeps its distance to the block it
// belongs to: the block hands it its own position, and the icon adds its offsets, so a falling, sliding
// or shaking block carries its icon along.
#pragma once

#include "toolkit/sprite/BitmapSprite.h"

class Surface;

class BlockIcon : public BitmapSprite {
public:
    BlockIcon(Surface* surface, Surface* mask, int offsetX, int offsetY);

    unsigned instanceSize() override { return sizeof(BlockIcon); }

    // The block's x; the icon stands at offsetX + x.
    void setX(int x) override;
    // The block's y; the icon stands at offsetY + y.
    void setY(int y) override;

    int getOffsetX() const { return offsetX; }
    int getOffsetY() const { return offsetY; }

private:
    int offsetX;
    int offsetY;
};
