#include "runtime/streams/DataWriter.h"

#include "runtime/GameException.h"
#include "runtime/streams/DataReader.h"
#include "runtime/strings/StringUtils.h"

DataWriter& DataWriter::operator<<(const DataControl& control)
{
    writeControl(control.code);
    return *this;
}

DataWriter& DataWriter::operator<<(const char* text)
{
    writeString(text != nullptr ? text : "");
    return *this;
}

DataWriter& DataWriter::operator<<(float value)
{
    writeFloat(value);
    return *this;
}

DataWriter& DataWriter::operator<<(uint32_t value)
{
    writeLong(value);
    return *this;
}

DataWriter& DataWriter::operator<<(uint8_t value)
{
    writeByte(value);
    return *this;
}

DataWriter& DataWriter::operator<<(int32_t value)
{
    writeInt(value);
    return *this;
}

void DataWriter::checkIdentifier(const std::string& value)
{
    if (!isIdentifier(value))
        throw GameTextException(0, data_stream_messages::notIdentifier);
}

void DataWriter::openFile(ReplacingFile& file, const std::string& fileName, const char* mode)
{
    if (file.handle() != nullptr)
        throw GameTextException(0, data_stream_messages::fileNotClosed);
    if (!file.open(fileName, mode))
        throw GameTextException(0, data_stream_messages::cannotOpenForWriting);
}

void DataWriter::closeFile(ReplacingFile& file)
{
    if (file.handle() != nullptr && !file.commit())
        throw GameTextException(0, data_stream_messages::cannotClose);
}

std::FILE* DataWriter::handleOf(const ReplacingFile& file)
{
    if (file.handle() == nullptr)
        throw GameTextException(0, data_stream_messages::cannotOpenForWriting);
    return file.handle();
}
