// The display taken away and given back on every screen and dialog of the game: the whole program on
// the headless host, reached the way a player reaches each screen (window messages for the mouse and
// the keyboard, the program's own scene changes), the virtual clock making every frame's time exact.
//
// On each screen the display goes away as a player's machine takes it: another program takes it (every
// surface lost, the next present fails), Alt+Enter to full screen and back (also twice within one
// frame), the desktop changing to 16-bit colour and back. The frame loop repairs it as it always does
// and draws its frames; the frame it shows afterwards must be the one it showed before: every picture
// the game made for itself (a cart with its gold, a label, a button, a block) comes back, not as a black
// box. The screen is frozen meanwhile (it takes no step), so that the two frames show the same moment.
//
// A mismatch writes the two frames and a difference picture into QUARRYTIDE_SCREENSHOTS, else the
// directory the test started in.
#include "support/WholeGameHeadless.h"

#include "compat/ddraw/testing.h"
#include "compat/host/testing.h"
#include "frontend/dialogs/DialogOpeners.h"
#include "game/actors/MineCart.h"
#include "game/stats/StatsManager.h"
#include "platform/surface/FrameCounter.h"
#include "platform/surface/Surface.h"
#include "support/PictureCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using compat::host::Picture;

using testsupport::kSettleFrames;

class DisplayRestore : public testsupport::WholeGameHeadless {
protected:
    // What the player sees: the frame the loop presented last.
    static Picture shown() { return compat::testing::headlessState().lastFrame; }

    // The current screen stops moving: the loop goes on presenting, restoring and drawing it, but its
    // sprites and the game behind them take no step, so a frame after a loss can be set beside one
    // from before it.
    void freeze(bool frozen)
    {
        if (Scene* scene = app->getCurrentScene())
            scene->setActive(!frozen);
    }
    void pressAltEnter()
    {
        PostMessageA(app->getScreen()->getWindow(), WM_SYSKEYDOWN, VK_RETURN, static_cast<LPARAM>(1u << 29));
    }

    // Frames of the loop while the screen is frozen. A frozen screen takes no step, so sprites taken
    // off it (a block's tool picture made again after the loss) would stay on it: they are let go as
    // the next step would let them go.
    void frozenFrames(int n)
    {
        for (int i = 0; i < n; ++i) {
            apptest::pumpAndTick(*app);
            if (SpriteCanvas* shown = canvas())
                shown->removeObsolete();
        }
    }

    // One way the display goes away, as the player's machine does it; the frame the loop shows some
    // frames later is set beside the one shown before it went (or, in 16-bit colour, beside the one
    // shown when the desktop had just changed to it).
    struct Loss {
        const char* what;
        std::function<void()> make;
        bool windowed;
        // Channel steps a pixel may be off by: a frame that went through the 16-bit display is a copy
        // of its pictures at five or six bits a channel, blended there as often as it is drawn.
        int tolerance;
        bool againstSixteenBit;
    };

