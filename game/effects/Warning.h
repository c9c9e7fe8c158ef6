// The warning sign over a block that has reached the top row: it drops into place, sways, then
// trembles harder and harder. It follows its block's alpha, and fades out once the block is gone or
// has moved to another cell. Without a block it shows briefly and fades on its own.
#pragma once

#include "toolkit/sprite/BitmapSprite.h"

class Block;

class Warning : public BitmapSprite {
public:
    Warning(Block* block, int x, int y, int targetY);
    ~Warning() override;

    unsigned instanceSize() override { return sizeof(Warning); }
    void tick() override;
    // The base position; the sprite stands at base + jitter.
    void setX(int x) override;
    void setY(int y) override;
    // Scaled by the block's alpha when there is a block.
    void setAlpha(int a) override;

    Block* getBlock() const { return block; }
    float getIntensity() const { return intensity; }
    int getBaseX() const { return baseX; }
    int getBaseY() const { return baseY; }
    int getJitterX() const { return jitterX; }
    int getJitterY() const { return jitterY; }

private:
    void releaseBlock();

    Block* block;
    int baseX = 0;
    int baseY = 0;
    int jitterX = 0;
    int jitterY = 0;
    float intensity = 0.0f;
    int column = 0;
    int row = 0;
};
