#include "frontend/app/LockStep.h"

#include "compat/host/Host.h"
#include "compat/win32/system/machine/timer.h"
#include "platform/app/Application.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
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

bool readWhole(void* data, std::size_t size)
{
    auto* bytes = static_cast<unsigned char*>(data);
    while (size > 0) {
        const ssize_t got = ::read(channel, bytes, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool writeWhole(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        // A test that went away must not end the game with a signal.
        const ssize_t sent = ::send(channel, bytes, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        bytes += sent;
        size -= static_cast<std::size_t>(sent);
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
            if (!writeWhole(&lastFrame, sizeof lastFrame)) {
                leave();
                return false;
            }
            owed = false;
        }
        std::uint32_t asked = 0;
        if (!readWhole(&asked, sizeof asked)) {
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

} // namespace LockStep
