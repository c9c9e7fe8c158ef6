#include "runtime/DataWriter.h"

#include "compat/win32/path.h"
#include "runtime/DataReader.h"
#include "runtime/GameException.h"
#include "runtime/StringUtils.h"

#include <cstdio>
#include <unistd.h>

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

ReplacingFile::~ReplacingFile()
{
    abandon();
}

void ReplacingFile::open(const std::string& target, const char* mode)
{
    if (file != nullptr)
        throw GameTextException(0, data_stream_messages::fileNotClosed);
    targetPath = compat::hostPath(target);
    tempPath = targetPath + ".tmp";
    file = std::fopen(tempPath.c_str(), mode);
    if (file == nullptr)
        throw GameTextException(0, data_stream_messages::cannotOpenForWriting);
}

void ReplacingFile::commit()
{
    if (file == nullptr)
        return;
    bool written = std::fflush(file) == 0 && !std::ferror(file) && ::fsync(fileno(file)) == 0;
    bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (!written || !closed || std::rename(tempPath.c_str(), targetPath.c_str()) != 0) {
        std::remove(tempPath.c_str());
        throw GameTextException(0, data_stream_messages::cannotClose);
    }
}

std::FILE* ReplacingFile::handle()
{
    if (file == nullptr)
        throw GameTextException(0, data_stream_messages::cannotOpenForWriting);
    return file;
}

void ReplacingFile::abandon()
{
    if (file == nullptr)
        return;
    std::fclose(file);
    file = nullptr;
    std::remove(tempPath.c_str());
}
