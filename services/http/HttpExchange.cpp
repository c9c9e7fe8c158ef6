#include "services/http/HttpExchange.h"

#include "runtime/java/Exception.h"
#include "runtime/java/Socket.h"
#include "runtime/java/SocketInputStream.h"
#include "runtime/java/SocketOutputStream.h"
#include "runtime/java/String.h"
#include "runtime/java/URLEncoder.h"

#include <ace/Time_Value.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace services {

namespace {

using Clock = std::chrono::steady_clock;

// How often a wait looks whether the program has asked its exchanges to end.
constexpr int cancelPollMs = 200;

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The decimal number at the start of text (after blanks), 0 when there is none. `overflow` is set when
// the digits do not fit an int; the value is then meaningless.
long long leadingNumber(const std::string& text, bool& overflow)
{
    overflow = false;
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    const long long bound = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > bound) {
            // The rest of the digits cannot bring it back in range.
            overflow = true;
            return 0;
        }
    }
    return negative ? -value : value;
}

int portFrom(const std::string& text)
{
    bool overflow = false;
    long long port = leadingNumber(text, overflow);
    return !overflow && port > 0 && port <= 65535 ? static_cast<int>(port) : 0;
}

void throwIfCancelled(const HttpLimits& limits)
{
    if (limits.cancelled && limits.cancelled->load())
        throw java::InterruptedIOException(0);
}

// Reads a reply's lines and bytes within the exchange's bounds: no wait for the next bytes longer than
// the read limit, nothing past the exchange's deadline (a peer that drips a byte now and then is cut
// off there), and no more waiting once the program has asked its exchanges to end. Each of these ends
// the read with java::InterruptedIOException, as a time-out.
class ReplyReader {
public:
    ReplyReader(java::SocketInputStream& in, const HttpLimits& limits, Clock::time_point deadline)
        : in(in), limits(limits), deadline(deadline)
    {
    }
    ReplyReader(const ReplyReader&) = delete;
    ReplyReader& operator=(const ReplyReader&) = delete;

    // The next line without its end (line feed, carriage return, or both). A connection that ends after
    // some bytes ends the last line; one that ends before any throws java::EOFException.
    std::string readLine()
    {
        if (!fill())
            throw java::EOFException();
        std::string line;
        while (fill()) {
            const char c = static_cast<char>(buffer[begin++]);
            if (c == '\n')
                break;
            if (c == '\r') {
                if (fill() && buffer[begin] == '\n')
                    ++begin;
                break;
            }
            if (line.size() >= java::SocketInputStream::maxLineLength)
                throw java::IOException("Line too long");
            line += c;
        }
        return line;
    }

    // Exactly n bytes; java::EOFException when the connection ends first.
    void readFully(unsigned char* into, size_t n)
    {
        while (n > 0) {
            if (begin == end && n >= sizeof buffer) {
                // Large parts go straight to their place.
                size_t got = receive(into, n);
                if (got == 0)
                    throw java::EOFException();
                into += got;
                n -= got;
                continue;
            }
            if (!fill())
                throw java::EOFException();
            size_t part = std::min(n, end - begin);
            std::memcpy(into, buffer + begin, part);
            begin += part;
            into += part;
            n -= part;
        }
    }

    // Header lines up to the empty one; the content length, or -1 when none was given (one too large
    // for an int reads as the largest long, beyond any cap).
    long readHeaders()
    {
        long contentLength = -1;
        for (int count = 0;; ++count) {
            if (count > limits.maxHeaderLines)
                throw java::IOException("Too many header lines");
            std::string line = readLine();
            if (line.empty())
                return contentLength;
            if (lower(line).compare(0, 15, "content-length:") == 0) {
                bool overflow = false;
                long long length = leadingNumber(line.substr(15), overflow);
                contentLength = overflow ? std::numeric_limits<long>::max() : static_cast<long>(length);
            }
        }
    }

private:
    bool fill()
    {
        if (begin < end)
            return true;
        begin = end = 0;
        end = receive(buffer, sizeof buffer);
        return end > 0;
    }

    // One receive of at most capacity bytes; 0 at the end of the connection.
    size_t receive(unsigned char* into, size_t capacity)
    {
        const Clock::time_point quietLimit = Clock::now() + std::chrono::milliseconds(std::max(limits.readTimeoutMs, 1));
        const Clock::time_point until = std::min(deadline, quietLimit);
        for (;;) {
            throwIfCancelled(limits);
            const Clock::time_point now = Clock::now();
            if (now >= until)
                throw java::InterruptedIOException(0);
            long long waitMs = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count() + 1;
            if (limits.cancelled)
                waitMs = std::min<long long>(waitMs, cancelPollMs);
            in.setTimeout(new ACE_Time_Value(static_cast<time_t>(waitMs / 1000),
                                             static_cast<suseconds_t>((waitMs % 1000) * 1000)));
            int chunk = static_cast<int>(std::min<size_t>(capacity, 1u << 20));
            int got;
            try {
                got = in.read(into, 0, chunk);
            } catch (const java::InterruptedIOException&) {
                continue; // the bounds above decide whether to wait on
            }
            return got > 0 ? static_cast<size_t>(got) : 0;
        }
    }

