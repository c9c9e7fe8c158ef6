// Prints java::String texts to the standard output or error stream.
#pragma once

#include "runtime/java/Object.h"

namespace java {

class String;

class PrintStream : public Object {
public:
    // true: standard error, false: standard output.
    explicit PrintStream(bool toError) : toError(toError) {}

    virtual void print(const String& text);
    // The text and a line feed, then a flush.
    virtual void println(const String& text);
    virtual void flush();

    // A disabled stream prints nothing.
    void setEnabled(bool on) { enabled = on; }

private:
    bool enabled = true;
    bool toError;
};

} // namespace java
