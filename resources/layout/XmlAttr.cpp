#include "resources/layout/XmlAttr.h"

#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"

#include <tinyxml.h>

#include <cstdio>
#include <limits>
#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

// Nested lookups (a setup name resolved while resolving a setup name, a text naming a template whose text
// names another) stay far below this in real layouts; the limits only bound hostile or looping data.
constexpr int kMaxNesting = 32;
constexpr long kMaxSteps = 20000;

// The state of one outside call: the lookups in progress (to see a chain come back to itself), the
// nesting and the work done so far.
struct Walk {
    std::set<std::pair<const TiXmlElement*, std::string>> activeLookups;
    std::unordered_set<const TiXmlElement*> activeTexts;
    int nesting = 0;
    long steps = 0;

    bool exhausted() { return ++steps > kMaxSteps; }
};

class Nested {
public:
    explicit Nested(Walk& walk) : walk(walk) { ++walk.nesting; }
    ~Nested() { --walk.nesting; }
    Nested(const Nested&) = delete;
    Nested& operator=(const Nested&) = delete;
    bool tooDeep() const { return walk.nesting > kMaxNesting; }

private:
    Walk& walk;
};

const TiXmlElement* parentOf(const TiXmlElement* element)
{
    const TiXmlNode* parent = element->Parent();
    return parent ? parent->ToElement() : nullptr;
}

const TiXmlAttribute* ownAttribute(const TiXmlElement* element, const std::string& name)
{
    for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute; attribute = attribute->Next()) {
        if (attribute->NameTStr() == name)
            return attribute;
    }
    return nullptr;
}

const TiXmlElement* findChildIn(const TiXmlElement* element, std::string name, Walk& walk);

const TiXmlAttribute* findIn(const TiXmlElement* element, const std::string& name, Walk& walk)
{
    Nested nested(walk);
    if (nested.tooDeep())
        return nullptr;
    std::unordered_set<const TiXmlElement*> chain;
    for (const TiXmlElement* current = element; current;) {
        if (walk.exhausted() || !chain.insert(current).second)
            return nullptr;
        if (const TiXmlAttribute* attribute = ownAttribute(current, name))
            return attribute;
        const char* setup = current->Attribute("setup");
        if (!setup)
            return nullptr;
        current = findChildIn(parentOf(current), setup, walk);
    }
    return nullptr;
}

const TiXmlElement* matchingChild(const TiXmlElement* element, const std::string& name)
{
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        const char* id = child->Attribute("id");
        if ((id && name == id) || (!child->FirstAttribute() && child->ValueStr() == name))
            return child;
    }
    return nullptr;
}

// The steps that only hand the search on (a reference, the setup element, the enclosing scope) are taken
// in a loop; each (element, name) pair met on the way is in progress until the search returns, so meeting
// one again means the chain has come back to itself.
const TiXmlElement* findChildIn(const TiXmlElement* element, std::string name, Walk& walk)
{
    Nested nested(walk);
    if (nested.tooDeep())
        return nullptr;
    std::vector<std::set<std::pair<const TiXmlElement*, std::string>>::iterator> entered;
    const TiXmlElement* result = nullptr;
    for (const TiXmlElement* current = element; current;) {
        if (walk.exhausted())
            break;
        auto inserted = walk.activeLookups.emplace(current, name);
        if (!inserted.second)
            break;
        entered.push_back(inserted.first);

        if (const TiXmlAttribute* reference = ownAttribute(current, name)) {
            name = reference->ValueStr();
            current = parentOf(current);
            continue;
        }
        if ((result = matchingChild(current, name)))
            break;
        if (const char* setup = current->Attribute("setup")) {
            current = findChildIn(parentOf(current), setup, walk);
            continue;
        }
        current = parentOf(current);
    }
    for (auto& entry : entered)
        walk.activeLookups.erase(entry);
    return result;
}

bool getTextIn(const TiXmlElement* element, std::string& out, Walk& walk);

