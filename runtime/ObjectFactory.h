// Builds objects from layout XML elements by tag name. Every class that can be built from XML registers a
// creator under its lower-case tag before the program entry, from the constructor of a static
// registration object (QUARRY_REGISTER_XML_CREATOR below); the first registration of a tag wins.
//
// A creator receives the element (or null when the node handed to createFromXml is not an element) and
// returns the new object as an untyped pointer: each family converts its objects to one agreed pointer
// type before returning them (for example the sprite's component interface), and the caller converts
// the result back to exactly that type. A creator is registered with its family's name, and a caller
// that converts to one family's type asks for that family, so a layout element naming a class of
// another family gives null instead of an object read as the wrong type.
//
// Linking: a registration object in a static library is only linked when something else in its object
// file is referenced. A library whose classes are reached only through their tags must be linked whole
// (CMake: $<LINK_LIBRARY:WHOLE_ARCHIVE,lib>) or referenced from the program.
#pragma once

#include <string>
#include <vector>

class TiXmlElement;
class TiXmlNode;

using XmlCreator = void* (*)(const TiXmlElement* element);

class ObjectFactory {
public:
    // The family of the reference-counted framework objects (sprites, factories, modifiers, levels):
    // their creators return a RefObject pointer.
    static constexpr const char* kRefObjects = "refobject";

    // Makes the registry on first use; a key that is present already keeps its first creator and the
    // later registration is ignored without a message. A null creator is ignored too.
    static void registerCreator(XmlCreator creator, const std::string& key, const char* family = kRefObjects);

    // Calls the creator registered under the node's value (for an element its tag, exactly as written:
    // no case folding) with the node when it is an element, else with null. A value without a creator,
    // or a null node, gives null and a line in the debug log.
    static void* createFromXml(const TiXmlNode* node);
    // The same, for a caller that converts the result to one family's type: a creator of another
    // family is not called, and the answer is null with a line in the debug log.
    static void* createFromXml(const TiXmlNode* node, const std::string& family);

    // The creator registered under the key, or null.
    static XmlCreator findCreator(const std::string& key);

    // Every registered key, sorted (for tools that want to reach every tag, such as the fuzz targets).
    static std::vector<std::string> registeredKeys();

    // Deletes the registry (the game calls it at exit; the registry's own clean-up at process exit
    // tolerates an earlier call). A later registration makes a new one.
    static void destroy();

    // What a static registration object is: its constructor registers.
    struct Registration {
        Registration(XmlCreator creator, const char* key, const char* family = kRefObjects)
        {
            registerCreator(creator, key, family);
        }
    };
};

inline void* createFromXml(const TiXmlNode* node)
{
    return ObjectFactory::createFromXml(node);
}

#define QUARRY_XML_CONCAT_INNER(a, b) a##b
#define QUARRY_XML_CONCAT(a, b) QUARRY_XML_CONCAT_INNER(a, b)
// Registers `creator` under `key` during static initialisation; use at namespace scope in a .cpp file.
#define QUARRY_REGISTER_XML_CREATOR(key, creator)                                                               \
    static const ObjectFactory::Registration QUARRY_XML_CONCAT(quarryXmlRegistration_, __LINE__)((creator), (key))
// The same for a creator whose objects are of another family than the framework's RefObjects.
#define QUARRY_REGISTER_XML_CREATOR_OF(key, creator, family)                                                    \
    static const ObjectFactory::Registration QUARRY_XML_CONCAT(quarryXmlRegistration_, __LINE__)((creator), (key), (family))
