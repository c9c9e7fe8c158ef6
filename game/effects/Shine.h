// A diagonal band of light passing over the gold blocks: the band stands one block lower in every
// column, and each gold block shows the slice of the band's mask that crosses it, in white. The play
// field moves the band (its y) and fades it (its alpha).
#pragma once

#include "toolkit/sprite/BitmapSprite.h"

class Level;
class MemorySurface;

class Shine : public BitmapSprite {
public:
    explicit Shine(Level* level);
    ~Shine() override;

    unsigned instanceSize() override { return sizeof(Shine); }
    void tick() override;
    void draw(Surface* target) override;

    Level* getLevel() const { return level; }

private:
    void makeWhiteSurface();
    void releaseWhiteSurface();

    Level* level;
    Surface* white = nullptr;
};
