// The statistics tests run on a small layout of their own (modes, difficulties, hint counts, unlock
// thresholds, drop countdown bounds and a few treasures), a player's data folder in a temporary
// XDG_DATA_HOME, a test double for the application's player files, and the virtual clock.
#pragma once

#include "compat/win32/system/machine/timer.h"
#include "compat/win32/window/userdata.h"
#include "game/stats/PlayerFiles.h"
#include "game/stats/StatsManager.h"
#include "runtime/Random.h"
#include "runtime/containers/Buffer.h"

#include "resources/layout/LayoutFixture.h"

#include <cstdlib>
#include <string>

namespace statstest {

// The application's side as the front end provides it: a current player, whose files lie below the
// player's data folder with the name made safe.
class FakePlayerFiles : public PlayerFiles {
public:
    std::string getCurrentPlayer() const override { return player; }
    std::string getPlayerFilePath(const std::string& directory, const std::string& name,
                                  const std::string& extension) const override
    {
        return compat::userDataPath(directory + "\\" + makeSafeFileName(name, false) + extension);
    }

    std::string player;
};

struct LayoutValues {
    std::string hintCounts = "<Item>2</Item><Item>0</Item><Item>1</Item>";
    std::string unlockAmounts = "<Item>0</Item><Item>3</Item><Item>6</Item><Item>10</Item>";
    int dropStart = 40;
    int dropMin = 20;
    int dropMax = 30;
    int untilNotRandom = 5;
    // Children of "TREASURE_DESCRIPTIONS".
    std::string treasures;
};

// "<treasuredesc .../>" with the two weights and a type.
inline std::string treasure(int normal, int found, const char* type = "coin")
{
    return "<treasuredesc normalfrequency=\"" + std::to_string(normal) + "\" foundfrequency=\"" +
           std::to_string(found) + "\" type=\"" + type + "\"/>";
}

class StatsTest : public layouttest::LayoutTest {
protected:
    void SetUp() override
    {
        LayoutTest::SetUp();
        compat::testing::useVirtualClock(true, 5000);
        previousDataHome = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
        hadDataHome = std::getenv("XDG_DATA_HOME") != nullptr;
        setenv("XDG_DATA_HOME", dir.file("home").c_str(), 1);
        Random::global().setSeed(1234);
        useLayout(LayoutValues());
        files.player = "Anna Lee";
        stats.setPlayerFiles(&files);
    }

    void TearDown() override
    {
        if (hadDataHome)
            setenv("XDG_DATA_HOME", previousDataHome.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        compat::testing::useVirtualClock(false);
        LayoutTest::TearDown();
    }

    // Every identifier is written on each load: the layout maps outlive the documents.
    void useLayout(const LayoutValues& values)
    {
        auto integer = [](const char* id, int value) {
            return std::string("<Integer id=\"") + id + "\">" + std::to_string(value) + "</Integer>\n";
        };
        std::string body =
            "<StringVector id=\"LIST_GAMEMODE_NAMES\"><Item>CLASSIC</Item><Item>ENDLESS</Item></StringVector>\n"
            "<StringVector id=\"LIST_DIFFICULTY_NAMES\"><Item>EASY</Item><Item>NORMAL</Item><Item>HARD</Item>"
            "</StringVector>\n"
            "<IntegerVector id=\"LIST_HINT_COUNTS_PER_PLAYER\">" + values.hintCounts + "</IntegerVector>\n"
            "<IntegerVector id=\"VECTOR_TREASURE_UNLOCK_AMOUNT\">" + values.unlockAmounts + "</IntegerVector>\n" +
            integer("INT_TREASURE_DROP_BLOCK_START", values.dropStart) +
            integer("INT_TREASURE_DROP_BLOCK_MIN", values.dropMin) +
            integer("INT_TREASURE_DROP_BLOCK_MAX", values.dropMax) +
            integer("INT_NUM_TREASURES_UNTIL_NOT_RANDOM", values.untilNotRandom) +
            "<treasures id=\"TREASURE_DESCRIPTIONS\">" + values.treasures + "</treasures>\n";
        loadDocuments(body, "");
    }

    // The stored (scrambled) statistics file of the current player.
    std::string storedFile() const { return dir.file("home") + "/quarrytide/data/Anna_Lee.cfg.!"; }

    FakePlayerFiles files;
    StatsManager stats;

private:
    std::string previousDataHome;
    bool hadDataHome = false;
};

} // namespace statstest
