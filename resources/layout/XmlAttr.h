// How objects built from layout elements read their configuration. Two rules set these readers apart
// from TinyXML's own queries:
// - "setup" inheritance: an element with a "setup" attribute takes over the attributes and children of
//   the element it names where it has none of its own. The named element is looked up in the enclosing
//   scopes (findChild of the element's parent), and it may itself have a "setup".
// - indirection: an attribute of `findChild`'s name is a reference to an element of the enclosing scope,
//   and a string value may name a template element or a String entry of the layout documents, whose text
//   is then used.
// Names and values compare exactly. Chains that come back to where they were (A setup B, B setup A; an
// element that names itself) and chains too long to be real end as "not found", never in a hang.
#pragma once

#include <string>

class TiXmlAttribute;
class TiXmlElement;

namespace XmlAttr {

// The attribute `name` of the element or, failing that, of its setup element, recursively; null when none.
const TiXmlAttribute* find(const TiXmlElement* element, const std::string& name);
// The child element `name` in the element's scope: its own reference attribute `name` first, then a
// child whose "id" is `name` or an attribute-less child whose tag is `name`, then the setup element's
// scope, else the enclosing element's scope. Null when none.
const TiXmlElement* findChild(const TiXmlElement* element, const std::string& name);

// The element's first text node, else its "text" attribute resolved like getString; empty when none.
std::string getRawText(const TiXmlElement* element);
// The raw text, replaced by the property String of that identifier when the store holds one. False,
// leaving `out` alone, when the raw text is empty.
bool getText(const TiXmlElement* element, std::string& out);

// Each is true and stores the value when the attribute is found (through `find`) and its value can be
// read; else false with `out` left alone, so defaults set by the caller stay. `flag` has no effect.
// The attribute value, or the text of the template element it names, or the String entry it names.
bool getString(const TiXmlElement* element, const std::string& name, std::string& out, bool flag = false);
// "#" and hexadecimal digits, else a C integer: decimal, "0x" hexadecimal or octal with a leading 0.
bool getInt(const TiXmlElement* element, const std::string& name, int& out, bool flag = false);
// A decimal number; false for a value that names a template element.
bool getFloat(const TiXmlElement* element, const std::string& name, double& out, bool flag = false);
bool getFloatValue(const TiXmlElement* element, const std::string& name, float& out, bool flag = false);
// The value resolved as by getString: false for exactly "0", "false", "no" and "off", else true.
bool getBool(const TiXmlElement* element, const std::string& name, bool& out, bool flag = false);

} // namespace XmlAttr
