// The mine cart that takes the gold of a level. This is the part the play field drives: the size of its
// gold pile and being told that the game is left. Its pictures and moves come with the mode fields that
// build it.
#pragma once

#include "toolkit/sprite/Sprite.h"

class MineCart : public Sprite {
public:
    static const ClassRecord classRecord;

    explicit MineCart(int maxGold = 100);

    unsigned instanceSize() override { return sizeof(MineCart); }
    const ClassRecord* getClass() const override { return &classRecord; }

    // Clamped to 0..the cart's maximum; a change marks the sprite dirty.
    virtual void setGoldAmount(int n);
    int getGoldAmount() const { return goldAmount; }
    int getMaxGold() const { return maxGold; }
    // The game is being left: a cart stops whatever it still plays.
    virtual void leave() {}

protected:
    int goldAmount = 0;
    int maxGold = 100;
};
