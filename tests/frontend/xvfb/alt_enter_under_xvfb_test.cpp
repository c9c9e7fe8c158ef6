// Alt+Enter during a game, as a player presses it: the real program in a window on a 1280x1024 virtual
// X screen, driven in lock-step with real pointer and key events (XTest). The first switch to full
// screen shows the notice box: it lies on the screen, centred on the game's window, and Enter answers
// it. A second Alt+Enter brings the window back, and the play screen must look as before the switches:
// the lift cart, the miner and every picture the game made for itself come back, not as black boxes.
// CTest starts it under xvfb-run as AltEnterUnderXvfb.
//
// The pictures looked at are kept in golden/ (QUARRYTIDE_UPDATE_GOLDEN=1 takes new ones; look at each
// before keeping it); a mismatch leaves the picture seen and a difference picture in the screenshot
// folder.
#include "../playthrough/Screen.h"

#include "compat/host/dialog/NativePresenter.h"
#include "support/RunningProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

using compat::host::Picture;
using playthrough::Area;

constexpr int kWidth = 640, kHeight = 480;
constexpr const char* kTitle = "Quarrytide";
constexpr const char* kNoticeTitle = "Quarrytide - full screen";

// The miner and the lift cart on the play screen (game pixels): of the endless game at the top of the
// lift's shaft, of the classic game beside the field.
const Area kMiner = {470, 120, 110, 160};
const Area kCart = {500, 290, 140, 110};

