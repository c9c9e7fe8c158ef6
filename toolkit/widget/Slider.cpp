#include "toolkit/widget/Slider.h"

#include "resources/layout/XmlAttr.h"
#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/sprite/NestedBuild.h"
#include "toolkit/widget/ButtonBlit.h"

#include <tinyxml.h>

#include <algorithm>

const ClassRecord Slider::classRecord("Slider", &XMLSprite::classRecord);

Slider::Slider()
{
    addStateFlags(StateConsumesPress);
    addInputFlags(902);
}

Slider::~Slider()
{
    if (knob)
        knob->release();
    knob = nullptr;
}

void Slider::readXML(const TiXmlElement* element)
{
    if (element) {
        // A "button" child that builds no button leaves the slider without a knob.
        NestedBuild self(element);
        const TiXmlElement* child = XmlAttr::findChild(element, "button");
        if (Sprite* made = createNestedSpriteFromXml(child)) {
            made->addRef();
            if (made->isKindOf(&ButtonBlit::classRecord))
                setKnob(static_cast<ButtonBlit*>(made));
            else
                made->setObsolete(true); // lets a discarded sprite go of its own children
            made->release();
        }
    }
    XMLSprite::readXML(element);
    if (element)
        XmlAttr::getString(element, "tooltip", tooltip);
}

void Slider::setKnob(ButtonBlit* sprite)
{
    if (sprite == knob)
        return;
    if (sprite)
        sprite->addRef();
    if (knob) {
        ButtonBlit* old = knob;
        knob = nullptr;
        if (old->getParent() == this)
            old->setParent(nullptr);
        if (SpriteCanvas* owner = old->getCanvas())
            owner->removeSprite(old);
        old->release();
    }
    knob = sprite;
    if (!knob)
        return;
    knob->setParent(this);
    knob->removeStateFlags(ButtonBlit::StateConsumesPress);
    knob->addStateFlags(StateRelative);
    setHeight(knob->getHeight());
    setValue(value);
    if (canvas && hasStateFlags(StateOnCanvas))
        canvas->addSpriteAfter(knob, this);
}

int Slider::travel() const
{
    return knob ? getWidth() - knob->getWidth() : 0;
}

void Slider::setValue(float newValue)
{
    if (newValue < 0.0f)
        newValue = 0.0f;
    else if (newValue > 1.0f)
        newValue = 1.0f;
    else if (!(newValue == newValue))
        newValue = 0.0f;
    value = newValue;
    if (knob)
        knob->setPosition(static_cast<int>(static_cast<float>(travel()) * value), 0);
}

void Slider::updateValueFromKnob()
{
    if (!knob)
        return;
    const int range = travel();
    // A knob as wide as the track (or wider) cannot move: it stands at 0.
    value = range > 0 ? static_cast<float>(knob->getX()) / static_cast<float>(range) : 0.0f;
}

void Slider::onAddedToCanvas()
{
    XMLSprite::onAddedToCanvas();
    if (knob && canvas) {
        knob->setObsolete(false);
        canvas->addSpriteAfter(knob, this);
    }
}

void Slider::setObsolete(bool obsolete)
{
    XMLSprite::setObsolete(obsolete);
    if (!knob)
        return;
    // Leaving goes together; the parent link is dropped while obsolete so that the pair can be freed.
    knob->setParent(obsolete ? nullptr : this);
    knob->setObsolete(obsolete);
    if (obsolete)
        dragging = false;
}

void Slider::onLeftPressed(int x, int, int, int)
{
    if (!hasStateFlags(StateMouseInside) || !knob)
        return;
    const int knobX = knob->getAbsoluteX();
    if (knob->hasStateFlags(StateMouseInside)) {
        dragging = true;
        dragOffset = knobX - x;
    } else if (x < knobX) {
        setValue(value - TrackStep);
    } else if (x > knobX + knob->getWidth()) {
        setValue(value + TrackStep);
    }
    if (hasStateFlags(StateConsumesPress) && canvas)
        canvas->consumeEvent();
}

void Slider::onMouseMoved(int x, int, int buttons)
{
    if (!dragging || !knob)
        return;
    const long long wanted = static_cast<long long>(x) + dragOffset - getAbsoluteX();
    const long long clamped = std::max(0LL, std::min(wanted, static_cast<long long>(std::max(travel(), 0))));
    knob->setX(static_cast<int>(clamped));
    updateValueFromKnob();
    if ((buttons & 1) == 0) {
        knob->setState(ButtonBlit::StateNormal);
        dragging = false;
    }
}

void Slider::onLeftReleased(int, int, int)
{
    dragging = false;
    if (hasStateFlags(StateConsumesPress) && canvas)
        canvas->consumeEvent();
}

QUARRY_REGISTER_XML_CREATOR("slider", createAndReadXml<Slider>);
