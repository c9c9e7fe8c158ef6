#include "frontend/screens/QuarrytideTransition.h"

#include "platform/app/Application.h"
#include "resources/layout/XmlAttr.h"
#include "runtime/ObjectFactory.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/NestedBuild.h"
#include "toolkit/sprite/RepeatingSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/sprite/XmlKeyword.h"

#include <tinyxml.h>

namespace {

void* createQuarrytideTransition(const TiXmlElement* element)
{
    auto* transition = new QuarrytideTransition;
    transition->readXML(element);
    return toFactoryResult(transition);
}

struct Spot {
    int x;
    int y;
};

// Slides `sprite` from one point to the other, easing in and out, and puts it on the canvas.
void slide(SpriteCanvas* canvas, Sprite* sprite, Spot from, Spot to, double speed)
{
    if (!sprite)
        return;
    if (ModifierLocationLine* move = ModifierLocationLine::start(sprite, from.x, from.y, to.x, to.y,
                                                                 static_cast<float>(speed), Modifier::OptionBlocking))
        move->setEaseInOut(true);
    if (canvas)
        canvas->addSprite(sprite);
}

bool moving(const Sprite* sprite)
{
    return sprite && !sprite->getModifiers().empty();
}

} // namespace

void registerQuarrytideTransitionCreator()
{
    static const bool registered = [] {
        ObjectFactory::registerCreator(createQuarrytideTransition, "quarrytidetransition");
        return true;
    }();
    (void)registered;
}

QuarrytideTransition::~QuarrytideTransition()
{
    removeSeparator();
}

void QuarrytideTransition::removeSeparator()
{
    if (!separator)
        return;
    if (separator->getCanvas())
        separator->getCanvas()->removeSprite(separator);
    separator->release();
    separator = nullptr;
}

void QuarrytideTransition::readXML(const TiXmlElement* element)
{
    XMLSprite::readXML(element);
    if (!element)
        return;
    {
        const NestedBuild nesting(element);
        if (!nesting.tooDeep()) {
            Sprite* made = createNestedSpriteFromXml(findChildElement(element, "repeatingsprite"));
            if (auto* strip = dynamic_cast<RepeatingSprite*>(made)) {
                removeSeparator();
                // The canvas drops its hold when the strip leaves it; this one keeps the strip alive
                // until the transition goes.
                strip->addRef();
                separator = strip;
            } else if (made) {
                made->addRef();
                made->release();
            }
        }
    }
    XmlAttr::getFloat(element, "speed", speed);
    static const XmlKeyword directions[] = {{"right", Right}, {"left", Left}, {"down", Down}, {"up", Up}};
    readKeyword(element, "direction", directions, sizeof directions / sizeof directions[0], direction);
}

void QuarrytideTransition::tick()
{
    if (state == ImagesSet && getCanvas())
        start();
    else if (state == Running)
        step();
}

void QuarrytideTransition::start()
{
    if (separator)
        separator->build();
    int width = 640;
    int height = 480;
    if (Application* app = Application::instance()) {
        width = app->getWidth();
        height = app->getHeight();
    } else if (getCanvas()) {
        width = getCanvas()->getWidth();
        height = getCanvas()->getHeight();
    }
    const int sw = separator ? separator->getWidth() : 0;
    const int sh = separator ? separator->getHeight() : 0;

    Spot in{0, 0};
    Spot stripFrom{0, 0};
    Spot stripTo{0, 0};
    switch (direction) {
    case Right:
        in = {width + sw, 0};
        stripFrom = {width, 0};
        stripTo = {-sw, 0};
        break;
    case Left:
        in = {-(width + sw), 0};
        stripFrom = {-sw, 0};
        stripTo = {width, 0};
        break;
    case Up:
        in = {0, -(height + sh)};
        stripFrom = {0, -sh};
        stripTo = {0, height};
        break;
    default:
        in = {0, height + sh};
        stripFrom = {0, height};
        stripTo = {0, -sh};
        break;
    }
    SpriteCanvas* canvas = getCanvas();
    slide(canvas, fromImage, {0, 0}, {-in.x, -in.y}, speed);
    slide(canvas, toImage, in, {0, 0}, speed);
    slide(canvas, separator, stripFrom, stripTo, speed);
    state = Running;
}

void QuarrytideTransition::step()
{
    if (state != Running)
        return;
    if (!moving(fromImage) && !moving(toImage) && !moving(separator)) {
        state = Finished;
        return;
    }
    if (separator && separator->getAllocStyle() == RepeatingSprite::AllocJustInTime)
        separator->wrapCopies();
}

void QuarrytideTransition::onRemovedFromCanvas()
{
    if (separator && separator->getCanvas())
        separator->getCanvas()->removeSprite(separator);
    TransitionSprite::onRemovedFromCanvas();
}
