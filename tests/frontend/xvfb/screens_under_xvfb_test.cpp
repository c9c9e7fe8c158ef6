// The whole game on the SDL host in a real window under a virtual X server, reached the way a player
// reaches every screen and dialog: SDL mouse events on the buttons the program shows, the program's own
// openers and scene changes. What the X screen shows is compared with the picture kept in golden/.
// The virtual clock makes every frame's time exact, and the global random generator is seeded before
// each game, so what is drawn is the same on every run.
//
// QUARRYTIDE_UPDATE_GOLDEN=1 writes the pictures seen as the new golden pictures (look at every one
// before keeping it). A mismatch writes the picture seen and a difference picture (differing pixels red
// over a grey copy of the golden one) into QUARRYTIDE_SCREENSHOTS, else the directory the test started in.
// Skipped where the host shows no window.
// First: the registry's declarations clash with a name ACE's headers define as a macro.
#include "compat/win32/registry/registry.h"
#include "support/WholeGameHeadless.h"

#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/dialogs/info/HelpDialog.h"
#include "frontend/screens/LoadScene.h"
#include "game/stats/StatsManager.h"
#include "support/DialogRectangles.h"
#include "support/PictureCompare.h"

#include "compat/host/dialog/NativePresenter.h"
#include "compat/host/window/SdlHost.h"
#include "compat/host/testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using testsupport::channelDistance;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// A pixel counts as different when one of its channels is off by more than this.
constexpr int kChannelTolerance = 8;
// Share of differing pixels allowed: a still picture, and one with sparkles that come and go.
constexpr double kStill = 0.001;
constexpr double kSparkling = 0.003;
// One second of frames at the game's 50 a second: every fade and slide of a dialog has ended by then.
using testsupport::kSettleFrames;

// Differing pixels in red over a dimmed grey copy of the golden picture.
compat::host::Picture differencePicture(const compat::host::Picture& shown, const compat::host::Picture& golden)
{
    compat::host::Picture diff{golden.width, golden.height, golden.pixels};
    for (int y = 0; y < golden.height; ++y)
        for (int x = 0; x < golden.width; ++x) {
            const std::uint32_t g = golden.at(x, y);
            std::uint32_t& out = diff.pixels[static_cast<std::size_t>(y) * golden.width + x];
            if (channelDistance(shown.at(x, y), g) > kChannelTolerance) {
                out = 0xFF0000;
            } else {
                const std::uint32_t grey = (((g >> 16) & 0xFF) + ((g >> 8) & 0xFF) + (g & 0xFF)) / 6;
                out = grey << 16 | grey << 8 | grey;
            }
        }
    return diff;
}

