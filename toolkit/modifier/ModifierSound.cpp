#include "toolkit/modifier/ModifierSound.h"

#include "platform/catalogue/CatalogueSound.h"
#include "resources/layout/XmlAttr.h"
#include "toolkit/sprite/Sprite.h"

const ClassRecord ModifierSound::classRecord("ModifierSound", &Modifier::classRecord);

ModifierSound* ModifierSound::start(Sprite* sprite, const std::string& soundName, int options)
{
    auto* modifier = new ModifierSound(soundName);
    modifier->addOption(options);
    if (sprite)
        sprite->addModifier(modifier);
    return modifier;
}

void ModifierSound::update()
{
    playSound(soundName, 255);
    finish();
}

void ModifierSound::readXML(const TiXmlElement* element)
{
    Modifier::readXML(element);
    if (element)
        XmlAttr::getString(element, "sound", soundName);
}
