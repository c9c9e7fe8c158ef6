// The process-wide application object. Exactly one exists; the game derives its own from it and makes
// it before the program starts running. It owns the screen, the input manager, the sound manager and
// the property store, keeps the named scenes and the current one, runs one frame per tick, queues the
// application events that the frame loop hands to the current scene, switches scenes at the end of a
// frame, sets the mouse cursor and measures the frame rate.
#pragma once

#include "compat/win32/window/window.h"
#include "platform/app/AppEvent.h"
#include "platform/app/FrameTime.h"
#include "platform/app/Scene.h"
#include "platform/catalogue/CatalogueHost.h"
#include "runtime/containers/DynamicArray.h"

#include <cstdint>
#include <string>
#include <vector>

class InputManager;
class PropertyManager;
class ResourceManager;
class Scene;
class Screen;
class SoundManager;
class Surface;

struct SystemInfo {
    int directXVersion = 0; // major << 8 | minor; 0 until filled
    int fullScreen = 0;     // written by the screen when it opens
    std::string pixelFormatText;
};

class Application : public CatalogueHost {
public:
    enum DisplayState : int { NoDisplay = 0, Active = 1, Minimized = 2, Blocked = 3 };

    // The target frame rate must be positive.
    Application(int useBlitPresent, const std::string& name, const std::string& version,
                const std::string& instanceName, unsigned targetFrameRate, unsigned statsInterval);
    virtual ~Application();

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The one application object, or null before it is made and after it is gone.
    static Application* instance();
    // The size the game is shown at: the screen's, else the application's; 640 x 480 while there is
    // no application (widgets laid out in tests, or before start-up).
    static void screenSize(int& width, int& height);

    virtual HRESULT init();
    virtual ResourceManager* createResourceManager();
    virtual int createInputManager();
    virtual int createSoundManager();
    virtual HRESULT createScreen(HINSTANCE instance, WNDPROC windowProcedure, int windowed);
    virtual bool checkDirectX(std::uint32_t version);
    virtual void exit();
    virtual void tick();
    virtual int initGame() { return 0; }
    virtual void onResourcesLoaded();
    virtual int onExit() { return 0; }
    virtual void updateAndDraw(Surface* target, const FrameTime& frameTime);
    virtual void restoreDisplay();
    virtual void toggleFullScreen();
    virtual Scene* findScene(const std::string& name);
    virtual Scene* getCurrentScene() { return currentScene; }
    virtual RefDynamicArray<Scene>* getSceneList() { return &sceneList; }
    virtual void requestScene(const std::string& name);
    virtual void setPendingScene(Scene* scene);
    virtual void addScene(Scene* scene);
    virtual void reopenDisplay();
    virtual void setStatisticsOverlay(int flag) { statsOverlay = flag; }
    virtual int isStatisticsOverlayOn() { return statsOverlay; }
    virtual void setDetailedStatistics(int flag) { detailedOverlay = flag; }
    virtual void setFrameRate(unsigned fps);
    virtual unsigned getFrameRate() { return targetFrameRate; }
    virtual void setStatisticsInterval(unsigned ms) { statsInterval = ms; }
    virtual unsigned getStatisticsInterval() { return statsInterval; }
    virtual float getCpuLoad() { return cpuLoad; }
    virtual float getFrameRateRatio() { return frameRateRatio; }
    virtual float getMeasuredFrameRate() { return frameRate; }
    virtual float getPerformance() { return performance; }
    virtual float getAverageFrameRate();
    // Ends the program: runs exit and posts the quit message. The object itself stays alive until the
    // program entry deletes it after its message loop, so nothing on the way back uses a dead object.
    virtual void quit();
    virtual void requestClose();
    virtual void requestQuit() { quit(); }
    virtual int isQuitting() { return quitting; }
    virtual int getIconId() { return 32512; }
    virtual int getReservedValue() { return 0; }
    virtual int getDisplayState() { return displayState; }
    virtual void setDisplayState(int state);
    virtual int isModeSwitchEnabled() { return modeSwitchEnabled; }
    virtual void setModeSwitchEnabled(int flag);
    virtual void showHelp();
    virtual const std::string& getName() const { return name; }
    virtual const std::string& getVersion() const { return version; }
    virtual const std::string& getInstanceName() const { return instanceName; }
    virtual const std::string& getWindowTitle() const { return windowTitle; }
    virtual int getGameKey() { return gameKey; }
    virtual int getGameId() { return gameId; }
    virtual std::vector<std::string>& getArguments() { return arguments; }
    // Compares with every argument but the first (the program).
    virtual bool hasArgument(const std::string& text);
    virtual const std::string& getAuxiliaryText() { return auxiliaryText; }
    // Appends the event to the queue; the tick handles and deletes it.
    virtual void postEvent(AppEvent* event);
    virtual void handleEvent(AppEvent* event) { handleInternalEvent(event); }
    virtual void handleInternalEvent(AppEvent* event);
    virtual SystemInfo& getSystemInfo() { return systemInfo; }
    virtual FrameTime getFrameTime() { return frameTime; }
    virtual int getWidth() const { return width; }
    virtual int getHeight() const { return height; }
    virtual void setSize(int w, int h)
    {
        width = w;
        height = h;
    }
    virtual void switchSceneByName(const std::string& name) { switchScene(findScene(name)); }
    virtual void switchScene(Scene* scene);

