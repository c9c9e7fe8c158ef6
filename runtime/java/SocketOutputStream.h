// Writes bytes, texts and big-endian numbers to a socket's connection. Failures are not reported: the
// next read on the connection fails instead. A peer that stops reading holds a write up to the stall
// limit (60 s) at most.
#pragma once

#include "runtime/java/Object.h"

#include <ace/SOCK_Stream.h>
#include <ace/Time_Value.h>

#include <cstdint>

namespace java {

class String;

class SocketOutputStream : public Object {
public:
    static constexpr int stallLimitMs = 60 * 1000;

    // Writes to `stream` (not owned).
    explicit SocketOutputStream(ACE_SOCK_Stream* stream);

    SocketOutputStream(const SocketOutputStream&) = delete;
    SocketOutputStream& operator=(const SocketOutputStream&) = delete;

    // Detaches from the connection, which stays open; later writes send nothing.
    virtual void close();
    virtual void flush() {}
    virtual void write(const void* buffer, int n);
    // The text's bytes without a terminator.
    virtual void write(const String& text);
    virtual void writeByte(int value);
    virtual void writeBoolean(bool value);
    virtual void writeShort(int value);
    virtual void writeInt(int value);
    virtual void writeLong(int64_t value);
    // The IEEE 754 image, sign and exponent first.
    virtual void writeDouble(double value);

private:
    void writeBigEndian(uint64_t value, int n);

    ACE_SOCK_Stream* stream;
};

} // namespace java
