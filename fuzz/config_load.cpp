// The configuration file as the game interprets it: whatever "Quarrytide.cfg" holds (a damaged disk, a
// hand-edited file, a cut-off write), the game starts. The input is the file; it goes through the real
// loading (version and player test, the repair of damaged keys, the highscore tables read), then the
// name dialog's reading of the players, a finished game's result entered, the file saved and loaded
// again. The second load must give back exactly what was saved: the player, the players and every table.
#include "FuzzFile.h"
#include "ConfigLayout.h"

#include "compat/win32/path.h"
#include "compat/win32/window/userdata.h"
#include "frontend/app/GameApp.h"
#include "frontend/scores/Highscores.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "runtime/properties/Properties.h"
#include "runtime/properties/PropertiesValue.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <string>
#include <unistd.h>

namespace {

// The player's data folder is a folder of this process, removed when the run ends.
struct Setup {
    Setup()
    {
        DebugLog::instance().setDebuggerOutput(false);
        const std::string home = folder();
        std::filesystem::create_directories(home + "/quarrytide");
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        // The layout is read once into memory; its file is not needed after that.
        const std::string layout = fuzzsupport::scratchFile(reinterpret_cast<const uint8_t*>(fuzzconfig::kLayout),
                                                            std::char_traits<char>::length(fuzzconfig::kLayout),
                                                            "config-layout.xml");
        LayoutDocument::loadFile(LayoutDocument::kBase, layout);
        std::remove(layout.c_str());
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder(), ignored);
        });
    }
    static std::string folder()
    {
        const std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return base + "/quarrytide-fuzz-" + std::to_string(::getpid()) + "-config";
    }
    static Setup& instance()
    {
        static Setup setup;
        return setup;
    }
};

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::set<std::string> playerNames()
{
    std::set<std::string> names;
    for (const auto& entry : GameApp::getPlayers()->entries()) {
        check(entry.second->isChild());
        names.insert(entry.first);
    }
    return names;
}

bool sameEntry(const HighscoreEntry& a, const HighscoreEntry& b)
{
    return a.name == b.name && a.level == b.level && a.score == b.score && a.time == b.time && a.gold == b.gold &&
           a.depth == b.depth;
}

// What a loaded configuration always holds, whatever the file was.
void checkShape(const Properties& config)
{
    check(config.getString("cfgversion") == "1.1.0");
    check(config.getString("gameversion") == "1.1.0");
    check(config.getValue("currentplayer") != nullptr && config.getValue("currentplayer")->isString());
    check(config.getValue("firstplay") != nullptr && config.getValue("firstplay")->isInt());
    check(config.getChild("players") != nullptr);
    check(config.getChild("highscores") != nullptr);
    const int places = Highscores::getMaxEntries();
    for (const auto& [mode, groups] : Highscores::instance().tables())
        for (const auto& [quattro, list] : groups)
            check(static_cast<int>(list.size()) == places);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Setup::instance();
    const std::string file = compat::hostPath(GameApp::configPath());
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    Highscores& scores = Highscores::instance();
    GameApp::setConfig(new Properties());
    GameApp::loadConfig();
    scores.init();
    Properties& config = GameApp::getConfig();
    checkShape(config);

    // The name dialog lists the players and adds one; the title screen reads the current player.
    std::string player = GameApp::getCurrentPlayer();
    playerNames();
    if (player.empty()) {
        player = "Fuzz";
        GameApp::getPlayers()->defineChild(player);
        config.setString("currentplayer", player);
    }
    // The highscore dialog reads the last result's keys.
    config.getString("lastscoregame");
    config.getInt("lastscorequattro");
    config.getInt("lastscorerank");

    // A game no stored result can beat (a result equal to an entry goes above it): entered first, saved
    // with the configuration.
    const int most = std::numeric_limits<int>::max();
    check(scores.addScore("ENDLESS", true, player, most, most, most, most, static_cast<double>(most)) == 1);
    check(config.getInt("lastscorerank") == 1);
    const std::set<std::string> players = playerNames();
    const auto tables = scores.tables();

    GameApp::setConfig(new Properties());
    GameApp::loadConfig();
    Properties& again = GameApp::getConfig();
    checkShape(again);
    check(again.getInt("firstplay") == 0);
    check(GameApp::getCurrentPlayer() == player);
    check(playerNames() == players);
    for (const auto& [mode, groups] : tables)
        for (const auto& [quattro, list] : groups) {
            const Highscores::Table& back = scores.table(mode, quattro);
            check(back.size() == list.size());
            for (std::size_t i = 0; i < list.size(); ++i)
                check(sameEntry(back[i], list[i]));
        }

    GameApp::deleteConfig();
    std::remove(file.c_str());
    return 0;
}
