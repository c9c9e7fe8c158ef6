// Plays a catalogue sound once, at full volume, and finishes in the same update. Not blocking unless the
// start function or the element asks for it.
#pragma once

#include "toolkit/modifier/Modifier.h"

#include <string>

class ModifierSound : public Modifier {
public:
    static const ClassRecord classRecord;

    ModifierSound() = default;
    explicit ModifierSound(const std::string& soundName) : soundName(soundName) {}

    // The options are added to the constructor's.
    static ModifierSound* start(Sprite* sprite, const std::string& soundName, int options);

    unsigned getSize() override { return sizeof(ModifierSound); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void update() override;
    // "sound" after the base's attributes.
    void readXML(const TiXmlElement* element) override;

    const std::string& getSoundName() const { return soundName; }

protected:
    std::string soundName;
};
