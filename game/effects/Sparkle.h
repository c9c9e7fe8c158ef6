// A short star animation: a mask drawn in white, stepping once through its frames, then fading out.
// It can follow a sprite (a gold block, the mine cart) at a fixed distance, and leaves on its own when
// that sprite is done; a drifting sparkle creeps one pixel to the right every few frames.
#pragma once

#include "toolkit/sprite/BitmapSprite.h"

class Sparkle : public BitmapSprite {
public:
    // dx, dy: the distance from the followed sprite, or the position when nothing is followed. An alpha
    // below 0 takes the data set's sparkle alpha.
    Sparkle(Sprite* followed, Surface* mask, int dx, int dy, int alpha, bool drifting);
    ~Sparkle() override;

    unsigned instanceSize() override { return sizeof(Sparkle); }
    void tick() override;
    // Lets go of the followed sprite.
    void onRemovedFromCanvas() override;

    Sprite* getFollowed() const { return followed; }
    int getDx() const { return dx; }
    int getDy() const { return dy; }

private:
    void releaseFollowed();

    Sprite* followed;
    int dx;
    int dy;
    int stepCounter = 0;
    bool drifting;
};
