// Free functions over standard strings: cutting and splitting, character classes, identifier checks,
// number parsing, backslash escapes and the reading of key=value attributes from a description text
// (for example a style list "size=3;color=\"red\";").
#pragma once

#include "runtime/containers/DynamicArray.h"

#include <cstddef>
#include <string>
#include <vector>

// Cutting and splitting.
// The characters from `begin` up to, not including, `end`; a negative begin counts as 0 and the end is
// clipped to the text.
std::string substring(const std::string& text, int begin, int end);
// The delimiter is searched as a whole; each later piece starts one character after the start of the
// match before it. Non-empty pieces are trimmed of blanks when `trim` is set; empty pieces are kept
// only with `keepEmpty`.
void splitString(const std::string& text, std::vector<std::string>& out, const std::string& delimiter, bool trim,
                 bool keepEmpty);
void trimRight(std::string& text, const std::string& characters);
void trimWhitespaceRight(std::string& text);
// Appends new strings to `out`; the rest after the last delimiter is always appended, even when empty.
// With `quoteAware`, delimiters between double quotes do not split (the quotes stay in the piece).
void splitAtChar(const std::string& text, OwningDynamicArray<std::string>& out, char delimiter, bool trim,
                 bool keepEmpty, bool quoteAware);

// Character classes on plain character codes.
bool isWhitespace(char c); // blank, tab, line feed (not carriage return)
bool isDigit(char c);
bool isLetter(char c);
bool isIdentifierChar(char c);
bool isComma(char c);
bool isQuote(char c);
bool isBackslash(char c);
bool isEquals(char c);
// Non-empty, starts with a letter or '_', and holds only letters, digits and '_'.
bool isIdentifier(const std::string& text);

// The character that a backslash followed by `c` stands for (there is no carriage-return escape).
char escapeChar(char c);
void skipWhitespace(const std::string& text, std::size_t& position);
// Moves past the next `c`; never beyond the end of the text.
void skipPast(const std::string& text, std::size_t& position, char c);

// Hexadecimal digits after an optional "0x"/"0X", in 32-bit arithmetic (higher digits fall off).
int parseHex(const std::string& text);
// "0x" (lower-case x) and more: hexadecimal; otherwise the C library's decimal conversion.
int parseNumber(const std::string& text);
// The value formatted with "%d".
std::string intToString(int value);

// Attributes. `findKey` finds `key` only at the start of an entry (entries end in `stop`), followed by
// white space or '='; -1 when absent.
int findKey(const std::string& text, const std::string& key, char stop);
bool readQuotedAttribute(const std::string& text, const std::string& key, std::string& out, char separator,
                         char stop);
bool readIntAttribute(const std::string& text, const std::string& key, int& out, char separator, char stop);

// Splits a text into tokens and hands back the delimiters as tokens of their own.
class StringTokenizer {
public:
    StringTokenizer(const std::string& text, const std::string& delimiter) : text(text), delimiter(delimiter) {}
    virtual ~StringTokenizer() = default;

    virtual bool hasMoreTokens();
    virtual std::string nextToken(const std::string& delimiter);
    virtual std::string nextToken();
    virtual bool isDelimiter(const std::string& token);

private:
    std::string text;
    std::string delimiter;
    int position = 0;
};
