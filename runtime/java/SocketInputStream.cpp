#include "runtime/java/SocketInputStream.h"

#include "runtime/java/Exception.h"
#include "runtime/java/String.h"

#include <ace/ACE.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace java {

namespace {

ACE_Time_Value fromMilliseconds(int ms)
{
    return ACE_Time_Value(static_cast<time_t>(ms / 1000), static_cast<suseconds_t>((ms % 1000) * 1000));
}

} // namespace

SocketInputStream::SocketInputStream(ACE_SOCK_Stream* stream, ACE_Time_Value* timeout)
    : timeout(timeout), stream(stream), stallLimit(fromMilliseconds(defaultStallLimitMs))
{
}

SocketInputStream::~SocketInputStream()
{
    delete timeout;
}

void SocketInputStream::close()
{
    stream = nullptr;
}

void SocketInputStream::setTimeout(ACE_Time_Value* newTimeout)
{
    if (newTimeout == timeout)
        return;
    delete timeout;
    timeout = newTimeout;
}

void SocketInputStream::setStallLimit(int ms)
{
    stallLimit = fromMilliseconds(std::max(ms, 1));
}

int SocketInputStream::available()
{
    return 0;
}

void SocketInputStream::checkOpen() const
{
    // A closed socket leaves its handle invalid: bytes still buffered count as lost with it.
    if (!stream || stream->get_handle() == ACE_INVALID_HANDLE)
        throw EOFException();
}

SocketInputStream::Received SocketInputStream::receive(void* into, size_t capacity, const ACE_Time_Value* limit,
                                                       size_t& got)
{
    got = 0;
    for (int interrupted = 0; interrupted < 8; ++interrupted) {
        errno = 0;
        ssize_t n = ACE::recv(stream->get_handle(), into, capacity, limit);
        if (n > 0) {
            got = static_cast<size_t>(n);
            return Received::Data;
        }
        if (n == 0)
            return Received::End;
        if (errno == ETIME || errno == EWOULDBLOCK || errno == EAGAIN)
            return Received::TimedOut;
        if (errno != EINTR)
            return Received::End;
    }
    return Received::End;
}

bool SocketInputStream::fill()
{
    if (begin < end)
        return true;
    begin = end = 0;
    size_t got = 0;
    if (receive(buffer, sizeof buffer, &stallLimit, got) != Received::Data)
        return false;
    end = got;
    return true;
}

int SocketInputStream::takeByte()
{
    if (!fill())
        return -1;
    return buffer[begin++];
}

void SocketInputStream::takeExactly(unsigned char* into, size_t n)
{
    checkOpen();
    while (n > 0) {
        if (!fill())
            throw EOFException();
        size_t part = std::min(n, end - begin);
        std::memcpy(into, buffer + begin, part);
        begin += part;
        into += part;
        n -= part;
    }
}

int SocketInputStream::read()
{
    unsigned char byte;
    takeExactly(&byte, 1);
    return static_cast<signed char>(byte);
}

int SocketInputStream::readInt()
{
    unsigned char bytes[4];
    takeExactly(bytes, 4);
    uint32_t value = 0;
    for (unsigned char byte : bytes)
        value = (value << 8) | byte;
    return static_cast<int>(value);
}

int64_t SocketInputStream::readLong()
{
    unsigned char bytes[8];
    takeExactly(bytes, 8);
    uint64_t value = 0;
    for (unsigned char byte : bytes)
        value = (value << 8) | byte;
    return static_cast<int64_t>(value);
}

void SocketInputStream::readFully(void* into, int n)
{
    checkOpen();
    if (n <= 0)
        return;
    takeExactly(static_cast<unsigned char*>(into), static_cast<size_t>(n));
}

String* SocketInputStream::readLine()
{
    checkOpen();
    int c = takeByte();
    if (c < 0)
        throw EOFException();
    std::unique_ptr<String> line(new String());
    for (; c >= 0; c = takeByte()) {
        if (c == '\n')
            break;
        if (c == '\r') {
            // One byte of look-ahead: a line feed belongs to this line's end, anything else is kept.
            if (fill() && buffer[begin] == '\n')
                ++begin;
            break;
        }
        if (line->length() >= maxLineLength)
            throw IOException("Line too long");
        line->append(static_cast<char>(c));
    }
    return line.release();
}

int SocketInputStream::read(void* into, int offset, int n)
{
    checkOpen();
    if (!into || offset < 0 || n <= 0)
        return -1;
    unsigned char* target = static_cast<unsigned char*>(into) + offset;
    if (begin < end) {
        size_t part = std::min(static_cast<size_t>(n), end - begin);
        std::memcpy(target, buffer + begin, part);
        begin += part;
        return static_cast<int>(part);
    }
    size_t got = 0;
    switch (receive(target, static_cast<size_t>(n), timeout ? timeout : &stallLimit, got)) {
    case Received::Data:
        return static_cast<int>(got);
    case Received::TimedOut:
        throw InterruptedIOException(0);
    case Received::End:
        break;
    }
    return -1;
}

} // namespace java
