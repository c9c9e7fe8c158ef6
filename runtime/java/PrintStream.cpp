#include "runtime/java/PrintStream.h"

#include "runtime/java/String.h"

#include <cstdio>

namespace java {

namespace {

void write(FILE* stream, const String& text)
{
    std::fwrite(text.c_str(), 1, text.length(), stream);
}

} // namespace

void PrintStream::print(const String& text)
{
    if (enabled)
        write(toError ? stderr : stdout, text);
}

void PrintStream::println(const String& text)
{
    if (!enabled)
        return;
    FILE* stream = toError ? stderr : stdout;
    write(stream, text);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void PrintStream::flush()
{
    if (enabled)
        std::fflush(toError ? stderr : stdout);
}

} // namespace java
