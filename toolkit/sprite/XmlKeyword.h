// Keyword attributes of the layout elements: a value looked up in a table without regard to case.
#pragma once

#include <cstddef>
#include <string>

class TiXmlElement;

struct XmlKeyword {
    const char* word;
    int value;
};

// True and `out` set when the attribute is present and names one of the table's words.
template <std::size_t N>
bool readKeyword(const TiXmlElement* element, const char* name, const XmlKeyword (&table)[N], int& out);

// A child element of that tag, else the child of that name as XmlAttr::findChild finds it (by "id",
// reference attribute or "setup"); null when there is none.
const TiXmlElement* findChildElement(const TiXmlElement* element, const char* name);

bool keywordEquals(const std::string& a, const char* b);
bool readKeyword(const TiXmlElement* element, const char* name, const XmlKeyword* table, std::size_t count, int& out);

template <std::size_t N>
bool readKeyword(const TiXmlElement* element, const char* name, const XmlKeyword (&table)[N], int& out)
{
    return readKeyword(element, name, table, N, out);
}
