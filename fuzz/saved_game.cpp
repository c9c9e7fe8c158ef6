// The saved-game readers of the play fields: a saved game can be cut short by a crash or edited by hand,
// so whatever the file holds must give a new game or a restored one, never a crash. The first byte picks
// the file's form: bit 0 set for the scrambled file, clear for a plain one; bit 1 set for a game of the
// endless field, clear for a classic one.
//
// A classic game is read by the field's constructor and the restore of a game in progress, saved again
// and must read back as a restored game with its score. An endless game is taken up as the player would:
// the field is shown, started (the restore reads the level, scroll position, cart gold and stopwatches)
// and plays a few frames; the game it then saves must come back the same when it is taken up again.
#include "FuzzFile.h"

#include "compat/win32/path.h"
#include "game/endless/EndlessPlayScene.h"
#include "game/field/FieldServices.h"
#include "game/field/PlayScene.h"
#include "platform/app/Application.h"
#include "resources/properties/PropertyManager.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "runtime/streams/XMLDocumentFile.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

// What the endless field needs from the layout: its level (two depth spans, so a restored game may sit in
// either), its menu button, the scroll sprite, the clip rectangle of its blocks and the scroll speeds.
const char* const kLayout = R"xml(<Layout>
  <Integer id="INT_GAME_WIDTH">640</Integer>
  <Integer id="INT_GAME_HEIGHT">480</Integer>
  <Rectangle id="RECT_ENDLESS_GAME_SIZE_AND_POSITION" x="40" y="24" width="96" height="80"/>
  <Rectangle id="RECT_LEVEL_BLOCKS_CLIP_RECT_ENDLESS" x="40" y="24" width="96" height="80"/>
  <buttonblit id="BUTTON_GAME_MENU_ENDLESS" name="BUTTON_GAME_MENU" x="500" y="10" width="40" height="20"/>
  <endlesslevel id="LEVEL_EASY_ENDLESS" width="6" height="5" blockwidth="16" blockheight="16" nrofinitlines="2">
    <level leveldepth="2" minspeed="0.5" maxspeed="2.0" nroflines="2" goldspacing="3" specialspacing="2"
           color1ratio="2" color2ratio="2" color3ratio="1" hammerratio="1" bombratio="1" hourglassratio="1"/>
    <level leveldepth="3" minspeed="2.0" maxspeed="6.0" color1ratio="1" color2ratio="1" linebombratio="1"/>
  </endlesslevel>
  <scrollsprite id="SCROLL_GAME_ENDLESS" name="SCROLL_GAME_ENDLESS"/>
  <Integer id="INT_ENDLESS_SLOWDOWN_HEIGHT">16</Integer>
  <Float id="FLOAT_ENDLESS_SPEEDUP_SCROLL_SPEED">4.0</Float>
  <Float id="FLOAT_ENDLESS_SLOWDOWN_SCROLL_SPEED_MULTIPLIER">0.5</Float>
  <Float id="INT_LEVEL_RESUME_FADE_SPEED_ENDLESS">0.5</Float>
  <Integer id="INT_GAME_OVER_TIME_ENDLESS">200</Integer>
  <Integer id="INT_JACK_ROPE_HEIGHT">40</Integer>
  <Integer id="INT_NR_OF_MINE_CART_GOLD_STAGES_ENDLESS">5</Integer>
  <Integer id="INT_HOURGLASS_TOOL_DURATION">3000</Integer>
</Layout>)xml";

// The score values the fields read from the application's property store.
const char* const kProperties = R"xml(<Integer id="INT_MAX_MULTIPLIER">16</Integer>
<Integer id="INT_SCORE_INIT">10</Integer>
<Integer id="INT_SCORE_PER_BLOCK">5</Integer>
<Integer id="INT_SCORE_PER_GOLD">25</Integer>
<Integer id="INT_SCORE_PER_TREASURE">250</Integer>
<Integer id="INT_SCORE_PER_SPECIAL">20</Integer>
<Integer id="INT_SCORE_PER_CLEAR">100</Integer>
)xml";

class FuzzApplication : public Application {
public:
    explicit FuzzApplication(PropertyManager* store) : Application(1, "Quarrytide", "1.1.0", "SavedGameFuzz", 50, 2000)
    {
        store->addRef();
        propertyManager = store;
    }
};

void ignoreMessage(const std::string&, const char*) {}

// The quiet front end keeps saved games in a temporary folder of this process, so the run leaves no
// files behind in the folder it was started from.
struct Setup {
    Setup()
    {
        DebugLog::instance().setDebuggerOutput(false);
        LayoutDocument::loadFile(LayoutDocument::kBase, fuzzsupport::scratchFile(
                                                            reinterpret_cast<const uint8_t*>(kLayout),
                                                            std::char_traits<char>::length(kLayout), "layout.xml"));
        setXMLMessageHandler(ignoreMessage);
        auto* store = new PropertyManager(nullptr);
        store->parse((std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
                      PropertyManager::kSchemaLocation +
                      "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n" + kProperties +
                      "</Properties>\n")
                         .c_str());
        app = new FuzzApplication(store);
        canvas = new SpriteCanvas(640, 480, 640, 480);
        canvas->addRef();
    }
    Application* app;
    SpriteCanvas* canvas;
};

