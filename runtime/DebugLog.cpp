#include "runtime/DebugLog.h"

#include "compat/win32/system/notify/debug.h"

DebugLog& DebugLog::instance()
{
    static DebugLog log;
    return log;
}

DebugLog::DebugLog() = default;

DebugLog::~DebugLog()
{
    close();
    delete file;
}

void DebugLog::log(const std::string& message)
{
    text += message;
    // Only the recent past is ever read (the terminate handler reports the last few thousand
    // characters), so a game that runs for days keeps a bounded tail instead of every line.
    if (text.size() > kKeptText)
        text.erase(0, text.size() - kKeptText / 2);
    if (writeThrough)
        writeOut(message);
}

void DebugLog::writeOut(const std::string& message)
{
    if (debuggerOutput)
        OutputDebugStringA(message.c_str());
    if (!fileOutput || closed)
        return;
    if (file == nullptr) {
        std::ios::openmode mode = std::ios::out | std::ios::binary;
        if (truncateOnOpen) {
            truncateOnOpen = false;
            mode |= std::ios::trunc;
        } else {
            mode |= std::ios::app;
        }
        file = new std::ofstream(filePath, mode);
    }
    // A log that cannot be opened loses the write; the in-memory text keeps it.
    if (file->is_open()) {
        file->write(message.data(), static_cast<std::streamsize>(message.size()));
        file->flush();
    }
    delete file;
    file = nullptr;
}

void DebugLog::close()
{
    closed = true;
    if (file != nullptr)
        file->flush();
}
