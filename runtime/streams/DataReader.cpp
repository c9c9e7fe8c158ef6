#include "runtime/streams/DataReader.h"

#include "compat/win32/path.h"
#include "runtime/GameException.h"

DataReader& DataReader::operator>>(std::string& value)
{
    value = readString();
    return *this;
}

DataReader& DataReader::operator>>(float& value)
{
    value = readFloat();
    return *this;
}

DataReader& DataReader::operator>>(uint32_t& value)
{
    value = readLong();
    return *this;
}

DataReader& DataReader::operator>>(uint8_t& value)
{
    value = readByte();
    return *this;
}

DataReader& DataReader::operator>>(int32_t& value)
{
    value = readInt();
    return *this;
}

ReadingFile::~ReadingFile()
{
    if (file != nullptr)
        std::fclose(file);
}

void ReadingFile::open(const std::string& path, const char* mode)
{
    if (file != nullptr)
        throw GameTextException(0, data_stream_messages::fileNotClosed);
    file = std::fopen(compat::hostPath(path).c_str(), mode);
    if (file == nullptr)
        throw GameTextException(0, data_stream_messages::cannotOpenForReading);
}

void ReadingFile::close()
{
    if (file == nullptr)
        return;
    int result = std::fclose(file);
    file = nullptr;
    if (result != 0)
        throw GameTextException(0, data_stream_messages::cannotClose);
}
