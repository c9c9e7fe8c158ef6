#include "runtime/streams/BinaryDataReader.h"

#include "runtime/GameException.h"

#include <cstring>
#include <sys/stat.h>

void BinaryDataReader::open(const std::string& fileName)
{
    DataReader::open(fileName);
    file.open(fileName, "rb");
    struct stat info;
    remaining = ::fstat(fileno(file.handle()), &info) == 0 && info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

void BinaryDataReader::close()
{
    file.close();
}

void BinaryDataReader::endOfData()
{
    atEnd = 1;
    throw GameTextException(0, data_stream_messages::endOfData);
}

uint8_t BinaryDataReader::nextByte()
{
    int c = file.handle() != nullptr ? std::getc(file.handle()) : EOF;
    if (c == EOF)
        endOfData();
    if (remaining > 0)
        --remaining;
    return static_cast<uint8_t>(c);
}

uint32_t BinaryDataReader::readLong()
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | nextByte();
    return value;
}

int32_t BinaryDataReader::readInt()
{
    return static_cast<int32_t>(readLong());
}

uint8_t BinaryDataReader::readByte()
{
    return nextByte();
}

float BinaryDataReader::readFloat()
{
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<uint32_t>(nextByte()) << (8 * i);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string BinaryDataReader::readString()
{
    uint32_t length = readLong();
    if (length > remaining)
        endOfData();
    std::string text(length, '\0');
    if (length > 0 && std::fread(&text[0], 1, length, file.handle()) != length)
        endOfData();
    remaining -= length;
    return text;
}

std::string BinaryDataReader::readIdentifier()
{
    return readString();
}
