#include "toolkit/modifier/ModifierBounds.h"

#include "resources/layout/XmlAttr.h"
#include "toolkit/sprite/Sprite.h"

const ClassRecord ModifierBounds::classRecord("ModifierBounds", &Modifier::classRecord);

ModifierBounds* ModifierBounds::start(Sprite* sprite, int startWidth, int startHeight, int endWidth, int endHeight,
                                      float speed, int options)
{
    auto* modifier = new ModifierBounds;
    modifier->setSizes(startWidth, startHeight, endWidth, endHeight, speed);
    modifier->setOptions(options);
    if (sprite)
        sprite->addModifier(modifier);
    return modifier;
}

void ModifierBounds::setSizes(int newStartWidth, int newStartHeight, int newEndWidth, int newEndHeight,
                              float newSpeed)
{
    startWidth = newStartWidth;
    startHeight = newStartHeight;
    endWidth = newEndWidth;
    endHeight = newEndHeight;
    speed = newSpeed;
    currentWidth = static_cast<float>(startWidth);
    currentHeight = static_cast<float>(startHeight);
    // In floating point: the distance between two layout integers may not fit an int.
    widthSpeed = (static_cast<float>(endWidth) - static_cast<float>(startWidth)) * speed;
    heightSpeed = (static_cast<float>(endHeight) - static_cast<float>(startHeight)) * speed;
}

void ModifierBounds::stepAxis(float& current, float speed, int end, float ratio)
{
    const float target = static_cast<float>(end);
    if (speed > 0.0f) {
        current += ratio * speed;
        if (current >= target)
            current = target;
    } else if (speed < 0.0f) {
        current += ratio * speed;
        if (current <= target)
            current = target;
    } else {
        current = target;
    }
}

void ModifierBounds::update()
{
    if (!sprite)
        return;
    sprite->setWidth(toInt(currentWidth));
    sprite->setHeight(toInt(currentHeight));
    if (done) {
        addState(StateFinished);
        sprite->setWidth(endWidth);
        sprite->setHeight(endHeight);
        if (hasOption(OptionRemoveParent))
            sprite->setObsolete(true);
        return;
    }
    const float ratio = frameRatio();
    stepAxis(currentWidth, widthSpeed, endWidth, ratio);
    stepAxis(currentHeight, heightSpeed, endHeight, ratio);
    done = currentWidth == static_cast<float>(endWidth) && currentHeight == static_cast<float>(endHeight);
}

void ModifierBounds::readXML(const TiXmlElement* element)
{
    Modifier::readXML(element);
    if (!element)
        return;
    XmlAttr::getBool(element, "easyinout", easeInOut);
    XmlAttr::getFloatValue(element, "speed", speed);
    XmlAttr::getInt(element, "startwidth", startWidth);
    XmlAttr::getInt(element, "startheight", startHeight);
    XmlAttr::getInt(element, "endwidth", endWidth);
    XmlAttr::getInt(element, "endheight", endHeight);
    setSizes(startWidth, startHeight, endWidth, endHeight, speed);
}
