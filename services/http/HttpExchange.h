#pragma once

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

// Bounds that hold for every exchange, so a silent or endless peer ends in the failure result.
struct HttpLimits {
    int connectTimeoutMs = 10 * 1000;
    int readTimeoutMs = 30 * 1000;
    int maxHeaderLines = 100;
    size_t maxBodyBytes = 32u * 1024u * 1024u;
    int maxDescriptionLines = 1000;
    int maxPackages = 1000;
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

// Performs the update request and reads its reply; any failure, a time-out or a count beyond the limits
// gives code 3 with the texts read so far and no packages.
UpdateReply fetchUpdateReply(const std::string& updateUrl, int skinnedGameId, int gameSetId,
                             const std::string& version, const HttpLimits& limits = HttpLimits());

// Reads an update reply (status line, headers, body) from a connected stream; never throws.
UpdateReply readUpdateReply(java::SocketInputStream& in, const HttpLimits& limits);

// Reads header lines up to the empty one; the content length, or -1 when none was given. Throws
// java::IOException past limits.maxHeaderLines and java::EOFException at the end of data.
long readReplyHeaders(java::SocketInputStream& in, const HttpLimits& limits);

} // namespace services
