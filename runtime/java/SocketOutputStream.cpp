#include "runtime/java/SocketOutputStream.h"

#include "runtime/java/String.h"

#include <ace/ACE.h>

#include <sys/socket.h>

#include <cstring>

namespace java {

SocketOutputStream::SocketOutputStream(ACE_SOCK_Stream* stream) : stream(stream) {}

void SocketOutputStream::close()
{
    stream = nullptr;
}

void SocketOutputStream::write(const void* buffer, int n)
{
    if (!stream || !buffer || n <= 0 || stream->get_handle() == ACE_INVALID_HANDLE)
        return;
    // No SIGPIPE when the peer has gone: the failure is dropped like any other.
    const ACE_Time_Value limit(stallLimitMs / 1000);
    ACE::send_n(stream->get_handle(), buffer, static_cast<size_t>(n), MSG_NOSIGNAL, &limit);
}

void SocketOutputStream::write(const String& text)
{
    write(text.c_str(), static_cast<int>(text.length()));
}

void SocketOutputStream::writeBigEndian(uint64_t value, int n)
{
    unsigned char bytes[8];
    for (int i = n - 1; i >= 0; --i) {
        bytes[i] = static_cast<unsigned char>(value & 0xFF);
        value >>= 8;
    }
    write(bytes, n);
}

void SocketOutputStream::writeByte(int value)
{
    writeBigEndian(static_cast<uint32_t>(value), 1);
}

void SocketOutputStream::writeBoolean(bool value)
{
    writeBigEndian(value ? 1 : 0, 1);
}

void SocketOutputStream::writeShort(int value)
{
    writeBigEndian(static_cast<uint32_t>(value), 2);
}

void SocketOutputStream::writeInt(int value)
{
    writeBigEndian(static_cast<uint32_t>(value), 4);
}

void SocketOutputStream::writeLong(int64_t value)
{
    writeBigEndian(static_cast<uint64_t>(value), 8);
}

void SocketOutputStream::writeDouble(double value)
{
    uint64_t image;
    std::memcpy(&image, &value, sizeof image);
    writeBigEndian(image, 8);
}

} // namespace java