std::vector<std::string> gameSettings()
{
    return {"QUARRYTIDE_HOST=sdl", "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy", "QUARRYTIDE_TEST_SEED=20261211",
            "SDL_MOUSE_DOUBLE_CLICK_TIME=0"};
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

class AltEnterUnderXvfb : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::getenv("QUARRYTIDE_ALT_ENTER") == nullptr || std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "runs as AltEnterUnderXvfb under xvfb-run";
        Picture desktop = playthrough::capture();
        screenWidth = desktop.width;
        screenHeight = desktop.height;
        ASSERT_GT(screenWidth, kWidth) << "the screen must leave room for a window";
        // A player who plays in a window, as the options keep it.
        std::ofstream registry(home.file("registry"));
        registry << "; Quarrytide registry. Edit only while the game is not running.\n\n"
                    "[HKEY_CURRENT_USER\\Software\\Vantrel\\Quarrytide]\n\"fullscreen\"=dword:00000000\n";
    }

    // The game window's client area on the X screen, once the program shows it.
    bool findWindow()
    {
        for (int tries = 0; tries < 300; ++tries) {
            Geometry g;
            if (compat::testing::desktopWindowTitled(kTitle, g.x, g.y, g.width, g.height) && g.width == kWidth &&
                g.height == kHeight) {
                window = g;
                return true;
            }
            lastSeen = g;
            if (!playthrough::runFrames(5)) {
                lastSeen.x = -999; // the game ended or stopped answering
                return false;
            }
        }
        return false;
    }

    // What the program wrote to its standard error and output.
    std::string said()
    {
        std::string all;
        for (const char* name : {"stderr", "stdout"}) {
            std::ifstream in(home.file(name));
            all += std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        return all;
    }

    // Input at a point of the game's client area.
    void press(int x, int y)
    {
        playthrough::click(window.x + x, window.y + y);
        rest();
    }
    void rest() { playthrough::movePointer(window.x + 620, window.y + 470); }

    // What the game's window shows now.
    Picture client()
    {
        const Picture desktop = playthrough::capture();
        Picture out{kWidth, kHeight, std::vector<std::uint32_t>(static_cast<std::size_t>(kWidth) * kHeight, 0)};
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (window.x + x < desktop.width && window.y + y < desktop.height)
                    out.pixels[static_cast<std::size_t>(y) * kWidth + x] = desktop.at(window.x + x, window.y + y);
        return out;
    }

    // The picture against golden/<name>.png outside the ignored areas (or kept as it, when updating).
    void expectKept(const std::string& name, const Picture& seen, const std::vector<Area>& ignored)
    {
        const std::filesystem::path golden =
            std::filesystem::path(QUARRY_TESTS_DIR) / "frontend/xvfb/golden" / (name + ".png");
        if (playthrough::updatingGoldens()) {
            EXPECT_TRUE(compat::host::writePng(seen, golden.string())) << golden;
            return;
        }
        Picture kept;
        ASSERT_TRUE(compat::host::readPng(golden.string(), kept)) << golden << " is missing";
        const double share = playthrough::differingShare(seen, kept, ignored);
        if (share > 0.02) {
            const std::string actual = playthrough::outputFolder() + "/" + name + ".actual.png";
            compat::host::writePng(seen, actual);
            ADD_FAILURE() << name << ": a share of " << share << " differs from " << golden << "; seen: " << actual;
        }
    }

    // From the first start to a game of that mode in play, on the easy difficulty.
    void startGame(const char* mode)
    {
        if (!findWindow()) {
            // What the screen showed instead (a box nobody answered, a window of another size).
            const std::string shot = playthrough::outputFolder() + "/alt-enter-no-window.png";
            compat::host::writePng(playthrough::capture(), shot);
            FAIL() << "the game's window never showed" << (lastSeen.x == -999 ? " (the game stopped answering)" : "")
                   << "; last seen " << lastSeen.width << "x" << lastSeen.height << "; the screen: " << shot
                   << "; it said: " << said();
        }
        rest();
        // The load screen, then the title asks the first player's name.
        for (int second = 0; second < 20; ++second) {
            ASSERT_TRUE(playthrough::runFrames(playthrough::framesOf(1)));
            if (second % 5 == 4)
                press(620, 470); // a load screen that waits for the player goes on
        }
        playthrough::type("Mia Stone");
        press(320, 277);
        playthrough::pause(3);
        press(155, std::string(mode) == "CLASSIC" ? 94 : 134);
        playthrough::pause(1);
        playthrough::click(window.x + 247, window.y + 191);
        press(266, 318);
        playthrough::pause(6);
    }

    // Alt+Enter; when the notice box comes, a second hand notes where it shows and answers it with
    // Enter over it while the game waits in that frame.
    Geometry altEnter(bool noticeExpected)
    {
        Geometry box;
        EXPECT_TRUE(compat::testing::pressDesktopChord("Alt_L", "Return"));
        std::atomic<bool> ran{false}, ok{false};
        std::thread frames([&] {
            ok = playthrough::runFrames(playthrough::framesOf(0.5));
            ran = true;
        });
        bool seen = false;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(noticeExpected ? 60 : 5);
        while (!ran && std::chrono::steady_clock::now() < end) {
            if (compat::testing::desktopWindowTitled(kNoticeTitle, box.x, box.y, box.width, box.height)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                compat::testing::desktopWindowTitled(kNoticeTitle, box.x, box.y, box.width, box.height);
                noticeShot = playthrough::capture();
                compat::testing::moveDesktopPointer(box.x + box.width / 2, box.y + box.height / 2);
                compat::testing::pressDesktopKey("Return", false);
                seen = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        frames.join();
        EXPECT_TRUE(ok) << "the game stopped answering";
        EXPECT_EQ(seen, noticeExpected) << (noticeExpected ? "no notice box showed" : "a notice box showed again");
        playthrough::pause(2);
        return box;
    }

    // The game paused in its menu (the field, the cart and the miner stay where they are), a picture,
    // the switches there and back, and a picture again: the two agree.
    void switchAndBack(const std::string& mode)
    {
        press(mode == "classic" ? 588 : 40, 32); // the menu button, at the top right or left
        playthrough::pause(2);
        const Picture before = client();
        expectKept("alt-enter-" + mode + "-before", before, {});

        const Geometry box = altEnter(true);
        // The box lay on the screen, centred on the game's window where the screen leaves room.
        EXPECT_GE(box.x, 0);
        EXPECT_GE(box.y, 0);
        EXPECT_LE(box.x + box.width, screenWidth) << "past the screen's right edge";
        EXPECT_LE(box.y + box.height, screenHeight) << "past the screen's bottom edge";
        EXPECT_LE(std::abs((2 * box.x + box.width) - (2 * window.x + kWidth)), 2) << box.x << " " << box.width;
        EXPECT_LE(std::abs((2 * box.y + box.height) - (2 * window.y + kHeight)), 2) << box.y << " " << box.height;
        if (std::getenv("QUARRYTIDE_SCREENSHOTS") != nullptr) {
            compat::host::writePng(noticeShot, playthrough::outputFolder() + "/alt-enter-" + mode + "-notice.png");
            compat::host::writePng(playthrough::capture(),
                                   playthrough::outputFolder() + "/alt-enter-" + mode + "-full-screen.png");
        }

        altEnter(false);
        ASSERT_TRUE(findWindow()) << "the window did not come back";
        rest();
        playthrough::pause(1);
        const Picture after = client();
        expectKept("alt-enter-" + mode + "-after", after, {});
        // Frame against frame, and the lift cart and the miner on their own: every picture the game made
        // for itself came back (a lost one shows as a black box).
        const double whole = playthrough::differingShare(after, before, {});
        EXPECT_LE(whole, 0.002) << "the frame after full screen and back differs from the one before";
        for (const Area& actor : {kCart, kMiner}) {
            const std::vector<Area> outside = {{0, 0, kWidth, actor.y},
                                               {0, actor.y + actor.height, kWidth, kHeight},
                                               {0, actor.y, actor.x, actor.height},
                                               {actor.x + actor.width, actor.y, kWidth, actor.height}};
            EXPECT_LE(playthrough::differingShare(after, before, outside), 0.01)
                << "the actor at (" << actor.x << ", " << actor.y << ") changed";
        }
        if (whole > 0.002)
            compat::host::writePng(after, playthrough::outputFolder() + "/alt-enter-" + mode + "-after.actual.png");
    }

    testsupport::TempDir home;
    Geometry window, lastSeen;
    Picture noticeShot;
    int screenWidth = 0, screenHeight = 0;
};

TEST_F(AltEnterUnderXvfb, AnEndlessGameKeepsItsPicturesThroughFullScreenAndBack)
{
    playthrough::SteppedGame game(QUARRY_PROGRAM, home, gameSettings());
    ASSERT_TRUE(game.started());
    ASSERT_NO_FATAL_FAILURE(startGame("ENDLESS"));
    switchAndBack("endless");
    EXPECT_EQ(0, game.close(kTitle));
}

TEST_F(AltEnterUnderXvfb, AClassicGameKeepsItsPicturesThroughFullScreenAndBack)
{
    playthrough::SteppedGame game(QUARRY_PROGRAM, home, gameSettings());
    ASSERT_TRUE(game.started());
    ASSERT_NO_FATAL_FAILURE(startGame("CLASSIC"));
    switchAndBack("classic");
    EXPECT_EQ(0, game.close(kTitle));
}

} // namespace
