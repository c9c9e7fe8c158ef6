// The host without a window system: nothing is shown, the last presented frame is kept, and events
// come only from tests.
#pragma once

#include "compat/host/Host.h"
#include "compat/host/testing.h"

#include <deque>
#include <mutex>

namespace compat::host {

class HeadlessHost final : public Host {
public:
    const char* name() const override { return "headless"; }
    Capabilities capabilities() const override;
    void desktopSize(int& width, int& height) const override;
    bool openWindow(const std::string& title, int x, int y, int width, int height, bool fullScreen) override;
    void closeWindow() override;
    void setTitle(const std::string& title) override;
    void placeWindow(int x, int y, int width, int height) override;
    void showWindow(Show how) override;
    void setFullScreen(bool on) override;
    void setCursor(int systemCursor) override;
    int showMessageBox(const MessageBox& box) override;
    void present(const Frame& frame) override;
    void pumpEvents(std::vector<Message>& out) override;
    void waitEvents(int milliseconds) override;

    void inject(const Message& message);
    void setDesktop(int width, int height);
    HeadlessState snapshot() const;

private:
    mutable std::mutex mutex;
    HeadlessState state;
    std::deque<Message> injected;
    int desktopWidth = 1024;
    int desktopHeight = 768;
};

} // namespace compat::host
