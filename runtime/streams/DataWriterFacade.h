// Picks the form of a writer by number (0 text, 1 binary) and forwards every call to it.
#pragma once

#include "runtime/streams/DataWriter.h"

#include <memory>

class DataWriterFacade : public DataWriter {
public:
    // Any other form throws "ERROR: Unknown data stream form.\n".
    explicit DataWriterFacade(int form);

    void open(const std::string& fileName) override { inner->open(fileName); }
    void close() override { inner->close(); }
    void writeInt(int32_t value) override { inner->writeInt(value); }
    void writeLong(uint32_t value) override { inner->writeLong(value); }
    void writeByte(uint8_t value) override { inner->writeByte(value); }
    void writeFloat(float value) override { inner->writeFloat(value); }
    void writeString(std::string value) override { inner->writeString(std::move(value)); }
    void writeIdentifier(const std::string& value) override { inner->writeIdentifier(value); }
    void writeControl(const int& code) override { inner->writeControl(code); }

private:
    std::unique_ptr<DataWriter> inner;
};
