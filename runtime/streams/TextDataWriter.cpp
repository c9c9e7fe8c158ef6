#include "runtime/streams/TextDataWriter.h"

#include <cstdio>

namespace {

std::string formatted(const char* format, double value)
{
    char text[512];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string formatted(const char* format, unsigned value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

void TextDataWriter::open(const std::string& fileName)
{
    openFile(file, fileName, "w");
}

void TextDataWriter::close()
{
    closeFile(file);
}

void TextDataWriter::addNewlines(int n)
{
    pendingNewlines += n;
}

void TextDataWriter::flushPending()
{
    if (separatorPending) {
        separatorPending = 0;
        writeSeparator();
    }
    for (; pendingNewlines > 0; --pendingNewlines)
        std::fputc('\n', handleOf(file));
}

void TextDataWriter::markPending()
{
    separatorPending = 1;
}

void TextDataWriter::writeSeparator()
{
    std::fputs(", ", handleOf(file));
}

void TextDataWriter::writeValue(const std::string& text)
{
    std::FILE* handle = handleOf(file);
    flushPending();
    std::fwrite(text.data(), 1, text.size(), handle);
    markPending();
}

void TextDataWriter::writeInt(int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    writeValue(text);
}

void TextDataWriter::writeLong(uint32_t value)
{
    writeValue(formatted("0x%08X", value));
}

void TextDataWriter::writeByte(uint8_t value)
{
    writeValue(formatted("0x%02X", unsigned{value}));
}

void TextDataWriter::writeFloat(float value)
{
    writeValue(formatted("%f", static_cast<double>(value)));
}

void TextDataWriter::writeString(std::string value)
{
    std::string quoted = "\"";
    for (char c : value) {
        switch (c) {
        case 7: quoted += "\\a"; break;
        case 8: quoted += "\\b"; break;
        case 9: quoted += "\\t"; break;
        case 10: quoted += "\\n"; break;
        case 11: quoted += "\\v"; break;
        case 12: quoted += "\\f"; break;
        case '"': quoted += "\\\""; break;
        default: quoted += c;
        }
    }
    quoted += '"';
    writeValue(quoted);
}

void TextDataWriter::writeIdentifier(const std::string& value)
{
    checkIdentifier(value);
    writeValue(value);
}

void TextDataWriter::writeControl(const int& code)
{
    if (code == 0)
        addNewlines(1);
}
