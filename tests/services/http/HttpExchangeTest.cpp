#include "services/http/HttpExchange.h"

#include "tests/services/LoopbackServer.h"

#include <gtest/gtest.h>

#include <chrono>

using services::HttpLimits;
using services::HttpTarget;
using services::testing::LoopbackServer;

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
