// The tag reader of the property files: tokens, tag names, attributes, the document structure, the
// value entries and their escapes. Tokens and names are read whole into strings, so no length of
// input can overrun a buffer.
#include "resources/properties/PropertyManager.h"

#include "compat/win32/hexdigit.h"
#include "runtime/GameException.h"
#include "runtime/strings/StringUtils.h"

#include <climits>
#include <cstdlib>
#include <vector>

namespace {

// The C library's white space in the "C" locale.
bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string trim(const std::string& text)
{
    size_t first = 0;
    while (first < text.size() && isSpace(text[first]))
        ++first;
    size_t last = text.size();
    while (last > first && isSpace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

bool isAttributeDelimiter(char c)
{
    return c == '=' || c == ' ' || c == '"' || c == '\'';
}

// C decimal conversion (leading white space, a sign, digits, the rest ignored), kept within 32 bits.
int decimal(const std::string& text)
{
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

bool changesUnder(const std::string& text, int (*convert)(int))
{
    for (char c : text)
        if (convert(static_cast<unsigned char>(c)) != static_cast<unsigned char>(c))
            return true;
    return false;
}

int toLowerAscii(int c)
{
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

int toUpperAscii(int c)
{
    return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

[[noreturn]] void fail(const char* format, const std::string& argument)
{
    throw GameTextException(0, format, argument.c_str());
}

} // namespace

const char* const PropertyManager::kSchemaLocation = "http://www.quarrytide.invalid/xml/clientproperties.xsd";

void PropertyManager::nextToken()
{
    tokenText.clear();
    tagName.clear();
    attributes.clear();
    closingTag = 0;
    if (*readPosition == '\0')
        return;
    std::string buffer;
    bool inTag = false;
    for (;;) {
        char c = *readPosition;
        if (c == '\0')
            return;  // the end of the text: an empty token, the position left on the zero byte
        ++readPosition;
        if (!inTag) {
            if (c == '<') {
                if (!trim(buffer).empty()) {
                    --readPosition;  // the sign starts the next token
                    tokenText = buffer;
                    return;
                }
                inTag = true;
            }
            buffer += c;
            continue;
        }
        buffer += c;
        if (c != '>')
            continue;
        std::string trimmed = trim(buffer);
        if (trimmed.find("<!--") != std::string::npos) {
            buffer.clear();
            inTag = false;
            continue;
        }
        tokenText = trimmed;
        parseTagName();
        if (!closingTag)
            parseAttributes(tokenText);
        return;
    }
}

void PropertyManager::parseTagName()
{
    tagName.clear();
    size_t i = tokenText.find('<');
    if (i == std::string::npos)
        return;
    for (; i < tokenText.size(); ++i) {
        char c = tokenText[i];
        if (c == '/')
            closingTag = 1;
        else if (c != ' ' && c != '<')
            break;
    }
    // Only a blank ends the name; a tab or line break before the attributes becomes part of it.
    size_t end = tokenText.find_first_of(" >", i);
    tagName = tokenText.substr(i, end == std::string::npos ? std::string::npos : end - i);
}

void PropertyManager::parseAttributes(std::string& text)
{
    // Pieces between runs of delimiters: the tag itself, then name, value, name, value...
    std::vector<std::string> pieces;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isAttributeDelimiter(text[i]))
            ++i;
        size_t start = i;
        while (i < text.size() && !isAttributeDelimiter(text[i]))
            ++i;
        if (i > start)
            pieces.emplace_back(text, start, i - start);
    }
    for (size_t p = 1; p + 1 < pieces.size(); p += 2)
        attributes[pieces[p]] = pieces[p + 1];
    // The split cuts the text after its first piece, so messages quote only the tag's beginning.
    if (!pieces.empty())
        text = pieces[0];
}

int PropertyManager::isTag(const std::string& name)
{
    return tagName == name ? 1 : 0;
}

int PropertyManager::isCloseTag(const std::string& name)
{
    if (tagName == name && closingTag)
        return 1;
    fail("Invalid close tag: %s\n", tokenText);
}

int PropertyManager::expectCloseTag(const std::string& name)
{
    nextToken();
    return isCloseTag(name);
}

std::string PropertyManager::getAttribute(const std::string& name)
{
    auto found = attributes.find(name);
    return found != attributes.end() ? found->second : std::string();
}

int PropertyManager::hasAttribute(const std::string& name)
{
    return attributes.count(name) != 0 ? 1 : 0;
}

std::string PropertyManager::readId()
{
    std::string id = getAttribute("id");
    if (id.empty())
        fail("Invalid ID or no ID found: %s\n", tokenText);
    return id;
}

int PropertyManager::readChildText(const std::string& name, std::string& out)
{
    if (tagName != name)
        return 0;
    nextToken();
    if (tagName == name) {
        out.clear();
    } else {
        out = tokenText;
        expectCloseTag(name);
    }
    return 1;
}

std::string PropertyManager::readChildValue(const std::string& name)
{
    nextToken();
    if (tagName != name)
        fail("Tag not found: %s\n", name);
    nextToken();
    std::string value = tokenText;
    nextToken();
    if (tagName != name || !closingTag)
        fail("Tag not closed: %s\n", name);
    return value;
}

std::string PropertyManager::unescape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size())
            fail("Missing escape character: %s\n", tokenText);
        switch (text[i]) {
        case '+': out += '&'; break;
        case '\\': out += '\\'; break;
        case 'g': out += '>'; break;
        case 'l': out += '<'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        default: fail("Illegal escape character: %s\n", tokenText);
        }
    }
    return out;
}

