// The play field's phase machine: the phase switch, the dispatch of events through the action table,
// the base actions and the per-frame work of the phases the base runs itself.
#include "compat/win32/system/machine/timer.h"
#include "game/actors/Jack.h"
#include "game/actors/MineCart.h"
#include "game/effects/ClearBonus.h"
#include "game/field/FieldServices.h"
#include "game/field/PlayScene.h"
#include "game/level/Level.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "platform/catalogue/CatalogueSound.h"
#include "platform/sound/SoundManager.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/modifier/ModifierSound.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/ButtonBlit.h"

#include <vector>

namespace {

void stopChannel(int& channel)
{
    if (channel == -1)
        return;
    if (Application* app = Application::instance())
        if (SoundManager* sound = app->getSoundManager())
            sound->stopSound(channel);
    channel = -1;
}

// An eased line move from where the sprite is to (x, y); `verticalOnly` leaves its x alone.
void slideTo(Sprite* sprite, int x, int y, float speed, bool verticalOnly)
{
    ModifierLocationLine* move = ModifierLocationLine::start(sprite, sprite->getX(), sprite->getY(), x, y, speed,
                                                             Modifier::OptionBlocking);
    if (!move)
        return;
    if (verticalOnly)
        move->setAdjustX(false);
    move->setEaseInOut(true);
}

} // namespace

void PlayScene::setPhase(int newPhase)
{
    phase = newPhase;
    removedNow = 0;
    phaseTimer.restart(timeGetTime());
    subStep = 0;
    if (menuButton) {
        const bool menuAllowed = newPhase == PlayPhase::Intro || newPhase == PlayPhase::Playing ||
                                 newPhase == PlayPhase::FieldCleared || newPhase == PlayPhase::ToolEffect ||
                                 newPhase == PlayPhase::CartLeaves;
        menuButton->setEnabled(menuAllowed);
    }
    if (newRowButton)
        newRowButton->setEnabled(newPhase == PlayPhase::Playing);
    if (Application* app = Application::instance())
        if (app->getCursorShape() == ButtonBlit::CursorHand)
            app->setCursorShape(ButtonBlit::CursorArrow);
}

int PlayScene::getAction(int phaseIndex, int event) const
{
    if (phaseIndex < 0 || phaseIndex >= PlayPhase::Count || event < 0 || event >= PlayEvent::Count)
        return PlayAction::None;
    return actionTable[phaseIndex][event];
}

void PlayScene::setAction(int phaseIndex, int event, int action)
{
    if (phaseIndex < 0 || phaseIndex >= PlayPhase::Count || event < 0 || event >= PlayEvent::Count)
        return;
    actionTable[phaseIndex][event] = action;
}

void PlayScene::dropModifiers(Sprite* sprite)
{
    const std::vector<Modifier*> all = sprite->getModifiers();
    for (Modifier* modifier : all)
        sprite->removeModifier(modifier);
}

void PlayScene::setSharedActions()
{
    setAction(PlayPhase::Shown, PlayEvent::StepDone, PlayAction::Begin);
    setAction(PlayPhase::Starting, PlayEvent::DialogClosed, PlayAction::StartGame);
    setAction(PlayPhase::Intro, PlayEvent::StepDone, PlayAction::SettleField);
    setAction(PlayPhase::Playing, PlayEvent::Click, PlayAction::ClickBlock);
    setAction(PlayPhase::Playing, PlayEvent::GroupRemoved, PlayAction::SettleField);
    setAction(PlayPhase::Playing, PlayEvent::ToolUsed, PlayAction::ToolStarted);
    setAction(PlayPhase::Playing, PlayEvent::TreasureTaken, PlayAction::TreasureStarted);
    setAction(PlayPhase::Playing, PlayEvent::GoldComplete, PlayAction::GoldDone);
    setAction(PlayPhase::Playing, PlayEvent::GameLost, PlayAction::GameLost);
    setAction(PlayPhase::Playing, PlayEvent::SpeedUp, PlayAction::SpeedUp);
    setAction(PlayPhase::Playing, PlayEvent::Pause, PlayAction::OpenMenu);
    setAction(PlayPhase::FieldCleared, PlayEvent::StepDone, PlayAction::BackToPlay);
    setAction(PlayPhase::ToolEffect, PlayEvent::StepDone, PlayAction::SettleField);
    setAction(PlayPhase::TreasureFound, PlayEvent::StepDone, PlayAction::TreasureDialog);
    setAction(PlayPhase::TreasureToDialog, PlayEvent::DialogClosed, PlayAction::SettleField);
    setAction(PlayPhase::Menu, PlayEvent::DialogClosed, PlayAction::ResumeFromMenu);
    setAction(PlayPhase::RockFall, PlayEvent::StepDone, PlayAction::EnterHighscore);
}

