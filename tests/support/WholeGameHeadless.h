// The whole game program for tests that drive it as a player does: the program entry's start-up
// without its endless message loop (the test runs the frames), the virtual clock making every frame's
// time exact, a first start in a data home of its own, and helpers that reach screens and dialogs
// through the player's input. On the headless host the mouse and the keyboard arrive as window
// messages; a test on a host with a real window derives and sends the pointer through that host.
#pragma once

// First: the registry's declarations clash with a name ACE's headers define as a macro.
#include "compat/win32/registry/registry.h"
#include "frontend/app/GameApp.h"
#include "frontend/app/GameMain.h"
#include "frontend/dialogs/play/GameOverStatsDialog.h"
#include "game/field/PlayScene.h"
#include "game/screen/GameScene.h"
#include "game/stats/StatsManager.h"
#include "support/AppTestSupport.h"
#include "support/TempDir.h"

#include "compat/win32/system/machine/timer.h"
#include "resources/settings/Settings.h"
#include "runtime/Random.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/scene/SpriteScene.h"
#include "toolkit/scene/TransitionScene.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/ButtonBlit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace testsupport {

constexpr int kSettleFrames = 50;

class WholeGameHeadless : public ::testing::Test {
protected:
    void SetUp() override
    {
        enterHome(1024, 768);
        ASSERT_NO_FATAL_FAILURE(startProgram());
    }

    // A first start, and no player's files touched: a data home and a registry of the test's own, a
    // desktop of that size (0 x 0: the real screen), the virtual clock, and the program's folder.
    void enterHome(int desktopWidth, int desktopHeight)
    {
        startedIn = std::filesystem::current_path();
        const char* screenshots = std::getenv("QUARRYTIDE_SCREENSHOTS");
        outputDir = screenshots != nullptr ? std::filesystem::path(screenshots) : startedIn;
        if (const char* data = std::getenv("XDG_DATA_HOME"))
            previousDataHome = data;
        setenv("XDG_DATA_HOME", home.path().c_str(), 1);
        compat::testing::setRegistryFile(registry.file("registry"));
        compat::testing::resetWindows();
        compat::testing::resetDisplay();
        compat::testing::setDesktopSize(desktopWidth, desktopHeight);
        compat::testing::useVirtualClock(true, 5000);
        std::filesystem::current_path(std::filesystem::path(QUARRY_PROGRAM).parent_path());
    }

    // The program's start-up up to its title screen, settled.
    void startProgram()
    {
        ASSERT_NO_FATAL_FAILURE(launchProgram());
        ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TITLE"); }, 1500)) << "the load screen never ended";
        frames(kSettleFrames);
    }
    // The program's start-up as far as its first frame, for a player who plays in a window. The made-up
    // highscores of a first start are shuffled by the C library's generator, which lives as long as the
    // process: each start seeds it, so a case alone draws what it draws in a run.
    void launchProgram()
    {
        std::srand(1);
        app = new GameApp();
        ASSERT_TRUE(SUCCEEDED(app->init()));
        ASSERT_EQ(app->createSoundManager(), 0);
        ASSERT_EQ(app->createInputManager(), 0);
        Settings::instance().getFullscreen();
        Settings::instance().setFullscreen(0);
        ASSERT_TRUE(SUCCEEDED(app->createScreen(nullptr, WndProc, 1)));
        app->setDisplayState(Application::Active);
    }
    // The program closed as the player closes it, and started again in the same home.
    void restartProgram()
    {
        app->quit();
        delete app;
        app = nullptr;
        compat::testing::resetWindows();
        ASSERT_NO_FATAL_FAILURE(startProgram());
    }