class ScreensUnderXvfb : public testsupport::WholeGameHeadless {
protected:
    void SetUp() override
    {
        bool window = false;
        try {
            window = compat::host::current().capabilities().window;
        } catch (const std::exception& failure) {
            FAIL() << failure.what(); // asked for a window host that cannot start
        }
        if (!window)
            GTEST_SKIP() << "no window system here (" << compat::host::selectionReport() << ")";
        enterHome(0, 0); // the real X screen
        ASSERT_NO_FATAL_FAILURE(launchProgram());
        ASSERT_TRUE(app->getScreen()->isWindowed()) << "the X screen must be larger than the game";
        if (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) == "TheLoadScreen")
            return; // that case watches the loading itself
        ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TITLE"); }, 1500)) << "the load screen never ended";
    }

    // The pointer arrives as the SDL mouse events of the real window.
    void movePointer(int x, int y) override { compat::testing::pushSdlMouseMotion(x, y); }
    void pressLeft(int x, int y, bool down) override { compat::testing::pushSdlMouseButton(x, y, 1, down, 1); }

    // What the X screen shows in the game window's client area, found where the window system put it.
    compat::host::Picture screen()
    {
        compat::host::Picture client{kWidth, kHeight, std::vector<std::uint32_t>(kWidth * kHeight, 0)};
        compat::host::Picture desktop;
        POINT origin{0, 0};
        if (!compat::testing::captureDesktop(desktop.width, desktop.height, desktop.pixels) ||
            !ClientToScreen(app->getScreen()->getWindow(), &origin)) {
            ADD_FAILURE() << "no picture of the X screen";
            return client;
        }
        if (origin.x < 0 || origin.y < 0 || origin.x + kWidth > desktop.width || origin.y + kHeight > desktop.height) {
            ADD_FAILURE() << "the client area at (" << origin.x << ", " << origin.y << ") is not inside the "
                          << desktop.width << "x" << desktop.height << " X screen";
            return client;
        }
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                client.pixels[static_cast<std::size_t>(y) * kWidth + x] = desktop.at(origin.x + x, origin.y + y);
        return client;
    }

    // Every dialog shown keeps its buttons and their tooltips inside its frame, clear of other text.
    void expectDialogsInOrder(const std::string& name)
    {
        SpriteCanvas* shown = canvas();
        if (shown == nullptr)
            return;
        for (const testsupport::RectangleFault& fault : testsupport::newDialogRectangleFaults(*shown, kWidth, kHeight))
            ADD_FAILURE() << name << ": " << fault.text;
    }

    // Compares the X screen with golden/<name>.png, and checks the dialogs' rectangles.
    void expectLooksAsKept(const std::string& name, double allowedShare = kStill)
    {
        expectDialogsInOrder(name);
        const compat::host::Picture shown = screen();
        const std::filesystem::path golden =
            (std::filesystem::path(QUARRY_TESTS_DIR) / "frontend/xvfb") / "golden" / (name + ".png");
        if (const char* update = std::getenv("QUARRYTIDE_UPDATE_GOLDEN"); update != nullptr && *update == '1') {
            std::filesystem::create_directories(golden.parent_path());
            EXPECT_TRUE(compat::host::writePng(shown, golden.string())) << golden;
            return;
        }
        const std::string actual = (outputDir / (name + ".actual.png")).string();
        compat::host::Picture kept;
        if (!compat::host::readPng(golden.string(), kept)) {
            compat::host::writePng(shown, actual);
            FAIL() << golden << " is missing (seen: " << actual
                   << "); run with QUARRYTIDE_UPDATE_GOLDEN=1 and look at the picture";
        }
        ASSERT_EQ(kept.width, kWidth) << name;
        ASSERT_EQ(kept.height, kHeight) << name;
        int differing = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                differing += channelDistance(shown.at(x, y), kept.at(x, y)) > kChannelTolerance ? 1 : 0;
        const double share = static_cast<double>(differing) / (kWidth * kHeight);
        if (share > allowedShare) {
            const std::string diff = (outputDir / (name + ".diff.png")).string();
            compat::host::writePng(shown, actual);
            compat::host::writePng(differencePicture(shown, kept), diff);
            ADD_FAILURE() << name << ": " << differing << " pixels differ (share " << share << ", allowed "
                          << allowedShare << "); seen: " << actual << ", difference: " << diff;
        }
    }
};

TEST_F(ScreensUnderXvfb, TheLoadScreen)
{
    // Part of the way through the loading: the picture, the bar and the message, whose words lie on the
    // picture (no black cells behind the letters).
    auto* load = dynamic_cast<LoadScene*>(app->getCurrentScene());
    ASSERT_NE(load, nullptr);
    ASSERT_TRUE(runUntil([&] { return load->getProgress() != nullptr && load->getProgress()->barWidth(400) >= 160; }, 1500));
    expectLooksAsKept("load");
    EXPECT_TRUE(runUntil([&] { return sceneReady("SCENE_TITLE"); }, 1500)) << "the load screen never ended";
}

