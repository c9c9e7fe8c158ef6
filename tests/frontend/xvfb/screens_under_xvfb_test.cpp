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
#include "support/ScreenTour.h"

#include "frontend/screens/LoadScene.h"
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

class ScreensUnderXvfb : public testsupport::ScreenTour {
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
    void pressKey(int virtualKey, bool down) override { compat::testing::pushSdlKey(virtualKey, down); }

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

    // Checks the dialogs' rectangles, and compares the X screen with golden/<name>.png where the stop
    // keeps a picture.
    void look(const std::string& name, double allowedShare, bool pictureKept) override
    {
        expectDialogsInOrder(name);
        if (pictureKept)
            expectLooksAsKept(name, allowedShare);
    }
    void expectLooksAsKept(const std::string& name, double allowedShare = kStill)
    {
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
    tourTitle();
}

TEST_F(ScreensUnderXvfb, TheTreasureScreenTheChestAndWhatItOpens)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    tourTreasures();
}

TEST_F(ScreensUnderXvfb, AClassicGameItsMenuAndItsEnd)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    tourClassicGame();
}

TEST_F(ScreensUnderXvfb, AnEndlessFieldAfterASeededStart)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    tourEndlessGame();
}

} // namespace