void writePlain(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream out(compat::hostPath(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void removeGame(const std::string& path)
{
    std::remove(compat::hostPath(path).c_str());
    std::remove(compat::hostPath(path + ".!").c_str());
}

FuzzPlayScene* openClassic(GameSettings& settings)
{
    settings.continueSaved = 1;
    auto* field = new FuzzPlayScene(&settings);
    field->addRef();
    return field;
}

void classicGame(GameSettings& settings)
{
    FuzzPlayScene* field = openClassic(settings);
    if (settings.continueSaved == 0) {
        field->release();
        return;
    }
    field->restoreGameInProgress(true);
    const int score = field->getScore();
    field->setSaveState(SaveState::Playing);
    field->saveGame();
    field->release();
    // What the game wrote itself always reads back.
    FuzzPlayScene* again = openClassic(settings);
    if (settings.continueSaved == 0 || again->getScore() != score || !again->restoreGameInProgress(true))
        std::abort();
    again->release();
}

// An endless field taken up from the saved game, shown and started, or null when the file gave a new
// game.
EndlessPlayScene* takeUpEndless(GameSettings& settings, SpriteCanvas* canvas)
{
    settings.continueSaved = 1;
    auto* field = new EndlessPlayScene(&settings);
    field->addRef();
    if (settings.continueSaved == 0) {
        field->release();
        return nullptr;
    }
    canvas->addSprite(field);
    field->sendEvent(PlayEvent::StepDone);
    field->sendEvent(PlayEvent::DialogClosed);
    return field;
}

void leave(EndlessPlayScene* field, SpriteCanvas* canvas)
{
    canvas->removeSprite(field);
    field->release();
    canvas->removeAll();
    canvas->removeObsolete();
}

// The parts of a saved endless game that must survive being taken up and saved again.
std::string endlessSummary(const std::string& path)
{
    TiXmlDocument document;
    if (!loadXMLDocument(document, path, nullptr, false) || document.Error() || !document.RootElement())
        return "unreadable";
    const TiXmlElement* game = document.RootElement()->FirstChildElement("SaveGame");
    if (!game)
        return "no game";
    std::string summary;
    for (const char* name : {"score", "levelnr", "isgameinprogress", "levelypos", "minecartgoldamount",
                             "nrlinescreated", "prevlevelend", "nextlevelend"}) {
        const char* value = game->Attribute(name);
        summary += std::string(name) + "=" + (value ? value : "-") + " ";
    }
    for (const char* list : {"BlockList", "NewRow"}) {
        summary += list;
        if (const TiXmlElement* blocks = game->FirstChildElement(list))
            for (const TiXmlElement* block = blocks->FirstChildElement(); block; block = block->NextSiblingElement())
            {
                for (const char* name : {"x", "y", "type", "color"}) {
                    const char* value = block->Attribute(name);
                    summary += std::string(" ") + (value ? value : "-");
                }
                // A multiplier counts only above 1 (a gold block is made with 0 and may come back as 1).
                int multiplier = 1;
                block->QueryIntAttribute("multiplier", &multiplier);
                summary += " x" + std::to_string(multiplier > 1 ? multiplier : 1);
            }
        summary += " ";
    }
    return summary;
}

void endlessGame(GameSettings& settings, SpriteCanvas* canvas, const std::string& path)
{
    EndlessPlayScene* field = takeUpEndless(settings, canvas);
    if (!field)
        return;
    // A few frames of play from where the saved game stood.
    field->setPhase(PlayPhase::Playing);
    for (int i = 0; i < 8; ++i)
        canvas->update(0.02f, 20, 50.0f);
    const int state = field->getSaveState();
    const bool kept = state == SaveState::Playing || state == SaveState::Ended;
    field->saveGame();
    leave(field, canvas);
    if (!kept)
        return;

    // What the game wrote itself comes back as it was written.
    const std::string written = endlessSummary(path);
    EndlessPlayScene* again = takeUpEndless(settings, canvas);
    if (!again)
        std::abort();
    again->saveGame();
    leave(again, canvas);
    const std::string rewritten = endlessSummary(path);
    if (rewritten != written) {
        std::fprintf(stderr, "written: %s\nread back and written again: %s\n", written.c_str(), rewritten.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Setup setup;
    if (size == 0)
        return 0;
    GameSettings settings;
    settings.mode = (data[0] & 2) ? "ENDLESS" : "CLASSIC";
    settings.difficulty = "EASY";
    // The quiet front end's path of the saved game of a player without a name.
    FieldServices& services = FieldServices::get();
    const std::string path = services.getSaveGamePath(settings.mode, services.getCurrentPlayer(), "savegames");
    removeGame(path);
    // The bytes as the scrambled file (whatever they unscramble to goes to the parser), or as the plain one.
    writePlain((data[0] & 1) ? path + ".!" : path, data + 1, size - 1);

    if (settings.mode == "ENDLESS")
        endlessGame(settings, setup.canvas, path);
    else
        classicGame(settings);
    return 0;
}
