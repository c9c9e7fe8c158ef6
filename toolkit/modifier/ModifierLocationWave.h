// A move on a spiral or an arc around a centre: the radius and the angle each move from a start to an end
// value at their own speed (parts of the way per nominal frame). Every update writes the position; the
// update after both have arrived finishes.
//
// The class is a location move, but its class record names "Modifier" as parent: a kind test for
// "ModifierLocation" does not take it.
#pragma once

#include "toolkit/modifier/ModifierLocation.h"

class ModifierLocationWave : public ModifierLocation {
public:
    static const ClassRecord classRecord;

    ModifierLocationWave() = default;
    ModifierLocationWave(int centreX, int centreY, int startRadius, int endRadius, float startAngle, float endAngle,
                         float radiusSpeed, float angleSpeed);

    static ModifierLocationWave* start(Sprite* sprite, int centreX, int centreY, int startRadius, int endRadius,
                                       float startAngle, float endAngle, float radiusSpeed, float angleSpeed,
                                       int options);

    unsigned getSize() override { return sizeof(ModifierLocationWave); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void update() override;

protected:
    int startRadius = 0;
    int endRadius = 0;
    float radiusSpeed = 0.0f;
    float startAngle = 0.0f;
    float endAngle = 0.0f;
    float angleSpeed = 0.0f;
    float radiusT = 0.0f;
    float angleT = 0.0f;
};
