#include "frontend/app/GameApp.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "frontend/app/FileMessages.h"
#include "frontend/app/GameFieldServices.h"
#include "frontend/app/StaleTemporaries.h"
#include "frontend/dialogs/DialogOpeners.h"
#include "frontend/scores/Highscores.h"
#include "frontend/screens/LoadScene.h"
#include "frontend/screens/QuarrytideTransition.h"
#include "game/screen/GameScene.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Scene.h"
#include "platform/sound/SoundManager.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "resources/settings/Settings.h"
#include "runtime/DebugLog.h"
#include "runtime/Random.h"
#include "runtime/containers/Buffer.h"
#include "runtime/properties/Properties.h"
#include "runtime/properties/PropertiesValue.h"
#include "runtime/streams/DataReaderFacade.h"
#include "runtime/streams/DataWriterFacade.h"
#include "runtime/streams/XMLDocumentFile.h"
#include "runtime/strings/StringUtil.h"

#include "compat/win32/path.h"
#include "compat/win32/system/machine/timer.h"
#include "compat/win32/window/userdata.h"

namespace {

const char kConfigVersion[] = "1.1.0";
const char kConfigFile[] = "Quarrytide.cfg";
const char kConfigWriteError[] = "STRING_ERROR_WRITING_CONFIG_TEXT";

std::unique_ptr<Properties>& configSlot()
{
    static std::unique_ptr<Properties> slot;
    return slot;
}

GameApp*& instanceSlot()
{
    static GameApp* app = nullptr;
    return app;
}

void createDirectory(const std::string& directory)
{
    std::error_code ignored;
    std::filesystem::create_directories(compat::hostPath(directory), ignored);
}

std::string configFile() { return compat::userDataPath(kConfigFile); }

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// The kinds the game gives the top-level keys of its configuration. A damaged or hand-edited file can
// hold any of them as a value of another kind; such a key is taken out, so every reader finds it absent
// and the loading below defines it afresh.
enum class Kind { Int, String, Child };
struct ConfigKey {
    const char* name;
    Kind kind;
};
const ConfigKey kConfigKeys[] = {
    {"cfgversion", Kind::String},      {"gameversion", Kind::String},    {"currentplayer", Kind::String},
    {"firstplay", Kind::Int},          {"players", Kind::Child},         {"highscores", Kind::Child},
    {"lastscoregame", Kind::String},   {"lastscorequattro", Kind::Int},  {"lastscorerank", Kind::Int},
    {"game_x", Kind::Int},             {"game_y", Kind::Int},            {"game_width", Kind::Int},
    {"game_height", Kind::Int},
};

bool isKind(const PropertiesValue& value, Kind kind)
{
    switch (kind) {
    case Kind::Int: return value.isInt();
    case Kind::String: return value.isString();
    case Kind::Child: return value.isChild();
    }
    return false;
}

// Keeps what is sound of a configuration that passed the version and player test: keys of the wrong
// kind go, and a players list that was damaged is rebuilt holding at least the current player. Each
// entry of the list is an empty group named after its player; an entry of another kind keeps its name.
void repairConfig(Properties& config)
{
    bool playersLost = false;
    for (const ConfigKey& key : kConfigKeys) {
        const PropertiesValue* value = config.getValue(key.name);
        if (value != nullptr && !isKind(*value, key.kind)) {
            config.remove(key.name);
            if (std::string(key.name) == "players")
                playersLost = true;
        }
    }
    Properties& players = configChild(config, "players");
    std::vector<std::string> names;
    for (const auto& [name, value] : players.entries())
        if (!value->isChild())
            names.push_back(name);
    for (const std::string& name : names) {
        players.remove(name);
        players.defineChild(name);
    }
    if (playersLost)
        players.defineChild(config.getString("currentplayer"));
}

SoundManager* sound()
{
    Application* app = Application::instance();
    return app != nullptr ? app->getSoundManager() : nullptr;
}

} // namespace

Properties& configChild(Properties& parent, const std::string& name)
{
    if (Properties* child = parent.getChild(name))
        return *child;
    parent.remove(name);
    parent.defineChild(name);
    return *parent.getChild(name);
}

std::string formatString3(const char* format, const std::string& a, const std::string& b,
                          const std::string& extension)
{
    int length = std::snprintf(nullptr, 0, format, a.c_str(), b.c_str(), extension.c_str());
    std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1);
    std::snprintf(text.data(), text.size(), format, a.c_str(), b.c_str(), extension.c_str());
    return text.data();
}

