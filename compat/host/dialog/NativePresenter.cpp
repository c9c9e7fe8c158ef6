#include "compat/host/dialog/NativePresenter.h"

#include "compat/host/dialog/GtkPresenter.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace compat::host {

namespace {

class NullPresenter final : public NativePresenter {
public:
    bool shows() const override { return false; }
    void update(const NativeState&) override {}
    void destroyed(std::uintptr_t) override {}
    void pump(std::vector<NativeInput>&) override {}
    void wait(int milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds > 0 ? milliseconds : 0));
    }
    void release() override {}
};

// GTK has one set of global state: one thread at a time drives it. Never destroyed, so a thread that
// ends after main may still let go of it.
std::mutex& toolkitMutex = *new std::mutex;
std::thread::id toolkitOwner;
bool toolkitTried = false;
std::atomic<bool> toolkitStarted{false};
std::atomic<NativePresenter*> replacement{nullptr};

// The host choice rules: a headless run shows nothing, nor does a machine without a display.
bool toolkitWanted()
{
    const char* host = std::getenv("QUARRYTIDE_HOST");
    if (host != nullptr && std::strcmp(host, "headless") == 0)
        return false;
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x != nullptr && *x != '\0') || (wayland != nullptr && *wayland != '\0');
}

bool claimToolkit()
{
    std::lock_guard<std::mutex> lock(toolkitMutex);
    const std::thread::id self = std::this_thread::get_id();
    if (toolkitOwner != std::thread::id() && toolkitOwner != self)
        return false;
    if (!toolkitTried) {
        toolkitTried = true;
        toolkitStarted = startGtk();
    }
    if (!toolkitStarted)
        return false;
    toolkitOwner = self;
    return true;
}

void releaseToolkit()
{
    std::lock_guard<std::mutex> lock(toolkitMutex);
    if (toolkitOwner == std::this_thread::get_id())
        toolkitOwner = std::thread::id();
}

// This thread's hold on the toolkit: it claims GTK while it shows windows and lets go once it shows
// none, so the next frame thread may take it.
class ThreadPresenter final : public NativePresenter {
public:
    ~ThreadPresenter() override
    {
        impl.reset(); // takes its windows down on this thread
        if (claimed)
            releaseToolkit();
    }

    bool claim()
    {
        if (claimed)
            return true;
        if (!claimToolkit())
            return false;
        if (!impl)
            impl = makeGtkPresenter();
        claimed = true;
        return true;
    }

    bool shows() const override { return claimed; }
    void update(const NativeState& state) override
    {
        if (claimed)
            impl->update(state);
    }
    void destroyed(std::uintptr_t handle) override
    {
        if (claimed)
            impl->destroyed(handle);
    }
    void pump(std::vector<NativeInput>& out) override
    {
        if (claimed)
            impl->pump(out);
    }
    void release() override
    {
        if (!claimed || !impl->idle())
            return; // still shows a window the window layer has not taken down
        claimed = false;
        releaseToolkit();
    }
    void wait(int milliseconds) override
    {
        if (claimed)
            impl->wait(milliseconds);
        else
            NullPresenter().wait(milliseconds);
    }

private:
    std::unique_ptr<ToolkitPresenter> impl;
    bool claimed = false;
};

} // namespace

NativePresenter& nativePresenter()
{
    static NullPresenter& none = *new NullPresenter; // lives on for threads that end after main
    thread_local ThreadPresenter mine;
    if (NativePresenter* instead = replacement.load())
        return *instead;
    if (mine.shows())
        return mine;
    if (!toolkitWanted() || !mine.claim())
        return none;
    return mine;
}

std::optional<int> showToolkitMessageBox(const MessageBox& box, const Rect& screen, const Rect& game,
                                         unsigned long owner)
{
    if (replacement.load() != nullptr)
        return std::nullopt;
    NativePresenter& presenter = nativePresenter();
    if (!presenter.shows())
        return std::nullopt;
    const int answer = showGtkMessageBox(box, screen, game, owner);
    presenter.release(); // free for another thread again, unless this one still shows windows
    return answer;
}

void wakeNativePresenter()
{
    if (toolkitStarted.load())
        wakeGtk();
}

} // namespace compat::host

namespace compat::testing {

void presentWith(compat::host::NativePresenter* presenter) { compat::host::replacement.store(presenter); }

} // namespace compat::testing
