#include "services/http/HttpExchange.h"

#include "tests/services/LoopbackServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <thread>

using services::HttpLimits;
using services::HttpTarget;
using services::testing::LoopbackServer;
using services::testing::StreamingServer;

namespace {

// Short bounds so the hostile replies end quickly.
HttpLimits quickLimits()
{
    HttpLimits limits;
    limits.connectTimeoutMs = 1000;
    limits.readTimeoutMs = 500;
    limits.maxHeaderLines = 20;
    limits.maxBodyBytes = 1024;
    limits.maxDescriptionLines = 10;
    limits.maxPackages = 10;
    return limits;
}

std::string ok(const std::string& body)
{
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

} // namespace

TEST(HttpUrl, PostFormSplitsHostPortAndPath)
{
    struct Case {
        const char* url;
        bool accepted;
        const char* host;
        int port;
        const char* path;
    } cases[] = {
        {"http://example.test:8080/path", true, "example.test", 8080, "/path"},
        {"http://example.test/path", true, "example.test", 80, "/path"},
        {"HTTP://example.test/a", true, "example.test", 80, "/a"},
        {"http://example.test:8080", true, "example.test", 8080, "/"},
        {"http://example.test", true, "example.test", 80, "/"},
        {"http://example.test/a:b/c", true, "example.test", 80, "/a:b/c"},
        {"https://example.test/a", false, "", 80, ""},
        {"http:///nohost", false, "", 80, "/nohost"},
        {"http://example.test:0/a", false, "example.test", 0, "/a"},
    };
    for (const Case& c : cases) {
        HttpTarget target;
        EXPECT_EQ(services::splitPostUrl(c.url, target), c.accepted) << c.url;
        if (!c.accepted)
            continue;
        EXPECT_EQ(target.host, c.host) << c.url;
        EXPECT_EQ(target.port, c.port) << c.url;
        EXPECT_EQ(target.path, c.path) << c.url;
    }
}

TEST(HttpUrl, UpdateFormAcceptsAnySchemeAndKeepsEmptyWhenUnparsable)
{
    HttpTarget target;
    services::splitUpdateUrl("ftp://updates.test:2121/check.php", target);
    EXPECT_EQ(target.host, "updates.test");
    EXPECT_EQ(target.port, 2121);
    EXPECT_EQ(target.path, "/check.php");

    HttpTarget none;
    services::splitUpdateUrl("updates.test/check.php", none);
    EXPECT_EQ(none.host, "");
    EXPECT_EQ(none.port, 80);
    EXPECT_EQ(none.path, "");
}

TEST(HttpRequest, ExactBytesOfEachKind)
{
    HttpTarget target{"h.test", 80, "/r"};
    EXPECT_EQ(services::buildPostRequest(target, "a b&"),
              "POST /r HTTP/1.1\r\nconnection: close\r\nhost: h.test\r\n"
              "Content-Type: application/x-www-form-urlencoded\r\nCache-Control: no-cache\r\n"
              "User-Agent: Vantrel HTTPProtocol\r\nContent-Length: 11\r\n\r\ndata=a+b%26");
    EXPECT_NE(services::buildPostRequest(target, "").find("Content-Length: 5\r\n\r\ndata="), std::string::npos);
    EXPECT_EQ(services::buildUpdateRequest(target, 4, 9, "1.2 b"),
              "GET /r?s=4&g=9&v=1.2+b&pid=1 HTTP/1.1\r\nconnection: close\r\nhost: h.test\r\n\r\n");
    EXPECT_EQ(services::buildDownloadRequest(target),
              "GET /r HTTP/1.1\r\nconnection: close\r\nhost: h.test\r\n\r\n");
}

TEST(HttpPost, SendsTheFormAndReadsTheStatus)
{
    LoopbackServer server("HTTP/1.1 200 ok\r\nContent-Length: 3\r\n\r\nyes");
    EXPECT_TRUE(services::httpPost("x", server.url("/report"), quickLimits()));
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].substr(0, 21), "POST /report HTTP/1.1");
    EXPECT_NE(requests[0].find("host: 127.0.0.1\r\n"), std::string::npos);
    EXPECT_EQ(requests[0].substr(requests[0].size() - 6), "data=x");
}

