#include "runtime/strings/StringUtils.h"

#include "compat/win32/hexdigit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstdint>

namespace {

std::string trimBlanks(const std::string& piece)
{
    std::size_t first = piece.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return piece.substr(first, piece.find_last_not_of(' ') - first + 1);
}

// A backslash hands the next character through escapeChar; a backslash at the very end is dropped.
std::size_t appendCharacter(const std::string& text, std::size_t position, std::string& out)
{
    if (isBackslash(text[position])) {
        if (position + 1 < text.size())
            out += escapeChar(text[position + 1]);
        return position + 2;
    }
    out += text[position];
    return position + 1;
}

} // namespace

std::string substring(const std::string& text, int begin, int end)
{
    long first = begin < 0 ? 0 : begin;
    long last = std::min<long>(end, static_cast<long>(text.size()));
    if (last <= first)
        return std::string();
    return text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first));
}

void splitString(const std::string& text, std::vector<std::string>& out, const std::string& delimiter, bool trim,
                 bool keepEmpty)
{
    auto append = [&](const std::string& piece) {
        if (!piece.empty())
            out.push_back(trim ? trimBlanks(piece) : piece);
        else if (keepEmpty)
            out.emplace_back();
    };
    if (delimiter.empty()) {
        append(text);
        return;
    }
    std::size_t start = 0;
    for (std::size_t match = text.find(delimiter); match != std::string::npos;
         match = text.find(delimiter, start)) {
        append(text.substr(start, match - start));
        start = match + 1;
    }
    append(text.substr(start));
}

void trimRight(std::string& text, const std::string& characters)
{
    std::size_t last = text.find_last_not_of(characters);
    text.erase(last == std::string::npos ? 0 : last + 1);
}

void trimWhitespaceRight(std::string& text)
{
    trimRight(text, " \t\n\v\f\r");
}

void splitAtChar(const std::string& text, OwningDynamicArray<std::string>& out, char delimiter, bool trim,
                 bool keepEmpty, bool quoteAware)
{
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoteAware && isQuote(c))
            quoted = !quoted;
        if (c != delimiter || quoted)
            continue;
        std::string piece = text.substr(start, i - start);
        if (!piece.empty())
            out.addElement(new std::string(trim ? trimBlanks(piece) : piece));
        else if (keepEmpty)
            out.addElement(new std::string());
        start = i + 1;
    }
    out.addElement(new std::string(text.substr(start)));
}

bool isWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isIdentifierChar(char c)
{
    return isLetter(c) || isDigit(c) || c == '_';
}

bool isComma(char c)
{
    return c == ',';
}

bool isQuote(char c)
{
    return c == '"';
}

bool isBackslash(char c)
{
    return c == '\\';
}

bool isEquals(char c)
{
    return c == '=';
}

bool isIdentifier(const std::string& text)
{
    if (text.empty() || !(isLetter(text[0]) || text[0] == '_'))
        return false;
    for (char c : text)
        if (!isIdentifierChar(c))
            return false;
    return true;
}

char escapeChar(char c)
{
    switch (c) {
    case 'a': return 7;
    case 'b': return 8;
    case 'f': return 12;
    case 'n': return 10;
    case 't': return 9;
    case 'v': return 11;
    default: return c; // the double quote and the backslash stand for themselves too
    }
}

void skipWhitespace(const std::string& text, std::size_t& position)
{
    while (position < text.size() && isWhitespace(text[position]))
        ++position;
}

void skipPast(const std::string& text, std::size_t& position, char c)
{
    while (position < text.size() && text[position] != c)
        ++position;
    if (position < text.size())
        ++position;
}

int parseHex(const std::string& text)
{
    std::size_t i = text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0 ? 2 : 0;
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = compat::hexDigitValue(text[i]);
        if (digit < 0)
            break;
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return static_cast<int>(value);
}

int parseNumber(const std::string& text)
{
    if (text.size() > 2 && text.compare(0, 2, "0x") == 0)
        return parseHex(text);
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

std::string intToString(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

int findKey(const std::string& text, const std::string& key, char stop)
{
    if (key.empty())
        return -1;
    std::size_t position = 0;
    for (;;) {
        skipWhitespace(text, position);
        if (position >= text.size())
            return -1;
        if (text.compare(position, key.size(), key) == 0) {
            std::size_t after = position + key.size();
            if (after < text.size() && (isWhitespace(text[after]) || isEquals(text[after])))
                return static_cast<int>(position);
            position = after;
        } else {
            skipPast(text, position, stop);
        }
    }
}

bool readQuotedAttribute(const std::string& text, const std::string& key, std::string& out, char separator,
                         char stop)
{
    int found = findKey(text, key, stop);
    if (found < 0)
        return false;
    out.clear();
    std::size_t position = static_cast<std::size_t>(found) + key.size();
    skipPast(text, position, separator);
    skipWhitespace(text, position);
    if (position < text.size() && isQuote(text[position])) {
        ++position;
        while (position < text.size() && !isQuote(text[position]))
            position = appendCharacter(text, position, out);
        return true;
    }
    while (position < text.size() && text[position] != stop)
        position = appendCharacter(text, position, out);
    trimWhitespaceRight(out);
    return true;
}

bool readIntAttribute(const std::string& text, const std::string& key, int& out, char separator, char stop)
{
    std::string value;
    if (!readQuotedAttribute(text, key, value, separator, stop))
        return false;
    out = parseNumber(value);
    return true;
}

bool StringTokenizer::hasMoreTokens()
{
    return position < static_cast<int>(text.size());
}

std::string StringTokenizer::nextToken(const std::string& delimiter)
{
    if (!hasMoreTokens())
        return std::string();
    std::size_t start = static_cast<std::size_t>(position);
    if (!delimiter.empty() && text.compare(start, delimiter.size(), delimiter) == 0) {
        position += static_cast<int>(delimiter.size());
        return delimiter;
    }
    std::size_t end = delimiter.empty() ? std::string::npos : text.find(delimiter, start);
    if (end == std::string::npos)
        end = text.size();
    position = static_cast<int>(end);
    return text.substr(start, end - start);
}

std::string StringTokenizer::nextToken()
{
    return nextToken(delimiter);
}

bool StringTokenizer::isDelimiter(const std::string& token)
{
    return token == delimiter;
}
