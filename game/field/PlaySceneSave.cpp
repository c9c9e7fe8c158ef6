// The saved game of the play field: writing the game when the field is left, reading it back when the
// player continues. One scrambled document per player and mode; a game in progress also keeps the
// level's cells and the field's stopwatches.
#include "game/field/PlayScene.h"

#include "compat/win32/path.h"
#include "game/block/Block.h"
#include "game/field/FieldServices.h"
#include "game/level/Level.h"
#include "game/stats/StatsManager.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/streams/XMLDocumentFile.h"
#include "runtime/strings/StringUtils.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

void removeGameFile(const std::string& path)
{
    std::remove(compat::hostPath(path).c_str());
}

} // namespace

// The stopwatches of a game in progress: the readers of each mode pick the ones they need by name.
const char* const PlayScene::kSavedTimerNames[kSavedTimerCount] = {
    "BlockTimer", "LevelTimer", "TreasureTimer", "HourglassTime", "GameoverTimer",
};

GameTimer& PlayScene::savedTimer(int index)
{
    GameTimer* const timers[kSavedTimerCount] = {&blockTimer, &levelTimer, &treasureTimer, &hourglassTimer,
                                                 &gameoverTimer};
    return *timers[std::clamp(index, 0, kSavedTimerCount - 1)];
}

std::string PlayScene::getSaveGamePath() const
{
    FieldServices& services = FieldServices::get();
    return services.getSaveGamePath(settings->mode, services.getCurrentPlayer(), "savegames");
}

void PlayScene::writeSavedGame(TiXmlElement& saveGame)
{
    saveGame.SetAttribute("gamemode", settings->mode);
    saveGame.SetAttribute("difficulty", settings->difficulty);
    saveGame.SetAttribute("isquattro", settings->quattro ? 1 : 0);
    saveGame.SetAttribute("blockset", settings->blockset);
    saveGame.SetAttribute("levelnr", level ? level->getLevelNumber() : 1);
    saveGame.SetAttribute("score", score.get());

    TiXmlElement levelRecord("LevelStats");
    levelStats.saveXML(&levelRecord);
    saveGame.InsertEndChild(levelRecord);
    TiXmlElement gameRecord("GameStats");
    gameStats.saveXML(&gameRecord);
    saveGame.InsertEndChild(gameRecord);
    static_assert(kHintKinds == StatsManager::kHintKinds, "a game keeps the player's kinds of hint");
    StatsManager::appendHintStats(saveGame, hintCounts);

    const bool inProgress = saveState == SaveState::Playing;
    saveGame.SetAttribute("isgameinprogress", inProgress ? 1 : 0);
    if (inProgress) {
        if (level)
            level->saveState(&saveGame);
        for (int i = 0; i < kSavedTimerCount; ++i) {
            TiXmlElement timer(kSavedTimerNames[i]);
            savedTimer(i).saveXML(&timer);
            saveGame.InsertEndChild(timer);
        }
    }
    saveModeState(&saveGame);
}

void PlayScene::saveGame()
{
    const int state = saveState;
    // Written already: a second call (the screen leaving, then the application quitting) keeps it.
    if (state == SaveState::Saved)
        return;
    const std::string path = getSaveGamePath();

    if (state != SaveState::Playing && state != SaveState::LevelDone && state != SaveState::Ended) {
        // Nothing worth continuing: no saved game of this player and mode is left behind.
        removeGameFile(path + ".!");
        removeGameFile(path);
        saveState = SaveState::Saved;
        return;
    }

    if (state == SaveState::LevelDone || state == SaveState::Ended) {
        gameStats.add(levelStats);
        levelStats.reset();
        // A finished level continues with the next one.
        if (state == SaveState::LevelDone && level)
            level->setLevelNumber(level->getLevelNumber() + 1);
    }

    TiXmlDocument document;
    TiXmlElement root("Root");
    TiXmlElement saveGameElement("SaveGame");
    writeSavedGame(saveGameElement);
    saveState = SaveState::Saved;
    root.InsertEndChild(saveGameElement);
    document.InsertEndChild(root);
    // The new file replaces the old one only once it is complete; a failed write keeps the old game
    // and tells the player, and the game goes on.
    const std::string& message = getResourceString("STRING_ERROR_WRITING_SAVEGAME_TEXT");
    saveXMLDocument(document, path, message.c_str());
}

