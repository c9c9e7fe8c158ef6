// Steps the sprite's frame animation (Sprite::nextFrame): counted, one frame every n updates, or timed,
// one frame every `duration` nominal frames. At the last frame of its direction the animation either
// goes round again (a wrapping or bouncing sprite with loops left; 0 or less loops for ever) or finishes.
#pragma once

#include "toolkit/modifier/Modifier.h"

class ModifierFrame : public Modifier {
public:
    enum Mode : int { Timed = 0, Counted = 1 };

    static const ClassRecord classRecord;
    // The most frames a timed animation steps in one update.
    static constexpr int MaxStepsPerUpdate = 1024;

    ModifierFrame() = default;
    ModifierFrame(int mode, int loops, int updatesPerFrame, double frameDuration)
        : mode(mode), loops(loops), updatesPerFrame(updatesPerFrame), frameDuration(frameDuration)
    {
    }

    static ModifierFrame* start(Sprite* sprite, int updatesPerFrame, int loops, int options);
    static ModifierFrame* startTimed(Sprite* sprite, double frameDuration, int loops, int options);

    unsigned getSize() override { return sizeof(ModifierFrame); }
    const ClassRecord* getClass() const override { return &classRecord; }
    // A duration of 0 or less steps one frame per update (it would never use up the time it gained), and
    // so does a count of 1 or less; a tiny duration steps at most MaxStepsPerUpdate frames.
    void update() override;

    int getMode() const { return mode; }
    int getLoops() const { return loops; }

protected:
    // One nextFrame and the end check.
    void step();

    int mode = Timed;
    int loops = 0;
    int updatesPerFrame = 1;
    double frameDuration = 1.0;
    int updateCounter = 0;
    double timeAccumulator = 0.0;
};