void PlayScene::start()
{
    sendEvent(PlayEvent::StepDone);
}

void PlayScene::sendEvent(int event)
{
    runAction(getAction(phase, event));
}

void PlayScene::runAction(int action)
{
    switch (action) {
    case PlayAction::RequestMenu:
        menuRequested = true;
        break;
    case PlayAction::ResumeFromMenu:
        resumeFromMenu();
        break;
    case PlayAction::BackToPlay:
        setPhase(PlayPhase::Playing);
        break;
    case PlayAction::SettleField:
        settleField();
        break;
    case PlayAction::ClickBlock:
        clickBlock(true);
        break;
    case PlayAction::ToolStarted:
        setPhase(PlayPhase::ToolEffect);
        break;
    case PlayAction::TreasureStarted:
        levelTimer.setPaused(true);
        hourglassTimer.setPaused(true);
        treasureTimer.setPaused(true);
        gameoverTimer.setPaused(true);
        treasurePausedTimers = true;
        setPhase(PlayPhase::TreasureFound);
        break;
    case PlayAction::TreasureDialog:
        setPhase(PlayPhase::TreasureToDialog);
        break;
    case PlayAction::GameLost:
        gameLost();
        break;
    case PlayAction::EnterHighscore:
        enterHighscore();
        break;
    case PlayAction::OpenMenu:
        openMenu();
        break;
    case PlayAction::Leave:
        leave();
        break;
    default:
        // 0 and the mode's own actions.
        break;
    }
}

// Resumes what a pause stopped: the level, the phase, and the hourglass, game-over and treasure timers
// where they still have something to count.
void PlayScene::resumeFromMenu()
{
    if (hourglassSprite)
        hourglassTimer.setPaused(false);
    if (level && level->isTopReached() && !hourglassTimer.isRunning())
        gameoverTimer.setPaused(false);
    if (earthquakeChannel != -1)
        FieldServices::get().fadeMusicIn(0.5f);
    if (droppedTreasure)
        treasureTimer.setPaused(false);
    phaseTimer.setPaused(false);
    levelTimer.setPaused(false);
    const uint32_t now = timeGetTime();
    hintTimer.restart(now);
    blockTimer.restart(now);
    gameStats.lastActionTime = now;
    clearSelection();
    setPhase(PlayPhase::Playing);
}

void PlayScene::settleField()
{
    if (level)
        level->applyGravity();
    clearSelection();
    if (hourglassSprite)
        hourglassTimer.setPaused(false);
    const bool topReached = level && level->isTopReached();
    if (treasurePausedTimers) {
        // Taking a treasure paused the level and the countdown; play goes on from here.
        treasurePausedTimers = false;
        levelTimer.setPaused(false);
        if (topReached && !hourglassTimer.isRunning())
            gameoverTimer.setPaused(false);
        if (droppedTreasure)
            treasureTimer.setPaused(false);
    }
    if (!hourglassTimer.isRunning()) {
        const int shaking = level ? level->getShakingRows() : 0;
        if (shaking == 0 || !topReached) {
            if (musicStartTime == -2)
                FieldServices::get().fadeMusicIn(0.5f);
            stopChannel(earthquakeChannel);
        }
        if (!topReached && jack && jack->getPose() == 4)
            jack->setPose(1);
    }
    if (level && level->getBlockCount() == 0 && clearBonusAllowed) {
        levelStats.clearcount.set(levelStats.clearcount.get() + 1);
        hideHint();
        StatsManager::instance().useHint(5);
        if (hintCounts[5] > 0)
            --hintCounts[5];
        setPhase(PlayPhase::FieldCleared);
        return;
    }
    clearBonusAllowed = true;
    setPhase(PlayPhase::Playing);
}

void PlayScene::gameLost()
{
    hideScorePreview();
    if (canvas)
        canvas->removeByName("SPRITE_WARNING");
    setPhase(PlayPhase::RockFall);
}

