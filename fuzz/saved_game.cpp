// The saved-game reader of the play field: a saved game can be cut short by a crash or edited by hand,
// so whatever the file holds must give a new game or a restored one, never a crash. A restored game is
// then saved again and must read back as a restored game. The first byte picks the file's form: odd
// for the scrambled file, even for a plain one.
#include "compat/win32/path.h"
#include "game/field/FieldServices.h"
#include "game/field/PlayScene.h"
#include "runtime/DebugLog.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

class FuzzPlayScene : public PlayScene {
public:
    explicit FuzzPlayScene(GameSettings* settings) : PlayScene(settings) {}
    void saveModeState(TiXmlElement*) override {}
    int clearBonusPoints() override { return 0; }
    int clearBonusFactor() override { return 1; }
};

// The quiet front end keeps saved games in a temporary folder of this process, so the run leaves no
// files behind in the folder it was started from.
struct Setup {
    Setup()
    {
        DebugLog::instance().setDebuggerOutput(false);
        settings.mode = "CLASSIC";
        settings.difficulty = "EASY";
        FieldServices& services = FieldServices::get();
        path = services.getSaveGamePath(settings.mode, services.getCurrentPlayer(), "savegames");
    }
    GameSettings settings;
    // The saved game the field reads and writes.
    std::string path;
};

void writePlain(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream out(compat::hostPath(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

FuzzPlayScene* open(GameSettings& settings)
{
    settings.continueSaved = 1;
    auto* field = new FuzzPlayScene(&settings);
    field->addRef();
    return field;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Setup setup;
    if (size == 0)
        return 0;
    const std::string& path = setup.path;
    std::remove(compat::hostPath(path).c_str());
    std::remove(compat::hostPath(path + ".!").c_str());
    if (data[0] & 1) {
        // The bytes as the scrambled file: whatever they unscramble to goes to the parser.
        writePlain(path + ".!", data + 1, size - 1);
    } else {
        writePlain(path, data + 1, size - 1);
    }

    FuzzPlayScene* field = open(setup.settings);
    const bool restored = setup.settings.continueSaved != 0;
    if (restored) {
        field->restoreGameInProgress(true);
        const int score = field->getScore();
        field->setSaveState(SaveState::Playing);
        field->saveGame();
        field->release();
        // What the game wrote itself always reads back.
        FuzzPlayScene* again = open(setup.settings);
        if (setup.settings.continueSaved == 0 || again->getScore() != score || !again->restoreGameInProgress(true))
            std::abort();
        again->release();
    } else {
        field->release();
    }
    return 0;
}
