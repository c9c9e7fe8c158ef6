#include "runtime/streams/BinaryDataWriter.h"

#include <cstring>

void BinaryDataWriter::open(const std::string& fileName)
{
    openFile(file, fileName, "wb");
}

void BinaryDataWriter::close()
{
    closeFile(file);
}

void BinaryDataWriter::writeBytes(const uint8_t* bytes, unsigned count)
{
    // A failed write is noticed by close(), which then keeps the previous file.
    std::fwrite(bytes, 1, count, handleOf(file));
}

void BinaryDataWriter::writeLong(uint32_t value)
{
    const uint8_t bytes[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                              static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    writeBytes(bytes, 4);
}

void BinaryDataWriter::writeInt(int32_t value)
{
    writeLong(static_cast<uint32_t>(value));
}

void BinaryDataWriter::writeByte(uint8_t value)
{
    writeBytes(&value, 1);
}

void BinaryDataWriter::writeFloat(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const uint8_t bytes[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                              static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
    writeBytes(bytes, 4);
}

void BinaryDataWriter::writeString(std::string value)
{
    writeLong(static_cast<uint32_t>(value.size()));
    writeBytes(reinterpret_cast<const uint8_t*>(value.data()), static_cast<unsigned>(value.size()));
}

void BinaryDataWriter::writeIdentifier(const std::string& value)
{
    checkIdentifier(value);
    writeString(value);
}
