#include "platform/app/Application.h"

#include "compat/fmod/fmod.h"
#include "compat/win32/system/notify/messagebox.h"
#include "compat/win32/system/machine/timer.h"
#include "platform/app/InputManager.h"
#include "platform/app/Scene.h"
#include "platform/app/Screen.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/sound/SoundManager.h"
#include "platform/surface/DrawError.h"
#include "platform/surface/FrameCounter.h"
#include "platform/surface/SurfaceHolder.h"
#include "platform/system/DirectXVersion.h"
#include "resources/properties/PropertyManager.h"
#include "resources/settings/Settings.h"
#include "runtime/DebugLog.h"
#include "runtime/GameException.h"

#include <cstdio>

namespace {

Application* current = nullptr;

LPCSTR cursorName(int shape)
{
    switch (shape) {
    case 1: return IDC_APPSTARTING;
    case 3: return IDC_HAND;
    case 4: return IDC_HELP;
    case 5: return IDC_WAIT;
    case 6: return IDC_IBEAM;
    default: return IDC_ARROW;
    }
}

} // namespace

Application::Application(int useBlitPresent, const std::string& name, const std::string& version,
                         const std::string& instanceName, unsigned targetFrameRate, unsigned statsInterval)
    : targetFrameRate(targetFrameRate), framePeriod(1000 / targetFrameRate), statsInterval(statsInterval),
      useBlitPresent(useBlitPresent), name(name), version(version), instanceName(instanceName), windowTitle(name)
{
    // The arrow is loaded here and shown by the first applyCursor: the object is made before the
    // program runs, when no window system may be asked for anything yet.
    cursorShape = 2;
    cursor = LoadCursorA(nullptr, IDC_ARROW);
    startTime = timeGetTime();
    current = this;
}

Application::~Application()
{
    switchScene(nullptr);
    while (eventQueue.size() > 0)
        delete eventQueue.removeElementAt(0);
    if (pendingScene != nullptr) {
        pendingScene->release();
        pendingScene = nullptr;
    }
    sceneList.removeAllElements();
    if (screen != nullptr) {
        // The catalogue was given the screen's DirectDraw object; it goes with the screen.
        ResourceManager::setDirectDraw(nullptr);
        delete screen;
        screen = nullptr;
    }
    delete inputManager;
    inputManager = nullptr;
    delete soundManager;
    soundManager = nullptr;
    if (propertyManager != nullptr) {
        propertyManager->release();
        propertyManager = nullptr;
    }
    arguments.clear();
    delete ResourceManager::instance();
    if (current == this)
        current = nullptr;
}

Application* Application::instance() { return current; }

void Application::screenSize(int& width, int& height)
{
    width = 640;
    height = 480;
    const Application* app = current;
    if (app == nullptr)
        return;
    if (Screen* screen = app->getScreen()) {
        width = screen->getWidth();
        height = screen->getHeight();
    } else {
        width = app->getWidth();
        height = app->getHeight();
    }
}

HRESULT Application::init()
{
    ResourceManager* resources = createResourceManager();
    if (propertyManager != nullptr)
        propertyManager->release();
    propertyManager = new PropertyManager(resources);
    propertyManager->addRef();
    try {
        Archive* archive = resources != nullptr ? resources->getArchive() : nullptr;
        if (propertyManager->loadProperties(archive, "properties\\", "en", "US", "NORMAL") == 0)
            return E_FAIL;
        Settings::instance().setRegistryRoot(propertyManager->getString("RES_REGISTRY_ROOT"));
        gameId = propertyManager->getInteger("RES_GAME_ID");
        gameKey = propertyManager->getLong("RES_GAME_KEY");
    } catch (const GameTextException& failure) {
        DebugLog::instance().log(failure.getText() != nullptr ? failure.getText() : "ERROR reading properties\n");
        return E_FAIL;
    }
    return 0;
}

ResourceManager* Application::createResourceManager() { return new ResourceManager(); }

void Application::catalogueProgress(int loaded, int total)
{
    postEvent(new AppEvent(AppEvent::LoadingProgress, loaded, total));
}

