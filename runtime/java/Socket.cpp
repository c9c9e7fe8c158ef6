#include "runtime/java/Socket.h"

#include "runtime/java/Exception.h"

#include <ace/Time_Value.h>

#include <memory>

namespace java {

namespace {

ACE_Time_Value* timeValue(int ms)
{
    return new ACE_Time_Value(static_cast<time_t>(ms / 1000), static_cast<suseconds_t>((ms % 1000) * 1000));
}

} // namespace

Socket::Socket(const String& host, int port) : Socket(host, port, defaultConnectTimeoutMs) {}

Socket::Socket(const String& host, int port, int connectTimeoutMs) : host(host), port(port)
{
    std::unique_ptr<ACE_INET_Addr> serverAddress(new ACE_INET_Addr());
    if (port < 0 || port > 0xFFFF
        || serverAddress->set(static_cast<u_short>(port), this->host.c_str(), 1, AF_INET) == -1)
        throw IOException("Invalid host/port combination");

    std::unique_ptr<ACE_SOCK_Connector> newConnector(new ACE_SOCK_Connector());
    std::unique_ptr<ACE_SOCK_Stream> newStream(new ACE_SOCK_Stream());
    std::unique_ptr<ACE_Time_Value> limit(timeValue(connectTimeoutMs > 0 ? connectTimeoutMs : defaultConnectTimeoutMs));
    if (newConnector->connect(*newStream, *serverAddress, limit.get()) == -1) {
        if (newStream->get_handle() != ACE_INVALID_HANDLE)
            newStream->close();
        throw IOException("Unable to connect");
    }

    connector = newConnector.release();
    stream = newStream.release();
    address = serverAddress.release();
    inputStream = new SocketInputStream(stream, soTimeout > 0 ? timeValue(soTimeout) : nullptr);
    outputStream = new SocketOutputStream(stream);
    inetAddress = new InetAddress(this->host);
}

Socket::~Socket()
{
    inputStream->close();
    outputStream->close();
    releaseAndDelete(inputStream);
    releaseAndDelete(outputStream);
    releaseAndDelete(inetAddress);
    if (stream->get_handle() != ACE_INVALID_HANDLE)
        stream->close();
    delete connector;
    delete stream;
    delete address;
}

void Socket::close()
{
    if (stream->get_handle() == ACE_INVALID_HANDLE)
        return;
    stream->close_writer();
    stream->close();
}

SocketInputStream* Socket::getInputStream()
{
    inputStream->addRef();
    return inputStream;
}

SocketOutputStream* Socket::getOutputStream()
{
    outputStream->addRef();
    return outputStream;
}

InetAddress* Socket::getInetAddress()
{
    inetAddress->addRef();
    return inetAddress;
}

void Socket::setSoTimeout(int ms)
{
    soTimeout = ms;
    if (inputStream)
        inputStream->setTimeout(ms >= 1 ? timeValue(ms) : nullptr);
}

} // namespace java
