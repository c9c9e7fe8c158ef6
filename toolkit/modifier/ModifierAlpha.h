// A fade: moves the sprite's alpha from a start to an end value by `speed` of the way per nominal frame.
// The update in which the fade passes its end snaps to it; the next one writes the end alpha exactly and
// finishes. Only sprites that draw with an alpha (BitmapSprite and what derives from it) are faded.
#pragma once

#include "toolkit/modifier/Modifier.h"

class ModifierAlpha : public Modifier {
public:
    static const ClassRecord classRecord;

    ModifierAlpha() = default;
    ModifierAlpha(float startAlpha, float endAlpha, float speed);

    static ModifierAlpha* start(Sprite* sprite, int fromAlpha, int toAlpha, float speed, int options);
    // From the sprite's current alpha (255 for a sprite without one).
    static ModifierAlpha* startFromCurrent(Sprite* sprite, int toAlpha, float speed, int options);

    unsigned getSize() override { return sizeof(ModifierAlpha); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void update() override;
    // "startalpha", "endalpha", "speed" after the base's attributes.
    void readXML(const TiXmlElement* element) override;

    float getStartAlpha() const { return startAlpha; }
    float getEndAlpha() const { return endAlpha; }
    float getCurrentAlpha() const { return currentAlpha; }
    float getSpeed() const { return speed; }

protected:
    float startAlpha = 0.0f;
    float endAlpha = 0.0f;
    float currentAlpha = 0.0f;
    float speed = 0.0f;
    float t = 0.0f;
    bool done = false;
};
