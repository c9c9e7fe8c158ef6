#include "toolkit/modifier/ModifierLocation.h"

#include "resources/layout/XmlAttr.h"
#include "toolkit/sprite/Sprite.h"

#include <cmath>
#include <limits>

const ClassRecord ModifierLocation::classRecord("ModifierLocation", &Modifier::classRecord);
const ClassRecord ModifierLocation::bounceRecord("ModifierLocationBounce", &ModifierLocation::classRecord);
const ClassRecord ModifierLocationLine::classRecord("ModifierLocationLine", &ModifierLocation::classRecord);
const ClassRecord ModifierLocationDrop::classRecord("ModifierLocationDrop", &ModifierLocationLine::classRecord);

namespace {

template <class M> M* attach(M* modifier, Sprite* sprite, int options)
{
    modifier->setOptions(options);
    if (sprite)
        sprite->addModifier(modifier);
    return modifier;
}

} // namespace

void ModifierLocation::setStart(int x, int y)
{
    startPoint.set(x, y);
    currentX = static_cast<float>(x);
    currentY = static_cast<float>(y);
}

void ModifierLocation::readXML(const TiXmlElement* element)
{
    Modifier::readXML(element);
    if (!element)
        return;
    XmlAttr::getInt(element, "startx", startPoint.x);
    XmlAttr::getInt(element, "starty", startPoint.y);
    XmlAttr::getBool(element, "adjustx", adjustX);
    XmlAttr::getBool(element, "adjusty", adjustY);
}

ModifierLocationLine::ModifierLocationLine(int fromX, int fromY, int toX, int toY, float speed)
    : endPoint(toX, toY), speed(speed)
{
    setStart(fromX, fromY);
}

float ModifierLocationLine::constantSpeed(int fromX, int fromY, int toX, int toY, float pixelsPerFrame)
{
    const double dx = static_cast<double>(toX) - fromX;
    const double dy = static_cast<double>(toY) - fromY;
    const float distance = static_cast<float>(std::sqrt(dx * dx + dy * dy));
    if (distance == 0.0f)
        return std::numeric_limits<float>::infinity();
    return pixelsPerFrame / distance;
}

ModifierLocationLine* ModifierLocationLine::start(Sprite* sprite, int fromX, int fromY, int toX, int toY, float speed,
                                                  int options)
{
    return attach(new ModifierLocationLine(fromX, fromY, toX, toY, speed), sprite, options);
}

ModifierLocationLine* ModifierLocationLine::startFromCurrent(Sprite* sprite, int toX, int toY, float speed,
                                                             int options)
{
    const int x = sprite ? sprite->getX() : 0;
    const int y = sprite ? sprite->getY() : 0;
    return start(sprite, x, y, toX, toY, speed, options);
}

ModifierLocationLine* ModifierLocationLine::startConstantSpeed(Sprite* sprite, int fromX, int fromY, int toX, int toY,
                                                               float pixelsPerFrame, int options)
{
    return start(sprite, fromX, fromY, toX, toY, constantSpeed(fromX, fromY, toX, toY, pixelsPerFrame), options);
}

ModifierLocationLine* ModifierLocationLine::startConstantSpeedFromCurrent(Sprite* sprite, int toX, int toY,
                                                                          float pixelsPerFrame, int options)
{
    const int x = sprite ? sprite->getX() : 0;
    const int y = sprite ? sprite->getY() : 0;
    return startConstantSpeed(sprite, x, y, toX, toY, pixelsPerFrame, options);
}

void ModifierLocationLine::update()
{
    if (!sprite)
        return;
    if (done) {
        currentX = static_cast<float>(endPoint.x);
        currentY = static_cast<float>(endPoint.y);
        addState(StateFinished);
        if (adjustX)
            sprite->setX(endPoint.x);
        if (adjustY)
            sprite->setY(endPoint.y);
        if (hasOption(OptionRemoveParent))
            sprite->setObsolete(true);
        return;
    }
    const float e = easeInOut ? static_cast<float>(smoothstep(t)) : t;
    currentX = static_cast<float>(lerp(startPoint.x, endPoint.x, e));
    currentY = static_cast<float>(lerp(startPoint.y, endPoint.y, e));
    if (adjustX)
        sprite->setX(toInt(currentX));
    if (adjustY)
        sprite->setY(toInt(currentY));
    const float ratio = frameRatio();
    // No time, no progress (an infinite speed times no time would be not-a-number).
    if (ratio != 0.0f)
        t += ratio * speed;
    if (t > 1.0f) {
        done = true;
        t = 1.0f;
    }
}

void ModifierLocationLine::readXML(const TiXmlElement* element)
{
    ModifierLocation::readXML(element);
    if (!element)
        return;
    XmlAttr::getInt(element, "endx", endPoint.x);
    XmlAttr::getInt(element, "endy", endPoint.y);
    XmlAttr::getFloatValue(element, "speed", speed);
    XmlAttr::getBool(element, "easyinout", easeInOut);
}

ModifierLocationDrop* ModifierLocationDrop::start(Sprite* sprite, float fromX, float fromY, float toX, float toY,
                                                  float speed, float acceleration, int options)
{
    return attach(new ModifierLocationDrop(toInt(fromX), toInt(fromY), toInt(toX), toInt(toY), speed, acceleration),
                  sprite, options);
}

ModifierLocationDrop* ModifierLocationDrop::startFromCurrent(Sprite* sprite, float toX, float toY, float speed,
                                                             float acceleration, int options)
{
    const float x = sprite ? static_cast<float>(sprite->getX()) : 0.0f;
    const float y = sprite ? static_cast<float>(sprite->getY()) : 0.0f;
    return start(sprite, x, y, toX, toY, speed, acceleration, options);
}

ModifierLocationDrop* ModifierLocationDrop::startConstantSpeed(Sprite* sprite, float fromX, float fromY, float toX,
                                                               float toY, float pixelsPerFrame, float acceleration,
                                                               int options)
{
    const float speed = constantSpeed(toInt(fromX), toInt(fromY), toInt(toX), toInt(toY), pixelsPerFrame);
    return start(sprite, fromX, fromY, toX, toY, speed, acceleration, options);
}

ModifierLocationDrop* ModifierLocationDrop::startConstantSpeedFromCurrent(Sprite* sprite, float toX, float toY,
                                                                          float pixelsPerFrame, float acceleration,
                                                                          int options)
{
    const float x = sprite ? static_cast<float>(sprite->getX()) : 0.0f;
    const float y = sprite ? static_cast<float>(sprite->getY()) : 0.0f;
    return startConstantSpeed(sprite, x, y, toX, toY, pixelsPerFrame, acceleration, options);
}

void ModifierLocationDrop::update()
{
    ModifierLocationLine::update();
    speed += frameRatio() * acceleration;
}
