#include "toolkit/modifier/ModifierDelay.h"

#include "resources/layout/XmlAttr.h"
#include "toolkit/sprite/Sprite.h"

const ClassRecord ModifierDelay::classRecord("ModifierDelay", &Modifier::classRecord);

ModifierDelay* ModifierDelay::start(Sprite* sprite, double time, int options)
{
    auto* modifier = new ModifierDelay(time);
    modifier->addOption(options);
    if (sprite)
        sprite->addModifier(modifier);
    return modifier;
}

void ModifierDelay::update()
{
    timeLeft -= frameRatio();
    // A not-a-number time would never run out: it counts as no time.
    if (!(timeLeft > 0.0))
        finish();
}

void ModifierDelay::readXML(const TiXmlElement* element)
{
    Modifier::readXML(element);
    if (element)
        XmlAttr::getFloat(element, "time", timeLeft);
}
