#include "platform/image/PLTrace.h"

#include <cstdio>
#include <string>

#include "compat/win32/path.h"
#include "platform/image/PLTextException.h"

namespace {

int traceLevel = 0;
std::string traceFile;

template <typename Argument>
void traceFormatted(int level, const char* format, Argument argument)
{
    if (traceFile.empty() || level > traceLevel)
        return;
    char text[1024];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(text, sizeof(text), format, argument);
#pragma GCC diagnostic pop
    PLTrace::trace(level, text);
}

} // namespace

namespace PLTrace {

void configure(int level, const char* fileName)
{
    traceLevel = level;
    traceFile = fileName != nullptr ? fileName : "";
}

void trace(int level, const char* text)
{
    if (traceFile.empty() || level > traceLevel)
        return;
    if (std::FILE* file = std::fopen(compat::hostPath(traceFile).c_str(), "a+")) {
        std::fputs(text, file);
        std::fclose(file);
    }
}

void tracef(int level, const char* format, const char* argument)
{
    traceFormatted(level, format, argument);
}

void tracef(int level, const char* format, int argument)
{
    traceFormatted(level, format, argument);
}

void tracef(int level, const char* format, const void* argument)
{
    traceFormatted(level, format, argument);
}

void raise(int code, const char* text)
{
    tracef(0, "Decoder error: %s\n", text);
    throw PLTextException(code, text);
}

} // namespace PLTrace
