#include "resources/layout/LayoutDocument.h"

#include "resources/layout/XmlAttr.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/DebugLog.h"
#include "runtime/GameException.h"
#include "runtime/streams/XMLDocumentFile.h"

#include <tinyxml.h>

#include <cstdio>
#include <memory>

namespace {

const char* const kReadError = "Error reading main XML file: %s";

struct Maps {
    std::unordered_map<std::string, std::string> strings;
    std::unordered_map<std::string, int> integers;
    std::unordered_map<std::string, float> floats;
    std::unordered_map<std::string, bool> booleans;
    std::unordered_map<std::string, Point> points;
    std::unordered_map<std::string, Rect> rects;
    LayoutDocument::StringListMap stringLists;
    LayoutDocument::IntegerListMap integerLists;
    std::unordered_map<std::string, const TiXmlElement*> templates;
};

Maps& maps()
{
    static Maps theMaps;
    return theMaps;
}

// The maps exist from static initialisation on, before anything looks an entry up.
[[maybe_unused]] const bool mapsMade = (maps(), true);

std::unique_ptr<TiXmlDocument> slots[2];
PropertyManager* store = nullptr;

bool validSlot(int slot)
{
    if (slot == LayoutDocument::kBase || slot == LayoutDocument::kLanguage)
        return true;
    DebugLog::instance().log("Layout document slot " + std::to_string(slot) + " does not exist\n");
    return false;
}

const TiXmlText* firstText(const TiXmlElement* element)
{
    for (const TiXmlNode* child = element->FirstChild(); child; child = child->NextSibling()) {
        if (const TiXmlText* text = child->ToText())
            return text;
    }
    return nullptr;
}

int readInteger(const std::string& text)
{
    if (!text.empty() && text[0] == '#') {
        unsigned hex = 0;
        return std::sscanf(text.c_str(), "#%x", &hex) == 1 ? static_cast<int>(hex) : 0;
    }
    int number = 0;
    return std::sscanf(text.c_str(), "%d", &number) == 1 ? number : 0;
}

bool isValueTag(const std::string& tag)
{
    return tag == "Integer" || tag == "Float" || tag == "Boolean";
}

// Whether an element with an "id" becomes a template: any tag other than the typed ones, and the
// typed value tags other than "String" when they hold no text.
bool isTemplate(const TiXmlElement* element)
{
    const std::string& tag = element->ValueStr();
    if (tag == "StringVector" || tag == "IntegerVector" || tag == "Rectangle" || tag == "Point" || tag == "String")
        return false;
    return !isValueTag(tag) || !firstText(element);
}

void mergeEntry(const TiXmlElement* element, const std::string& id)
{
    Maps& m = maps();
    const std::string& tag = element->ValueStr();
    if (tag == "StringVector") {
        LayoutDocument::readStringVector(element, m.stringLists);
    } else if (tag == "IntegerVector") {
        LayoutDocument::readIntegerVector(element, m.integerLists);
    } else if (tag == "Rectangle") {
        Rect rect;
        XmlAttr::getInt(element, "x", rect.x);
        XmlAttr::getInt(element, "y", rect.y);
        XmlAttr::getInt(element, "width", rect.width);
        XmlAttr::getInt(element, "height", rect.height);
        m.rects[id].copyFrom(rect);
    } else if (tag == "Point") {
        Point point;
        XmlAttr::getInt(element, "x", point.x);
        XmlAttr::getInt(element, "y", point.y);
        m.points[id] = point;
    } else if (isTemplate(element)) {
        m.templates[id] = element;
    } else if (tag == "String") {
        const TiXmlText* text = firstText(element);
        m.strings[id] = text ? LayoutDocument::unescapeText(text->ValueStr()) : std::string();
    } else {
        // A typed value tag that is not a template has a text node.
        const std::string& text = firstText(element)->ValueStr();
        if (tag == "Integer") {
            m.integers[id] = readInteger(text);
        } else if (tag == "Float") {
            float number = 0;
            m.floats[id] = std::sscanf(text.c_str(), "%f", &number) == 1 ? number : 0.0f;
        } else {
            m.booleans[id] = !(text == "0" || text == "false" || text == "no" || text == "off");
        }
    }
}

void mergeDocument(const TiXmlDocument& document)
{
    const TiXmlElement* root = document.RootElement();
    if (!root)
        return;
    for (const TiXmlElement* element = root->FirstChildElement(); element; element = element->NextSiblingElement()) {
        const char* id = element->Attribute("id");
        if (!id)
            continue;
        mergeEntry(element, id);
    }
}

// The template of `id` that `document` defines (the last one, as a merge would leave it), or null.
const TiXmlElement* templateIn(const TiXmlDocument* document, const std::string& id)
{
    const TiXmlElement* root = document ? document->RootElement() : nullptr;
    const TiXmlElement* found = nullptr;
    for (const TiXmlElement* element = root ? root->FirstChildElement() : nullptr; element;
         element = element->NextSiblingElement()) {
        const char* elementId = element->Attribute("id");
        if (elementId && id == elementId && isTemplate(element))
            found = element;
    }
    return found;
}

// Deletes the slot's document after nulling every template that points into it, and stores a new empty
// document. Returns the identifiers whose templates were dropped.
std::vector<std::string> replaceDocument(int slot)
{
    std::vector<std::string> dropped;
    if (TiXmlDocument* old = slots[slot].get()) {
        for (auto& entry : maps().templates) {
            if (entry.second && entry.second->GetDocument() == old) {
                entry.second = nullptr;
                dropped.push_back(entry.first);
            }
        }
    }
    slots[slot] = std::make_unique<TiXmlDocument>();
    return dropped;
}

// Dropped templates that the new document did not define again come from the other document, which
// holds the only other element they can mean.
void refreshDropped(int slot, const std::vector<std::string>& dropped)
{
    const TiXmlDocument* other = slots[slot == LayoutDocument::kBase ? LayoutDocument::kLanguage : LayoutDocument::kBase].get();
    for (const std::string& id : dropped) {
        const TiXmlElement*& entry = maps().templates[id];
        if (!entry)
            entry = templateIn(other, id);
    }
}

bool readAndMerge(int slot, const std::string& path)
{
    TiXmlDocument& document = *slots[slot];
    if (!loadXMLDocument(document, path, kReadError, true))
        return false;
    if (document.Error() || !document.RootElement()) {
        std::string problem = document.Error() ? document.ErrorDesc() : "no root element";
        DebugLog::instance().log("Layout document " + path + ": " + problem + " (row " +
                                 std::to_string(document.ErrorRow()) + ", column " +
                                 std::to_string(document.ErrorCol()) + ")\n");
        reportXMLMessage(kReadError, path, "STRING_ERROR_READING_XML_HEADER");
        // A half-parsed document is not merged: its entries would depend on where the damage starts.
        document.Clear();
        return false;
    }
    mergeDocument(document);
    return true;
}

template <typename Map>
typename Map::mapped_type& entry(Map& map, const std::string& id)
{
    return map.try_emplace(id).first->second;
}

} // namespace