std::string formatString2(const char* format, const std::string& a, const std::string& extension)
{
    int length = std::snprintf(nullptr, 0, format, a.c_str(), extension.c_str());
    std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1);
    std::snprintf(text.data(), text.size(), format, a.c_str(), extension.c_str());
    return text.data();
}

namespace {

// Runs that must repeat themselves (the play-through under a virtual display) name a seed in
// QUARRYTIDE_TEST_SEED: the generator starts from it, and starts from it again whenever a game's field
// is made, so the first rows of a game do not depend on how many frames the screens before it drew.
bool testSeed(std::int64_t& seed)
{
    const char* text = std::getenv("QUARRYTIDE_TEST_SEED");
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0')
        return false;
    seed = value;
    return true;
}

PlayScene* createSeededGameField(GameSettings* settings)
{
    std::int64_t seed = 0;
    if (testSeed(seed))
        Random::global().setSeed(seed);
    return GameScene::createGameField(settings);
}

} // namespace

GameApp::GameApp() : Application(1, "Quarrytide", "1.1.0", "Quarrytide", 50, 2000)
{
    instanceSlot() = this;
    std::int64_t seed = 0;
    if (testSeed(seed)) {
        Random::global().setSeed(seed);
        GameScene::setPlayFieldFactory(createSeededGameField);
    } else {
        Random::global().setSeed(timeGetTime());
    }
}

GameApp::~GameApp()
{
    uninstallFileMessages();
    deleteConfig();
    // The layouts keep a plain pointer to this application's property store; a later reader must not
    // find one that is gone.
    if (LayoutDocument::propertyStore() == getPropertyManager())
        LayoutDocument::setPropertyStore(nullptr);
    if (instanceSlot() == this)
        instanceSlot() = nullptr;
}

GameApp* GameApp::instance() { return instanceSlot(); }

void GameApp::updateAndDraw(Surface* target, const FrameTime& frameTime)
{
    showWaitingFileMessages();
    Application::updateAndDraw(target, frameTime);
}

int GameApp::initGame()
{
    // From here on a file that cannot be read or written is told to the player.
    installFileMessages();
    removeStaleTemporaries();
    setConfig(new Properties());
    registerQuarrytideTransitionCreator();
    GameFieldServices::instance().install();
    GameFieldServices::instance().setMainMenuOpener(openMainMenu);
    GameFieldServices::instance().setTreasureClaimedOpener(openTreasureClaimedDialog);
    LayoutDocument::setPropertyStore(getPropertyManager());
    LayoutDocument::loadAll(false);
    loadConfig();
    // The load screen is the only screen until loading ends: it makes the others.
    addScene(new LoadScene(this));
    switchSceneByName("SCENE_LOAD");
    return 0;
}

void GameApp::onResourcesLoaded()
{
    Highscores::instance().init();
    StatsManager::instance().loadTreasureDescs();
    StatsManager::instance().load();
    Application::onResourcesLoaded();
}

int GameApp::onExit()
{
    StatsManager::instance().save();
    Properties& config = getConfig();
    config.setString("lastscoregame", "");
    config.setInt("lastscorerank", 0);
    LayoutDocument::unloadAll();
    saveConfig();
    GameFieldServices::instance().uninstall();
    deleteConfig();
    return 0;
}

void GameApp::requestQuit()
{
    Scene* scene = getCurrentScene();
    if (scene != nullptr && scene->getName() == "SCENE_PLAY")
        if (auto* game = dynamic_cast<GameScene*>(scene))
            game->storeGame();
    quit();
}

Properties& GameApp::getConfig()
{
    if (!configSlot())
        configSlot().reset(new Properties());
    return *configSlot();
}

void GameApp::setConfig(Properties* config) { configSlot().reset(config); }

void GameApp::deleteConfig() { configSlot().reset(); }

std::string GameApp::configPath() { return configFile(); }

void GameApp::loadConfig()
{
    Properties& config = getConfig();
    bool valid = false;
    if (fileExists(configFile())) {
        try {
            DataReaderFacade reader(1);
            reader.open(configFile());
            config.read(reader);
            reader.close();
        } catch (...) {
            // What was read before the fault stays; the version and player decide below.
        }
        valid = config.has("cfgversion") && config.getString("cfgversion") == kConfigVersion &&
                config.has("currentplayer") && !config.getString("currentplayer").empty();
        if (!valid) {
            std::error_code ignored;
            std::filesystem::remove(compat::hostPath(configFile()), ignored);
            config.clear();
        }
    }
    if (valid) {
        repairConfig(config);
        config.setInt("firstplay", 0);
        Highscores::instance().read(config);
    } else {
        config.setInt("firstplay", 1);
        config.setString("cfgversion", kConfigVersion);
        Highscores::instance().resetToDummies(config);
    }
    config.defineString("currentplayer", "");
    config.defineChild("players");
    config.defineChild("highscores");
    config.setString("gameversion", kConfigVersion);
}

