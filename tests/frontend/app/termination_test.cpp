// The program, started from its staged run directory under the headless host, ends through its
// normal shutdown when it is asked to terminate: every termination signal closes the window, the
// settings are saved (the clean-shutdown mark is set again) and the exit status is 0. On standard
// error it says one line when there is no audio device, and nothing at all otherwise.
#include "support/RunningProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using testsupport::waitFor;

// The program under the headless host with the given audio driver.
class RunningProgram : public testsupport::RunningProgram {
public:
    RunningProgram(const testsupport::TempDir& home, const std::string& audioDriver, const std::string& argument = "")
        : testsupport::RunningProgram(QUARRY_PROGRAM, home,
                                      {"QUARRYTIDE_HOST=headless", "SDL_AUDIODRIVER=" + audioDriver}, argument)
    {
    }
};

// A second copy started while the game runs gives way at once; once the first has ended (even killed),
// the next copy starts normally.
TEST(SingleInstance, ASecondCopyEndsWhileTheFirstRuns)
{
    testsupport::TempDir home;
    auto first = std::make_unique<RunningProgram>(home, "dummy");
    ASSERT_TRUE(first->started);
    const std::string registry = home.file("registry");
    ASSERT_TRUE(waitFor([&] { return readFile(registry).find("shutdowncorrect") != std::string::npos; }, 60));
    {
        RunningProgram second(home, "dummy");
        ASSERT_TRUE(second.started);
        EXPECT_EQ(second.waitForExit(30), 255);
    }
    first.reset(); // killed, never shut down
    RunningProgram third(home, "dummy");
    ASSERT_TRUE(third.started);
    EXPECT_EQ(third.waitForExit(3), -1); // still running
}

// "/update" runs the update check's dialog alone: the check date is stored, and no part of the game
// starts (no sound settings are made, no run is marked); the program waits on the dialog.
TEST(UpdateRun, RunsOnlyTheUpdateDialog)
{
    testsupport::TempDir home;
    RunningProgram update(home, "dummy", "/update");
    ASSERT_TRUE(update.started);
    const std::string registry = home.file("registry");
    ASSERT_TRUE(waitFor([&] { return readFile(registry).find("\"lastcheckdate\"") != std::string::npos; }, 60))
        << readFile(home.file("stderr"));
    EXPECT_EQ(update.waitForExit(2), -1);
    const std::string settings = readFile(registry);
    EXPECT_EQ(settings.find("\"sfxvolume\""), std::string::npos) << settings;
    EXPECT_EQ(settings.find("\"shutdowncorrect\""), std::string::npos) << settings;
}

struct Case {
    int signalNumber;
    const char* audioDriver;
    bool soundless;
};

class Termination : public ::testing::TestWithParam<Case> {};

TEST_P(Termination, EndsThroughTheNormalShutdownWithStatusZero)
{
    const Case c = GetParam();
    testsupport::TempDir home;
    RunningProgram game(home, c.audioDriver);
    ASSERT_TRUE(game.started);
    // The settings are read at start-up, which marks the run as not yet ended cleanly.
    const std::string registry = home.file("registry");
    const std::string running = "\"shutdowncorrect\"=dword:00000000";
    ASSERT_TRUE(waitFor([&] { return readFile(registry).find(running) != std::string::npos; }, 60))
        << readFile(home.file("stderr"));

    ASSERT_EQ(0, kill(game.pid, c.signalNumber));
    EXPECT_EQ(game.waitForExit(60), 0) << strsignal(c.signalNumber);
    EXPECT_NE(readFile(registry).find("\"shutdowncorrect\"=dword:00000001"), std::string::npos) << readFile(registry);

    const std::string said = readFile(home.file("stderr"));
    if (c.soundless) {
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_EQ(said.rfind("No audio device could be opened (", 0), 0u) << said;
        EXPECT_NE(said.find("): the game runs without sound.\n"), std::string::npos) << said;
    } else {
        EXPECT_EQ(said, "");
    }
    EXPECT_EQ(readFile(home.file("stdout")), "");
    // The log is the player's file: what the game logs (here, the missing audio device) lands in the
    // data folder, not in the run directory.
    if (c.soundless) {
        EXPECT_NE(readFile(home.file("quarrytide/game.log")).find("Audio is not available"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, Termination,
                         ::testing::Values(Case{SIGTERM, "quarrytide-no-such-driver", true},
                                           Case{SIGINT, "quarrytide-no-such-driver", true},
                                           Case{SIGHUP, "dummy", false}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(sigabbrev_np(info.param.signalNumber)) + (info.param.soundless ? "WithoutSound" : "WithSound");
                         });

} // namespace
