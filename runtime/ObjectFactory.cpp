#include "runtime/ObjectFactory.h"

#include "runtime/DebugLog.h"

#include <tinyxml.h>

#include <algorithm>
#include <unordered_map>

namespace {

struct Entry {
    XmlCreator creator;
    std::string family;
};
using Registry = std::unordered_map<std::string, Entry>;

// A plain pointer is zero before any initializer runs, so registrations from other files' static
// initializers can come first in any order.
Registry* registry = nullptr;

struct RegistryCleanup {
    ~RegistryCleanup() { ObjectFactory::destroy(); }
} registryCleanup;

} // namespace

void ObjectFactory::registerCreator(XmlCreator creator, const std::string& key, const char* family)
{
    if (!creator)
        return;
    if (!registry)
        registry = new Registry;
    registry->emplace(key, Entry{creator, family ? family : kRefObjects});
}

namespace {

const Entry* findEntry(const std::string& key)
{
    if (!registry)
        return nullptr;
    Registry::const_iterator found = registry->find(key);
    return found == registry->end() ? nullptr : &found->second;
}

// The entry for the node's value, or null with a line in the debug log.
const Entry* entryFor(const TiXmlNode* node)
{
    if (!node) {
        DebugLog::instance().log("ObjectFactory: no node to create from\n");
        return nullptr;
    }
    const Entry* entry = findEntry(node->ValueStr());
    if (!entry)
        DebugLog::instance().log("ObjectFactory: no creator for \"" + node->ValueStr() + "\"\n");
    return entry;
}

} // namespace

XmlCreator ObjectFactory::findCreator(const std::string& key)
{
    const Entry* entry = findEntry(key);
    return entry ? entry->creator : nullptr;
}

std::vector<std::string> ObjectFactory::registeredKeys()
{
    std::vector<std::string> keys;
    if (!registry)
        return keys;
    keys.reserve(registry->size());
    for (const auto& entry : *registry)
        keys.push_back(entry.first);
    std::sort(keys.begin(), keys.end());
    return keys;
}

void* ObjectFactory::createFromXml(const TiXmlNode* node)
{
    const Entry* entry = entryFor(node);
    return entry ? entry->creator(node->ToElement()) : nullptr;
}

void* ObjectFactory::createFromXml(const TiXmlNode* node, const std::string& family)
{
    const Entry* entry = entryFor(node);
    if (!entry)
        return nullptr;
    if (entry->family != family) {
        DebugLog::instance().log("ObjectFactory: \"" + node->ValueStr() + "\" makes no " + family + "\n");
        return nullptr;
    }
    return entry->creator(node->ToElement());
}

void ObjectFactory::destroy()
{
    delete registry;
    registry = nullptr;
}