    int differingPixels(const Picture& before, const Picture& after, int tolerance, std::string& where)
    {
        if (before.width != after.width || before.height != after.height) {
            where = "frames of different sizes";
            return before.width * before.height;
        }
        int differing = 0, worst = 0;
        int left = before.width, top = before.height, right = -1, bottom = -1;
        for (int y = 0; y < before.height; ++y)
            for (int x = 0; x < before.width; ++x)
                if (const int distance = testsupport::channelDistance(after.at(x, y), before.at(x, y));
                    distance > tolerance) {
                    ++differing;
                    worst = std::max(worst, distance);
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        where = "(" + std::to_string(left) + ", " + std::to_string(top) + ") to (" + std::to_string(right) + ", " +
                std::to_string(bottom) + "), off by up to " + std::to_string(worst);
        return differing;
    }

    // The frame before, dimmed, with every pixel that differs in red.
    static Picture difference(const Picture& before, const Picture& after, int tolerance)
    {
        Picture marked = before;
        for (int y = 0; y < before.height && y < after.height; ++y)
            for (int x = 0; x < before.width && x < after.width; ++x) {
                std::uint32_t& pixel = marked.pixels[static_cast<std::size_t>(y) * before.width + x];
                pixel = testsupport::channelDistance(before.at(x, y), after.at(x, y)) > tolerance
                            ? 0xFF0000u
                            : (pixel >> 2) & 0x3F3F3Fu;
            }
        return marked;
    }

    // The screen shown before and after each way the player's display goes away is the same picture.
    void expectComesBack(const std::string& name)
    {
        ASSERT_NE(app->getCurrentScene(), nullptr);
        freeze(true);
        frozenFrames(2);
        const Picture before = shown();
        Picture sixteenBit;
        const Loss losses[] = {
            {"another program took the display", [] { compat::testing::loseAllSurfaces(); }, true, 0, false},
            {"Alt+Enter to full screen", [this] { pressAltEnter(); }, false, kSixteenBitTolerance, false},
            {"Alt+Enter back to the window", [this] { pressAltEnter(); }, true, 0, false},
            {"Alt+Enter twice within one frame",
             [this] {
                 pressAltEnter();
                 pressAltEnter();
             },
             true, 0, false},
            {"the desktop went to 16-bit colour", [] { compat::testing::setDisplayDepth(16); }, true,
             kSixteenBitTolerance, false},
            {"another program took the 16-bit display", [] { compat::testing::loseAllSurfaces(); }, true, 0, true},
            {"the desktop came back to 32-bit colour", [] { compat::testing::setDisplayDepth(32); }, true, 0, false},
        };
        for (const Loss& loss : losses) {
            SCOPED_TRACE(loss.what);
            loss.make();
            frozenFrames(kRestoreFrames);
            ASSERT_EQ(app->getScreen()->isWindowed() != 0, loss.windowed);
            const Picture after = shown();
            const Picture& expected = loss.againstSixteenBit ? sixteenBit : before;
            std::string where;
            const int differing = differingPixels(expected, after, loss.tolerance, where);
            if (differing > 0) {
                const std::string stem = (outputDir / ("restore-" + name)).string();
                compat::host::writePng(expected, stem + ".before.png");
                compat::host::writePng(after, stem + ".after.png");
                compat::host::writePng(difference(expected, after, loss.tolerance), stem + ".difference.png");
                ADD_FAILURE() << name << " after " << loss.what << ": " << differing << " pixels differ within "
                              << where << "; frames in " << stem << ".*.png";
            }
            if (!loss.againstSixteenBit)
                sixteenBit = after;
        }
        freeze(false);
    }

    static constexpr int kRestoreFrames = 4;
    static constexpr int kSixteenBitTolerance = 32;
};

TEST_F(DisplayRestore, TheTitleScreenAndEveryDialogItOpens)
{
    expectComesBack("name-entry-first-start");
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    expectComesBack("title");

    click("BUTTON_TITLE_CHANGENAME");
    ASSERT_NE(dialogNamed("DIALOG_NAME_SELECT"), nullptr);
    expectComesBack("name-select");
    click("BUTTON_ADD");
    ASSERT_NE(dialogNamed("DIALOG_NAME_ENTRY"), nullptr);
    expectComesBack("name-entry-from-list");
    // A second name, so that one can be offered for deletion.
    type("Bob");
    click("BUTTON_OK");
    click("BUTTON_CLEAR");
    ASSERT_NE(dialogNamed("DIALOG_DELETE_NAME"), nullptr);
    expectComesBack("delete-name");
    click("BUTTON_NO");
    click("BUTTON_OK");

    click("BUTTON_TITLE_HELP");
    ASSERT_NE(dialogNamed("DIALOG_HELP"), nullptr);
    expectComesBack("help");
    click("BUTTON_OK");

    click("BUTTON_TITLE_OPTIONS");
    ASSERT_NE(dialogNamed("DIALOG_OPTIONS"), nullptr);
    expectComesBack("options");
    click("BUTTON_INFO");
    ASSERT_NE(dialogNamed("DIALOG_CREDITS"), nullptr);
    expectComesBack("credits");
    click("BUTTON_OK");
    click("BUTTON_OK");

    for (const char* mode : {"CLASSIC", "ENDLESS"}) {
        SCOPED_TRACE(mode);
        click(std::string("BUTTON_TITLE_") + mode);
        ASSERT_NE(dialogNamed("DIALOG_START_GAME"), nullptr);
        expectComesBack(std::string("start-game-") + mode);
        click("BUTTON_CANCEL");
    }

    click("BUTTON_TITLE_QUIT");
    ASSERT_NE(dialogNamed("DIALOG_EXIT_GAME"), nullptr);
    expectComesBack("exit-question");
    click("BUTTON_NO");
}

TEST_F(DisplayRestore, TheTreasureScreenAndItsDialogs)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    StatsManager& stats = StatsManager::instance();
    for (int treasure : {0, 1, 2, 5, 13, 14}) {
        stats.currentTreasure = treasure;
        stats.acquireTreasure();
    }
    click("BUTTON_TITLE_TREASURECHEST", 0);
    ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TREASURE"); }, 1000));
    frames(kSettleFrames);
    expectComesBack("treasure-chest");
    click("BUTTON_TREASURE_CHEST_ANTIQUITIES");
    click("BUTTON_TREASURE_DUMMY");
    ASSERT_NE(dialogNamed("DIALOG_TREASURE_CLAIMED"), nullptr);
    expectComesBack("treasure-claimed");
    click("BUTTON_OK");
    click("BUTTON_TREASURE_CHEST_BONUS");
    ASSERT_NE(dialogNamed("DIALOG_BONUS"), nullptr);
    expectComesBack("bonus");
    click("BUTTON_OK");
}

