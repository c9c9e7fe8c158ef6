// The text form: comma-separated tokens (decimal and "0x" numbers, numbers with a decimal point,
// quoted strings with backslash escapes, identifiers, array indexes in square brackets), with optional
// whitespace (blank, tab, line feed) around the commas. A carriage return before a line feed is read
// as the line feed alone, so files with either line end read the same.
#pragma once

#include "runtime/streams/DataReader.h"

class TextDataReader : public DataReader {
public:
    // Token kinds of readToken.
    enum TokenKind { Decimal = 2, DecimalPoint = 3, QuotedString = 4, Identifier = 5, Hexadecimal = 6, ArrayIndex = 7 };

    void open(const std::string& fileName) override;
    void close() override;
    int eof() override { return atEnd; }
    int32_t readInt() override;
    uint32_t readLong() override;
    uint8_t readByte() override;
    float readFloat() override;
    std::string readString() override;
    std::string readIdentifier() override;

    // Reads one token into `text` and returns its kind. The end of the file before the first
    // character of a token throws "ERROR: Unexpected end of data.\n".
    virtual int readToken(std::string& text);
    // 1 with the next character, 0 at the end of the file (which sets the end flag).
    virtual int readChar(char& c);
    // Reads whitespace up to a comma (consumed) or the end of the file; anything else throws
    // "ERROR: No delimiter found.\n".
    virtual void skipToDelimiter();

private:
    ReadingFile file;
    int atEnd = 0;
};