void PlayScene::enterHighscore()
{
    gameStats.add(levelStats);
    levelStats.reset();
    FieldServices& services = FieldServices::get();
    const int levelNumber = level ? level->getLevelNumber() : 1;
    gameStats.highscorePlace =
        services.addScore(settings->mode, settings->quattro, services.getCurrentPlayer(), levelNumber, score.get(),
                          static_cast<int>(gameStats.time), gameStats.gold, gameStats.depth);
    StatsManager::instance().onGameEnded(gameStats);
    setPhase(PlayPhase::GameOver);
}

void PlayScene::openMenu()
{
    FieldServices& services = FieldServices::get();
    const std::string& mode = settings->mode;
    menuRequested = false;
    services.fadeMusicHalf(0.5f);
    levelTimer.setPaused(true);
    phaseTimer.setPaused(true);
    hourglassTimer.setPaused(true);
    treasureTimer.setPaused(true);
    gameoverTimer.setPaused(true);
    hideScorePreview();

    Dialog* menu = services.openMainMenu("IMAGE_GAME_MENU_" + mode, getResourceInt("INT_GAME_MENU_Y_OFFSET_" + mode),
                                         getAbsoluteX(), getAbsoluteY(), getWidth(), getHeight(), *settings);
    if (!menu) {
        // Nothing to show: the player would be stuck in a menu that is not there.
        DebugLog::instance().log("Play field: the in-game menu could not be built; play goes on\n");
        resumeFromMenu();
        return;
    }
    menu->addRef();
    dropSprite(openDialogSprite);
    openDialogSprite = menu;
    menu->setListener(this);
    menu->setName("DIALOG_INGAME_MENU");

    const Rect& clip = getResourceRect("RECT_CLIP_GAME_MENU_" + mode);
    menu->setClipRectFrom(&clip);
    menu->setX(clip.x);
    ModifierLocationLine* slide =
        ModifierLocationLine::start(menu, 0, -menu->getHeight(), 0, clip.y, 0.06f, Modifier::OptionBlocking);
    if (slide) {
        slide->setAdjustX(false);
        slide->setEaseInOut(true);
    }
    ModifierSound::start(menu, "SOUND_GAME7", Modifier::OptionBlocking);
    addSpriteAtLayer(menu, "LAYER_MENU");
    setPhase(PlayPhase::Menu);
}

void PlayScene::leave()
{
    if (mineCart)
        mineCart->leave();
    stopChannel(earthquakeChannel);
    stopChannel(effectChannel);
    setPhase(PlayPhase::Leave);
}

void PlayScene::updatePhase()
{
    switch (phase) {
    case PlayPhase::Starting:
        if (subStep == 0) {
            subStep = 1;
            sendEvent(PlayEvent::DialogClosed);
        }
        break;

    case PlayPhase::Playing:
        if (menuRequested) {
            menuRequested = false;
            sendEvent(PlayEvent::Pause);
        } else {
            updateGame();
        }
        break;

    case PlayPhase::FieldCleared: {
        const int frames = phaseFrames();
        if (frames > 3 && subStep == 0) {
            subStep = 1;
            hideScorePreview();
            if (level) {
                const int x = level->getX();
                const int y = level->getY();
                const int width = level->getColumns() * level->getBlockWidth();
                const int height = getResourceInt("INT_GAME_HEIGHT") - y;
                const int bottom = static_cast<int>(y + level->getRows() * level->getBlockHeight() +
                                                    level->scrollRemainder());
                auto* bonus = new ClearBonus(floaterFont, bigFont, clearBonusPoints(), clearBonusFactor(), x, y,
                                             width, height, bottom);
                addSpriteAtLayer(bonus, "LAYER_FLOATERS");
            }
        }
        if (frames > 10 && subStep == 1) {
            subStep = 2;
            playSound("SOUND_SCORE3", 255);
            score.set(score.get() + clearBonusPoints() * clearBonusFactor());
        }
        if (frames > 10 && subStep == 2) {
            if (!canvas || !canvas->findSprite("SPRITE_BONUS_ARROW"))
                sendEvent(PlayEvent::StepDone);
        }
        break;
    }

    case PlayPhase::ToolEffect: {
        const int removing = level ? level->getRemovingCount() : 0;
        if (removing != removedNow) {
            playSound("SOUND_GAME8", 255);
            removedNow = removing;
        }
        if (removing <= 0 && subStep == 0) {
            phaseTimer.restart(timeGetTime());
            subStep = 1;
        } else if (phaseFrames() > 2 && subStep == 1) {
            sendEvent(PlayEvent::StepDone);
        }
        break;
    }

    case PlayPhase::TreasureFound:
        if ((!treasureSprite || treasureSprite->getModifiers().empty()) && subStep == 0) {
            subStep = 1;
            openDialog(PlayDialog::TreasureClaimed);
            showHeaderText("STRING_TREASURE_FOUND_HEADER");
            if (headerSprite)
                addSpriteAtLayer(headerSprite, "LAYER_FLOATERS");
        } else if (phaseFrames() > 50 && subStep == 1) {
            sendEvent(PlayEvent::StepDone);
        }
        break;

    case PlayPhase::TreasureToDialog:
        updateTreasureToDialog();
        break;

    case PlayPhase::Menu:
        if (subStep == 0 && phaseFrames() > 1) {
            playSound("SOUND_INGAME_MENU", 255);
            subStep = 1;
        }
        break;

    case PlayPhase::GameOver:
        updateGameOver();
        break;

    default:
        break;
    }
}

