#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

namespace java {
class SocketInputStream;
}

namespace services {

// Where a request goes: the host, its port and the path sent in the request line.
struct HttpTarget {
    std::string host;
    int port = 80;
    std::string path;
};

// Bounds that hold for every exchange, so a silent, slow or endless peer ends in the failure result.
struct HttpLimits {
    int connectTimeoutMs = 10 * 1000;
    // The longest wait for the next bytes of a reply.
    int readTimeoutMs = 30 * 1000;
    // The whole exchange (connect, request, reply and body together); 0 or less: three times the read
    // limit. A peer that keeps sending a byte now and then is still cut off here, as by a time-out.
    int deadlineMs = 0;
    int maxHeaderLines = 100;
    size_t maxBodyBytes = 32u * 1024u * 1024u;
    int maxDescriptionLines = 1000;
    // The joined description, which a dialog shows: a longer one is a damaged reply.
    size_t maxDescriptionBytes = 4096;
    int maxPackages = 1000;
    // When set and raised (the program is closing), an exchange under way ends at its next wait.
    const std::atomic<bool>* cancelled = nullptr;

    int exchangeDeadlineMs() const { return deadlineMs > 0 ? deadlineMs : 3 * readTimeoutMs; }
};

// The POST and package-download form: "http://" only (any case). The host ends at the first "/" after
// the scheme, so a colon in the path is not a port; a missing path is "/". False when the URL is refused.
bool splitPostUrl(const std::string& url, HttpTarget& target);

// The update-check form: any scheme before "://"; host, optional ":port", then the path.
void splitUpdateUrl(const std::string& url, HttpTarget& target);

std::string buildPostRequest(const HttpTarget& target, const std::string& text);
std::string buildUpdateRequest(const HttpTarget& target, int skinnedGameId, int gameSetId,
                               const std::string& version);
std::string buildDownloadRequest(const HttpTarget& target);

// Sends text as form data; true when the reply's status line ends with "200 OK" (any case).
// Never throws and never reports to the user.
bool httpPost(const std::string& text, const std::string& url, const HttpLimits& limits = HttpLimits());

// Fetches a package archive into body. True only for a 2xx status and a positive content length within
// the download cap, read in full.
bool httpDownload(const std::string& url, std::vector<unsigned char>& body,
                  const HttpLimits& limits = HttpLimits());

// One package named in the update reply.
struct OfferedPackage {
    int id = 0;
    std::string gameIds;
    std::string fileUrl;
};

// The result of an update check: code 0 no update, 1 update offered, 3 no valid reply.
struct UpdateReply {
    int code = 3;
    std::string versionLine;
    std::string description;
    std::vector<OfferedPackage> packages;
};

// Performs the update request and reads its reply; any failure, a time-out, a number that does not fit
// an int, a count beyond the limits or a description beyond its size gives code 3 with the texts read so
// far and no packages.
UpdateReply fetchUpdateReply(const std::string& updateUrl, int skinnedGameId, int gameSetId,
                             const std::string& version, const HttpLimits& limits = HttpLimits());

// Reads an update reply (status line, headers, body) from a connected stream within the limits' deadline
// from now; never throws.
UpdateReply readUpdateReply(java::SocketInputStream& in, const HttpLimits& limits);

// A count or id of an update reply line: the decimal number at its start (after blanks), 0 when there is
// none. False when the number does not fit an int: the reply is damaged.
bool readReplyNumber(const std::string& text, int& value);

} // namespace services
