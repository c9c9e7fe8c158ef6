// The update reply reader on arbitrary bytes from a server: whatever arrives, the result is one of the
// three codes, packages come only with a readable reply, and the counts stay within their limits.
#include "services/http/HttpExchange.h"

#include "runtime/java/SocketInputStream.h"

#include <ace/SOCK_Stream.h>
#include <ace/Time_Value.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Sends what fits into the pair's buffer without blocking, then closes the sending side.
void feed(int peer, const uint8_t* data, size_t size)
{
    ::fcntl(peer, F_SETFL, ::fcntl(peer, F_GETFL) | O_NONBLOCK);
    while (size > 0) {
        ssize_t n = ::send(peer, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        data += n;
        size -= static_cast<size_t>(n);
    }
    ::shutdown(peer, SHUT_WR);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0)
        return 0;
    feed(pair[1], data, size);

    services::HttpLimits limits;
    limits.maxDescriptionLines = 50;
    limits.maxPackages = 50;
    ACE_SOCK_Stream connection;
    connection.set_handle(pair[0]);
    {
        java::SocketInputStream in(&connection, new ACE_Time_Value(0, 50 * 1000));
        in.setStallLimit(50);
        services::UpdateReply reply = services::readUpdateReply(in, limits);
        check(reply.code == 0 || reply.code == 1 || reply.code == 3);
        check(reply.code != 3 || reply.packages.empty());
        check(reply.packages.size() <= static_cast<size_t>(limits.maxPackages));
        for (const services::OfferedPackage& package : reply.packages)
            check(package.id > 0);
    }
    ::close(pair[0]);
    ::close(pair[1]);
    return 0;
}
