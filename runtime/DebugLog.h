// The program-wide diagnostic log. Every text is kept in memory (the terminate handler reports its
// tail); with write-through on it also goes to the debugger output and, with file output on, to
// "game.log", which is opened and closed around every text so a crash loses nothing.
#pragma once

#include <fstream>
#include <string>

class DebugLog {
public:
    static DebugLog& instance();

    void log(const std::string& text);
    void writeOut(const std::string& text);

    void setDebuggerOutput(bool on) { debuggerOutput = on; }
    void setFileOutput(bool on) { fileOutput = on; }
    void setWriteThrough(bool on) { writeThrough = on; }
    void setTruncateOnOpen(bool on) { truncateOnOpen = on; }
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
};