    // Cursor shapes: 1 app-starting, 2 arrow, 3 hand, 4 help, 5 wait, 6 text beam.
    void setCursorShape(int shape);
    void applyCursor();
    int getCursorShape() const { return cursorShape; }

    // The resource catalogue's host: the wait cursor while it loads, its progress as application
    // events, and this application's sound manager.
    void catalogueBusy() override { setCursorShape(5); }
    void catalogueProgress(int loaded, int total) override;
    SoundManager* catalogueSoundManager() override { return soundManager; }

    // Null until made (and in tools and tests that run without them).
    SoundManager* getSoundManager() const { return soundManager; }
    InputManager* getInputManager() const { return inputManager; }
    Screen* getScreen() const { return screen; }
    PropertyManager* getPropertyManager() const { return propertyManager; }

    std::uint32_t getFrameCounter() const { return frameCounter; }
    // The queued events, oldest first (the frame loop owns them).
    DynamicArray<AppEvent*>& getEventQueue() { return eventQueue; }

protected:
    std::uint32_t frameCounter = 0;
    Screen* screen = nullptr;
    InputManager* inputManager = nullptr;
    SoundManager* soundManager = nullptr;
    PropertyManager* propertyManager = nullptr;
    int quitting = 0;
    int displayState = NoDisplay;
    SystemInfo systemInfo;
    DWORD startTime = 0;
    float frameRate = 0;
    DWORD statsStartTime = 0;
    DWORD lastTickTime = 0;
    unsigned framesInInterval = 0;
    unsigned targetFrameRate;
    unsigned framePeriod;
    unsigned statsInterval;
    unsigned sleepInInterval = 0;
    float frameRateRatio = 0;
    float cpuLoad = 0;
    float performance = 0;
    int statsOverlay = 0;
    int detailedOverlay = 0;
    int modeSwitchEnabled = 0;
    Scene* currentScene = nullptr;
    Scene* pendingScene = nullptr;
    int useBlitPresent;
    FrameTime frameTime;
    std::string name;
    std::string version;
    std::string instanceName;
    std::string windowTitle;
    int cursorShape = 0;
    HCURSOR cursor = nullptr;
    int gameKey = 0;
    int gameId = 0;
    RefDynamicArray<Scene> sceneList{10, 0};
    std::vector<std::string> arguments;
    DynamicArray<AppEvent*> eventQueue{10, 0};
    std::string auxiliaryText;
    int width = 640;
    int height = 480;

private:
    void restoreEverything();
    void drawStatistics();
};
