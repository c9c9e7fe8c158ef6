// A wait of a number of nominal frames. A delay is blocking from its construction, so the modifiers added
// behind it start in the frame in which it runs out.
#pragma once

#include "toolkit/modifier/Modifier.h"

class ModifierDelay : public Modifier {
public:
    static const ClassRecord classRecord;

    ModifierDelay() { options = OptionBlocking; }
    explicit ModifierDelay(double time) : timeLeft(time) { options = OptionBlocking; }

    // The options are added to the blocking one.
    static ModifierDelay* start(Sprite* sprite, double time, int options);

    unsigned getSize() override { return sizeof(ModifierDelay); }
    const ClassRecord* getClass() const override { return &classRecord; }
    // Finishes in the update in which no time is left.
    void update() override;
    // "time" after the base's attributes.
    void readXML(const TiXmlElement* element) override;

    double getTimeLeft() const { return timeLeft; }

protected:
    double timeLeft = 0.0;
};
