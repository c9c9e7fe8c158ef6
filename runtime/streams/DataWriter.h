// Typed writing of one named file, in the text form (TextDataWriter) or the binary form
// (BinaryDataWriter); DataWriterFacade picks one by number. Every failure is a GameTextException with
// code 0.
//
// The bytes go to a temporary file beside the target, which close() flushes, syncs and renames over
// the target; a writer destroyed without close() (an exception while writing) throws the temporary
// away, so the previous file survives any failed or interrupted write.
#pragma once

#include "runtime/streams/AtomicFile.h"

#include <cstdint>
#include <cstdio>
#include <string>

// A control code for operator<<: code 0 ends the line in the text form.
struct DataControl {
    int code;
};

class DataWriter {
public:
    DataWriter() = default;
    DataWriter(const DataWriter&) = delete;
    DataWriter& operator=(const DataWriter&) = delete;
    virtual ~DataWriter() = default;

    virtual const std::string& getName() { return name; }
    virtual void open(const std::string& fileName) = 0;
    virtual void close() = 0;
    virtual void writeInt(int32_t value) = 0;
    virtual void writeLong(uint32_t value) = 0;
    virtual void writeByte(uint8_t value) = 0;
    virtual void writeFloat(float value) = 0;
    virtual void writeString(std::string value) = 0;
    virtual void writeIdentifier(const std::string& value) = 0;
    virtual void writeControl(const int& code) = 0;

    virtual DataWriter& operator<<(const DataControl& control);
    virtual DataWriter& operator<<(const char* text);
    virtual DataWriter& operator<<(float value);
    virtual DataWriter& operator<<(uint32_t value);
    virtual DataWriter& operator<<(uint8_t value);
    virtual DataWriter& operator<<(int32_t value);

protected:
    // Throws "ERROR: Not a identifier value.\n" unless `value` is an identifier.
    static void checkIdentifier(const std::string& value);
    // Throws "ERROR: File not closed.\n" when `file` is open, "ERROR: Could not open file for
    // writing.\n" when it cannot be created.
    static void openFile(ReplacingFile& file, const std::string& fileName, const char* mode);
    // Throws "ERROR: Could not close file.\n" when the file could not be completed; the target then
    // keeps its previous contents. Closing a closed file does nothing.
    static void closeFile(ReplacingFile& file);
    // The open handle; throws "ERROR: Could not open file for writing.\n" when not open.
    static std::FILE* handleOf(const ReplacingFile& file);

    std::string name;
};
