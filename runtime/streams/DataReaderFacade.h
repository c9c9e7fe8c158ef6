// Picks the form of a reader by number (0 text, 1 binary) and forwards every call to it.
#pragma once

#include "runtime/streams/DataReader.h"

#include <memory>

class DataReaderFacade : public DataReader {
public:
    // Any other form throws "ERROR: Unknown data stream form.\n".
    explicit DataReaderFacade(int form);

    void open(const std::string& fileName) override { inner->open(fileName); }
    void close() override { inner->close(); }
    int eof() override { return inner->eof(); }
    int32_t readInt() override { return inner->readInt(); }
    uint32_t readLong() override { return inner->readLong(); }
    uint8_t readByte() override { return inner->readByte(); }
    float readFloat() override { return inner->readFloat(); }
    std::string readString() override { return inner->readString(); }
    std::string readIdentifier() override { return inner->readIdentifier(); }

private:
    std::unique_ptr<DataReader> inner;
};
