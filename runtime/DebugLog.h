// The program-wide diagnostic log. The texts are kept in memory, the oldest dropped once they pass
// kKeptText characters (the terminate handler reports the tail); with write-through on it also goes to the debugger output and, with file output on, to
// "game.log" (or the file set with setFilePath), which is opened and closed around every text so a
// crash loses nothing.
#pragma once

#include <cstddef>
#include <fstream>
#include <string>

class DebugLog {
public:
    // How much logged text is kept: at most this, and at least half of it once the bound was reached.
    static constexpr std::size_t kKeptText = 1 << 20;

    static DebugLog& instance();

    void log(const std::string& text);
    void writeOut(const std::string& text);

    void setDebuggerOutput(bool on) { debuggerOutput = on; }
    void setFileOutput(bool on) { fileOutput = on; }
    void setWriteThrough(bool on) { writeThrough = on; }
    void setTruncateOnOpen(bool on) { truncateOnOpen = on; }
    // The host path of the log file; "game.log" in the working directory until set.
    void setFilePath(const std::string& path) { filePath = path; }
    void close();

    const std::string& getText() const { return text; }

    DebugLog();
    ~DebugLog();
    DebugLog(const DebugLog&) = delete;
    DebugLog& operator=(const DebugLog&) = delete;

private:
    std::ofstream* file = nullptr;
    bool debuggerOutput = true;
    bool fileOutput = false;
    bool writeThrough = true;
    bool closed = false;
    bool truncateOnOpen = false;
    std::string text;
    std::string filePath = "game.log";
};
