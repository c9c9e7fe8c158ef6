#include "compat/host/Host.h"

#include "compat/host/window/HeadlessHost.h"
#include "compat/host/window/SdlHost.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace compat::host {

namespace {

std::mutex choiceMutex;
std::unique_ptr<Host> chosen;
std::string report;

std::unique_ptr<Host> choose()
{
    report.clear();
    const char* asked = std::getenv("QUARRYTIDE_HOST");
    const std::string wanted = asked != nullptr ? asked : "";
    if (wanted == "headless") {
        report = "headless: started";
        return std::make_unique<HeadlessHost>();
    }
    if (!wanted.empty() && wanted != "sdl")
        throw std::runtime_error("QUARRYTIDE_HOST=" + wanted + " names no host; known hosts: headless, sdl");

    std::string why;
    std::unique_ptr<Host> sdl = SdlHost::start(why);
    if (sdl) {
        report = "sdl: started";
        return sdl;
    }
    report = "sdl: " + why;
    if (wanted == "sdl")
        throw std::runtime_error("no host could start (tried " + report + ")");
    report += "; headless: started";
    return std::make_unique<HeadlessHost>();
}

} // namespace

Area changedArea(const Frame& frame)
{
    Area area;
    if (frame.width <= 0 || frame.height <= 0)
        return area;
    if (frame.changedWidth < 0 || frame.changedHeight < 0) {
        area.width = frame.width;
        area.height = frame.height;
        return area;
    }
    area.x = std::clamp(frame.changedX, 0, frame.width);
    area.y = std::clamp(frame.changedY, 0, frame.height);
    area.width = std::clamp(frame.changedX + frame.changedWidth, area.x, frame.width) - area.x;
    area.height = std::clamp(frame.changedY + frame.changedHeight, area.y, frame.height) - area.y;
    return area;
}

Host& current()
{
    // A host that cannot start is thrown past the lock, not under it: the handler that ends the program
    // reports the failure in a message box, which asks for the host again on this same thread.
    std::exception_ptr failure;
    {
        std::lock_guard<std::mutex> lock(choiceMutex);
        if (chosen)
            return *chosen;
        try {
            chosen = choose();
            return *chosen;
        } catch (...) {
            failure = std::current_exception();
        }
    }
    std::rethrow_exception(failure);
}

const std::string& selectionReport()
{
    std::lock_guard<std::mutex> lock(choiceMutex);
    return report;
}

} // namespace compat::host

namespace compat::testing {

void resetHost()
{
    std::lock_guard<std::mutex> lock(compat::host::choiceMutex);
    compat::host::chosen.reset();
}

compat::host::HeadlessState headlessState()
{
    auto* headless = dynamic_cast<compat::host::HeadlessHost*>(&compat::host::current());
    return headless != nullptr ? headless->snapshot() : compat::host::HeadlessState{};
}

void injectHostMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (auto* headless = dynamic_cast<compat::host::HeadlessHost*>(&compat::host::current()))
        headless->inject({message, wParam, lParam});
}

void setHeadlessDesktop(int width, int height)
{
    if (auto* headless = dynamic_cast<compat::host::HeadlessHost*>(&compat::host::current()))
        headless->setDesktop(width, height);
}

} // namespace compat::testing
