#include "runtime/java/ByteArrayDataInput.h"

#include "runtime/java/Exception.h"
#include "runtime/java/String.h"

#include <cstring>

namespace java {

ByteArrayDataInput::ByteArrayDataInput(const void* source, int count)
    : length(source && count > 0 ? count : 0),
      bytes(static_cast<const unsigned char*>(source), static_cast<const unsigned char*>(source) + length)
{
}

const unsigned char* ByteArrayDataInput::take(int n)
{
    if (n < 0 || n > length - position)
        throw EOFException();
    const unsigned char* start = bytes.data() + position;
    position += n;
    return start;
}

uint64_t ByteArrayDataInput::readBigEndian(int n)
{
    const unsigned char* p = take(n);
    uint64_t value = 0;
    for (int i = 0; i < n; ++i)
        value = (value << 8) | p[i];
    return value;
}

int ByteArrayDataInput::readByte()
{
    return static_cast<signed char>(*take(1));
}

bool ByteArrayDataInput::readBoolean()
{
    return *take(1) != 0;
}

int ByteArrayDataInput::readUnsignedShort()
{
    return static_cast<int>(readBigEndian(2));
}

int ByteArrayDataInput::readInt()
{
    return static_cast<int>(static_cast<uint32_t>(readBigEndian(4)));
}

int64_t ByteArrayDataInput::readLong()
{
    return static_cast<int64_t>(readBigEndian(8));
}

double ByteArrayDataInput::readDouble()
{
    const unsigned char* p = take(8);
    uint64_t image = 0;
    for (int i = 7; i >= 0; --i)
        image = (image << 8) | p[i];
    double value;
    std::memcpy(&value, &image, sizeof value);
    return value;
}

void ByteArrayDataInput::readFully(void* buffer, int n)
{
    const unsigned char* p = take(n);
    if (n > 0)
        std::memcpy(buffer, p, static_cast<size_t>(n));
}

String* ByteArrayDataInput::readLine()
{
    if (position >= length)
        throw EOFException();
    String* line = new String();
    while (position < length) {
        char c = static_cast<char>(bytes[position++]);
        if (c == '\n')
            break;
        if (c == '\r') {
            if (position < length && bytes[position] == '\n')
                ++position;
            break;
        }
        line->append(c);
    }
    return line;
}

} // namespace java
