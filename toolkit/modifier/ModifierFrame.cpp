#include "toolkit/modifier/ModifierFrame.h"

#include "toolkit/sprite/Sprite.h"

const ClassRecord ModifierFrame::classRecord("ModifierFrame", &Modifier::classRecord);

ModifierFrame* ModifierFrame::start(Sprite* sprite, int updatesPerFrame, int loops, int options)
{
    auto* modifier = new ModifierFrame(Counted, loops, updatesPerFrame, 0.0);
    modifier->setOptions(options);
    if (sprite)
        sprite->addModifier(modifier);
    return modifier;
}

ModifierFrame* ModifierFrame::startTimed(Sprite* sprite, double frameDuration, int loops, int options)
{
    auto* modifier = new ModifierFrame(Timed, loops, 0, frameDuration);
    modifier->setOptions(options);
    if (sprite)
        sprite->addModifier(modifier);
    return modifier;
}

void ModifierFrame::update()
{
    if (!sprite)
        return;
    if (mode == Counted) {
        updateCounter += 1;
        if (updateCounter >= updatesPerFrame) {
            updateCounter = 0;
            step();
        }
        return;
    }
    if (!(frameDuration > 0.0)) {
        step();
        return;
    }
    timeAccumulator += frameRatio();
    int steps = 0;
    while (timeAccumulator >= frameDuration && !hasState(StateFinished)) {
        timeAccumulator -= frameDuration;
        step();
        // A vanishing duration would step without end: what is left over is dropped.
        if (++steps == MaxStepsPerUpdate) {
            timeAccumulator = 0.0;
            break;
        }
    }
}

void ModifierFrame::step()
{
    sprite->nextFrame();
    const int index = sprite->getFrame();
    const bool forward = sprite->getFrameDirection() == Sprite::Forward;
    const bool atEnd = (forward && index == sprite->getFrameCount() - 1) || (!forward && index == 0);
    if (!atEnd)
        return;
    if (sprite->getFrameWrap() != Sprite::WrapNone && loops != 1) {
        if (loops >= 2)
            loops -= 1;
        return;
    }
    finish();
}