    void TearDown() override
    {
        if (app != nullptr) {
            app->quit();
            delete app;
        }
        compat::testing::useVirtualClock(false);
        compat::testing::setDesktopSize(0, 0);
        compat::testing::resetWindows();
        compat::testing::resetDisplay();
        if (startedIn.empty())
            return; // skipped before it entered its home
        std::filesystem::current_path(startedIn);
        if (previousDataHome.empty())
            unsetenv("XDG_DATA_HOME");
        else
            setenv("XDG_DATA_HOME", previousDataHome.c_str(), 1);
    }

    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            apptest::pumpAndTick(*app);
    }
    bool runUntil(const std::function<bool()>& done, int maxFrames)
    {
        for (int i = 0; i < maxFrames; ++i) {
            if (done())
                return true;
            apptest::pumpAndTick(*app);
        }
        return done();
    }
    // The named screen is shown and its transition has played.
    bool sceneReady(const std::string& name)
    {
        auto* scene = dynamic_cast<TransitionScene*>(app->getCurrentScene());
        return scene != nullptr && scene->getName() == name && !scene->isRunning() &&
               scene->getTransitionCanvas() == nullptr;
    }
    SpriteCanvas* canvas()
    {
        auto* scene = dynamic_cast<SpriteScene*>(app->getCurrentScene());
        return scene != nullptr ? scene->getCanvas() : nullptr;
    }
    // The topmost live sprite of that name on the current screen (dialogs come last, so a dialog's
    // button wins over a covered one of the same name).
    Sprite* find(const std::string& name)
    {
        SpriteCanvas* shown = canvas();
        if (shown == nullptr)
            return nullptr;
        const auto& sprites = shown->getSprites();
        for (auto it = sprites.rbegin(); it != sprites.rend(); ++it)
            if (!(*it)->isObsolete() && (*it)->getName() == name)
                return *it;
        return nullptr;
    }
    Dialog* dialogNamed(const std::string& name) { return dynamic_cast<Dialog*>(find(name)); }
    template <class T> T* topmost()
    {
        SpriteCanvas* shown = canvas();
        if (shown == nullptr)
            return nullptr;
        const auto& sprites = shown->getSprites();
        for (auto it = sprites.rbegin(); it != sprites.rend(); ++it)
            if (auto* found = dynamic_cast<T*>(*it); found != nullptr && !found->isObsolete())
                return found;
        return nullptr;
    }
    GameOverStatsDialog* topmostStats() { return topmost<GameOverStatsDialog>(); }
    PlayScene* field()
    {
        auto* play = dynamic_cast<GameScene*>(app->getCurrentScene());
        return play != nullptr ? play->getPlayScene() : nullptr;
    }

    void post(unsigned message, WPARAM wParam, int x, int y)
    {
        PostMessageA(app->getScreen()->getWindow(), message, wParam,
                     static_cast<LPARAM>((static_cast<unsigned>(y) << 16) | (static_cast<unsigned>(x) & 0xFFFF)));
    }
    // The pointer's moves and the left button as they reach the program.
    virtual void movePointer(int x, int y) { post(WM_MOUSEMOVE, 0, x, y); }
    virtual void pressLeft(int x, int y, bool down)
    {
        if (down)
            post(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        else
            post(WM_LBUTTONUP, 0, x, y);
    }
    // A key going down or up as it reaches the program.
    virtual void pressKey(int virtualKey, bool down) { post(down ? WM_KEYDOWN : WM_KEYUP, virtualKey, 0, 0); }
    // A left click in the middle of the sprite; the pointer then rests in the top left corner, where no
    // tooltip covers what comes next, and the screen settles.
    void clickOn(Sprite* target, int settle = kSettleFrames)
    {
        ASSERT_NE(target, nullptr);
        const int x = target->getAbsoluteX() + target->getWidth() / 2;
        const int y = target->getAbsoluteY() + target->getHeight() / 2;
        movePointer(x, y);
        frames(2);
        pressLeft(x, y, true);
        frames(2);
        pressLeft(x, y, false);
        frames(2);
        movePointer(0, 0);
        frames(settle);
    }
    void click(const std::string& name, int settle = kSettleFrames)
    {
        Sprite* target = find(name);
        ASSERT_NE(target, nullptr) << name;
        clickOn(target, settle);
    }
    // Characters reach the window as the keyboard's character messages.
    void type(const std::string& text)
    {
        for (char c : text) {
            PostMessageA(app->getScreen()->getWindow(), WM_CHAR, static_cast<unsigned char>(c), 1);
            frames(1);
        }
    }
    // The first start asks for a name; the player gives one and is welcomed on the title screen.
    void enterName(const std::string& player)
    {
        ASSERT_NE(dialogNamed("DIALOG_NAME_ENTRY"), nullptr);
        type(player);
        click("BUTTON_OK");
        ASSERT_EQ(GameApp::getCurrentPlayer(), player);
    }
    // From the title screen: the mode's button, the difficulty's toggle, then OK with the generator
    // seeded right before the game starts; returns once the field is in play and settled.
    void startGame(const std::string& mode, const std::string& difficulty = "TOGGLE_EASY")
    {
        ASSERT_TRUE(sceneReady("SCENE_TITLE"));
        click("BUTTON_TITLE_" + mode);
        ASSERT_NE(dialogNamed("DIALOG_START_GAME"), nullptr);
        click(difficulty);
        Random::global().setSeed(20240611);
        click("BUTTON_OK", 0);
        ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_PLAY"); }, 1000));
        ASSERT_NE(field(), nullptr);
        ASSERT_TRUE(runUntil([&] { return field()->getPhase() == PlayPhase::Playing; }, 1500));
        frames(kSettleFrames);
    }
    // A player who has taken some treasures before, as the play field records a taken treasure, and
    // last looked at the chest's second page: the chest on the title screen glows and sparkles.
    static void takeSomeTreasures()
    {
        StatsManager& stats = StatsManager::instance();
        for (int treasure : {0, 1, 2, 5, 13, 14}) {
            stats.currentTreasure = treasure;
            stats.acquireTreasure();
        }
        stats.lasttabpage = true;
    }

    // A treasure taken on the play field (the fourth of the data set): the field announces it and waits
    // with its dialog open.
    void takeTreasureInGame()
    {
        PlayScene* play = field();
        ASSERT_NE(play, nullptr);
        StatsManager::instance().currentTreasure = 4;
        StatsManager::instance().acquireTreasure();
        play->sendEvent(PlayEvent::TreasureTaken);
        ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::TreasureToDialog && play->getSubStep() == 2; },
                             1000));
    }

    testsupport::TempDir home, registry;
    std::filesystem::path startedIn, outputDir;
    std::string previousDataHome;
    GameApp* app = nullptr;
};

} // namespace testsupport