TEST(HttpPost, FailureResults)
{
    LoopbackServer error("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 4\r\n\r\noops");
    EXPECT_FALSE(services::httpPost("x", error.url(), quickLimits()));
    EXPECT_FALSE(services::httpPost("x", "https://127.0.0.1/", quickLimits()));

    // A closed port: the connection is refused and nothing reaches the caller.
    int port;
    {
        LoopbackServer gone("", LoopbackServer::Mode::Reply, 10);
        port = gone.port();
    }
    EXPECT_FALSE(services::httpPost("x", "http://127.0.0.1:" + std::to_string(port) + "/", quickLimits()));
}

TEST(HttpDownload, ReadsTheAnnouncedBody)
{
    LoopbackServer server(ok("PK-bytes"));
    std::vector<unsigned char> body;
    ASSERT_TRUE(services::httpDownload(server.url("/p.zip"), body, quickLimits()));
    EXPECT_EQ(std::string(body.begin(), body.end()), "PK-bytes");
    EXPECT_EQ(server.requests().at(0), "GET /p.zip HTTP/1.1\r\nconnection: close\r\nhost: 127.0.0.1\r\n\r\n");
}

// Each hostile reply ends in the failure result within the time-outs, with no body kept.
TEST(HttpDownload, HostileRepliesFail)
{
    std::string endlessHeader = "HTTP/1.1 200 OK\r\n";
    for (int i = 0; i < 200; ++i)
        endlessHeader += "X-Filler: " + std::to_string(i) + "\r\n";
    struct Case {
        const char* name;
        std::string reply;
        LoopbackServer::Mode mode;
    } cases[] = {
        {"error status with a body", "HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\nnope",
         LoopbackServer::Mode::Reply},
        {"zero length", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", LoopbackServer::Mode::Reply},
        {"no length", "HTTP/1.1 200 OK\r\n\r\nbody", LoopbackServer::Mode::Reply},
        {"huge length", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\nx", LoopbackServer::Mode::Reply},
        {"lying length", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nshort", LoopbackServer::Mode::Reply},
        {"stops half-way", "HTTP/1.1 200 OK\r\nContent-Le", LoopbackServer::Mode::Reply},
        {"endless header", endlessHeader, LoopbackServer::Mode::Reply},
        {"endless line", "HTTP/1.1 200 OK\r\nX: " + std::string(70000, 'a'), LoopbackServer::Mode::Reply},
        {"never answers", "", LoopbackServer::Mode::Silent},
    };
    for (const Case& c : cases) {
        LoopbackServer server(c.reply, c.mode, 3000);
        std::vector<unsigned char> body;
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(services::httpDownload(server.url("/p.zip"), body, quickLimits())) << c.name;
        EXPECT_TRUE(body.empty()) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << c.name;
    }
}

TEST(UpdateCheck, ReplyKinds)
{
    struct Case {
        const char* name;
        std::string body;
        int code;
        const char* version;
        const char* description;
        size_t packages;
    } cases[] = {
        {"offered, no description", "CheckDownloadableUpdate\nTRUE\n2.0\n0\n0\n", 1, "2.0", " ", 0},
        {"offered with text", "CheckDownloadableUpdate\ntrue\n2.1\n2\nfirst\nsecond\n0\n", 1, "2.1",
         "first\nsecond", 0},
        {"none, one package", "CheckDownloadableUpdate\nfalse\n1.0\n1\n7\n3,4\nhttp://h.test/7.zip\n", 0, "1.0",
         " ", 1},
        {"package id 0 skipped", "CheckDownloadableUpdate\nfalse\n1.0\n2\n0\nx\ny\nz\nq\nr\n", 0, "1.0", " ", 0},
        {"marker in lower case", "checkdownloadableupdate\nfalse\n1.0\n0\n", 3, "", " ", 0},
        {"ends after the version", "CheckDownloadableUpdate\nfalse\n1.0\n", 3, "1.0", " ", 0},
        {"too many packages", "CheckDownloadableUpdate\nfalse\n1.0\n100000\n", 3, "1.0", " ", 0},
        {"too many description lines", "CheckDownloadableUpdate\ntrue\n1.0\n2000000000\n", 3, "1.0", " ", 0},
        // The line that fails leaves no line feed after the last one read.
        {"description ends early", "CheckDownloadableUpdate\ntrue\n2.1\n3\nfirst\nsecond\n", 3, "2.1",
         "first\nsecond", 0},
        {"package id beyond an int", "CheckDownloadableUpdate\nfalse\n1.0\n1\n2147483648\nx\ny\n", 3, "1.0", " ",
         0},
    };
    for (const Case& c : cases) {
        LoopbackServer server("HTTP/1.1 200 OK\r\n\r\n" + c.body);
        services::UpdateReply reply = services::fetchUpdateReply(server.url("/check"), 5, 6, "1.0", quickLimits());
        EXPECT_EQ(reply.code, c.code) << c.name;
        EXPECT_EQ(reply.versionLine, c.version) << c.name;
        EXPECT_EQ(reply.description, c.description) << c.name;
        EXPECT_EQ(reply.packages.size(), c.packages) << c.name;
    }
}

TEST(UpdateCheck, OfferedPackageAndRequest)
{
    LoopbackServer server("HTTP/1.1 200 OK\r\n\r\nCheckDownloadableUpdate\nfalse\n1.0\n1\n7\n3,4\nhttp://h.test/7.zip\n");
    services::UpdateReply reply = services::fetchUpdateReply(server.url("/check.php"), 5, 6, "1.0", quickLimits());
    ASSERT_EQ(reply.packages.size(), 1u);
    EXPECT_EQ(reply.packages[0].id, 7);
    EXPECT_EQ(reply.packages[0].gameIds, "3,4");
    EXPECT_EQ(reply.packages[0].fileUrl, "http://h.test/7.zip");
    EXPECT_EQ(server.requests().at(0),
              "GET /check.php?s=5&g=6&v=1.0&pid=1 HTTP/1.1\r\nconnection: close\r\nhost: 127.0.0.1\r\n\r\n");
}

TEST(UpdateCheck, SilentServerGivesCodeThreeWithinTheTimeOut)
{
    LoopbackServer server("", LoopbackServer::Mode::Silent, 3000);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(services::fetchUpdateReply(server.url("/check"), 0, 0, "1", quickLimits()).code, 3);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(services::fetchUpdateReply("", 0, 0, "1", quickLimits()).code, 3);
}

// Every description count, read as a number that must fit an int and stay within the limit (10 here);
// beyond either the reply is damaged. The body always holds the limit's worth of lines, so a count read
// wrongly shows as a reply out of step.
TEST(UpdateCheck, DescriptionCounts)
{
    struct Case {
        const char* count;
        int code;
        const char* description;
    } cases[] = {
        {"0", 1, " "},
        {"1", 1, "d0"},
        {"10", 1, "d0\nd1\nd2\nd3\nd4\nd5\nd6\nd7\nd8\nd9"},
        {"11", 3, " "},
        {"999999999", 3, " "},
        {"1000000000", 3, " "},
        {"2147483647", 3, " "},
        {"2147483648", 3, " "},
        {"99999999999999999999", 3, " "},
        {"-3", 1, " "},
        {"many", 1, " "},
    };
    for (const Case& c : cases) {
        bool numeric = c.count[0] >= '0' && c.count[0] <= '9';
        long lines = numeric ? std::min(std::atol(c.count), 10L) : 0;
        std::string body = "CheckDownloadableUpdate\ntrue\n2.0\n" + std::string(c.count) + "\n";
        for (long i = 0; i < lines; ++i)
            body += "d" + std::to_string(i) + "\n";
        body += "0\n";
        LoopbackServer server("HTTP/1.1 200 OK\r\n\r\n" + body);
        services::UpdateReply reply = services::fetchUpdateReply(server.url("/check"), 5, 6, "1.0", quickLimits());
        EXPECT_EQ(reply.code, c.code) << c.count;
        EXPECT_EQ(reply.description, c.description) << c.count;
        EXPECT_TRUE(reply.packages.empty()) << c.count;
    }
}

TEST(UpdateCheck, DescriptionSizeIsCapped)
{
    HttpLimits limits = quickLimits();
    limits.maxDescriptionBytes = 20;
    struct Case {
        const char* lines;
        int code;
    } cases[] = {
        {"0123456789\n012345678\n", 1}, // 20 bytes joined
        {"0123456789\n0123456789\n", 3},
        {"012345678901234567890\nx\n", 3},
    };
    for (const Case& c : cases) {
        LoopbackServer server("HTTP/1.1 200 OK\r\n\r\nCheckDownloadableUpdate\ntrue\n2.0\n2\n" + std::string(c.lines) +
                              "0\n");
        EXPECT_EQ(services::fetchUpdateReply(server.url("/check"), 5, 6, "1.0", limits).code, c.code) << c.lines;
    }
}

namespace {

long kilobytesOf(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    return 0;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

// The description a server may send is 1000 lines of 64 KiB: read in full it would be 65 MB. It is a
// damaged reply as soon as it passes the cap, and the reading stops there.
TEST(UpdateCheck, HugeDescriptionIsRefusedEarly)
{
    const long lines = 1000;
    const std::string line = std::string(65535, 'a') + "\n";
    StreamingServer server("HTTP/1.1 200 OK\r\n\r\nCheckDownloadableUpdate\ntrue\n9.9\n1000\n",
                           [&](long i) { return i < lines ? line : std::string("0\n"); }, lines + 1, 0);
    HttpLimits limits;
    limits.readTimeoutMs = 2000;
    const long peakBefore = kilobytesOf("VmHWM:");
    const auto start = std::chrono::steady_clock::now();
    services::UpdateReply reply = services::fetchUpdateReply(server.url("/check"), 0, 0, "1", limits);
    const double seconds = secondsSince(start);
    EXPECT_EQ(reply.code, 3);
    EXPECT_LE(reply.description.size(), limits.maxDescriptionBytes);
    // The server stops sending once it sees the client gone; what the kernel's buffers took by then is
    // far less than the whole.
    for (int i = 0; i < 1000 && server.connectionsEnded() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(server.clientsLeft(), 1);
    EXPECT_LT(server.bytesSent(), 16LL * 1024 * 1024);
    std::printf("[ measure ] long description: %.2f s, %lld of %ld bytes sent, peak RSS +%ld KiB\n", seconds,
                server.bytesSent(), lines * static_cast<long>(line.size()), kilobytesOf("VmHWM:") - peakBefore);
}

TEST(HttpDownload, SizeCap)
{
    HttpLimits limits = quickLimits(); // a cap of 1024 bytes
    struct Case {
        size_t length;
        bool accepted;
    } cases[] = {{1, true}, {1024, true}, {1025, false}, {2048, false}};
    for (const Case& c : cases) {
        LoopbackServer server(ok(std::string(c.length, 'z')));
        std::vector<unsigned char> body;
        EXPECT_EQ(services::httpDownload(server.url("/p.zip"), body, limits), c.accepted) << c.length;
        EXPECT_EQ(body.size(), c.accepted ? c.length : 0u) << c.length;
    }
}

// A server that sends a byte every 100 ms would hold each exchange for a minute; the exchange's deadline
// (1 s, or by default three times the read limit of 1 s) ends it as a time-out does. Reading is cut
// off in the header, in the download's body and in the update description.
TEST(HttpDeadline, DrippingServerIsCutOff)
{
    const long drops = 600;
    const int pauseMs = 100;
    struct Case {
        const char* name;
        std::string head;
        int deadlineMs;
        std::function<bool(const std::string&, const HttpLimits&)> exchange; // true when it failed
    } cases[] = {
        // The status line never ends, so no status is found.
        {"post, status line", "HTTP/1.1 200 OK ", 1000,
         [](const std::string& url, const HttpLimits& l) { return !services::httpPost("x", url, l); }},
        {"download, body", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", 1000,
         [](const std::string& url, const HttpLimits& l) {
             std::vector<unsigned char> body;
             return !services::httpDownload(url, body, l) && body.empty();
         }},
        {"update check, description", "HTTP/1.1 200 OK\r\n\r\nCheckDownloadableUpdate\ntrue\n2.0\n1\n", 1000,
         [](const std::string& url, const HttpLimits& l) {
             return services::fetchUpdateReply(url, 0, 0, "1", l).code == 3;
         }},
        {"update check, default deadline", "HTTP/1.1 200 OK\r\n", 0,
         [](const std::string& url, const HttpLimits& l) {
             return services::fetchUpdateReply(url, 0, 0, "1", l).code == 3;
         }},
    };
    for (const Case& c : cases) {
        StreamingServer server(c.head, [](long) { return std::string("a"); }, drops, pauseMs);
        HttpLimits limits = quickLimits();
        // A read limit the drip never reaches (but by default three of them make the deadline).
        limits.readTimeoutMs = c.deadlineMs > 0 ? 5000 : 1000;
        limits.deadlineMs = c.deadlineMs;
        const long peakBefore = kilobytesOf("VmHWM:");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(c.exchange(server.url("/drip"), limits)) << c.name;
        const double seconds = secondsSince(start);
        // Well before the drip would have ended (60 s), however busy the machine.
        EXPECT_LT(seconds, 20.0) << c.name;
        std::printf("[ measure ] drip (%s): ended after %.2f s, %lld bytes received, peak RSS +%ld KiB\n", c.name,
                    seconds, server.bytesSent(), kilobytesOf("VmHWM:") - peakBefore);
    }
}
