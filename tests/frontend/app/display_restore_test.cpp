// The display taken away and given back on every screen and dialog of the game: the whole program on
// the headless host, reached the way a player reaches each screen (window messages for the mouse and
// the keyboard, the program's own scene changes), the virtual clock making every frame's time exact.
//
// On each screen the frame is painted whole, then the display is lost twice over: every surface lost
// at once (another program took the display), and the switch to full screen and back (Alt+Enter, a new
// display in another depth each way). The screen is then painted again without advancing the game, and
// the frame must be the one painted before: every picture the game made for itself (a cart with its
// gold, a label, a button, a block) comes back, not as a black box.
//
// Not yet run by default: painted this way, frames after a loss still differ on most screens (whole
// frames black but for a few sprites after the full-screen switch), and whether that is the painting
// here or the restore itself is not settled. Run it with --gtest_also_run_disabled_tests.
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

constexpr int kWidth = 640;
constexpr int kHeight = 480;
using testsupport::kSettleFrames;
// A pixel counts as different when one of its channels is off by more than this (a picture rebuilt
// from its source passes through the 16-bit display of the full screen only as a copy of the source).
constexpr int kChannelTolerance = 8;

class DisplayRestore : public testsupport::WholeGameHeadless {
protected:
    // The current screen painted whole into the back buffer, without advancing the game.
    Picture paint()
    {
        Scene* scene = app->getCurrentScene();
        Surface* target = app->getScreen()->getBackBuffer()->getSurface();
        Picture picture{kWidth, kHeight, std::vector<std::uint32_t>(kWidth * kHeight, 0)};
        if (scene == nullptr || target == nullptr) {
            ADD_FAILURE() << "nothing to paint on";
            return picture;
        }
        // A failed picture is rebuilt where it failed and drawn again the next time: three passes let
        // every lazy repair settle.
        for (int pass = 0; pass < 3; ++pass) {
            // Each pass is a frame of its own: a picture repairs itself at most once a frame.
            frame::advance();
            if (SpriteCanvas* shown = canvas())
                shown->invalidateAll(true);
            scene->draw(target, app->getFrameTime());
        }
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                picture.pixels[static_cast<std::size_t>(y) * kWidth + x] = readPixel(target, x, y);
        return picture;
    }
    static std::uint32_t readPixel(Surface* surface, int x, int y)
    {
        std::uint32_t pixel = 0;
        if (FAILED(surface->lock()))
            return 0xDEAD;
        const auto* row = static_cast<const std::uint8_t*>(surface->pixels()) + y * surface->getDesc().pitch;
        const PixelFormat& format = surface->getDesc().format;
        if (format.bitsPerPixel == 32) {
            pixel = reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
        } else {
            const std::uint16_t p = reinterpret_cast<const std::uint16_t*>(row)[x];
            pixel = ((p >> 11) & 0x1F) << 19 | ((p >> 5) & 0x3F) << 10 | (p & 0x1F) << 3;
        }
        surface->unlock();
        return pixel;
    }

    // The screen painted before and after each way of losing the display is the same picture.
    void expectComesBack(const std::string& name)
    {
        ASSERT_NE(app->getCurrentScene(), nullptr);
        const Picture before = paint();
        struct Loss {
            const char* what;
            std::function<void()> make;
        };
        const Loss losses[] = {
            {"every surface lost", [] { compat::testing::loseAllSurfaces(); }},
            {"full screen and back",
             [this] {
                 app->toggleFullScreen();
                 app->toggleFullScreen();
             }},
        };
        for (const Loss& loss : losses) {
            SCOPED_TRACE(loss.what);
            loss.make();
            app->restoreDisplay();
            ASSERT_TRUE(app->getScreen()->isWindowed());
            const Picture after = paint();
            int differing = 0;
            int left = kWidth, top = kHeight, right = -1, bottom = -1;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    if (testsupport::channelDistance(after.at(x, y), before.at(x, y)) > kChannelTolerance) {
                        ++differing;
                        left = std::min(left, x);
                        right = std::max(right, x);
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
            if (differing > 0) {
                const std::string stem = (outputDir / ("restore-" + name)).string();
                compat::host::writePng(before, stem + ".before.png");
                compat::host::writePng(after, stem + ".after.png");
                ADD_FAILURE() << name << " after " << loss.what << ": " << differing << " pixels differ within ("
                              << left << ", " << top << ") to (" << right << ", " << bottom << "); frames in "
                              << stem << ".*.png";
            }
        }
    }

};

TEST_F(DisplayRestore, DISABLED_TheTitleScreenAndEveryDialogItOpens)
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
    click("BUTTON_CANCEL");
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

TEST_F(DisplayRestore, DISABLED_TheTreasureScreenAndItsDialogs)
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

TEST_F(DisplayRestore, DISABLED_AClassicFieldWithItsActorsAndDialogs)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    ASSERT_NO_FATAL_FAILURE(startGame("CLASSIC"));
    expectComesBack("classic-field");

    PlayScene* play = field();
    StatsManager::instance().currentTreasure = 4;
    StatsManager::instance().acquireTreasure();
    play->sendEvent(PlayEvent::TreasureTaken);
    ASSERT_TRUE(runUntil([&] { return dialogNamed("DIALOG_TREASURE_CLAIMED") != nullptr; }, 1000));
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

TEST_F(DisplayRestore, DISABLED_AnEndlessFieldWithItsLiftCartAndDialogs)
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
