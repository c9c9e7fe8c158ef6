#include "toolkit/modifier/ModifierLocationFollow.h"

#include "resources/layout/LayoutDocument.h"
#include "resources/layout/XmlAttr.h"
#include "toolkit/sprite/Sprite.h"

#include <cmath>

const ClassRecord ModifierLocationFollow::classRecord("ModifierLocationFollow", &Modifier::classRecord);

ModifierLocationFollow::ModifierLocationFollow(Sprite* target, float offsetX, float offsetY, float tuningA,
                                               float tuningB, bool finishOnArrival)
    : finishOnArrival(finishOnArrival), targetOffsetX(offsetX), targetOffsetY(offsetY), tuningA(tuningA),
      tuningB(tuningB)
{
    setTarget(target);
}

ModifierLocationFollow::~ModifierLocationFollow()
{
    if (target)
        target->release();
}

ModifierLocationFollow* ModifierLocationFollow::start(Sprite* sprite, Sprite* target, float offsetX, float offsetY,
                                                      float tuningA, float tuningB, bool finishOnArrival, int options)
{
    auto* modifier = new ModifierLocationFollow(target, offsetX, offsetY, tuningA, tuningB, finishOnArrival);
    modifier->setOptions(options);
    if (sprite)
        sprite->addModifier(modifier);
    return modifier;
}

void ModifierLocationFollow::setTarget(Sprite* newTarget)
{
    if (newTarget)
        newTarget->addRef();
    if (target)
        target->release();
    target = newTarget;
}

void ModifierLocationFollow::update()
{
    if (!sprite)
        return;
    if (!target) {
        finish();
        return;
    }
    const float px = static_cast<float>(sprite->getX()) + remainderX;
    const float py = static_cast<float>(sprite->getY()) + remainderY;
    const float qx = static_cast<float>(target->getX()) + targetOffsetX;
    const float qy = static_cast<float>(target->getY()) + targetOffsetY;
    const float damping = getResourceFloat("FLOAT_GOLD_FLY_DAMPING");
    const float springiness = getResourceFloat("FLOAT_GOLD_FLY_SPRINGINESS");

    accelerationX = (qx - px) * damping;
    accelerationY = (qy - py) * damping;
    velocityX = velocityX * springiness + accelerationX;
    velocityY = velocityY * springiness + accelerationY;
    float nx = px + velocityX;
    float ny = py + velocityY;

    bool arrived = true;
    if (std::fabs(qx - nx) < 1.0f && std::fabs(velocityX) < 10.0f)
        nx = qx;
    else
        arrived = false;
    if (std::fabs(qy - ny) < 1.0f && std::fabs(velocityY) < 10.0f)
        ny = qy;
    else
        arrived = false;

    const bool finishing = arrived && finishOnArrival;
    if (finishing)
        addState(StateFinished);
    const float toX = finishing ? qx : nx;
    const float toY = finishing ? qy : ny;
    if (adjustX) {
        sprite->setX(toInt(toX));
        remainderX = toX - static_cast<float>(sprite->getX());
    }
    if (adjustY) {
        sprite->setY(toInt(toY));
        remainderY = toY - static_cast<float>(sprite->getY());
    }
    if (finishing && hasOption(OptionRemoveParent))
        sprite->setObsolete(true);
}

void ModifierLocationFollow::readXML(const TiXmlElement* element)
{
    Modifier::readXML(element);
    if (element)
        XmlAttr::getBool(element, "easyinout", easeInOut);
}
