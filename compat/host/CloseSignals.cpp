#include "compat/host/CloseSignals.h"

#include <atomic>
#include <csignal>

namespace compat::host {

namespace {

// Lock-free atomics are the one shared state a signal handler may touch.
std::atomic<int> requests{0};
std::atomic<bool> taken{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onRequest(int signalNumber)
{
    if (requests.fetch_add(1) == 0)
        return;
    // Asked again: whatever holds the shutdown up, the default action ends the process now.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signalNumber, &fallback, nullptr);
    raise(signalNumber);
}

} // namespace

void closeWindowOnTerminationSignals()
{
    struct sigaction action {};
    action.sa_handler = onRequest;
    sigemptyset(&action.sa_mask);
    for (int other : kSignals)
        sigaddset(&action.sa_mask, other);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : kSignals)
        sigaction(signalNumber, &action, nullptr);
}

bool takeCloseRequest() { return requests.load() > 0 && !taken.exchange(true); }

} // namespace compat::host