// A value that names a template element stands for that element's text, one that names a String entry
// for the entry; any other value stands for itself.
std::string resolveValue(const std::string& value, Walk& walk)
{
    if (const TiXmlElement* element = LayoutDocument::peekLayoutElement(value)) {
        std::string text;
        if (getTextIn(element, text, walk))
            return text;
    }
    if (const std::string* entry = LayoutDocument::peekResourceString(value))
        return *entry;
    return value;
}

std::string getRawTextIn(const TiXmlElement* element, Walk& walk)
{
    if (!element)
        return std::string();
    for (const TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling()) {
        if (const TiXmlText* text = child->ToText())
            return text->ValueStr();
    }
    Nested nested(walk);
    if (nested.tooDeep() || !walk.activeTexts.insert(element).second)
        return std::string();
    std::string result;
    if (const TiXmlAttribute* attribute = findIn(element, "text", walk))
        result = resolveValue(attribute->ValueStr(), walk);
    walk.activeTexts.erase(element);
    return result;
}

bool getTextIn(const TiXmlElement* element, std::string& out, Walk& walk)
{
    std::string raw = getRawTextIn(element, walk);
    if (raw.empty())
        return false;
    PropertyManager* store = LayoutDocument::propertyStore();
    if (store && store->hasString(raw))
        out = store->getString(raw);
    else
        out = raw;
    return true;
}

bool isFalseWord(const std::string& value)
{
    return value == "0" || value == "false" || value == "no" || value == "off";
}

} // namespace

namespace XmlAttr {

const TiXmlAttribute* find(const TiXmlElement* element, const std::string& name)
{
    Walk walk;
    return element ? findIn(element, name, walk) : nullptr;
}

const TiXmlElement* findChild(const TiXmlElement* element, const std::string& name)
{
    Walk walk;
    return element ? findChildIn(element, name, walk) : nullptr;
}

std::string getRawText(const TiXmlElement* element)
{
    Walk walk;
    return getRawTextIn(element, walk);
}

bool getText(const TiXmlElement* element, std::string& out)
{
    Walk walk;
    return element && getTextIn(element, out, walk);
}

bool getString(const TiXmlElement* element, const std::string& name, std::string& out, bool)
{
    const TiXmlAttribute* attribute = find(element, name);
    if (!attribute)
        return false;
    Walk walk;
    out = resolveValue(attribute->ValueStr(), walk);
    return true;
}

bool getInt(const TiXmlElement* element, const std::string& name, int& out, bool)
{
    const TiXmlAttribute* attribute = find(element, name);
    if (!attribute)
        return false;
    const char* value = attribute->Value();
    unsigned hex = 0;
    if (std::sscanf(value, "#%x", &hex) == 1) {
        out = static_cast<int>(hex);
        return true;
    }
    int number = 0;
    if (std::sscanf(value, "%i", &number) == 1) {
        out = number;
        return true;
    }
    return false;
}

bool getFloat(const TiXmlElement* element, const std::string& name, double& out, bool)
{
    const TiXmlAttribute* attribute = find(element, name);
    if (!attribute || LayoutDocument::peekLayoutElement(attribute->ValueStr()))
        return false;
    double number = 0;
    if (std::sscanf(attribute->Value(), "%lf", &number) != 1)
        return false;
    out = number;
    return true;
}

bool getFloatValue(const TiXmlElement* element, const std::string& name, float& out, bool flag)
{
    double number = 0;
    if (!getFloat(element, name, number, flag))
        return false;
    // Narrowing a double beyond the float range is undefined; such a value saturates instead.
    if (number > std::numeric_limits<float>::max())
        number = std::numeric_limits<float>::infinity();
    else if (number < -std::numeric_limits<float>::max())
        number = -std::numeric_limits<float>::infinity();
    out = static_cast<float>(number);
    return true;
}

bool getBool(const TiXmlElement* element, const std::string& name, bool& out, bool flag)
{
    std::string value;
    if (!getString(element, name, value, flag))
        return false;
    out = !isFalseWord(value);
    return true;
}

} // namespace XmlAttr
