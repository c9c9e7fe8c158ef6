// The socket input stream's readers on arbitrary bytes from a peer. The first bytes of an input are a
// script of reads (one read per byte, repeated); the rest is what the peer sends over a connected
// socket pair before it closes its end.
#include "runtime/java/Exception.h"
#include "runtime/java/SocketInputStream.h"
#include "runtime/java/String.h"

#include <ace/SOCK_Stream.h>
#include <ace/Time_Value.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr size_t scriptLength = 8;
constexpr int maxReads = 4096;

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Sends what fits into the pair's buffer without blocking, then closes the sending side.
void feed(int peer, const uint8_t* data, size_t size)
{
    ::fcntl(peer, F_SETFL, ::fcntl(peer, F_GETFL) | O_NONBLOCK);
    while (size > 0) {
        ssize_t n = ::send(peer, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        data += n;
        size -= static_cast<size_t>(n);
    }
    ::shutdown(peer, SHUT_WR);
}

// Runs one read; false when the stream has ended.
bool readOnce(java::SocketInputStream& in, uint8_t op)
{
    char buffer[64];
    try {
        switch (op % 6) {
        case 0: {
            java::String* line = in.readLine();
            check(line->length() <= java::SocketInputStream::maxLineLength);
            check(std::memchr(line->c_str(), '\n', line->length()) == nullptr);
            check(std::memchr(line->c_str(), '\r', line->length()) == nullptr);
            java::releaseAndDelete(line);
            break;
        }
        case 1:
            in.readInt();
            break;
        case 2:
            in.readLong();
            break;
        case 3: {
            int value = in.read();
            check(value >= -128 && value <= 127);
            break;
        }
        case 4:
            in.readFully(buffer, op >> 3);
            break;
        default: {
            int n = (op >> 3) + 1;
            int got = in.read(buffer, 64 - n, n);
            check(got == -1 || (got >= 1 && got <= n));
            if (got == -1)
                return false;
        }
        }
    } catch (const java::EOFException&) {
        return false;
    } catch (const java::IOException&) {
        return false; // an over-long line, or a timed read that ran out
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < scriptLength)
        return 0;
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0)
        return 0;
    feed(pair[1], data + scriptLength, size - scriptLength);

    ACE_SOCK_Stream connection;
    connection.set_handle(pair[0]);
    {
        java::SocketInputStream in(&connection, new ACE_Time_Value(0, 50 * 1000));
        in.setStallLimit(50); // the peer has closed: nothing should ever wait this long
        for (int i = 0; i < maxReads && readOnce(in, data[i % scriptLength]); ++i) {
        }
    }
    ::close(pair[0]);
    ::close(pair[1]);
    return 0;
}
