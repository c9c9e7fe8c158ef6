// The XML creators of the sprite classes and sprite factories, and the conversions of what the object
// factory returns. Kept in one file with createSpriteFromXml, so that every program that builds sprites
// from layout elements links the registrations too.
#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/XMLSprite.h"
#include "toolkit/sprite/XMLSpriteFactory.h"
#include "toolkit/sprite/XmlCreation.h"

namespace {

// Takes the object's one reference and drops it, destroying an object nobody holds.
void discard(RefObject* object)
{
    object->addRef();
    object->release();
}

} // namespace

QUARRY_REGISTER_XML_CREATOR("xmlsprite", createAndReadXml<XMLSprite>);
QUARRY_REGISTER_XML_CREATOR("singlexmlspritefactory", createAndReadXml<SingleXMLSpriteFactory>);
QUARRY_REGISTER_XML_CREATOR("arrayxmlspritefactory", createAndReadXml<ArrayXMLSpriteFactory>);
QUARRY_REGISTER_XML_CREATOR("slicexmlspritefactory", createAndReadXml<SliceXMLSpriteFactory>);

RefObject* createObjectFromXml(const TiXmlNode* node)
{
    return static_cast<RefObject*>(ObjectFactory::createFromXml(node, ObjectFactory::kRefObjects));
}

Sprite* createSpriteFromXml(const TiXmlNode* node)
{
    RefObject* object = createObjectFromXml(node);
    if (!object)
        return nullptr;
    if (auto* sprite = dynamic_cast<Sprite*>(object))
        return sprite;
    discard(object);
    return nullptr;
}

AbstractXMLSpriteFactory* createSpriteFactoryFromXml(const TiXmlNode* node)
{
    RefObject* object = createObjectFromXml(node);
    if (!object)
        return nullptr;
    if (auto* factory = dynamic_cast<AbstractXMLSpriteFactory*>(object))
        return factory;
    discard(object);
    return nullptr;
}
