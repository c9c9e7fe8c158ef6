#include "frontend/app/LockStep.h"

#include "compat/host/Host.h"
#include "compat/win32/system/machine/timer.h"
#include "platform/app/Application.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace LockStep {

namespace {

int channel = -1;
// Frames the test asked for that have not run yet.
std::uint32_t granted = 0;
// The last batch has run and the test has not been told.
bool owed = false;
// The window system was synchronised for the coming frame and the messages it brought are being taken.
bool synchronised = false;
std::uint32_t lastFrame = 0;

// Repeats `step` (one send or receive of what is left, as the system call answers) until every byte
// is through; false when a step fails or the other end went away.
template <typename Byte, typename Step>
bool transferWhole(Byte* bytes, std::size_t size, Step step)
{
    while (size > 0) {
        const ssize_t done = step(bytes, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

void synchroniseWindowSystem()
{
    compat::host::current().synchronize();
}

// The test is gone: nobody plays any more, so the game ends as if its window were closed.
void leave()
{
    ::close(channel);
    channel = -1;
    granted = 0;
    if (Application* app = Application::instance())
        app->requestQuit();
}

} // namespace

bool start()
{
    const char* text = std::getenv("QUARRYTIDE_TEST_LOCKSTEP");
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    const long fd = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || fd < 0 || ::fcntl(static_cast<int>(fd), F_GETFD) < 0)
        return false;
    channel = static_cast<int>(fd);
    // Programs the game starts do not inherit it.
    ::fcntl(channel, F_SETFD, FD_CLOEXEC);
    compat::testing::useSteppedClock();
    return true;
}

bool active() { return channel >= 0; }

bool frameAllowed()
{
    if (channel < 0)
        return true;
    if (synchronised) {
        synchronised = false;
        return true;
    }
    if (granted == 0) {
        if (owed) {
            // The frames' presents are on the screen before the test is told they ran.
            synchroniseWindowSystem();
            if (!sendWhole(channel, &lastFrame, sizeof lastFrame)) {
                leave();
                return false;
            }
            owed = false;
        }
        std::uint32_t asked = 0;
        if (!receiveWhole(channel, &asked, sizeof asked, -1)) {
            leave();
            return false;
        }
        granted = asked;
        if (granted == 0) {
            owed = true; // a request for no frames is answered at once
            return false;
        }
    }
    // Whatever input the test sent before asking, and whatever the last frame made the window system
    // answer, becomes messages now, to be taken before the frame runs.
    synchroniseWindowSystem();
    synchronised = true;
    return false;
}

void frameRan(std::uint32_t frameCounter)
{
    if (channel < 0 || granted == 0)
        return;
    lastFrame = frameCounter;
    if (--granted == 0)
        owed = true;
}

bool sendWhole(int socket, const void* data, std::size_t size)
{
    const auto sendSome = [socket](const unsigned char* bytes, std::size_t left) {
        return ::send(socket, bytes, left, MSG_NOSIGNAL);
    };
    return transferWhole(static_cast<const unsigned char*>(data), size, sendSome);
}

bool receiveWhole(int socket, void* data, std::size_t size, int waitMs)
{
    const auto receiveSome = [socket, waitMs](unsigned char* bytes, std::size_t left) {
        pollfd ready{socket, POLLIN, 0};
        const int seen = ::poll(&ready, 1, waitMs);
        if (seen <= 0)
            return static_cast<ssize_t>(seen); // interrupted (tried again), or nothing came in time
        return ::recv(socket, bytes, left, 0);
    };
    return transferWhole(static_cast<unsigned char*>(data), size, receiveSome);
}

} // namespace LockStep
