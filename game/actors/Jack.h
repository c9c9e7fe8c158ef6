// The miner beside the play field. This is the part the play field drives: his pose (1 to 4; 1 is the
// resting pose). His pictures and blinking come with the mode fields that build him.
#pragma once

#include "toolkit/sprite/Sprite.h"

class Jack : public Sprite {
public:
    static const ClassRecord classRecord;

    Jack();

    unsigned instanceSize() override { return sizeof(Jack); }
    const ClassRecord* getClass() const override { return &classRecord; }

    // Shows pose n; a change marks the sprite dirty.
    virtual void setPose(int n);
    int getPose() const { return pose; }

protected:
    int pose = 1;
};