const TiXmlElement* const& findLayoutElement(const std::string& id)
{
    return maps().templates.try_emplace(id, nullptr).first->second;
}

const std::string& getResourceString(const std::string& id)
{
    return entry(maps().strings, id);
}

const int& getResourceInt(const std::string& id)
{
    return maps().integers.try_emplace(id, 0).first->second;
}

const float& getResourceFloat(const std::string& id)
{
    return maps().floats.try_emplace(id, 0.0f).first->second;
}

const bool& getResourceBool(const std::string& id)
{
    return maps().booleans.try_emplace(id, false).first->second;
}

const Point& getResourcePoint(const std::string& id)
{
    return entry(maps().points, id);
}

const Rect& getResourceRect(const std::string& id)
{
    return entry(maps().rects, id);
}

const LayoutStringList& getResourceList(const std::string& id)
{
    return entry(maps().stringLists, id);
}

const LayoutIntegerList& getResourceVector(const std::string& id)
{
    return entry(maps().integerLists, id);
}

namespace LayoutDocument {

void setPropertyStore(PropertyManager* newStore)
{
    store = newStore;
}

PropertyManager* propertyStore()
{
    return store;
}

void loadAll(bool force)
{
    if (force || (!slots[kBase] && !slots[kLanguage])) {
        load(kBase, "BASE_XML_DOCUMENT");
        load(kLanguage, "LANG_XML_DOCUMENT");
    }
}

void load(int slot, const std::string& propertyId)
{
    if (!validSlot(slot))
        return;
    std::vector<std::string> dropped = replaceDocument(slot);
    try {
        if (!store)
            throw GameTextException(0, "ID not found: %s\n", propertyId.c_str());
        readAndMerge(slot, store->getString(propertyId));
    } catch (...) {
        refreshDropped(slot, dropped);
        throw;
    }
    refreshDropped(slot, dropped);
}

bool loadFile(int slot, const std::string& path)
{
    if (!validSlot(slot))
        return false;
    std::vector<std::string> dropped = replaceDocument(slot);
    bool merged = readAndMerge(slot, path);
    refreshDropped(slot, dropped);
    return merged;
}

void unloadAll()
{
    for (auto& entry : maps().templates)
        entry.second = nullptr;
    slots[kBase].reset();
    slots[kLanguage].reset();
}

const TiXmlDocument* document(int slot)
{
    return validSlot(slot) ? slots[slot].get() : nullptr;
}

std::string unescapeText(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            result += text[i];
            continue;
        }
        if (i + 1 == text.size())
            return std::string();
        switch (text[++i]) {
        case '+': result += '&'; break;
        case '\\': result += '\\'; break;
        case 'g': result += '>'; break;
        case 'l': result += '<'; break;
        case 'n': result += '\n'; break;
        case 'r': result += '\r'; break;
        case 't': result += '\t'; break;
        default: break;
        }
    }
    return result;
}

void readStringVector(const TiXmlElement* element, StringListMap& map)
{
    LayoutStringList list;
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        const TiXmlText* text = firstText(child);
        list.push_back(text ? unescapeText(text->ValueStr()) : std::string());
    }
    const char* id = element->Attribute("id");
    map[id ? id : ""] = std::move(list);
}

void readIntegerVector(const TiXmlElement* element, IntegerListMap& map)
{
    LayoutIntegerList list;
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        const TiXmlText* text = firstText(child);
        list.push_back(text ? readInteger(text->ValueStr()) : 0);
    }
    const char* id = element->Attribute("id");
    map[id ? id : ""] = std::move(list);
}

const TiXmlElement* peekLayoutElement(const std::string& id)
{
    auto found = maps().templates.find(id);
    return found == maps().templates.end() ? nullptr : found->second;
}

const std::string* peekResourceString(const std::string& id)
{
    auto found = maps().strings.find(id);
    return found == maps().strings.end() ? nullptr : &found->second;
}

} // namespace LayoutDocument
