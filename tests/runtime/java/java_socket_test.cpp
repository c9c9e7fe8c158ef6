// The socket classes against a server on 127.0.0.1 that each test starts itself. Every server serves
// one connection with a script, waits a bounded time for it and stops by itself.
#include "runtime/java/Exception.h"
#include "runtime/java/Socket.h"
#include "runtime/java/String.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

using namespace java;
using Clock = std::chrono::steady_clock;

namespace {

// Sends `bytes` in full unless the client has gone.
void sendAll(int fd, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

// Everything the client sends until it closes (or 5 s pass).
std::string receiveAll(int fd)
{
    std::string bytes;
    char chunk[1024];
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 5000) <= 0)
            break;
        ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            break;
        bytes.append(chunk, static_cast<size_t>(n));
    }
    return bytes;
}

class LoopbackServer {
public:
    using Script = std::function<void(int connection)>;

    explicit LoopbackServer(Script script)
    {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0; // chosen by the system
        socklen_t length = sizeof address;
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(listener, 1) != 0
            || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            ADD_FAILURE() << "loopback server could not listen";
        port = ntohs(address.sin_port);
        worker = std::thread([this, script] {
            pollfd ready{listener, POLLIN, 0};
            if (::poll(&ready, 1, 5000) <= 0)
                return;
            int connection = ::accept(listener, nullptr, nullptr);
            if (connection < 0)
                return;
            script(connection);
            ::close(connection);
        });
    }

    ~LoopbackServer()
    {
        worker.join();
        ::close(listener);
    }

    int port = 0;

private:
    int listener = -1;
    std::thread worker;
};

// A port on which nothing listens.
int closedPort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

std::string take(String* line)
{
    std::string text = line->toString();
    releaseAndDelete(line);
    return text;
}

// Every line a server sending `bytes` and closing gives, up to the end of the stream.
std::vector<std::string> linesOf(const std::string& bytes)
{
    LoopbackServer server([bytes](int connection) { sendAll(connection, bytes); });
    Socket socket("127.0.0.1", server.port);
    SocketInputStream* in = socket.getInputStream();
    std::vector<std::string> lines;
    try {
        for (int i = 0; i < 100; ++i)
            lines.push_back(take(in->readLine()));
        ADD_FAILURE() << "no end of stream";
    } catch (const EOFException&) {
    }
    releaseAndDelete(in);
    socket.close();
    return lines;
}

long millisecondsSince(Clock::time_point start)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

} // namespace

TEST(JavaSocket, ReadsLinesNumbersAndBytesInStreamOrder)
{
    std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n";
    reply += std::string("\x01\x02\x03\x04", 4);                     // readInt
    reply += std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFE", 8);     // readLong
    reply += std::string("\x80", 1);                                 // read: signed
    reply += "hello";                                                // readFully
    LoopbackServer server([reply](int connection) { sendAll(connection, reply); });

    Socket socket("127.0.0.1", server.port);
    SocketInputStream* in = socket.getInputStream();
    EXPECT_EQ(take(in->readLine()), "HTTP/1.1 200 OK");
    EXPECT_EQ(take(in->readLine()), "Content-Length: 5");
    EXPECT_EQ(take(in->readLine()), "");
    EXPECT_EQ(in->readInt(), 0x01020304);
    EXPECT_EQ(in->readLong(), -2);
    EXPECT_EQ(in->read(), -128);
    char body[5];
    in->readFully(body, 5);
    EXPECT_EQ(std::string(body, 5), "hello");
    EXPECT_EQ(in->available(), 0);
    EXPECT_THROW(in->readLine(), EOFException);
    EXPECT_THROW(in->read(), EOFException);

    InetAddress* address = socket.getInetAddress();
    EXPECT_EQ(take(address->getHostName()), "127.0.0.1");
    releaseAndDelete(address);
    socket.close();
    releaseAndDelete(in);
}

TEST(JavaSocket, LineEnds)
{
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"line feeds", "a\nb\n", {"a", "b"}},
        {"carriage return and line feed", "a\r\nb\r\n", {"a", "b"}},
        // A lone carriage return ends its line and keeps the byte after it.
        {"lone carriage return", "a\rbc\n", {"a", "bc"}},
        {"two carriage returns", "a\r\rb", {"a", "", "b"}},
        {"carriage return at the end", "a\r", {"a"}},
        {"no end before the close", "a\nlast", {"a", "last"}},
        {"empty lines", "\n\r\n", {"", ""}},
        {"nothing", "", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(linesOf(c.bytes), c.lines) << c.name;
}

