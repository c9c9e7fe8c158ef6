// The binary form: no header, no tags; 32-bit integers and string lengths big-endian, floats as
// little-endian IEEE singles. Reading past the end of the data, or a string length larger than the
// bytes left, throws "ERROR: Unexpected end of data.\n" instead of inventing bytes.
#pragma once

#include "runtime/streams/DataReader.h"

class BinaryDataReader : public DataReader {
public:
    void open(const std::string& fileName) override;
    void close() override;
    // Set once a read has run into the end of the data.
    int eof() override { return atEnd; }
    int32_t readInt() override;
    uint32_t readLong() override;
    uint8_t readByte() override;
    float readFloat() override;
    std::string readString() override;
    std::string readIdentifier() override;

private:
    uint8_t nextByte();
    [[noreturn]] void endOfData();

    ReadingFile file;
    int atEnd = 0;
    // Bytes between the read position and the end of the file.
    uint64_t remaining = 0;
};