bool GameApp::saveConfig()
{
    Properties& config = getConfig();
    Highscores::instance().write(config);
    createDirectory(compat::userDataFolder());
    try {
        DataWriterFacade writer(1);
        writer.open(configFile());
        config.write(writer);
        writer.close();
        return true;
    } catch (...) {
        // The replacing writer leaves the old file whole; the next save tries again. The player is told
        // that the players and highscores were not kept.
        DebugLog::instance().log("The configuration file could not be written\n");
        PropertyManager* store = LayoutDocument::propertyStore();
        const std::string message = store != nullptr && store->hasString(kConfigWriteError)
                                        ? store->getString(kConfigWriteError)
                                        : std::string(kConfigWriteError);
        reportXMLMessage(message.c_str(), compat::hostPath(configFile()), "STRING_ERROR_WRITING_XML_HEADER");
        return false;
    }
}

std::string GameApp::getCurrentPlayer() { return getConfig().getString("currentplayer"); }

Properties* GameApp::getPlayers() { return &configChild(getConfig(), "players"); }

void GameApp::selectPlayer(const std::string& name)
{
    Properties& config = getConfig();
    std::string current = getCurrentPlayer();
    if (equalsIgnoringCase(name, current))
        return;
    // The name must land as text even where the key held something else.
    if (const PropertiesValue* stored = config.getValue("currentplayer"); stored != nullptr && !stored->isString())
        config.remove("currentplayer");
    // A current player whose entry was deleted from the list stays deleted: its statistics are not
    // written back and its entry does not return.
    if (!current.empty() && getPlayers()->getChild(current) != nullptr)
        StatsManager::instance().save();
    config.setString("currentplayer", name);
    StatsManager::instance().load();
    Properties* players = getPlayers();
    if (players->getChild(name) == nullptr) {
        players->defineChild(name);
        StatsManager::instance().save();
    }
    saveConfig();
}

void GameApp::dropCurrentPlayer()
{
    // The deleted player's statistics are not written again, and no "players" child comes back.
    getConfig().setString("currentplayer", "");
    StatsManager::instance().load();
}

void GameApp::stopMusic()
{
    if (SoundManager* s = sound())
        s->stopMusic();
}

void GameApp::fadeMusicIn(float seconds)
{
    if (SoundManager* s = sound())
        s->fadeMusic(1.0f, seconds);
}

void GameApp::fadeMusicHalf(float seconds)
{
    if (SoundManager* s = sound())
        s->fadeMusic(0.5f, seconds);
}

void GameApp::fadeMusicOut(float seconds)
{
    if (SoundManager* s = sound())
        s->fadeMusic(0.0f, seconds);
}

void GameApp::playMusic(const std::string& id, float seconds)
{
    SoundManager* s = sound();
    if (s == nullptr)
        return;
    s->stopMusic();
    std::string file;
    if (Application* app = Application::instance(); app != nullptr && app->getPropertyManager() != nullptr)
        file = app->getPropertyManager()->getString(id);
    s->playMusic(file, 306);
    s->setMusicVolume(Settings::instance().getMusicVolume());
    s->fadeMusic(0.0f, 0.0f);
    s->fadeMusic(1.0f, seconds);
}

std::string GameApp::getSaveGamePath(const std::string& name, const std::string& player,
                                     const std::string& directory)
{
    std::string folder = compat::userDataPath(directory);
    createDirectory(folder);
    std::string dir = folder + "\\" + makeSafeFileName(player, false);
    return formatString3("%s_%s.%s", dir, name, "sav");
}

std::string GameApp::getPlayerFilePath(const std::string& player, const std::string& directory)
{
    std::string folder = compat::userDataPath(directory);
    createDirectory(folder);
    return formatString3("%s\\%s.%s", folder, makeSafeFileName(player, false), "cfg");
}

bool GameApp::saveGameExists(const std::string& name, const std::string& player, const std::string& directory)
{
    return fileExists(getSaveGamePath(name, player, directory) + ".!");
}
