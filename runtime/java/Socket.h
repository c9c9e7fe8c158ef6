// A blocking TCP client connection with its input and output streams.
//
// Construction resolves the host and connects (IPv4). The connect waits at most the connect time-out
// (30 s unless given), so an unreachable server cannot hold the calling thread. Only the receive
// time-out (setSoTimeout) is applied to the connection; the other options are stored and answered.
#pragma once

#include "runtime/java/InetAddress.h"
#include "runtime/java/Object.h"
#include "runtime/java/SocketInputStream.h"
#include "runtime/java/SocketOutputStream.h"
#include "runtime/java/String.h"

#include <ace/INET_Addr.h>
#include <ace/SOCK_Connector.h>
#include <ace/SOCK_Stream.h>

namespace java {

class Socket : public Object {
public:
    static constexpr int defaultConnectTimeoutMs = 30 * 1000;

    // Throws IOException "Invalid host/port combination" when the address cannot be made, and
    // "Unable to connect" when the connection fails or the time-out passes; no socket exists then.
    Socket(const String& host, int port);
    Socket(const String& host, int port, int connectTimeoutMs);
    // Releases the streams and detaches them, so a stream kept longer fails its reads instead of
    // reaching into a freed connection. A connection left open is closed.
    ~Socket() override;

    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    // Ends the sending direction and closes the connection. The streams stay attached: later reads
    // throw EOFException and later writes send nothing.
    virtual void close();
    // Each with one reference added for the caller.
    virtual SocketInputStream* getInputStream();
    virtual SocketOutputStream* getOutputStream();
    virtual InetAddress* getInetAddress();

    virtual void setTcpNoDelay(bool on) { tcpNoDelay = on; }
    virtual int getSendBufferSize() { return sendBufferSize; }
    virtual void setSendBufferSize(int size) { sendBufferSize = size; }
    virtual int getReceiveBufferSize() { return receiveBufferSize; }
    virtual void setReceiveBufferSize(int size) { receiveBufferSize = size; }
    virtual void setSoLinger(bool on, int seconds)
    {
        soLinger = on;
        lingerSeconds = seconds;
    }
    virtual void setKeepAlive(bool on) { keepAlive = on; }
    virtual int getSoTimeout() { return soTimeout; }
    // Bounds read(buffer, offset, n) of the input stream to `ms` milliseconds; below 1: no time-out.
    virtual void setSoTimeout(int ms);

    bool getTcpNoDelay() const { return tcpNoDelay; }
    bool getSoLinger() const { return soLinger; }
    int getLingerSeconds() const { return lingerSeconds; }
    bool getKeepAlive() const { return keepAlive; }
    int getPort() const { return port; }

private:
    ACE_SOCK_Connector* connector = nullptr;
    ACE_SOCK_Stream* stream = nullptr;
    ACE_INET_Addr* address = nullptr;
    String host;
    int port;
    SocketInputStream* inputStream = nullptr;
    SocketOutputStream* outputStream = nullptr;
    InetAddress* inetAddress = nullptr;
    bool tcpNoDelay = false;
    int sendBufferSize = 0;
    int receiveBufferSize = 0;
    bool soLinger = true;
    int lingerSeconds = 10;
    int soTimeout = 0;
    bool keepAlive = false;
};

} // namespace java