bool PlayScene::restoreSavedGame()
{
    const std::string path = getSaveGamePath();
    auto* document = new TiXmlDocument;
    // The message's "%s" takes the path; nothing else in it is a conversion.
    const std::string& message = getResourceString("STRING_ERROR_READING_SAVEGAME_TEXT");
    bool ok = loadXMLDocument(*document, path, message.c_str(), true);
    if (ok && document->Error()) {
        // Read but not parsed: the same message as an unreadable file.
        reportXMLMessage(message.c_str(), path, "STRING_ERROR_READING_XML_HEADER");
        ok = false;
    }
    TiXmlElement* element = nullptr;
    if (ok) {
        TiXmlElement* root = document->RootElement();
        element = root ? root->FirstChildElement("SaveGame") : nullptr;
        int value = 0;
        if (!element || element->QueryIntAttribute("score", &value) != TIXML_SUCCESS) {
            reportXMLMessage(message.c_str(), path, "STRING_ERROR_READING_XML_HEADER");
            element = nullptr;
        }
    }
    if (!element) {
        delete document;
        settings->continueSaved = 0;
        return false;
    }
    savedDocument = document;
    savedGame = element;

    int savedScore = 0;
    element->QueryIntAttribute("score", &savedScore);
    shownScore.set(savedScore);
    score.set(savedScore);
    if (const TiXmlElement* stats = element->FirstChildElement("GameStats"))
        gameStats.loadXML(stats);
    if (const TiXmlElement* stats = element->FirstChildElement("LevelStats"))
        levelStats.loadXML(stats);
    if (const TiXmlElement* hints = element->FirstChildElement("HintStats")) {
        for (const TiXmlElement* item = hints->FirstChildElement(); item; item = item->NextSiblingElement()) {
            int id = -1;
            int count = 0;
            if (item->QueryIntAttribute("id", &id) != TIXML_SUCCESS || id < 0 || id >= kHintKinds)
                continue;
            if (item->QueryIntAttribute("count", &count) == TIXML_SUCCESS)
                hintCounts[id] = std::max(count, 0);
        }
    }
    clearBonusAllowed = false;
    return true;
}


bool PlayScene::restoreGameInProgress(bool withBlockTimer)
{
    int inProgress = 0;
    if (!savedGame || savedGame->QueryIntAttribute("isgameinprogress", &inProgress) != TIXML_SUCCESS ||
        inProgress != 1)
        return false;
    if (level)
        level->loadState(savedGame);
    loadSavedTimers(withBlockTimer);
    return true;
}

void PlayScene::loadSavedTimers(bool withBlockTimer)
{
    // The top-row countdown is written but starts afresh; the endless field makes its own blocks.
    for (int i = 0; i < kSavedTimerCount; ++i) {
        const std::string name = kSavedTimerNames[i];
        if (name == "GameoverTimer" || (name == "BlockTimer" && !withBlockTimer))
            continue;
        if (const TiXmlElement* timer = savedGame->FirstChildElement(kSavedTimerNames[i]))
            savedTimer(i).loadXML(timer);
    }
}

void PlayScene::resumeSavedTimers(bool withBlockTimer)
{
    loadSavedTimers(withBlockTimer);
    gameoverTimer.stop();
    if (withBlockTimer)
        blockTimer.setPaused(false);
    for (GameTimer* timer : {&levelTimer, &treasureTimer, &hourglassTimer, &gameoverTimer})
        timer->setPaused(false);
    if (treasureTimer.isRunning()) {
        if (Block* treasure = level->getLowestBlockOfType(BlockTypeTreasure)) {
            treasure->addRef();
            dropSprite(droppedTreasure);
            droppedTreasure = treasure;
            StatsManager::instance().currentTreasure = treasure->getColour();
        }
    }
    if (hourglassTimer.isRunning())
        startHourglassEffect(nullptr);
}
