// Typed reading of one named file. Two interchangeable forms implement it: the comma-separated text form
// (TextDataReader) and the compact binary form (BinaryDataReader); DataReaderFacade picks one by number.
// Every failure is a GameTextException with code 0; a truncated or damaged file ends in one too.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class DataReader {
public:
    DataReader() = default;
    DataReader(const DataReader&) = delete;
    DataReader& operator=(const DataReader&) = delete;
    virtual ~DataReader() = default;

    virtual const std::string& getName() { return name; }
    virtual void open(const std::string& fileName) { name = fileName; }
    virtual void close() = 0;
    virtual int eof() = 0;
    virtual int32_t readInt() = 0;
    virtual uint32_t readLong() = 0;
    virtual uint8_t readByte() = 0;
    virtual float readFloat() = 0;
    virtual std::string readString() = 0;
    virtual std::string readIdentifier() = 0;

    virtual DataReader& operator>>(std::string& value);
    virtual DataReader& operator>>(float& value);
    virtual DataReader& operator>>(uint32_t& value);
    virtual DataReader& operator>>(uint8_t& value);
    virtual DataReader& operator>>(int32_t& value);

protected:
    std::string name;
};

namespace data_stream_messages {
inline constexpr const char* fileNotClosed = "ERROR: File not closed.\n";
inline constexpr const char* cannotOpenForReading = "ERROR: Could not open file for reading.\n";
inline constexpr const char* cannotOpenForWriting = "ERROR: Could not open file for writing.\n";
inline constexpr const char* cannotClose = "ERROR: Could not close file.\n";
inline constexpr const char* notIdentifier = "ERROR: Not a identifier value.\n";
// Reading past the end of the data, or a stored length that runs past it.
inline constexpr const char* endOfData = "ERROR: Unexpected end of data.\n";
} // namespace data_stream_messages

// The open file behind a reader; closed by its destructor if the reader was not closed.
class ReadingFile {
public:
    ReadingFile() = default;
    ReadingFile(const ReadingFile&) = delete;
    ReadingFile& operator=(const ReadingFile&) = delete;
    ~ReadingFile();

    // Throws "ERROR: File not closed.\n" when already open, "ERROR: Could not open file for reading.\n"
    // when the file cannot be opened.
    void open(const std::string& path, const char* mode);
    // Throws "ERROR: Could not close file.\n" when the C library's close fails. Closing a closed file
    // does nothing.
    void close();
    // Null while closed.
    std::FILE* handle() const { return file; }

private:
    std::FILE* file = nullptr;
};