int Application::createInputManager()
{
    delete inputManager;
    inputManager = new InputManager();
    return 0;
}

int Application::createSoundManager()
{
    delete soundManager;
    soundManager = new SoundManager(systemInfo.directXVersion, 44100, 32);
    soundManager->setSfxVolume(Settings::instance().getSfxVolume());
    soundManager->setMusicVolume(Settings::instance().getMusicVolume());
    return 0;
}

HRESULT Application::createScreen(HINSTANCE instance, WNDPROC windowProcedure, int windowed)
{
    delete screen;
    screen = new Screen(useBlitPresent);
    const HRESULT opened = screen->create(instance, windowProcedure, windowTitle, width, height, windowed);
    if (FAILED(opened))
        return opened;
    ResourceManager::setDirectDraw(screen->getDirectDraw());
    const int result = initGame();
    lastTickTime = timeGetTime();
    statsStartTime = lastTickTime;
    frameRate = static_cast<float>(targetFrameRate);
    if (screen->isWindowed() != 0) {
        ShowWindow(screen->getWindow(), SW_RESTORE);
        SetForegroundWindow(screen->getWindow());
    }
    return result;
}

bool Application::checkDirectX(std::uint32_t version)
{
    if (version == 0)
        version = getDirectXVersion();
    if (version >= 0x600)
        return true;
    std::string caption = "DirectX", text = "DirectX 6 or newer is needed.";
    if (propertyManager != nullptr) {
        try {
            PropertyManager::StringArray* texts = propertyManager->getArrayString("RES_INCORRECT_DIRECTX");
            if (texts != nullptr && texts->size() >= 2) {
                caption = *texts->elementAt(0);
                text = *texts->elementAt(1);
            }
        } catch (const GameTextException&) {
        }
    }
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
    return false;
}

void Application::exit() { onExit(); }

void Application::tick()
{
    ++frameCounter;
    frame::set(frameCounter);

    timeBeginPeriod(1);
    DWORD now = timeGetTime();
    DWORD elapsed = now - lastTickTime;
    timeEndPeriod(1);
    if (elapsed < framePeriod) {
        const DWORD rest = framePeriod - elapsed;
        Sleep(rest);
        now += rest;
        elapsed = framePeriod;
        sleepInInterval += rest;
    } else {
        Sleep(0);
    }
    ++framesInInterval;

    while (eventQueue.size() > 0) {
        AppEvent* event = eventQueue.removeElementAt(0);
        handleEvent(event);
        delete event;
    }

    lastTickTime = now;
    const DWORD sinceStats = now - statsStartTime;
    if (sinceStats > statsInterval) {
        frameRate = static_cast<float>(framesInInterval) * (1000.0f / static_cast<float>(sinceStats));
        statsStartTime = now;
        const float budget = static_cast<float>(framesInInterval) * static_cast<float>(framePeriod);
        cpuLoad = budget > 0 ? 1.0f - static_cast<float>(sleepInInterval) / budget : 0.0f;
        frameRateRatio = frameRate / static_cast<float>(targetFrameRate);
        frameTime.frameRate = frameRate;
        frameTime.frameRateRatio = frameRateRatio;
        frameTime.cpuLoad = cpuLoad;
        performance = 1.0f - cpuLoad + frameRateRatio;
        sleepInInterval = 0;
        framesInInterval = 0;
    }

    if (inputManager != nullptr)
        inputManager->dispatch();

    if (displayState == Active) {
        if (screen != nullptr && screen->present() < 0)
            restoreDisplay();
    } else if (displayState == Blocked) {
        restoreDisplay();
    }

    if (elapsed > 100)
        elapsed = 100;
    frameTime.elapsedMs = static_cast<int>(elapsed);
    frameTime.elapsedSeconds = static_cast<float>(elapsed) * 0.001f;

    if (soundManager != nullptr)
        soundManager->update(frameTime.elapsedSeconds);
    resetDrawError();
    Surface* target = screen != nullptr ? screen->getBackBuffer()->getSurface() : nullptr;
    updateAndDraw(target, frameTime);
    if (statsOverlay != 0)
        drawStatistics();

    if (pendingScene != nullptr) {
        Scene* next = pendingScene;
        switchScene(next);
        // switchScene may have let go of it already; the pending reference is ours to drop.
        if (pendingScene == next) {
            pendingScene = nullptr;
            next->release();
        }
    }
}