TEST_F(ScreensUnderXvfb, TheTitleScreenAndTheDialogsItOpens)
{
    frames(kSettleFrames);
    expectLooksAsKept("name-entry-first-start");
    // Enter with nothing typed: the dialog stays and says why.
    compat::testing::pushSdlKey(13, true);
    frames(2);
    compat::testing::pushSdlKey(13, false);
    frames(kSettleFrames);
    ASSERT_NE(dialogNamed("DIALOG_NAME_ENTRY"), nullptr);
    expectLooksAsKept("name-entry-refused");
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    expectLooksAsKept("title");

    click("BUTTON_TITLE_CHANGENAME");
    ASSERT_NE(dialogNamed("DIALOG_NAME_SELECT"), nullptr);
    expectLooksAsKept("name-select");
    click("BUTTON_ADD");
    ASSERT_NE(dialogNamed("DIALOG_NAME_ENTRY"), nullptr);
    expectLooksAsKept("name-entry-from-list");
    click("BUTTON_CANCEL");
    EXPECT_EQ(dialogNamed("DIALOG_NAME_ENTRY"), nullptr);
    click("BUTTON_OK");
    EXPECT_EQ(dialogNamed("DIALOG_NAME_SELECT"), nullptr);
    EXPECT_EQ(GameApp::getCurrentPlayer(), "Ann");

    click("BUTTON_TITLE_HELP");
    auto* help = dynamic_cast<HelpDialog*>(dialogNamed("DIALOG_HELP"));
    ASSERT_NE(help, nullptr);
    ASSERT_GT(help->getPageCount(), 0);
    for (int page = 0; page < help->getPageCount(); ++page) {
        SCOPED_TRACE(page);
        ASSERT_EQ(help->getCurrentPage(), page);
        expectLooksAsKept("help-page-" + std::to_string(page + 1));
        click("BUTTON_NEXT");
    }
    click("BUTTON_OK");
    EXPECT_EQ(dialogNamed("DIALOG_HELP"), nullptr);

    click("BUTTON_TITLE_OPTIONS");
    ASSERT_NE(dialogNamed("DIALOG_OPTIONS"), nullptr);
    expectLooksAsKept("options");
    click("BUTTON_INFO");
    ASSERT_NE(dialogNamed("DIALOG_CREDITS"), nullptr);
    expectLooksAsKept("credits");
    click("BUTTON_OK");
    click("BUTTON_OK");
    EXPECT_EQ(dialogNamed("DIALOG_OPTIONS"), nullptr);

    for (const char* mode : {"CLASSIC", "ENDLESS"}) {
        SCOPED_TRACE(mode);
        click(std::string("BUTTON_TITLE_") + mode);
        ASSERT_NE(dialogNamed("DIALOG_START_GAME"), nullptr);
        expectLooksAsKept(std::string("start-game-") + mode);
        click("BUTTON_CANCEL");
        EXPECT_EQ(dialogNamed("DIALOG_START_GAME"), nullptr);
    }
}

TEST_F(ScreensUnderXvfb, TheTreasureScreenTheChestAndWhatItOpens)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    // A player who has taken some treasures before, as the play field records a taken treasure: the
    // chest on the title screen glows and sparkles.
    takeSomeTreasures();
    Random::global().setSeed(7);
    frames(kSettleFrames);
    expectLooksAsKept("title-with-treasures", kSparkling);

    click("BUTTON_TITLE_TREASURECHEST", 0);
    ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TREASURE"); }, 1000));
    frames(kSettleFrames);
    expectLooksAsKept("treasure-chest-gemstones", kSparkling);

    click("BUTTON_TREASURE_CHEST_ANTIQUITIES");
    expectLooksAsKept("treasure-chest-antiquities", kSparkling);
    click("BUTTON_TREASURE_DUMMY");
    ASSERT_NE(dialogNamed("DIALOG_TREASURE_CLAIMED"), nullptr);
    expectLooksAsKept("treasure-claimed-from-chest");
    click("BUTTON_OK");
    EXPECT_EQ(dialogNamed("DIALOG_TREASURE_CLAIMED"), nullptr);

    click("BUTTON_TREASURE_CHEST_BONUS");
    ASSERT_NE(dialogNamed("DIALOG_BONUS"), nullptr);
    expectLooksAsKept("bonus");
    click("BUTTON_OK");
    EXPECT_EQ(dialogNamed("DIALOG_BONUS"), nullptr);

    click("BUTTON_TREASURE_CHEST_BACK", 0);
    EXPECT_TRUE(runUntil([&] { return sceneReady("SCENE_TITLE"); }, 1000));
}