TEST(JavaSocket, WritesBigEndian)
{
    std::promise<std::string> received;
    LoopbackServer server([&received](int connection) { received.set_value(receiveAll(connection)); });
    {
        Socket socket("127.0.0.1", server.port);
        SocketOutputStream* out = socket.getOutputStream();
        out->writeShort(0x1234);
        out->writeInt(0x01020304);
        out->writeLong(0x0102030405060708LL);
        out->writeDouble(1.0);
        out->writeBoolean(true);
        out->writeBoolean(false);
        out->writeByte(0x1FF);
        out->write(String("GET /"));
        out->write("xyz", 2);
        out->flush();
        out->close();
        out->writeInt(7); // detached: sends nothing
        releaseAndDelete(out);
        socket.close();
    }
    std::string expected("\x12\x34"
                         "\x01\x02\x03\x04"
                         "\x01\x02\x03\x04\x05\x06\x07\x08"
                         "\x3F\xF0\x00\x00\x00\x00\x00\x00"
                         "\x01\x00\xFF"
                         "GET /xy",
                         32);
    EXPECT_EQ(received.get_future().get(), expected);
}

TEST(JavaSocket, ConnectFailuresThrowIOException)
{
    const struct {
        const char* name;
        int port;
        const char* message;
    } cases[] = {
        {"nothing listens", closedPort(), "Unable to connect"},
        {"negative port", -1, "Invalid host/port combination"},
        {"port too large", 65536, "Invalid host/port combination"},
    };
    for (const auto& c : cases) {
        try {
            Socket socket("127.0.0.1", c.port);
            ADD_FAILURE() << c.name << ": connected";
        } catch (const IOException& e) {
            ASSERT_NE(e.getMessage(), nullptr) << c.name;
            EXPECT_STREQ(e.getMessage()->c_str(), c.message) << c.name;
        }
    }
}

TEST(JavaSocket, ServerClosingEarlyEndsFixedSizeReads)
{
    const struct {
        const char* name;
        std::string bytes;
        std::function<void(SocketInputStream*)> read;
    } cases[] = {
        {"readInt", std::string("\x01\x02", 2), [](SocketInputStream* in) { in->readInt(); }},
        {"readLong", std::string(7, '\x01'), [](SocketInputStream* in) { in->readLong(); }},
        {"readFully", "abcd", [](SocketInputStream* in) { char b[10]; in->readFully(b, 10); }},
        {"read", "", [](SocketInputStream* in) { in->read(); }},
        {"readLine", "", [](SocketInputStream* in) { releaseAndDelete(in->readLine()); }},
    };
    for (const auto& c : cases) {
        std::string bytes = c.bytes;
        LoopbackServer server([bytes](int connection) { sendAll(connection, bytes); });
        Socket socket("127.0.0.1", server.port);
        SocketInputStream* in = socket.getInputStream();
        EXPECT_THROW(c.read(in), EOFException) << c.name;
        char buffer[4];
        EXPECT_EQ(in->read(buffer, 0, 4), -1) << c.name; // end of stream
        releaseAndDelete(in);
        socket.close();
    }
}

TEST(JavaSocket, ClosedStreamOrSocketFailsAtOnce)
{
    LoopbackServer server([](int connection) {
        sendAll(connection, std::string(16, '\x01'));
        receiveAll(connection);
    });
    Socket socket("127.0.0.1", server.port);
    SocketInputStream* in = socket.getInputStream();
    SocketOutputStream* out = socket.getOutputStream();
    EXPECT_EQ(in->read(), 1);

    socket.close();
    EXPECT_THROW(in->readInt(), EOFException); // bytes left in the stream do not survive the close
    out->writeInt(1);                          // sends nothing, reports nothing
    in->close();
    EXPECT_THROW(in->readInt(), EOFException);
    char buffer[4];
    EXPECT_THROW(in->read(buffer, 0, 4), EOFException);
    releaseAndDelete(out);
    releaseAndDelete(in);
}

