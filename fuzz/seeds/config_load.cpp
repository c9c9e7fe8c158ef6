// Writes configuration files as the game writes them, through its own loading, player selection,
// highscore entry and saving, into the corpus folder it is given: a first player's file, a well-used one
// (three players, results in every table, the play field's placement), the file as the game leaves it at
// exit, and damaged twins of the well-used one (a group or a value of the wrong kind at each level, a
// cut-off copy), so the fuzz target starts from the shapes a player's disk really holds.
#include "../ConfigLayout.h"

#include "frontend/app/GameApp.h"
#include "frontend/scores/Highscores.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "runtime/properties/Properties.h"
#include "runtime/streams/DataReaderFacade.h"
#include "runtime/streams/DataWriterFacade.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

std::filesystem::path output;
std::filesystem::path configFile;

void keep(const std::string& name)
{
    std::filesystem::copy_file(configFile, output / name, std::filesystem::copy_options::overwrite_existing);
}

// The well-used file, read back, changed by `damage` and written under `name`.
void damaged(const std::string& name, const std::function<void(Properties&)>& damage)
{
    Properties tree;
    DataReaderFacade reader(1);
    reader.open((output / "well_used.cfg").string());
    tree.read(reader);
    reader.close();
    damage(tree);
    DataWriterFacade writer(1);
    writer.open((output / name).string());
    tree.write(writer);
    writer.close();
}

Properties& at(Properties& tree, std::initializer_list<const char*> path)
{
    Properties* node = &tree;
    for (const char* name : path)
        node = node->getChild(name);
    return *node;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    output = argv[1];
    DebugLog::instance().setDebuggerOutput(false);
    char home[] = "/tmp/quarrytide-config-seeds-XXXXXX";
    if (::mkdtemp(home) == nullptr)
        return 1;
    setenv("XDG_DATA_HOME", home, 1);
    const std::filesystem::path layout = std::filesystem::path(home) / "layout.xml";
    std::ofstream(layout) << fuzzconfig::kLayout;
    LayoutDocument::loadFile(LayoutDocument::kBase, layout.string());
    configFile = std::filesystem::path(home) / "quarrytide" / "Quarrytide.cfg";
    Highscores& scores = Highscores::instance();

    // A first run: the new player is chosen and the file written.
    GameApp::setConfig(new Properties());
    GameApp::loadConfig();
    scores.init();
    GameApp::selectPlayer("Anna");
    keep("first_player.cfg");

    // Played for a while: more players, results in both modes and group sizes, the field's placement.
    GameApp::selectPlayer("Bert Ohm");
    GameApp::selectPlayer("Cy:3");
    scores.addScore("CLASSIC", false, "Cy:3", 12, 48000, 5120, 40, 0.0);
    scores.addScore("CLASSIC", true, "Anna", 3, 2500, 900, 7, 0.0);
    scores.addScore("ENDLESS", false, "Bert Ohm", 0, 7300, 3000, 31, 180.7);
    scores.addScore("ENDLESS", true, "Cy:3", 0, 900, 200, 2, 12.0);
    Properties& config = GameApp::getConfig();
    config.setInt("game_x", 40);
    config.setInt("game_y", 24);
    config.setInt("game_width", 384);
    config.setInt("game_height", 432);
    GameApp::saveConfig();
    keep("well_used.cfg");

    // As the game leaves it at exit.
    config.setString("lastscoregame", "");
    config.setInt("lastscorerank", 0);
    GameApp::saveConfig();
    keep("after_exit.cfg");

    damaged("table_is_a_number.cfg", [](Properties& tree) {
        at(tree, {"highscores", "CLASSIC"}).remove("TRIPLE");
        at(tree, {"highscores", "CLASSIC"}).setInt("TRIPLE", 3);
    });
    damaged("players_is_a_value.cfg", [](Properties& tree) {
        tree.remove("players");
        tree.setString("players", "Anna");
    });
    damaged("mode_is_a_value.cfg", [](Properties& tree) {
        at(tree, {"highscores"}).remove("ENDLESS");
        at(tree, {"highscores"}).setFloat("ENDLESS", 1.5f);
    });
    damaged("entries_of_wrong_kind.cfg", [](Properties& tree) {
        Properties& table = at(tree, {"highscores", "ENDLESS", "QUATTRO"});
        table.remove("1");
        table.setString("1", "first");
        Properties& second = at(tree, {"highscores", "ENDLESS", "QUATTRO", "2"});
        second.remove("score");
        second.setString("score", "lots");
        second.remove("name");
        second.defineChild("name");
    });
    damaged("top_keys_of_wrong_kind.cfg", [](Properties& tree) {
        tree.remove("highscores");
        tree.setInt("highscores", 0);
        tree.remove("lastscorerank");
        tree.defineChild("lastscorerank");
        tree.remove("game_x");
        tree.setString("game_x", "left");
        at(tree, {"players"}).remove("Anna");
        at(tree, {"players"}).setInt("Anna", 1);
    });
    damaged("player_is_a_number.cfg", [](Properties& tree) {
        tree.remove("currentplayer");
        tree.setInt("currentplayer", 7);
    });

    // Cut off halfway, as a write interrupted by a crash would leave it without the replacing writer.
    std::ifstream in(output / "well_used.cfg", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(output / "cut_off.cfg", std::ios::binary) << bytes.substr(0, bytes.size() / 2);

    GameApp::deleteConfig();
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return 0;
}