void Application::drawStatistics()
{
    if (screen == nullptr)
        return;
    int bits = 0;
    if (Surface* front = screen->getPrimary()->getSurface())
        bits = static_cast<int>(front->getDesc().format.bitsPerPixel);
    char line[256];
    if (detailedOverlay != 0)
        std::snprintf(line, sizeof line,
                      "fps: %2.2f/%d (%d bit) [perf=%2.2f cpu=%2.1f fps=%2.1f][sound ch=%d cpu=%2.1f]",
                      static_cast<double>(frameRate), static_cast<int>(targetFrameRate), bits,
                      static_cast<double>(performance), static_cast<double>(cpuLoad * 100),
                      static_cast<double>(frameRateRatio * 100), FSOUND_GetChannelsPlaying(),
                      static_cast<double>(FSOUND_GetCPUUsage()));
    else
        std::snprintf(line, sizeof line, "fps: %2.2f/%d (%d bit) cpu=%2.1f (%d,%d)", static_cast<double>(frameRate),
                      static_cast<int>(targetFrameRate), bits, static_cast<double>(cpuLoad * 100),
                      inputManager != nullptr ? inputManager->getMouseX() : 0,
                      inputManager != nullptr ? inputManager->getMouseY() : 0);
    screen->drawText(0, 0, line, 0xFFFF00, 0xFF, 1);
}

void Application::onResourcesLoaded()
{
    setCursorShape(2);
    setModeSwitchEnabled(1);
}

void Application::updateAndDraw(Surface* target, const FrameTime& time)
{
    if (currentScene == nullptr)
        return;
    currentScene->update(target, time);
    // The update may have switched scenes at once.
    if (displayState == Active && currentScene != nullptr)
        currentScene->draw(target, time);
}

void Application::restoreEverything()
{
    // The display was made anew: what was restored earlier in this frame belongs to the one before.
    frame::newDisplay();
    if (ResourceManager* resources = ResourceManager::instance())
        resources->check();
    for (unsigned i = 0; i < sceneList.size(); ++i)
        if (Scene* scene = sceneList.elementAt(i))
            scene->restore();
}

void Application::restoreDisplay()
{
    if (currentScene == nullptr || screen == nullptr)
        return;
    const HRESULT result = screen->checkDisplay();
    if (result == DDERR_EXCLUSIVEMODEALREADYSET) {
        setDisplayState(Blocked);
        postEvent(new AppEvent(AppEvent::DisplayLost));
        return;
    }
    if (displayState != Active)
        setDisplayState(Active);
    ResourceManager::setDirectDraw(screen->getDirectDraw());
    restoreEverything();
}

void Application::toggleFullScreen()
{
    if (screen == nullptr)
        return;
    if (screen->isWindowed() != 0)
        showHelp();
    const HRESULT result = screen->toggleMode();
    if (FAILED(result)) {
        DebugLog::instance().log(std::string("Switching the display failed: ") + ddErrorName(result) + "\n");
        return;
    }
    ResourceManager::setDirectDraw(screen->getDirectDraw());
    restoreEverything();
    Settings::instance().setFullscreen(screen->isWindowed() != 0 ? 0 : 1);
}

void Application::reopenDisplay()
{
    if (screen == nullptr || screen->isWindowed() != 0)
        return;
    const HRESULT result = screen->reopen();
    if (FAILED(result))
        return;
    ResourceManager::setDirectDraw(screen->getDirectDraw());
    restoreEverything();
}

Scene* Application::findScene(const std::string& sceneName)
{
    for (unsigned i = 0; i < sceneList.size(); ++i) {
        Scene* scene = sceneList.elementAt(i);
        if (scene != nullptr && scene->getName() == sceneName)
            return scene;
    }
    return nullptr;
}

