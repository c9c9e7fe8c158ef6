#include "runtime/streams/TextDataReader.h"

#include "runtime/GameException.h"
#include "runtime/strings/StringUtils.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

bool isTokenWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

[[noreturn]] void fail(const char* message)
{
    throw GameTextException(0, message);
}

// The C library's conversion truncates toward zero; values beyond the int range saturate instead of
// being undefined.
int32_t truncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int32_t decimal(const std::string& text)
{
    return static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

} // namespace

void TextDataReader::open(const std::string& fileName)
{
    DataReader::open(fileName);
    file.open(fileName, "r");
}

void TextDataReader::close()
{
    file.close();
}

int TextDataReader::readChar(char& c)
{
    std::FILE* handle = file.handle();
    int read = handle != nullptr ? std::getc(handle) : EOF;
    if (read == '\r' && handle != nullptr) {
        int following = std::getc(handle);
        if (following == '\n')
            read = following;
        else if (following != EOF)
            std::ungetc(following, handle);
    }
    if (read == EOF) {
        atEnd = 1;
        return 0;
    }
    c = static_cast<char>(read);
    return 1;
}

void TextDataReader::skipToDelimiter()
{
    char c;
    while (readChar(c)) {
        if (isTokenWhitespace(c))
            continue;
        if (c != ',')
            fail("ERROR: No delimiter found.\n");
        return;
    }
}

int TextDataReader::readToken(std::string& text)
{
    text.clear();
    char c;
    do {
        if (!readChar(c))
            fail(data_stream_messages::endOfData);
    } while (isTokenWhitespace(c));

    enum State { Start, Point, Hex, Ident, String, Array } state = Start;
    auto kindOf = [&state] {
        switch (state) {
        case Point: return int(DecimalPoint);
        case Hex: return int(Hexadecimal);
        case Ident: return int(Identifier);
        case String: return int(QuotedString);
        case Array: return int(ArrayIndex);
        default: return int(Decimal);
        }
    };

    do {
        switch (state) {
        case Start:
        case Point:
        case Hex:
        case Ident:
            if (c == ',')
                return kindOf();
            if (isTokenWhitespace(c)) {
                skipToDelimiter();
                return kindOf();
            }
            if (state == Ident) {
                if (!isIdentifierChar(c))
                    fail("ERROR: Invalide identifier character.\n");
            } else if (state == Start && text.empty() && (isLetter(c) || c == '_')) {
                state = Ident;
            } else if (state == Start && text.empty() && c == '[') {
                state = Array;
                break;
            } else if (state == Start && text.empty() && c == '"') {
                state = String;
                break;
            } else if (state == Start && c == 'x' && text == "0") {
                state = Hex;
            } else if (state == Start && c == '.') {
                state = Point;
            }
            text += c;
            break;
        case String:
            if (c == '"') {
                skipToDelimiter();
                return QuotedString;
            }
            if (c == '\\') {
                if (!readChar(c))
                    return QuotedString;
                c = escapeChar(c);
            }
            text += c;
            break;
        case Array:
            if (c == ']') {
                skipToDelimiter();
                return ArrayIndex;
            }
            if (!isDigit(c))
                fail("ERROR: Invalide array identifier character.\n");
            text += c;
            break;
        }
    } while (readChar(c));
    return kindOf();
}

int32_t TextDataReader::readInt()
{
    std::string text;
    switch (readToken(text)) {
    case Decimal: return decimal(text);
    case Hexadecimal: return parseHex(text);
    case DecimalPoint: return truncateToInt(std::atof(text.c_str()));
    default: fail("ERROR: Not a numeric value.\n");
    }
}

uint32_t TextDataReader::readLong()
{
    return static_cast<uint32_t>(readInt());
}

uint8_t TextDataReader::readByte()
{
    return static_cast<uint8_t>(readInt());
}

float TextDataReader::readFloat()
{
    std::string text;
    switch (readToken(text)) {
    case DecimalPoint: return static_cast<float>(std::atof(text.c_str()));
    case Decimal: return static_cast<float>(decimal(text));
    case Hexadecimal: return static_cast<float>(static_cast<uint32_t>(parseHex(text)));
    default: fail("ERROR: Not a floating point value.\n");
    }
}

std::string TextDataReader::readString()
{
    std::string text;
    int kind = readToken(text);
    if (kind != QuotedString && kind != Identifier)
        fail("ERROR: Not a string value.\n");
    return text;
}

std::string TextDataReader::readIdentifier()
{
    std::string text;
    if (readToken(text) != Identifier)
        fail(data_stream_messages::notIdentifier);
    return text;
}
