#include "platform/app/Application.h"

#include "compat/win32/timer.h"

namespace {
Application* current = nullptr;
}

Application::Application(int useBlitPresent, const std::string& name, const std::string& version,
                         const std::string& instanceName, unsigned targetFrameRate, unsigned statsInterval)
    : targetFrameRate(targetFrameRate), framePeriod(1000 / targetFrameRate), statsInterval(statsInterval),
      useBlitPresent(useBlitPresent), name(name), version(version), instanceName(instanceName),
      windowTitle(name)
{
    startTime = timeGetTime();
    setCursorShape(2);
    current = this;
}

Application::~Application()
{
    while (eventQueue.size() > 0)
        delete eventQueue.removeElementAt(0);
    if (current == this)
        current = nullptr;
}

Application* Application::instance() { return current; }

void Application::postEvent(AppEvent* event) { eventQueue.addElement(event); }

void Application::setCursorShape(int shape) { cursorShape = shape; }