TEST_F(DisplayRestore, AClassicFieldWithItsActorsAndDialogs)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    ASSERT_NO_FATAL_FAILURE(startGame("CLASSIC"));
    expectComesBack("classic-field");

    PlayScene* play = field();
    ASSERT_NO_FATAL_FAILURE(takeTreasureInGame());
    ASSERT_NE(dialogNamed("DIALOG_TREASURE_CLAIMED"), nullptr);
    frames(kSettleFrames);
    expectComesBack("classic-treasure-claimed");
    click("BUTTON_OK");
    ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 500));

    clickOn(play->getMenuButton());
    ASSERT_NE(dialogNamed("DIALOG_INGAME_MENU"), nullptr);
    expectComesBack("classic-menu");
    click("BUTTON_MAINMENU_STOP");
    ASSERT_NE(dialogNamed("DIALOG_STOP_GAME"), nullptr);
    expectComesBack("stop-game");
    click("BUTTON_CANCEL");
    click("BUTTON_MAINMENU_RESUME");
    ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 500));

    play->sendEvent(PlayEvent::GoldComplete);
    ASSERT_TRUE(runUntil([&] { return topmostStats() != nullptr; }, 3000));
    frames(kSettleFrames);
    expectComesBack("level-statistics");
    click("BUTTON_CONTINUE");
    ASSERT_NE(dialogNamed("DIALOG_SINGLE_PLAYER"), nullptr);
    expectComesBack("guest-score");
    click("BUTTON_OK");
    ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 3000));
    frames(kSettleFrames);
    expectComesBack("classic-field-level-2");

    play->sendEvent(PlayEvent::GameLost);
    ASSERT_TRUE(runUntil([&] { return dialogNamed("DIALOG_HIGHSCORE_STATS") != nullptr; }, 3000));
    frames(kSettleFrames);
    expectComesBack("game-over");
    Dialog* scores = openHighscoreDialog();
    ASSERT_NE(scores, nullptr);
    canvas()->addSprite(scores);
    frames(kSettleFrames);
    expectComesBack("highscores");
}

TEST_F(DisplayRestore, AnEndlessFieldWithItsLiftCartAndDialogs)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    ASSERT_NO_FATAL_FAILURE(startGame("ENDLESS"));
    expectComesBack("endless-field");

    // Gold in the cart: the pile on top of the cart is a picture the cart makes for itself.
    PlayScene* play = field();
    ASSERT_NE(play->getMineCart(), nullptr);
    play->getMineCart()->setGoldAmount(2);
    frames(2);
    expectComesBack("endless-field-with-gold");

    clickOn(play->getMenuButton());
    ASSERT_NE(dialogNamed("DIALOG_INGAME_MENU"), nullptr);
    expectComesBack("endless-menu");
    click("BUTTON_MAINMENU_RESUME");
    ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 500));

    play->sendEvent(PlayEvent::GameLost);
    ASSERT_TRUE(runUntil([&] { return dialogNamed("DIALOG_HIGHSCORE_STATS") != nullptr; }, 3000));
    frames(kSettleFrames);
    expectComesBack("endless-game-over");
}

} // namespace