int PropertyManager::parseHex(const char* text)
{
    uint32_t value = 0;
    for (int i = 0; i < 8; ++i) {
        const int digit = compat::hexDigitValue(text[i]);
        if (digit < 0)
            break;
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return static_cast<int>(value);
}

int PropertyManager::parse(const char* text)
{
    readPosition = text;
    nextToken();
    if (tagName != "?xml")
        throw GameTextException(0, "Input isn't valid xml");
    nextToken();
    if (tagName != "Properties")
        throw GameTextException(0, "Input isn't a properties file");
    if (getAttribute("xsi:noNamespaceSchemaLocation") != kSchemaLocation)
        fail("Invalid schema location: %s\n", tokenText);
    if (getAttribute("version") != "1.0")
        fail("Invalid version: %s\n", tokenText);
    language = getAttribute("language");
    if (language.size() != 2 || changesUnder(language, toLowerAscii))
        fail("Invalid language: %s\n", language);
    country = getAttribute("country");
    if (country.size() != 2 || changesUnder(country, toUpperAscii))
        fail("Invalid country: %s\n", country);
    lookAndFeel = getAttribute("lookandfeel");
    if (lookAndFeel.empty() || changesUnder(lookAndFeel, toUpperAscii))
        fail("Invalid loolandfeel: %s\n", lookAndFeel);

    using Reader = int (PropertyManager::*)();
    static const std::pair<const char*, Reader> entries[] = {
        {"String", &PropertyManager::readString},
        {"Integer", &PropertyManager::readInteger},
        {"Double", &PropertyManager::readDouble},
        {"Boolean", &PropertyManager::readBoolean},
        {"Long", &PropertyManager::readLong},
        {"Color", &PropertyManager::readColor},
        {"Point", &PropertyManager::readPoint},
        {"Rectangle", &PropertyManager::readRectangle},
        {"ArrayString", &PropertyManager::readArrayString},
        {"ArrayInteger", &PropertyManager::readArrayInteger},
        {"Surface", &PropertyManager::readSurface},
        {"Font", &PropertyManager::readFont},
        {"Mask", &PropertyManager::readMask},
        {"Sound", &PropertyManager::readSound},
        {"Script", &PropertyManager::readScript},
    };
    nextToken();
    while (tagName != "Properties") {
        if (tokenText.empty())
            fail("Bad end of file: %s\n", tokenText);
        for (const auto& entry : entries) {
            if (tagName == entry.first) {
                if ((this->*entry.second)() == 0)
                    return 0;
                break;
            }
        }
        nextToken();
    }
    return 1;
}

int PropertyManager::readString()
{
    std::string id = readId();
    nextToken();
    if (tagName == "String") {
        stringValues[id].clear();
        return 1;
    }
    std::string value = unescape(tokenText);
    if (value.empty())
        return 0;  // the text ended inside the entry
    stringValues[id] = value;
    return expectCloseTag("String");
}

int PropertyManager::readInteger()
{
    std::string id = readId();
    nextToken();
    // The decimal form saturates like every other number of the file: a value beyond 32 bits must not
    // wrap to an unrelated one.
    if (tokenText.size() > 2 && tokenText.compare(0, 2, "0x") == 0)
        integerValues[id] = ::parseHex(tokenText);
    else
        integerValues[id] = decimal(tokenText);
    return expectCloseTag("Integer");
}

int PropertyManager::readDouble()
{
    std::string id = readId();
    nextToken();
    doubleValues[id] = std::strtod(tokenText.c_str(), nullptr);
    return expectCloseTag("Double");
}

int PropertyManager::readBoolean()
{
    std::string id = readId();
    nextToken();
    if (tokenText == "true")
        booleanValues[id] = 1;
    else if (tokenText == "false")
        booleanValues[id] = 0;
    else
        fail("Invalid boolean value: %s\n", tokenText);
    return expectCloseTag("Boolean");
}

int PropertyManager::readLong()
{
    std::string id = readId();
    nextToken();
    longValues[id] = decimal(tokenText);
    return expectCloseTag("Long");
}

int PropertyManager::readColor()
{
    std::string id = readId();
    nextToken();
    if (tokenText.size() != 8)
        fail("Invalid color value: %s\n", tokenText);
    colorValues[id] = ColorValue(static_cast<uint32_t>(parseHex(tokenText.c_str())));
    return expectCloseTag("Color");
}

int PropertyManager::readPoint()
{
    std::string id = readId();
    int x = decimal(readChildValue("x"));
    int y = decimal(readChildValue("y"));
    pointValues[id] = PointValue(x, y);
    return expectCloseTag("Point");
}

int PropertyManager::readRectangle()
{
    std::string id = readId();
    int x = decimal(readChildValue("x"));
    int y = decimal(readChildValue("y"));
    int width = decimal(readChildValue("width"));
    int height = decimal(readChildValue("height"));
    rectangleValues[id] = RectangleValue(x, y, width, height);
    return expectCloseTag("Rectangle");
}

template <typename Array>
void PropertyManager::storeArray(std::map<std::string, Array*>& arrays, const std::string& id, Array* array)
{
    array->addRef();
    Array*& slot = arrays[id];
    if (slot != nullptr)
        slot->release();
    slot = array;
}

int PropertyManager::readArrayInteger()
{
    std::string id = readId();
    // Made after the ID is known and counted here until stored, so a failing entry leaks nothing.
    auto* array = new IntegerArray(10, 0);
    array->addRef();
    try {
        nextToken();
        while (tagName == "Integer") {
            nextToken();
            array->addElement(decimal(tokenText));
            expectCloseTag("Integer");
            nextToken();
        }
        storeArray(integerArrays, id, array);
    } catch (...) {
        array->release();
        throw;
    }
    array->release();
    return isCloseTag("ArrayInteger");
}

int PropertyManager::readArrayString()
{
    std::string id = readId();
    auto* array = new StringArray(10, 0, true);
    array->addRef();
    try {
        nextToken();
        while (tagName == "String") {
            nextToken();
            if (tagName == "String") {
                array->addElement(new std::string());
            } else {
                array->addElement(new std::string(unescape(tokenText)));
                expectCloseTag("String");
            }
            nextToken();
        }
        storeArray(stringArrays, id, array);
    } catch (...) {
        array->release();
        throw;
    }
    array->release();
    return isCloseTag("ArrayString");
}
