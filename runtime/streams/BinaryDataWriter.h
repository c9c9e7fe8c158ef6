// The binary form: 32-bit integers and string lengths big-endian, floats as little-endian IEEE
// singles, strings as their length and bytes with no terminator; control codes write nothing.
#pragma once

#include "runtime/streams/DataWriter.h"

class BinaryDataWriter : public DataWriter {
public:
    void open(const std::string& fileName) override;
    void close() override;
    void writeInt(int32_t value) override;
    void writeLong(uint32_t value) override;
    void writeByte(uint8_t value) override;
    void writeFloat(float value) override;
    void writeString(std::string value) override;
    void writeIdentifier(const std::string& value) override;
    void writeControl(const int& code) override {}

    virtual void writeBytes(const uint8_t* bytes, unsigned count);

private:
    ReplacingFile file;
};
