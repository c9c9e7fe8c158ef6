#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace services::testing {

// A one-shot HTTP server on 127.0.0.1 with a port the system chooses. Each accepted connection reads
// the request (until the blank line plus any announced body, or a short quiet spell), records it and
// writes the canned reply. Every wait is bounded and the server stops by itself after its deadline.
class LoopbackServer {
public:
    enum class Mode { Reply, Silent };

    explicit LoopbackServer(std::string reply, Mode mode = Mode::Reply, int lifetimeMs = 5000)
        : reply_(std::move(reply)), mode_(mode), lifetimeMs_(lifetimeMs)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 4);
        socklen_t size = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
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

} // namespace services::testing
