// A player's statistics file fed arbitrary bytes and read by the statistics manager, as when a player
// becomes current: the file may be hand-edited, truncated or plain garbage, and must give the defaults or
// the readable entries, never a crash or an index outside the tables. The record is then written back
// into a document, as the next save would.
#include "FuzzFile.h"

#include "compat/win32/window/userdata.h"
#include "game/stats/PlayerFiles.h"
#include "game/stats/StatsManager.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/streams/XMLDocumentFile.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

class FuzzPlayer : public PlayerFiles {
public:
    std::string getCurrentPlayer() const override { return "fuzz"; }
    std::string getPlayerFilePath(const std::string& directory, const std::string& player,
                                  const std::string& extension) const override
    {
        return compat::userDataPath(directory + "\\" + player + extension);
    }
};

void ignoreMessage(const std::string&, const char*) {}

// The identifiers the statistics read, so modes, difficulties and hint counts are filled as in the game.
const char* const kLayout =
    "<Layout>"
    "<StringVector id=\"LIST_GAMEMODE_NAMES\"><Item>CLASSIC</Item><Item>ENDLESS</Item></StringVector>"
    "<StringVector id=\"LIST_DIFFICULTY_NAMES\"><Item>EASY</Item><Item>NORMAL</Item><Item>HARD</Item></StringVector>"
    "<IntegerVector id=\"LIST_HINT_COUNTS_PER_PLAYER\"><Item>3</Item><Item>3</Item><Item>2</Item></IntegerVector>"
    "<IntegerVector id=\"VECTOR_TREASURE_UNLOCK_AMOUNT\"><Item>0</Item><Item>3</Item><Item>6</Item></IntegerVector>"
    "<Integer id=\"INT_TREASURE_DROP_BLOCK_START\">40</Integer>"
    "<Integer id=\"INT_TREASURE_DROP_BLOCK_MIN\">20</Integer>"
    "<Integer id=\"INT_TREASURE_DROP_BLOCK_MAX\">30</Integer>"
    "</Layout>";

struct Setup {
    Setup()
    {
        static const std::string folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        home = folder + "/quarrytide-fuzz-stats-" + std::to_string(::getpid());
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        std::filesystem::create_directories(home + "/quarrytide/data");
        std::string layout = home + "/layout.xml";
        if (std::FILE* file = std::fopen(layout.c_str(), "wb")) {
            std::fputs(kLayout, file);
            std::fclose(file);
        }
        LayoutDocument::loadFile(LayoutDocument::kBase, layout);
        setXMLMessageHandler(ignoreMessage);
        stats.setPlayerFiles(&player);
        path = home + "/quarrytide/data/fuzz.cfg";
    }

    std::string home;
    std::string path;
    FuzzPlayer player;
    StatsManager stats;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Setup setup;
    // The plain form of the file, which the loader reads when there is no scrambled one.
    if (std::FILE* file = std::fopen(setup.path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    // Nothing is written back to disk: only the reading is under test.
    setup.stats.saveEnabled = false;
    setup.stats.load();
    TiXmlDocument document;
    setup.stats.writeDocument(document);
    setup.stats.getTreasuresUntilUnlock();
    setup.stats.getTreasureProgress();
    return 0;
}
