// The exceptions of the java:: library. They are thrown and caught by value; each is a java::Object
// with its own count and monitor.
#pragma once

#include "runtime/java/Object.h"

namespace java {

class String;

class Exception : public Object {
};

// The end of the bytes was reached before a read could be satisfied.
class EOFException : public Exception {
};

// An index or a slice outside a String. The offending call also writes a line to standard error.
class IndexOutOfBoundsException : public Exception {
};

class IOException : public Exception {
public:
    IOException();
    explicit IOException(const char* message);
    // The copy shares the message object and holds a reference to it.
    IOException(const IOException& other);
    IOException& operator=(const IOException& other);
    ~IOException() override;

    // Null when the exception was made without a message.
    const String* getMessage() const { return message; }
    std::string toString() override;

private:
    String* message = nullptr;
};

// A timed read ran out of time after `bytesTransferred` bytes.
class InterruptedIOException : public IOException {
public:
    explicit InterruptedIOException(int bytesTransferred) : bytesTransferred(bytesTransferred) {}

    int getBytesTransferred() const { return bytesTransferred; }

private:
    int bytesTransferred;
};

} // namespace java
