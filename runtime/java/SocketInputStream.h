// Reads bytes, big-endian integers and text lines from a socket's connection.
//
// The bytes come from outside, so every read is bounded: a line longer than maxLineLength fails with an
// IOException, and a receive that waits longer than the stall limit (60 s unless set) counts as a broken
// connection. Bytes are received in blocks into a small buffer that every reader takes from first.
#pragma once

#include "runtime/java/Object.h"

#include <ace/SOCK_Stream.h>
#include <ace/Time_Value.h>

#include <cstddef>
#include <cstdint>

namespace java {

class String;

class SocketInputStream : public Object {
public:
    static constexpr uint32_t maxLineLength = 64 * 1024;
    static constexpr int defaultStallLimitMs = 60 * 1000;

    // Reads from `stream` (not owned). `timeout` (owned, null for none) bounds the wait of read(buffer,
    // offset, n).
    SocketInputStream(ACE_SOCK_Stream* stream, ACE_Time_Value* timeout);
    ~SocketInputStream() override;

    SocketInputStream(const SocketInputStream&) = delete;
    SocketInputStream& operator=(const SocketInputStream&) = delete;

    // Detaches from the connection, which stays open; every later read throws EOFException.
    virtual void close();

    // The readers below throw EOFException when the stream is detached or closed, or when the
    // connection ends, fails or stalls before they have all their bytes.

    // One byte as a signed value (-128 to 127).
    virtual int read();
    virtual int readInt();
    virtual int64_t readLong();
    // The next line without its end (line feed, carriage return, or both), as a new String the caller
    // releases. Only a line feed right after a carriage return belongs to the end; any other byte
    // starts the next line. A connection that ends after some bytes ends the last line. A line
    // longer than maxLineLength throws IOException.
    virtual String* readLine();
    virtual void readFully(void* buffer, int n);
    // One receive of at most n bytes into buffer + offset, waiting at most the time-out when one is set
    // (else up to the stall limit). Returns the count, or -1 at the end of the stream or on an error.
    // Throws InterruptedIOException (0 bytes) when the wait runs out.
    virtual int read(void* buffer, int offset, int n);
    // Always 0.
    virtual int available();
    // Takes over `timeout` (null: none) and deletes the one held before.
    virtual void setTimeout(ACE_Time_Value* timeout);

    // How long one receive may wait for data before the connection counts as broken (at least 1 ms).
    void setStallLimit(int ms);

private:
    enum class Received { Data, End, TimedOut };

    void checkOpen() const;
    Received receive(void* into, size_t capacity, const ACE_Time_Value* limit, size_t& got);
    // Makes sure the buffer holds a byte; false when none can be had.
    bool fill();
    // The next byte (0-255), or -1 when none can be had.
    int takeByte();
    void takeExactly(unsigned char* into, size_t n);

    ACE_Time_Value* timeout;
    ACE_SOCK_Stream* stream;
    ACE_Time_Value stallLimit;
    unsigned char buffer[4096];
    size_t begin = 0;
    size_t end = 0;
};

} // namespace java