TEST(JavaSocket, StreamKeptAfterTheSocketFailsInsteadOfReachingIntoIt)
{
    LoopbackServer server([](int connection) { sendAll(connection, "abc\n"); });
    auto* socket = new Socket("127.0.0.1", server.port);
    SocketInputStream* in = socket->getInputStream();
    socket->close();
    EXPECT_EQ(socket->release(), 0);
    delete socket;
    EXPECT_THROW(in->readLine(), EOFException);
    releaseAndDelete(in);
}

TEST(JavaSocket, TimedReadRunsOutWhileBlockingReadWaits)
{
    std::promise<void> answer;
    std::shared_future<void> answerNow = answer.get_future().share();
    LoopbackServer server([answerNow](int connection) {
        answerNow.wait_for(std::chrono::seconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        sendAll(connection, "late");
        receiveAll(connection);
    });
    Socket socket("127.0.0.1", server.port);
    SocketInputStream* in = socket.getInputStream();
    char buffer[8];

    socket.setSoTimeout(300);
    EXPECT_EQ(socket.getSoTimeout(), 300);
    Clock::time_point start = Clock::now();
    try {
        in->read(buffer, 0, 8);
        ADD_FAILURE() << "no time-out";
    } catch (const InterruptedIOException& e) {
        EXPECT_EQ(e.getBytesTransferred(), 0);
    }
    long waited = millisecondsSince(start);
    EXPECT_GE(waited, 250);
    EXPECT_LT(waited, 3000);

    // Without a time-out the read waits for the late answer.
    socket.setSoTimeout(0);
    answer.set_value();
    int n = in->read(buffer, 2, 6);
    ASSERT_GT(n, 0);
    EXPECT_EQ(std::string(buffer + 2, static_cast<size_t>(n)), std::string("late").substr(0, static_cast<size_t>(n)));
    socket.close();
    releaseAndDelete(in);
}

TEST(JavaSocket, SilentServerEndsBlockingReadsAfterTheStallLimit)
{
    std::promise<void> clientDone;
    std::shared_future<void> done = clientDone.get_future().share();
    LoopbackServer server([done](int connection) {
        sendAll(connection, "par");
        done.wait_for(std::chrono::seconds(5));
    });
    Socket socket("127.0.0.1", server.port);
    SocketInputStream* in = socket.getInputStream();
    in->setStallLimit(200);
    Clock::time_point start = Clock::now();
    // The partial line ends when the wait for more runs out; the next read has nothing at all.
    EXPECT_EQ(take(in->readLine()), "par");
    EXPECT_THROW(in->readInt(), EOFException);
    EXPECT_LT(millisecondsSince(start), 3000);
    clientDone.set_value();
    socket.close();
    releaseAndDelete(in);
}

TEST(JavaSocket, EndlessLineFailsAtTheLengthCap)
{
    LoopbackServer server([](int connection) {
        std::string block(4096, 'x');
        // Bounded: stops when the client has gone or after four times the cap.
        for (int i = 0; i < 64; ++i) {
            if (::send(connection, block.data(), block.size(), MSG_NOSIGNAL) <= 0)
                break;
        }
    });
    Socket socket("127.0.0.1", server.port);
    SocketInputStream* in = socket.getInputStream();
    try {
        releaseAndDelete(in->readLine());
        ADD_FAILURE() << "no failure";
    } catch (const EOFException&) {
        ADD_FAILURE() << "the cap must be reported as such";
    } catch (const IOException& e) {
        EXPECT_STREQ(e.getMessage()->c_str(), "Line too long");
    }
    socket.close();
    releaseAndDelete(in);
}

TEST(JavaSocket, ConnectGivesUpAfterItsTimeOut)
{
    // A listener that never accepts, with its queue filled by plain connections: the system drops
    // further connection requests, so a connect waits until its time-out.
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(fd);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    Clock::time_point start = Clock::now();
    try {
        Socket socket("127.0.0.1", ntohs(address.sin_port), 300);
        ADD_FAILURE() << "connected to a full queue";
        socket.close();
    } catch (const IOException& e) {
        EXPECT_STREQ(e.getMessage()->c_str(), "Unable to connect");
    }
    EXPECT_LT(millisecondsSince(start), 3000);
    for (int fd : fillers)
        ::close(fd);
    ::close(listener);
}
