// The text form: values separated by ", "; a requested line end comes after the separator, so a line
// ends in ", " and a line feed; nothing follows the last value. Strings are quoted with the escapes
// \a \b \t \n \v \f and \" (a backslash itself is written unchanged).
#pragma once

#include "runtime/streams/DataWriter.h"

class TextDataWriter : public DataWriter {
public:
    void open(const std::string& fileName) override;
    void close() override;
    void writeInt(int32_t value) override;
    void writeLong(uint32_t value) override;
    void writeByte(uint8_t value) override;
    void writeFloat(float value) override;
    void writeString(std::string value) override;
    void writeIdentifier(const std::string& value) override;
    // Code 0 requests one line end; other codes do nothing.
    void writeControl(const int& code) override;

    virtual void addNewlines(int n);
    // The pending separator, then the pending line ends; called before every value.
    virtual void flushPending();
    virtual void markPending();
    virtual void writeSeparator();

private:
    void writeValue(const std::string& text);

    ReplacingFile file;
    int separatorPending = 0;
    int pendingNewlines = 0;
};
