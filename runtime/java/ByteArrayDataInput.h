// Reads lines and big-endian numbers from a private copy of a byte array.
#pragma once

#include "runtime/java/Object.h"

#include <cstdint>
#include <vector>

namespace java {

class String;

class ByteArrayDataInput : public Object {
public:
    // Copies `length` bytes (null or a negative length give no bytes).
    ByteArrayDataInput(const void* bytes, int length);

    // Every read throws EOFException when fewer bytes remain than it needs, and then takes nothing.
    virtual int readByte();
    // The next line without its end (line feed, carriage return, or carriage return and line feed),
    // as a new String the caller releases.
    virtual String* readLine();
    virtual int readUnsignedShort();
    virtual int readInt();
    virtual bool readBoolean();
    virtual int64_t readLong();
    // Eight bytes in stream order as a little-endian IEEE 754 double (unlike readLong).
    virtual double readDouble();
    virtual void readFully(void* buffer, int n);

    int getPosition() const { return position; }

private:
    // Takes `n` bytes and returns where they start.
    const unsigned char* take(int n);
    uint64_t readBigEndian(int n);

    int position = 0;
    int length;
    std::vector<unsigned char> bytes;
};

} // namespace java
