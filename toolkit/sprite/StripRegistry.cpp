// The XML creators of the strip sprites: the repeating strip and the parallax scroller.
#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/RepeatingSprite.h"
#include "toolkit/sprite/ScrollSprite.h"
#include "toolkit/sprite/XmlCreation.h"

namespace {

template <class T> void* createAndRead(const TiXmlElement* element)
{
    T* object = new T;
    object->readXML(element);
    return toFactoryResult(object);
}

} // namespace

QUARRY_REGISTER_XML_CREATOR("repeatingsprite", createAndRead<RepeatingSprite>);
QUARRY_REGISTER_XML_CREATOR("scrollsprite", createAndRead<ScrollSprite>);
