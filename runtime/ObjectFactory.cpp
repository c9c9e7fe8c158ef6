#include "runtime/ObjectFactory.h"

#include "runtime/DebugLog.h"

#include <tinyxml.h>

#include <algorithm>
#include <unordered_map>

namespace {

using Registry = std::unordered_map<std::string, XmlCreator>;

// A plain pointer is zero before any initializer runs, so registrations from other files' static
// initializers can come first in any order.
Registry* registry = nullptr;

struct RegistryCleanup {
    ~RegistryCleanup() { ObjectFactory::destroy(); }
} registryCleanup;

} // namespace

void ObjectFactory::registerCreator(XmlCreator creator, const std::string& key)
{
    if (!creator)
        return;
    if (!registry)
        registry = new Registry;
    registry->emplace(key, creator);
}

XmlCreator ObjectFactory::findCreator(const std::string& key)
{
    if (!registry)
        return nullptr;
    Registry::const_iterator found = registry->find(key);
    return found == registry->end() ? nullptr : found->second;
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
    if (!node) {
        DebugLog::instance().log("ObjectFactory: no node to create from\n");
        return nullptr;
    }
    const std::string key = node->ValueStr();
    XmlCreator creator = findCreator(key);
    if (!creator) {
        DebugLog::instance().log("ObjectFactory: no creator for \"" + key + "\"\n");
        return nullptr;
    }
    return creator(node->ToElement());
}

void ObjectFactory::destroy()
{
    delete registry;
    registry = nullptr;
}