void PlayScene::updateTreasureToDialog()
{
    if (subStep == 0) {
        subStep = 1;
        if (openDialogSprite && treasureSprite) {
            const Point& offset = getResourcePoint("POINT_TREASURE_DIALOG_TREASURE_IMAGE_OFFSET");
            slideTo(treasureSprite, openDialogSprite->getAbsoluteX() + offset.x,
                    openDialogSprite->getAbsoluteY() + offset.y, getResourceFloat("FLOAT_TREASURE_FLOAT_SPEED"),
                    false);
        }
        if (headerSprite) {
            dropModifiers(headerSprite);
            const int y = (openDialogSprite ? openDialogSprite->getY() : 0) - headerSprite->getHeight();
            slideTo(headerSprite, 0, y, 0.05f, true);
        }
    } else if (subStep == 1) {
        const bool headerDone = !headerSprite || headerSprite->getModifiers().empty();
        const bool treasureDone = !treasureSprite || treasureSprite->getModifiers().empty();
        if (headerDone && treasureDone) {
            subStep = 2;
            showOpenDialog();
            if (canvas) {
                if (headerSprite)
                    canvas->removeSprite(headerSprite);
                if (treasureSprite)
                    canvas->removeSprite(treasureSprite);
            }
            dropSprite(headerSprite);
            dropSprite(treasureSprite);
        }
    }
    if (phaseFrames() > 30 && jack)
        jack->setPose(1);
}

void PlayScene::updateGameOver()
{
    if (subStep == 0) {
        subStep = 1;
        levelTimer.setPaused(true);
        hourglassTimer.stop();
        treasureTimer.stop();
        gameoverTimer.setPaused(true);
        openDialog(PlayDialog::GameOver);
        if (headerSprite) {
            dropModifiers(headerSprite);
            auto* dialog = dynamic_cast<Dialog*>(openDialogSprite);
            const int y = dialog ? FieldServices::get().getStatsDialogHeaderY(dialog) : headerSprite->getY();
            slideTo(headerSprite, 0, y, 0.05f, true);
        }
    } else if (subStep == 1) {
        // Without a header the dialog comes at once rather than never.
        if (!headerSprite || headerSprite->getModifiers().empty()) {
            subStep = 2;
            if (openDialogSprite) {
                showOpenDialog();
            } else {
                DebugLog::instance().log("Play field: no game-over dialog; leaving the game\n");
                sendEvent(PlayEvent::DialogClosed);
            }
            playSound("SOUND_GAME_OVER", 255);
            if (headerSprite && canvas)
                canvas->removeSprite(headerSprite);
            dropSprite(headerSprite);
        }
    }
    if (phase == PlayPhase::GameOver)
        updateScoreUpload();
}

void PlayScene::showOpenDialog()
{
    if (!openDialogSprite || !canvas)
        return;
    if (auto* dialog = dynamic_cast<Dialog*>(openDialogSprite))
        dialog->setListener(this);
    canvas->addSprite(openDialogSprite);
}
