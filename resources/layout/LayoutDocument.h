// The two layout documents of the game and the typed entries read from them. The base document holds the
// language-neutral layout, the language document the texts and overrides of one language; it is loaded
// second, so its entries replace the base document's. Typed entries ("String", "Integer", "Float",
// "Boolean", "Point", "Rectangle", "StringVector", "IntegerVector") land in one map per type; every other
// element with an "id" becomes a template element from which the toolkit and the game build objects.
//
// The maps live for the whole process and are never cleared: a lookup of an identifier no document
// defines inserts it with the empty value (no element, "", 0, false, zero point or rectangle, empty list)
// and returns that, so no lookup fails. Values are returned by reference into the maps; the references
// stay valid for the life of the process. Template elements belong to their document: when a document is
// replaced or unloaded, the templates that pointed into it are taken from the other document when it
// defines them, else become null.
#pragma once

#include "runtime/values/Point.h"
#include "runtime/values/Rect.h"

#include <string>
#include <unordered_map>
#include <vector>

class PropertyManager;
class TiXmlDocument;
class TiXmlElement;

using LayoutStringList = std::vector<std::string>;
using LayoutIntegerList = std::vector<int>;

const TiXmlElement* const& findLayoutElement(const std::string& id);
const std::string& getResourceString(const std::string& id);
const int& getResourceInt(const std::string& id);
const float& getResourceFloat(const std::string& id);
const bool& getResourceBool(const std::string& id);
const Point& getResourcePoint(const std::string& id);
const Rect& getResourceRect(const std::string& id);
const LayoutStringList& getResourceList(const std::string& id);
const LayoutIntegerList& getResourceVector(const std::string& id);

namespace LayoutDocument {

// The two document slots; functions take the slot as a plain number (0 base, 1 language) and ignore any
// other.
enum Slot { kBase = 0, kLanguage = 1 };

using StringListMap = std::unordered_map<std::string, LayoutStringList>;
using IntegerListMap = std::unordered_map<std::string, LayoutIntegerList>;

// The property store that names the two files and whose Strings replace element texts (the application
// sets it once its store is loaded). Null until then: element texts are then used as they stand, and
// `load` fails like a store without the identifier.
void setPropertyStore(PropertyManager* store);
PropertyManager* propertyStore();

// When `force` is set or neither slot holds a document: the base document named by the property
// "BASE_XML_DOCUMENT", then the language document named by "LANG_XML_DOCUMENT".
void loadAll(bool force);
// Replaces the slot's document by the file named by the String property `propertyId` and merges its
// entries. An identifier the store lacks throws its "ID not found: %s\n" GameTextException; a file
// that cannot be read or parsed is reported ("Error reading main XML file: %s") and adds no entries.
void load(int slot, const std::string& propertyId);
// The same with the file name given; true when the document was read and merged.
bool loadFile(int slot, const std::string& path);
// Deletes both documents; the maps keep their entries (templates become null).
void unloadAll();
// The slot's document, null before the first load and after unloadAll.
const TiXmlDocument* document(int slot);

// Resolves the escapes of layout texts: \+ "&", \\ "\", \g ">", \l "<", \n, \r, \t; any other escaped
// character is dropped; a backslash as the last character empties the whole text.
std::string unescapeText(const std::string& text);
// The texts (unescaped) or integers of the element's child elements, whatever their tags, replace the
// map's entry under the element's "id".
void readStringVector(const TiXmlElement* element, StringListMap& map);
void readIntegerVector(const TiXmlElement* element, IntegerListMap& map);

// Lookups that insert nothing, for the attribute readers: the template element or String entry of the
// identifier, null when the map has no entry for it.
const TiXmlElement* peekLayoutElement(const std::string& id);
const std::string* peekResourceString(const std::string& id);

} // namespace LayoutDocument

// The document functions are free functions of the game, called without qualification too.
using LayoutDocument::loadAll;
using LayoutDocument::readIntegerVector;
using LayoutDocument::readStringVector;
using LayoutDocument::unescapeText;
using LayoutDocument::unloadAll;