void Application::requestScene(const std::string& sceneName) { setPendingScene(findScene(sceneName)); }

void Application::setPendingScene(Scene* scene)
{
    if (scene != nullptr)
        scene->addRef();
    if (pendingScene != nullptr)
        pendingScene->release();
    pendingScene = scene;
}

void Application::addScene(Scene* scene)
{
    if (scene == nullptr)
        return;
    sceneList.addElement(scene);
    scene->onAdded();
}

void Application::setFrameRate(unsigned fps)
{
    targetFrameRate = fps;
    framePeriod = 1000 / fps;
}

float Application::getAverageFrameRate()
{
    if (startTime == 0)
        return 0.0f;
    // Milliseconds, not whole seconds: the first second would divide by zero.
    const DWORD elapsedMs = timeGetTime() - startTime;
    if (elapsedMs == 0)
        return 0.0f;
    return static_cast<float>(frameCounter) * 1000.0f / static_cast<float>(elapsedMs);
}

void Application::quit()
{
    if (screen != nullptr && screen->isDestroyingWindow() != 0)
        return;
    if (quitting != 0)
        return;
    quitting = 1;
    exit();
    PostQuitMessage(0);
}

void Application::requestClose()
{
    if (screen != nullptr && screen->getWindow() != nullptr)
        PostMessageA(screen->getWindow(), WM_DESTROY, 0, 0);
}

void Application::setDisplayState(int state)
{
    if (state == displayState)
        return;
    if (displayState == Active && (state == Minimized || state == Blocked)) {
        postEvent(new AppEvent(AppEvent::DisplayLost));
    } else if ((displayState == Minimized || displayState == Blocked) && state == Active) {
        postEvent(new AppEvent(AppEvent::ReopenDisplay));
        postEvent(new AppEvent(AppEvent::DisplayRegained));
    }
    displayState = state;
}

void Application::setModeSwitchEnabled(int flag)
{
    modeSwitchEnabled = flag;
    if (screen != nullptr)
        screen->setWindowStyle(flag);
}

void Application::showHelp()
{
    if (Settings::instance().getFullscreenWarning() == 0 || propertyManager == nullptr)
        return;
    PropertyManager::StringArray* texts = nullptr;
    try {
        texts = propertyManager->getArrayString("RES_HELP_TEXT");
    } catch (const GameTextException&) {
        return;
    }
    if (texts == nullptr || texts->size() < 2)
        return;
    Settings::instance().setFullscreenWarning(0);
    MessageBoxA(nullptr, texts->elementAt(1)->c_str(), texts->elementAt(0)->c_str(), MB_OK | MB_ICONINFORMATION);
}

bool Application::hasArgument(const std::string& text)
{
    for (std::size_t i = 1; i < arguments.size(); ++i)
        if (arguments[i] == text)
            return true;
    return false;
}

void Application::postEvent(AppEvent* event)
{
    if (event != nullptr)
        eventQueue.addElement(event);
}

void Application::handleInternalEvent(AppEvent* event)
{
    if (event->id == AppEvent::ToggleFullScreen) {
        if (isModeSwitchEnabled() != 0)
            toggleFullScreen();
    } else if (event->id == AppEvent::ReopenDisplay) {
        reopenDisplay();
    }
    if (currentScene != nullptr)
        currentScene->onEvent(*event);
}

void Application::switchScene(Scene* scene)
{
    setCursorShape(2);
    if (currentScene != nullptr) {
        Scene* old = currentScene;
        old->leave();
        currentScene = nullptr;
        old->release();
    }
    currentScene = scene;
    if (scene != nullptr) {
        scene->addRef();
        scene->enter();
    }
}

void Application::setCursorShape(int shape)
{
    if (shape != cursorShape) {
        cursorShape = shape;
        cursor = LoadCursorA(nullptr, cursorName(shape));
        // The hand is a system cursor here; should it ever be missing, the arrow stands in.
        if (cursor == nullptr)
            cursor = LoadCursorA(nullptr, IDC_ARROW);
    }
    applyCursor();
}

void Application::applyCursor() { SetCursor(cursor); }
