#include "compat/host/window/HeadlessHost.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace compat::host {

Capabilities HeadlessHost::capabilities() const
{
    Capabilities caps;
    caps.fullScreen = true;
    caps.keepsLastFrame = true;
    return caps;
}

void HeadlessHost::desktopSize(int& width, int& height) const
{
    std::lock_guard<std::mutex> lock(mutex);
    width = desktopWidth;
    height = desktopHeight;
}

bool HeadlessHost::openWindow(const std::string& title, int x, int y, int width, int height, bool fullScreen)
{
    std::lock_guard<std::mutex> lock(mutex);
    state.windowOpen = true;
    state.title = title;
    state.x = x;
    state.y = y;
    state.width = width;
    state.height = height;
    state.fullScreen = fullScreen;
    state.shown = Show::Hidden;
    return true;
}

void HeadlessHost::closeWindow()
{
    std::lock_guard<std::mutex> lock(mutex);
    state.windowOpen = false;
    state.shown = Show::Hidden;
}

void HeadlessHost::setTitle(const std::string& title)
{
    std::lock_guard<std::mutex> lock(mutex);
    state.title = title;
}

void HeadlessHost::placeWindow(int x, int y, int width, int height)
{
    std::lock_guard<std::mutex> lock(mutex);
    state.x = x;
    state.y = y;
    state.width = width;
    state.height = height;
}

void HeadlessHost::showWindow(Show how)
{
    std::lock_guard<std::mutex> lock(mutex);
    state.shown = how;
}

void HeadlessHost::setFullScreen(bool on)
{
    std::lock_guard<std::mutex> lock(mutex);
    state.fullScreen = on;
}

void HeadlessHost::setCursor(int systemCursor)
{
    std::lock_guard<std::mutex> lock(mutex);
    state.cursor = systemCursor;
}

void HeadlessHost::present(const Frame& frame)
{
    const Area changed = changedArea(frame);
    std::lock_guard<std::mutex> lock(mutex);
    // The frame kept from before is brought up to date where it changed; a frame of another size, or
    // the first one, is taken whole.
    if (frame.pixels != nullptr && state.lastFrame.width == frame.width && state.lastFrame.height == frame.height)
        copyIntoPicture(frame, changed, state.lastFrame);
    else
        state.lastFrame = toPicture(frame);
    ++state.framesPresented;
}

void HeadlessHost::pumpEvents(std::vector<Message>& out)
{
    std::lock_guard<std::mutex> lock(mutex);
    out.insert(out.end(), injected.begin(), injected.end());
    injected.clear();
}

void HeadlessHost::waitEvents(int milliseconds)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!injected.empty())
            return;
    }
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(milliseconds, 5)));
}

int HeadlessHost::showMessageBox(const MessageBox& box)
{
    std::lock_guard<std::mutex> lock(mutex);
    state.messageBoxes.push_back(box);
    return -1;
}

void HeadlessHost::inject(const Message& message)
{
    std::lock_guard<std::mutex> lock(mutex);
    injected.push_back(message);
}

void HeadlessHost::setDesktop(int width, int height)
{
    std::lock_guard<std::mutex> lock(mutex);
    desktopWidth = width;
    desktopHeight = height;
}

HeadlessState HeadlessHost::snapshot() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return state;
}

} // namespace compat::host
