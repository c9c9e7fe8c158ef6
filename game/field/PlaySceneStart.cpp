// The steps that both modes' fields take when a level starts: the start sound and the pointer, the
// stopwatches of a new level, and the field shown fading in with the saved game used up.
#include "game/field/PlayScene.h"

#include "platform/app/Application.h"
#include "platform/catalogue/CatalogueSound.h"
#include "resources/layout/LayoutDocument.h"

#include <tinyxml.h>

void PlayScene::beginLevelStart(std::uint32_t now)
{
    if (level->getLevelNumber() == 1) {
        musicStartTime = static_cast<int>(now) + getResourceInt("INT_MUSIC_START_DELAY");
        playSound("SOUND_GAME_START", 255);
    }
    if (Application* app = Application::instance())
        app->setCursorShape(2);
}

void PlayScene::startLevelTimers(std::uint32_t now, bool withBlockTimer)
{
    hourglassTimer.stop();
    treasureTimer.stop();
    if (withBlockTimer)
        blockTimer.restart(now);
    levelTimer.restart(now);
    gameoverTimer.stop();
    levelStats.blocksremoved.set(0);
}

void PlayScene::finishLevelStart(std::uint32_t now, float fadeSpeed)
{
    hintTimer.restart(now);
    putBlocksOnCanvas(true);
    level->fadeInBlocks(fadeSpeed);
    level->setShakingRows(0);
    settings->continueSaved = 0;
    if (savedGame) {
        savedGame = nullptr;
        delete savedDocument;
        savedDocument = nullptr;
    }
}
