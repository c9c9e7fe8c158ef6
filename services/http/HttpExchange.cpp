#include "services/http/HttpExchange.h"

#include "runtime/java/Exception.h"
#include "runtime/java/Socket.h"
#include "runtime/java/SocketInputStream.h"
#include "runtime/java/SocketOutputStream.h"
#include "runtime/java/String.h"
#include "runtime/java/URLEncoder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace services {

namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A decimal number at the start of text (after blanks); 0 when there is none or it does not fit.
long leadingNumber(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (value > 100000000L)
            return 0;
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

int portFrom(const std::string& text)
{
    long port = leadingNumber(text);
    return port > 0 && port <= 65535 ? static_cast<int>(port) : 0;
}

std::string readLineFrom(java::SocketInputStream& in)
{
    std::unique_ptr<java::String> line(in.readLine());
    return std::string(line->c_str() ? line->c_str() : "", line->length());
}

// One connection with its two streams; closed on every path out.
class Connection {
public:
    Connection(const HttpTarget& target, const HttpLimits& limits)
        : socket(new java::Socket(java::String(target.host.c_str()), target.port, limits.connectTimeoutMs))
    {
        socket->setSoTimeout(limits.readTimeoutMs);
        in = socket->getInputStream();
        // The line reader waits by its stall limit: a peer quiet for longer ends the exchange.
        in->setStallLimit(limits.readTimeoutMs);
        out = socket->getOutputStream();
    }
    ~Connection()
    {
        try {
            socket->close();
        } catch (const java::Exception&) {
        }
        java::releaseAndDelete(in);
        java::releaseAndDelete(out);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void send(const std::string& request)
    {
        out->write(request.data(), static_cast<int>(request.size()));
        out->flush();
    }
    std::string readLine() { return readLineFrom(*in); }
    long readHeaders(const HttpLimits& limits) { return readReplyHeaders(*in, limits); }
    java::SocketInputStream& input() { return *in; }
    void readFully(unsigned char* into, size_t n) { in->readFully(into, static_cast<int>(n)); }

private:
    std::unique_ptr<java::Socket> socket;
    java::SocketInputStream* in = nullptr;
    java::SocketOutputStream* out = nullptr;
};

} // namespace

long readReplyHeaders(java::SocketInputStream& in, const HttpLimits& limits)
{
    long contentLength = -1;
    for (int count = 0;; ++count) {
        if (count > limits.maxHeaderLines)
            throw java::IOException("Too many header lines");
        std::string line = readLineFrom(in);
        if (line.empty())
            return contentLength;
        if (lower(line).compare(0, 15, "content-length:") == 0)
            contentLength = leadingNumber(line.substr(15));
    }
}

bool splitPostUrl(const std::string& url, HttpTarget& target)
{
    if (lower(url).compare(0, 7, "http://") != 0)
        return false;
    std::string rest = url.substr(7);
    size_t slash = rest.find('/');
    std::string hostPart = rest.substr(0, slash);
    target.path = slash == std::string::npos ? "/" : rest.substr(slash);
    target.port = 80;
    size_t colon = hostPart.find(':');
    if (colon != std::string::npos) {
        target.port = portFrom(hostPart.substr(colon + 1));
        hostPart.resize(colon);
    }
    target.host = hostPart;
    return !target.host.empty() && target.port > 0;
}

void splitUpdateUrl(const std::string& url, HttpTarget& target)
{
    size_t scheme = url.find("://");
    if (scheme == std::string::npos || scheme == 0)
        return;
    std::string rest = url.substr(scheme + 3);
    size_t slash = rest.find('/');
    if (slash == std::string::npos || slash == 0)
        return;
    std::string hostPart = rest.substr(0, slash);
    target.path = rest.substr(slash);
    size_t colon = hostPart.find(':');
    if (colon != std::string::npos && colon > 0) {
        target.port = portFrom(hostPart.substr(colon + 1));
        hostPart.resize(colon);
    }
    target.host = hostPart;
}

std::string buildPostRequest(const HttpTarget& target, const std::string& text)
{
    std::string body = URLEncoder::encode(text);
    return "POST " + target.path + " HTTP/1.1\r\nconnection: close\r\nhost: " + target.host +
           "\r\nContent-Type: application/x-www-form-urlencoded\r\nCache-Control: no-cache\r\n"
           "User-Agent: Vantrel HTTPProtocol\r\nContent-Length: " +
           std::to_string(body.size() + 5) + "\r\n\r\ndata=" + body;
}

std::string buildUpdateRequest(const HttpTarget& target, int skinnedGameId, int gameSetId,
                               const std::string& version)
{
    return "GET " + target.path + "?s=" + std::to_string(skinnedGameId) + "&g=" + std::to_string(gameSetId) +
           "&v=" + URLEncoder::encode(version) + "&pid=1 HTTP/1.1\r\nconnection: close\r\nhost: " +
           target.host + "\r\n\r\n";
}

std::string buildDownloadRequest(const HttpTarget& target)
{
    return "GET " + target.path + " HTTP/1.1\r\nconnection: close\r\nhost: " + target.host + "\r\n\r\n";
}

bool httpPost(const std::string& text, const std::string& url, const HttpLimits& limits)
{
    HttpTarget target;
    if (!splitPostUrl(url, target))
        return false;
    bool ok = false;
    try {
        Connection connection(target, limits);
        connection.send(buildPostRequest(target, text));
        std::string status = connection.readLine();
        std::string upper = status;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        ok = upper.size() >= 6 && upper.compare(upper.size() - 6, 6, "200 OK") == 0;
        // The reply body is drained only up to the cap; the result is already known.
        long length = connection.readHeaders(limits);
        if (length > 0 && static_cast<size_t>(length) <= limits.maxBodyBytes) {
            std::vector<unsigned char> body(static_cast<size_t>(length));
            connection.readFully(body.data(), body.size());
        }
    } catch (const java::Exception&) {
        // End of data, a time-out or a refused connection: the status found so far stands.
    }
    return ok;
}

bool httpDownload(const std::string& url, std::vector<unsigned char>& body, const HttpLimits& limits)
{
    body.clear();
    HttpTarget target;
    if (!splitPostUrl(url, target))
        return false;
    try {
        Connection connection(target, limits);
        connection.send(buildDownloadRequest(target));
        std::string status = connection.readLine();
        // An error page is not an archive: only a 2xx status counts.
        size_t blank = status.find(' ');
        long code = blank == std::string::npos ? 0 : leadingNumber(status.substr(blank + 1));
        long length = connection.readHeaders(limits);
        if (code < 200 || code > 299 || length <= 0 || static_cast<size_t>(length) > limits.maxBodyBytes)
            return false;
        std::vector<unsigned char> data(static_cast<size_t>(length));
        connection.readFully(data.data(), data.size());
        body.swap(data);
        return true;
    } catch (const java::EOFException&) {
    } catch (const java::Exception&) {
        std::fputs("Exception on update (E3)!\n", stderr);
    }
    body.clear();
    return false;
}

UpdateReply readUpdateReply(java::SocketInputStream& in, const HttpLimits& limits)
{
    UpdateReply reply;
    reply.code = 0;
    reply.description = " ";
    bool failed = false;
    bool offered = false;
    try {
        readLineFrom(in);
        readReplyHeaders(in, limits);
        if (readLineFrom(in) != "CheckDownloadableUpdate") {
            failed = true;
        } else {
            offered = lower(readLineFrom(in)) == "true";
            reply.versionLine = readLineFrom(in);
            if (offered) {
                long n = leadingNumber(readLineFrom(in));
                if (n > limits.maxDescriptionLines)
                    throw java::IOException("Too many description lines");
                if (n > 0) {
                    reply.description.clear();
                    for (long i = 0; i < n; ++i) {
                        if (i > 0)
                            reply.description += '\n';
                        reply.description += readLineFrom(in);
                    }
                }
            }
            long m = leadingNumber(readLineFrom(in));
            if (m > limits.maxPackages)
                throw java::IOException("Too many packages");
            for (long i = 0; i < m; ++i) {
                OfferedPackage package;
                package.id = static_cast<int>(leadingNumber(readLineFrom(in)));
                package.gameIds = readLineFrom(in);
                package.fileUrl = readLineFrom(in);
                if (package.id > 0)
                    reply.packages.push_back(package);
            }
        }
    } catch (const java::Exception&) {
        failed = true;
    }
    if (failed) {
        reply.code = 3;
        reply.packages.clear();
    } else {
        reply.code = offered ? 1 : 0;
    }
    return reply;
}

UpdateReply fetchUpdateReply(const std::string& updateUrl, int skinnedGameId, int gameSetId,
                             const std::string& version, const HttpLimits& limits)
{
    HttpTarget target;
    splitUpdateUrl(updateUrl, target);
    try {
        Connection connection(target, limits);
        connection.send(buildUpdateRequest(target, skinnedGameId, gameSetId, version));
        return readUpdateReply(connection.input(), limits);
    } catch (const java::Exception&) {
        UpdateReply reply;
        reply.code = 3;
        reply.description = " ";
        return reply;
    }
}

} // namespace services
