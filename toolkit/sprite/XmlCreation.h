// How the toolkit's objects travel through the object factory. Every creator of the toolkit (sprites,
// widgets, sprite factories, modifiers) hands its new object to the factory as its RefObject base,
// converted to void* (toFactoryResult); callers turn the result back with the functions below, which
// check the kind, so a layout element of the wrong kind gives null instead of a misread object.
#pragma once

#include "runtime/RefCounted.h"

class AbstractXMLSpriteFactory;
class Sprite;
class TiXmlElement;
class TiXmlNode;

template <class T> void* toFactoryResult(T* object)
{
    return static_cast<void*>(static_cast<RefObject*>(object));
}

// The creator most layout tags register: a new T that reads its element, handed to the factory.
template <class T> void* createAndReadXml(const TiXmlElement* element)
{
    T* object = new T;
    object->readXML(element);
    return toFactoryResult(object);
}

// What the element's creator made (reference count 0), or null.
RefObject* createObjectFromXml(const TiXmlNode* node);
// A new sprite (reference count 0) built from the element by its tag; null when the tag has no creator
// or builds something else (that object is destroyed).
Sprite* createSpriteFromXml(const TiXmlNode* node);
// The same for the sprite factories.
AbstractXMLSpriteFactory* createSpriteFactoryFromXml(const TiXmlNode* node);
