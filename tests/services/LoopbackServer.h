#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace services::testing {

// A listening socket on 127.0.0.1 at a port the system picks (backlog 4); the port it got.
inline int listenOnLoopback(int& listener)
{
    listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 4);
    socklen_t size = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

// A one-shot HTTP server on 127.0.0.1 with a port the system chooses. Each accepted connection reads
// the request (until the blank line plus any announced body, or a short quiet spell), records it and
// writes the canned reply. Every wait is bounded and the server stops by itself after its deadline.
class LoopbackServer {
public:
    enum class Mode { Reply, Silent };

    explicit LoopbackServer(std::string reply, Mode mode = Mode::Reply, int lifetimeMs = 5000)
        : reply_(std::move(reply)), mode_(mode), lifetimeMs_(lifetimeMs)
    {
        port_ = listenOnLoopback(listener_);
        thread_ = std::thread([this] { run(); });
    }
    ~LoopbackServer()
    {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    std::string url(const std::string& path = "/") const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::vector<std::string> requests()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    using Clock = std::chrono::steady_clock;

    void run()
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(lifetimeMs_);
        for (int served = 0; served < 8 && !stop_ && Clock::now() < deadline;) {
            pollfd wait{listener_, POLLIN, 0};
            if (::poll(&wait, 1, 50) <= 0)
                continue;
            int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0)
                continue;
            ++served;
            std::string request = readRequest(client, deadline);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
            }
            if (mode_ == Mode::Silent) {
                while (!stop_ && Clock::now() < deadline)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
            } else {
                writeAll(client, deadline);
            }
            ::close(client);
        }
    }

    std::string readRequest(int client, Clock::time_point deadline)
    {
        std::string request;
        char chunk[4096];
        while (!stop_ && Clock::now() < deadline && request.size() < (1u << 20)) {
            pollfd wait{client, POLLIN, 0};
            if (::poll(&wait, 1, 200) <= 0)
                break; // quiet for a while: the request is complete
            ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
            if (got <= 0)
                break;
            request.append(chunk, static_cast<size_t>(got));
            size_t end = request.find("\r\n\r\n");
            if (end != std::string::npos && request.compare(0, 4, "GET ") == 0)
                break;
        }
        return request;
    }

    void writeAll(int client, Clock::time_point deadline)
    {
        size_t sent = 0;
        while (sent < reply_.size() && !stop_ && Clock::now() < deadline) {
            pollfd wait{client, POLLOUT, 0};
            if (::poll(&wait, 1, 50) <= 0)
                continue;
            ssize_t put = ::send(client, reply_.data() + sent, reply_.size() - sent, MSG_NOSIGNAL);
            if (put <= 0)
                return;
            sent += static_cast<size_t>(put);
        }
    }

    std::string reply_;
    Mode mode_;
    int lifetimeMs_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// A server on 127.0.0.1 that makes its reply while sending it: the head, then piece(0), piece(1), ... up
// to `pieces`, with a pause of pauseMs before each piece. It serves one connection at a time (at most 4)
// and stops sending to a client that has left. A drip (a byte a piece, a pause between) lasts
// pieces x pauseMs at most; the server stops by itself after that, or when destroyed.
class StreamingServer {
public:
    StreamingServer(std::string head, std::function<std::string(long)> piece, long pieces, int pauseMs)
        : head_(std::move(head)), piece_(std::move(piece)), pieces_(pieces), pauseMs_(pauseMs)
    {
        port_ = listenOnLoopback(listener_);
        thread_ = std::thread([this] { run(); });
    }
    ~StreamingServer()
    {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    StreamingServer(const StreamingServer&) = delete;
    StreamingServer& operator=(const StreamingServer&) = delete;

    std::string url(const std::string& path = "/") const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    // Bytes that went out to the clients so far.
    long long bytesSent() const { return sent_; }
    // Connections whose client left before the reply was complete.
    int clientsLeft() const { return left_; }
    // Connections served to their end (the client left or the reply was complete).
    int connectionsEnded() const { return ended_; }

private:
    using Clock = std::chrono::steady_clock;

    void run()
    {
        // Long enough for every piece and its pause, plus a margin for a busy machine.
        const auto deadline = Clock::now() + std::chrono::milliseconds(pieces_ * pauseMs_ + 30000);
        for (int served = 0; served < 4 && !stop_ && Clock::now() < deadline;) {
            pollfd wait{listener_, POLLIN, 0};
            if (::poll(&wait, 1, 50) <= 0)
                continue;
            int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0)
                continue;
            ++served;
            drainRequest(client);
            bool complete = sendAll(client, head_, deadline);
            for (long i = 0; complete && i < pieces_; ++i) {
                for (int waited = 0; waited < pauseMs_ && !stop_; waited += 10)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                complete = sendAll(client, piece_(i), deadline);
            }
            if (!complete)
                ++left_;
            ++ended_;
            ::close(client);
        }
    }

    // Takes what the client sent within a short spell, so closing never resets a request unread.
    static void drainRequest(int client)
    {
        char chunk[4096];
        for (int i = 0; i < 50; ++i) {
            pollfd wait{client, POLLIN, 0};
            if (::poll(&wait, 1, 100) <= 0)
                return;
            ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
            if (got <= 0)
                return;
            std::string text(chunk, static_cast<size_t>(got));
            if (text.find("\r\n\r\n") != std::string::npos && text.compare(0, 4, "GET ") == 0)
                return;
        }
    }

    // False when the client has gone (or the server is stopping) before all of text went out.
    bool sendAll(int client, const std::string& text, Clock::time_point deadline)
    {
        size_t done = 0;
        while (done < text.size()) {
            if (stop_ || Clock::now() >= deadline)
                return false;
            pollfd wait{client, POLLOUT, 0};
            if (::poll(&wait, 1, 50) <= 0)
                continue;
            ssize_t put = ::send(client, text.data() + done, text.size() - done, MSG_NOSIGNAL);
            if (put <= 0)
                return false;
            done += static_cast<size_t>(put);
            sent_ += put;
        }
        return true;
    }

    std::string head_;
    std::function<std::string(long)> piece_;
    long pieces_;
    int pauseMs_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<long long> sent_{0};
    std::atomic<int> left_{0};
    std::atomic<int> ended_{0};
    std::thread thread_;
};

} // namespace services::testing
