#include "toolkit/modifier/ModifierAlpha.h"

#include "resources/layout/XmlAttr.h"
#include "toolkit/sprite/BitmapSprite.h"

const ClassRecord ModifierAlpha::classRecord("ModifierAlpha", &Modifier::classRecord);

ModifierAlpha::ModifierAlpha(float startAlpha, float endAlpha, float speed)
    : startAlpha(startAlpha), endAlpha(endAlpha), currentAlpha(startAlpha), speed(speed)
{
}

ModifierAlpha* ModifierAlpha::start(Sprite* sprite, int fromAlpha, int toAlpha, float speed, int options)
{
    auto* modifier = new ModifierAlpha(static_cast<float>(fromAlpha), static_cast<float>(toAlpha), speed);
    modifier->setOptions(options);
    if (sprite)
        sprite->addModifier(modifier);
    return modifier;
}

ModifierAlpha* ModifierAlpha::startFromCurrent(Sprite* sprite, int toAlpha, float speed, int options)
{
    const auto* bitmap = dynamic_cast<const BitmapSprite*>(sprite);
    return start(sprite, bitmap ? bitmap->getAlpha() : 255, toAlpha, speed, options);
}

void ModifierAlpha::update()
{
    currentAlpha = static_cast<float>(lerp(startAlpha, endAlpha, t));
    if (auto* bitmap = dynamic_cast<BitmapSprite*>(sprite))
        bitmap->setAlpha(toInt(currentAlpha));
    if (done) {
        finish();
        return;
    }
    t += frameRatio() * speed;
    if (t > 1.0f) {
        done = true;
        currentAlpha = endAlpha;
        t = 1.0f;
    }
}

void ModifierAlpha::readXML(const TiXmlElement* element)
{
    Modifier::readXML(element);
    if (!element)
        return;
    XmlAttr::getFloatValue(element, "startalpha", startAlpha);
    XmlAttr::getFloatValue(element, "endalpha", endAlpha);
    XmlAttr::getFloatValue(element, "speed", speed);
}
