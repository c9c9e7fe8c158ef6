// The process-wide application object. Exactly one exists; the game derives its own from it and makes
// it before the program starts running. It owns the screen, input and sound, keeps the scenes, runs
// one frame per tick and queues the application events that the frame loop hands to the current scene.
//
// This first cut holds what the resource catalogue needs of it (the event queue, the cursor shape and
// the one instance); the frame loop, the display and the scenes come with the window work.
#pragma once

#include "compat/win32/base.h"
#include "platform/app/AppEvent.h"
#include "runtime/DynamicArray.h"

#include <cstdint>
#include <string>

class SoundManager;

class Application {
public:
    Application(int useBlitPresent, const std::string& name, const std::string& version,
                const std::string& instanceName, unsigned targetFrameRate, unsigned statsInterval);
    virtual ~Application();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The one application object, or null before it is made and after it is gone.
    static Application* instance();

    // Appends the event to the queue; the next tick handles and deletes it.
    virtual void postEvent(AppEvent* event);

    // Cursor shapes: 1 app-starting, 2 arrow, 3 hand, 4 help, 5 wait, 6 text beam.
    void setCursorShape(int shape);
    int getCursorShape() const { return cursorShape; }

    // Null until the sound manager is made (and in tools and tests that run without one).
    SoundManager* getSoundManager() const { return soundManager; }

    std::uint32_t getFrameCounter() const { return frameCounter; }
    const std::string& getName() const { return name; }
    const std::string& getVersion() const { return version; }
    const std::string& getInstanceName() const { return instanceName; }
    const std::string& getWindowTitle() const { return windowTitle; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }

    // The queued events, oldest first (the frame loop owns them).
    DynamicArray<AppEvent*>& getEventQueue() { return eventQueue; }

protected:
    std::uint32_t frameCounter = 0;
    SoundManager* soundManager = nullptr;
    int quitting = 0;
    int displayState = 0;
    DWORD startTime = 0;
    float frameRate = 0;
    unsigned targetFrameRate;
    unsigned framePeriod;
    unsigned statsInterval;
    int useBlitPresent;
    std::string name;
    std::string version;
    std::string instanceName;
    std::string windowTitle;
    int cursorShape = 0;
    DynamicArray<AppEvent*> eventQueue{10, 0};
    int width = 640;
    int height = 480;
};