TEST_F(ScreensUnderXvfb, AClassicGameItsMenuAndItsEnd)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    ASSERT_NO_FATAL_FAILURE(startGame("CLASSIC"));
    expectLooksAsKept("classic-field");

    // A treasure taken: the field announces it and brings its dialog, with the way to the chest.
    PlayScene* play = field();
    ASSERT_NO_FATAL_FAILURE(takeTreasureInGame());
    ASSERT_NE(dialogNamed("DIALOG_TREASURE_CLAIMED"), nullptr);
    frames(kSettleFrames);
    expectLooksAsKept("treasure-claimed-in-game");
    click("BUTTON_OK");
    EXPECT_EQ(dialogNamed("DIALOG_TREASURE_CLAIMED"), nullptr);
    ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 500));

    clickOn(play->getMenuButton());
    ASSERT_NE(dialogNamed("DIALOG_INGAME_MENU"), nullptr) << "the menu button opens the in-game menu";
    expectLooksAsKept("ingame-menu");
    click("BUTTON_MAINMENU_STOP");
    ASSERT_NE(dialogNamed("DIALOG_STOP_GAME"), nullptr);
    expectLooksAsKept("stop-game");
    click("BUTTON_CANCEL");
    EXPECT_EQ(dialogNamed("DIALOG_STOP_GAME"), nullptr);
    click("BUTTON_MAINMENU_TREASURE");
    expectLooksAsKept("treasure-chest-in-game", kSparkling);
    click("BUTTON_TREASURE_CHEST_BACK");
    click("BUTTON_MAINMENU_RESUME");
    ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 500));

    // The gold of the level is complete: the level's statistics, then a guest's score (nobody signed
    // in at a game portal) shown without the offer to send it.
    play->sendEvent(PlayEvent::GoldComplete);
    ASSERT_TRUE(runUntil([&] { return topmost<GameOverStatsDialog>() != nullptr; }, 3000));
    frames(kSettleFrames);
    expectLooksAsKept("level-statistics");
    click("BUTTON_CONTINUE");
    ASSERT_NE(dialogNamed("DIALOG_SINGLE_PLAYER"), nullptr);
    expectLooksAsKept("guest-score");
    click("BUTTON_OK");
    ASSERT_TRUE(runUntil([&] { return play->getPhase() == PlayPhase::Playing; }, 3000));

    // The field fills up: the game is over.
    play->sendEvent(PlayEvent::GameLost);
    ASSERT_TRUE(runUntil([&] { return dialogNamed("DIALOG_HIGHSCORE_STATS") != nullptr; }, 3000));
    frames(kSettleFrames);
    expectLooksAsKept("game-over");

    // The local highscore tables, opened through their opener on the result just entered.
    Dialog* scores = openHighscoreDialog();
    ASSERT_NE(scores, nullptr);
    canvas()->addSprite(scores);
    frames(kSettleFrames);
    expectLooksAsKept("highscores");
    click("BUTTON_OK");
    EXPECT_EQ(dialogNamed("DIALOG_HIGHSCORE"), nullptr);
}

TEST_F(ScreensUnderXvfb, AnEndlessFieldAfterASeededStart)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    ASSERT_NO_FATAL_FAILURE(startGame("ENDLESS"));
    expectLooksAsKept("endless-field");

    // The game kept for later: back on the title screen the saved-game mark stands beside the endless
    // button while the pointer rests on it.
    clickOn(field()->getMenuButton());
    click("BUTTON_MAINMENU_STOP");
    click("BUTTON_YES", 0);
    ASSERT_TRUE(runUntil([&] { return sceneReady("SCENE_TITLE"); }, 3000));
    Sprite* endless = find("BUTTON_TITLE_ENDLESS");
    ASSERT_NE(endless, nullptr);
    compat::testing::pushSdlMouseMotion(endless->getAbsoluteX() + endless->getWidth() / 2,
                                        endless->getAbsoluteY() + endless->getHeight() / 2);
    frames(kSettleFrames);
    expectLooksAsKept("title-saved-endless", kSparkling);
}

} // namespace
