// A spring toward a moving target sprite (flying gold homing in on the cart): every update pulls the
// sprite toward the target's position plus an offset, with the damping and springiness taken from the
// layout floats "FLOAT_GOLD_FLY_DAMPING" and "FLOAT_GOLD_FLY_SPRINGINESS". The step does not scale with
// the frame time. With finish-on-arrival it finishes in the update in which both axes are within a pixel
// of the target and slower than ten pixels per update; otherwise it follows until it is removed.
//
// The target is held with a reference. A follow move without a target (one made from a layout element,
// which cannot name a target) has nothing to follow and finishes at its first update.
#pragma once

#include "toolkit/modifier/Modifier.h"

class ModifierLocationFollow : public Modifier {
public:
    static const ClassRecord classRecord;

    // The two tuning values a move made from a layout element gets; the step does not use them.
    ModifierLocationFollow() : tuningA(0.15f), tuningB(0.4f) {}
    ModifierLocationFollow(Sprite* target, float offsetX, float offsetY, float tuningA, float tuningB,
                           bool finishOnArrival);
    ~ModifierLocationFollow() override;

    static ModifierLocationFollow* start(Sprite* sprite, Sprite* target, float offsetX, float offsetY, float tuningA,
                                         float tuningB, bool finishOnArrival, int options);

    unsigned getSize() override { return sizeof(ModifierLocationFollow); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void update() override;
    // "easyinout" after the base's attributes (kept; the step does not use it).
    void readXML(const TiXmlElement* element) override;

    // Holds the new target, lets the old one go.
    void setTarget(Sprite* newTarget);
    Sprite* getTarget() const { return target; }
    void setFinishOnArrival(bool on) { finishOnArrival = on; }
    void setAdjustX(bool on) { adjustX = on; }
    void setAdjustY(bool on) { adjustY = on; }
    float getVelocityX() const { return velocityX; }
    float getVelocityY() const { return velocityY; }
    bool getEaseInOut() const { return easeInOut; }

protected:
    Sprite* target = nullptr;
    bool finishOnArrival = false;
    float remainderX = 0.0f;
    float remainderY = 0.0f;
    float targetOffsetX = 0.0f;
    float targetOffsetY = 0.0f;
    float tuningA = 0.0f;
    float tuningB = 0.0f;
    float accelerationX = 0.0f;
    float accelerationY = 0.0f;
    float velocityX = 0.0f;
    float velocityY = 0.0f;
    bool adjustX = true;
    bool adjustY = true;
    bool easeInOut = false;
};