    java::SocketInputStream& in;
    const HttpLimits& limits;
    Clock::time_point deadline;
    unsigned char buffer[4096];
    size_t begin = 0;
    size_t end = 0;
};

Clock::time_point deadlineFromNow(const HttpLimits& limits)
{
    return Clock::now() + std::chrono::milliseconds(limits.exchangeDeadlineMs());
}

// One connection with its two streams, all within one deadline from its start; closed on every path out.
class Connection {
public:
    Connection(const HttpTarget& target, const HttpLimits& limits) : deadline(deadlineFromNow(limits))
    {
        throwIfCancelled(limits);
        long long connectMs = std::min<long long>(limits.connectTimeoutMs, limits.exchangeDeadlineMs());
        socket.reset(new java::Socket(java::String(target.host.c_str()), target.port,
                                      static_cast<int>(std::max<long long>(connectMs, 1))));
        in = socket->getInputStream();
        out = socket->getOutputStream();
        reply.reset(new ReplyReader(*in, limits, deadline));
    }
    ~Connection()
    {
        reply.reset();
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
    ReplyReader& reader() { return *reply; }

private:
    Clock::time_point deadline;
    std::unique_ptr<java::Socket> socket;
    java::SocketInputStream* in = nullptr;
    java::SocketOutputStream* out = nullptr;
    std::unique_ptr<ReplyReader> reply;
};

// A count of the update reply: a damaged reply when it does not fit an int or passes its limit.
int readCount(ReplyReader& reader, int limit)
{
    int count = 0;
    if (!readReplyNumber(reader.readLine(), count) || count > limit)
        throw java::IOException("Count out of range");
    return count;
}

UpdateReply readUpdateReplyFrom(ReplyReader& reader, const HttpLimits& limits)
{
    UpdateReply reply;
    reply.code = 0;
    reply.description = " ";
    bool failed = false;
    bool offered = false;
    try {
        reader.readLine();
        reader.readHeaders();
        if (reader.readLine() != "CheckDownloadableUpdate") {
            failed = true;
        } else {
            offered = lower(reader.readLine()) == "true";
            reply.versionLine = reader.readLine();
            if (offered) {
                int n = readCount(reader, limits.maxDescriptionLines);
                if (n > 0) {
                    reply.description.clear();
                    for (int i = 0; i < n; ++i) {
                        // The line is read first: one that fails leaves no line feed behind.
                        std::string line = reader.readLine();
                        if (reply.description.size() + (i > 0 ? 1 : 0) + line.size() > limits.maxDescriptionBytes)
                            throw java::IOException("Description too long");
                        if (i > 0)
                            reply.description += '\n';
                        reply.description += line;
                    }
                }
            }
            int m = readCount(reader, limits.maxPackages);
            for (int i = 0; i < m; ++i) {
                OfferedPackage package;
                if (!readReplyNumber(reader.readLine(), package.id))
                    throw java::IOException("Package id out of range");
                package.gameIds = reader.readLine();
                package.fileUrl = reader.readLine();
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

} // namespace

bool readReplyNumber(const std::string& text, int& value)
{
    bool overflow = false;
    long long number = leadingNumber(text, overflow);
    value = overflow ? 0 : static_cast<int>(number);
    return !overflow;
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
        std::string status = connection.reader().readLine();
        std::string upper = status;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        ok = upper.size() >= 6 && upper.compare(upper.size() - 6, 6, "200 OK") == 0;
        // The reply body is drained only up to the cap; the result is already known.
        long length = connection.reader().readHeaders();
        if (length > 0 && static_cast<size_t>(length) <= limits.maxBodyBytes) {
            std::vector<unsigned char> body(static_cast<size_t>(length));
            connection.reader().readFully(body.data(), body.size());
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
        std::string status = connection.reader().readLine();
        // An error page is not an archive: only a 2xx status counts.
        size_t blank = status.find(' ');
        bool overflow = false;
        long long code = blank == std::string::npos ? 0 : leadingNumber(status.substr(blank + 1), overflow);
        long length = connection.reader().readHeaders();
        if (overflow || code < 200 || code > 299 || length <= 0 ||
            static_cast<unsigned long>(length) > limits.maxBodyBytes)
            return false;
        std::vector<unsigned char> data(static_cast<size_t>(length));
        connection.reader().readFully(data.data(), data.size());
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
    ReplyReader reader(in, limits, deadlineFromNow(limits));
    return readUpdateReplyFrom(reader, limits);
}

UpdateReply fetchUpdateReply(const std::string& updateUrl, int skinnedGameId, int gameSetId,
                             const std::string& version, const HttpLimits& limits)
{
    HttpTarget target;
    splitUpdateUrl(updateUrl, target);
    try {
        Connection connection(target, limits);
        connection.send(buildUpdateRequest(target, skinnedGameId, gameSetId, version));
        return readUpdateReplyFrom(connection.reader(), limits);
    } catch (const java::Exception&) {
        UpdateReply reply;
        reply.code = 3;
        reply.description = " ";
        return reply;
    }
}

} // namespace services
