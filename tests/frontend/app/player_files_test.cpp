// The program, started as a player starts it, with the player's files in the states a disk really
// leaves them: a configuration damaged into the wrong kinds of nodes, temporaries of writes killed
// halfway, a data folder that became read-only, a full file system. It starts, plays on and ends
// normally every time; what it could not save it tells on standard error (the headless message box).
#include "compat/win32/atomic_file.h"
#include "runtime/properties/Properties.h"
#include "runtime/streams/DataReaderFacade.h"
#include "runtime/streams/DataWriterFacade.h"
#include "support/RunningProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace {

using testsupport::readFile;
using testsupport::waitFor;

// A configuration as the game writes it for Anna (current) and Bert, with one damage: the CLASSIC
// threes hold a number instead of their table.
void writeDamagedConfig(const std::filesystem::path& file)
{
    Properties config;
    config.setString("cfgversion", "1.1.0");
    config.setString("gameversion", "1.1.0");
    config.setString("currentplayer", "Anna");
    config.setInt("firstplay", 0);
    config.defineChild("players");
    config.getChild("players")->defineChild("Anna");
    config.getChild("players")->defineChild("Bert");
    config.defineChild("highscores");
    config.getChild("highscores")->defineChild("CLASSIC");
    config.getChild("highscores")->getChild("CLASSIC")->setInt("TRIPLE", 3);
    std::filesystem::create_directories(file.parent_path());
    DataWriterFacade writer(1);
    writer.open(file.string());
    config.write(writer);
    writer.close();
}

// Started: the settings are read, which marks the run as not yet ended cleanly.
bool started(const testsupport::TempDir& home)
{
    return waitFor([&] { return readFile(home.file("registry")).find("\"shutdowncorrect\"=dword:00000000") !=
                                std::string::npos; },
                   60);
}

TEST(PlayerFiles, ADamagedConfigurationAndKilledWritesLeaveTheGameWhole)
{
    testsupport::TempDir home;
    const std::filesystem::path data = home.path() / "quarrytide";
    writeDamagedConfig(data / "Quarrytide.cfg");
    const std::string marker = compat::kPartialMarker;
    std::filesystem::create_directories(data / "savegames");
    const std::filesystem::path stale[] = {data / ("Quarrytide.cfg" + marker + "Qw3rty"),
                                           data / "savegames" / ("Anna_CLASSIC.sav.!" + marker + "x1y2z3")};
    for (const auto& path : stale)
        testsupport::writeFile(path.string(), std::string(4096, 'x'));
    const std::filesystem::path foreign = data / "Quarrytide.cfg.backup";
    testsupport::writeFile(foreign.string(), "the player's own");

    testsupport::RunningProgram game(QUARRY_PROGRAM, home, {"QUARRYTIDE_HOST=headless", "SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(game.started);
    ASSERT_TRUE(started(home)) << readFile(home.file("stderr"));
    EXPECT_EQ(game.waitForExit(2), -1) << "still running";
    for (const auto& path : stale)
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
    EXPECT_TRUE(std::filesystem::exists(foreign));
    ASSERT_EQ(0, kill(game.pid, SIGTERM));
    EXPECT_EQ(game.waitForExit(60), 0);

    // Both players and the current one are kept; the damaged table is a table again.
    Properties config;
    DataReaderFacade reader(1);
    reader.open((data / "Quarrytide.cfg").string());
    config.read(reader);
    reader.close();
    EXPECT_EQ(config.getString("currentplayer"), "Anna");
    ASSERT_NE(config.getChild("players"), nullptr);
    EXPECT_NE(config.getChild("players")->getChild("Anna"), nullptr);
    EXPECT_NE(config.getChild("players")->getChild("Bert"), nullptr);
    const Properties* triple = config.getChild("highscores")->getChild("CLASSIC")->getChild("TRIPLE");
    ASSERT_NE(triple, nullptr);
    EXPECT_EQ(triple->size(), 10u);
    EXPECT_EQ(readFile(home.file("stderr")), "");
}

// The data folder is its own small file system inside a mount namespace of the program alone: made
// read-only, or filled up, once the player's files are in it. Skipped where namespaces are not allowed.
class UnwritableDataFolder : public testing::TestWithParam<const char*> {};

TEST_P(UnwritableDataFolder, EveryFailedSaveIsToldOnceAndTheGameEndsNormally)
{
    if (std::system("unshare -rm true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no mount namespaces here";
    testsupport::TempDir home;
    const std::filesystem::path seed = home.path() / "seed";
    writeDamagedConfig(seed / "Quarrytide.cfg");
    const std::filesystem::path data = home.path() / "quarrytide";
    std::filesystem::create_directories(data);

    const std::string program = QUARRY_PROGRAM;
    const std::string readOnly = std::string(GetParam()) == "read-only" ? "1" : "";
    const std::string script = home.file("in-namespace.sh");
    testsupport::writeFile(script, "#!/bin/sh\n"
                                   "exec unshare -rm sh -c '\n"
                                   "  mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 97\n"
                                   "  cp -R \"$2/.\" \"$1/\" || exit 96\n"
                                   "  if [ -n \"$5\" ]; then mount -o remount,ro \"$1\" || exit 98\n"
                                   "  else cat /dev/zero > \"$1/filler\" 2>/dev/null; fi\n"
                                   "  cd \"$3\" && exec \"$4\"\n"
                                   "' sh \"" + data.string() + "\" \"" + seed.string() + "\" \"" +
                                       std::filesystem::path(program).parent_path().string() + "\" \"" + program +
                                       "\" \"" + readOnly + "\"\n");
    ::chmod(script.c_str(), 0755);

    testsupport::RunningProgram game(script, home, {"QUARRYTIDE_HOST=headless", "SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(game.started);
    ASSERT_TRUE(started(home)) << readFile(home.file("stderr"));
    ASSERT_EQ(0, kill(game.pid, SIGTERM));
    EXPECT_EQ(game.waitForExit(60), 0) << readFile(home.file("stderr"));

    // At exit the configuration could not be written: one box, and nothing else was to be saved.
    const std::string said = readFile(home.file("stderr"));
    const auto count = [&](const std::string& text) {
        std::size_t n = 0;
        for (std::size_t at = said.find(text); at != std::string::npos; at = said.find(text, at + 1))
            ++n;
        return n;
    };
    const std::string box = "Message box \"Quarrytide - a file could not be written\": ";
    EXPECT_EQ(count(box), 1u) << said;
    EXPECT_EQ(count(box + "Your players and highscores could not be saved to "), 1u) << said;
}

INSTANTIATE_TEST_SUITE_P(Disk, UnwritableDataFolder, testing::Values("read-only", "full"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "full" ? "Full" : "ReadOnly";
                         });

} // namespace
