// The rules of the playing phase that depend on time rather than on clicks: when a hint comes and goes,
// when the music starts, the hovered group, a treasure that sinks to the bottom, the game-over countdown
// with its shaking rows and earthquake, and the gold shine; and the field effects the modes share (top-row
// warnings, blocks put on the canvas or dropped out of the field, floaters, the sliding header text).
#include "compat/win32/system/machine/timer.h"
#include "game/block/Block.h"
#include "game/block/BlockIcon.h"
#include "game/effects/Floater.h"
#include "game/effects/HintSprite.h"
#include "game/effects/Shine.h"
#include "game/effects/Warning.h"
#include "game/field/FieldServices.h"
#include "game/field/PlayScene.h"
#include "platform/catalogue/CatalogueSound.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/Random.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/modifier/ModifierLocationWave.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/TextSprite.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kAnyHint = 16;
// Time between two automatic hint requests while no hint shows.
constexpr int kHintIntervalMs = 2000;
// The shine sweeps at most once in this many frames, and then only half of the time.
constexpr int kShineFrames = 150;

} // namespace

int PlayScene::shakingRowsFor(int elapsedMs) const
{
    const int rows = level ? level->getRows() : 0;
    const int limit = getResourceInt("INT_GAME_OVER_TIME_" + getName());
    // A countdown without time has run out already.
    if (limit <= 0)
        return rows;
    const int shaking = static_cast<int>(static_cast<double>(elapsedMs) / limit * rows);
    return std::clamp(shaking, 0, rows);
}

void PlayScene::updateGame()
{
    const std::uint32_t now = timeGetTime();

    // Hints: offer one every little while; take a shown one away when its time is up or the field has
    // grown up to it.
    if (!hint) {
        if (hintTimer.getElapsed() > kHintIntervalMs) {
            requestHint(kAnyHint);
            hintTimer.restart(now);
        }
    } else {
        Block* highest = level ? level->getTopBlock() : nullptr;
        if (!hint->isMoving() && highest && highest->getAbsoluteY() <= hint->getAbsoluteY() + hint->getHeight())
            hideHint();
        else if (now - hint->getCreatedAt() > static_cast<std::uint32_t>(getResourceInt("INT_HINT_TIME")))
            hideHint();
    }

    if (musicStartTime > 0 && static_cast<std::int32_t>(now - static_cast<std::uint32_t>(musicStartTime)) > 0) {
        FieldServices::get().playMusic("STRING_MUSIC_INGAME", 0.0f);
        musicStartTime = -2;
    }

    // The hovered group.
    updateMouseCell();
    if (mouseCellX != lastMouseCellX || mouseCellY != lastMouseCellY) {
        lastMouseCellX = mouseCellX;
        lastMouseCellY = mouseCellY;
        if (level) {
            level->deselectAll();
            if (Block* block = level->getBlock(mouseCellX, mouseCellY)) {
                level->setSelectionOrigin(block);
                level->selectGroup(block);
                const bool quattro = settings && settings->quattro;
                if (level->getSelectedCount() >= Level::getMinimumGroup(block->getType(), quattro)) {
                    showScorePreview();
                } else {
                    hideScorePreview();
                    level->deselectAll();
                }
            } else {
                hideScorePreview();
            }
        }
    }

    // A treasure that has sunk to the bottom is taken as if clicked.
    if (level && level->getRows() > 0) {
        const int bottom = level->getRows() - 1;
        const int limit = getY() + level->getRows() * level->getBlockHeight() - level->getBlockHeight() -
                          getResourceInt("INT_TREASURE_AQUIRE_BORDER_OFFSET");
        for (int x = 0; x < level->getColumns() && phase == PlayPhase::Playing; ++x) {
            Block* block = level->getBlock(x, bottom);
            if (block && block->getType() == BlockTypeTreasure && block->getAbsoluteY() >= limit) {
                mouseCellX = x;
                mouseCellY = bottom;
                clickBlock(false);
            }
        }
    }

    // The countdown shows as rows that shake from the top down, with an earthquake from the first row.
    if (level && gameoverTimer.isRunning()) {
        const int rows = shakingRowsFor(gameoverTimer.getElapsed());
        if (rows != level->getShakingRows()) {
            level->setShakingRows(rows);
            if (rows <= 1 && earthquakeChannel == -1) {
                FieldServices::get().fadeMusicHalf(0.5f);
                earthquakeChannel = loopSound("SOUND_EARTHQUAKE", 255);
            }
        }
    }

    ++shineFrameCounter;
    if (level && level->getGoldCount() > 0 && shineFrameCounter % kShineFrames == 0 &&
        Random::global().nextInt(4) < 2 && canvas) {
        auto* shine = new Shine(level);
        ModifierLocationLine::start(shine, 0, getResourceInt("INT_GAME_HEIGHT"), 0, -1000, 0.004f,
                                    Modifier::OptionRemoveParent);
        if (Sprite* marker = getLayerMarker("LAYER_SHINES"); marker && marker->getCanvas() == canvas)
            canvas->addSpriteAfter(shine, marker);
        else
            canvas->addSprite(shine);
    }

    updateTreasure();
}

void PlayScene::updateGameOverTimer(bool topReached)
{
    if (!topReached) {
        if (gameoverTimer.isRunning()) {
            gameoverTimer.stop();
            if (level)
                level->setShakingRows(0);
        }
        return;
    }
    if (!gameoverTimer.isRunning()) {
        gameoverTimer.restart(timeGetTime());
        return;
    }
    const int limit = getResourceInt("INT_GAME_OVER_TIME_" + getName());
    if (gameoverTimer.getElapsed() > limit || limit <= 0) {
        if (level)
            level->setShakingRows(0);
        saveState = SaveState::Lost;
        sendEvent(PlayEvent::GameLost);
    }
}

void PlayScene::showTopRowWarnings()
{
    if (!level || !canvas)
        return;
    const Rect& bounds = getBounds();
    for (int x = 0; x < level->getColumns(); ++x) {
        Block* block = level->getBlock(x, 0);
        if (!block)
            continue;
        const int warningX = getX() + x * level->getBlockWidth();
        // Drops from just above the field onto its top row.
        SurfaceHolder* picture = ResourceManager::getImage("IMAGE_WARNING");
        const int height = picture && picture->getSurface() ? static_cast<int>(picture->getSurface()->getDesc().height)
                                                            : level->getBlockHeight();
        auto* warning = new Warning(block, warningX, getY() - height, getY());
        warning->setClipRect(bounds.x, bounds.y, bounds.width, bounds.height);
        addSpriteAtLayer(warning, "LAYER_WARNINGS");
    }
}

void PlayScene::putBlocksOnCanvas(bool hide)
{
    if (!level || !canvas)
        return;
    const Rect& clip = getResourceRect("RECT_LEVEL_BLOCKS_CLIP_RECT_" + getName());
    const BlockGrid& grid = level->getGrid();
    for (int y = 0; y < grid.getHeight(); ++y)
        for (int x = 0; x < grid.getWidth(); ++x)
            if (Block* block = grid.get(x, y)) {
                block->setClipRect(clip.x, clip.y, clip.width, clip.height);
                if (hide)
                    block->setAlpha(0);
                block->addToCanvas(canvas);
            }
}

void PlayScene::updateRockFall(const RockFall& fall)
{
    const int frames = phaseFrames();
    if (frames > 2 && subStep == 0) {
        subStep = 1;
        FieldServices::get().fadeMusicOut(0.5f);
        playSound("SOUND_GAME_OVER_ROCKFALL", 255);
        showHeaderText("STRING_GAMEOVER_HEADER");
        addSpriteAtLayer(headerSprite, fall.headerLayer);
    } else if (frames > 5 && subStep == 1) {
        subStep = 2;
        Random& random = Random::global();
        for (int x = 0; x < level->getColumns(); ++x) {
            const int extra = random.nextInt(250) + fall.extraDrop;
            const int delay = random.nextInt(25);
            if (fall.waitingRowFalls)
                dropBlockOut(level->getNewRowBlock(x), extra, delay);
            for (int y = 0; y < level->getRows(); ++y)
                if (Block* block = level->getBlock(x, y))
                    dropBlockOut(block, extra, delay);
        }
        level->clear();
    } else if (frames > fall.lastFrame && level->getRemovingCount() < 1 && subStep == 2) {
        subStep = 3;
        stopSound(earthquakeChannel);
        earthquakeChannel = -1;
        sendEvent(PlayEvent::StepDone);
    }
}

void PlayScene::dropBlockOut(Block* block, int extra, int delay)
{
    if (!block)
        return;
    if (BlockIcon* icon = block->getIcon()) {
        if (SpriteCanvas* owner = icon->getCanvas())
            owner->removeSprite(icon);
        block->removeIcon();
    }
    block->setAlpha(255);
    if (block == droppedTreasure)
        dropSprite(droppedTreasure);
    const Rect& clip = getResourceRect("RECT_LEVEL_BLOCKS_CLIP_RECT_" + getName());
    block->setClipRect(clip.x, clip.y, clip.width, clip.height);
    ModifierDelay::start(block, delay, Modifier::OptionBlocking);
    // A little jump, then a fall out of the field; the block leaves the canvas at the end.
    ModifierLocationDrop::startFromCurrent(block, static_cast<float>(block->getX()),
                                           static_cast<float>(block->getY() + getResourceInt("INT_GAME_HEIGHT") + extra),
                                           -0.005f, 0.001f, Modifier::OptionBlocking | Modifier::OptionRemoveParent);
    block->setState(BlockStateRemoving);
    if (level)
        level->setRemovingCount(level->getRemovingCount() + 1);
}

void PlayScene::createFloater(const std::string& text, int x, int y, std::uint32_t colour)
{
    if (!canvas)
        return;
    auto* floater = new Floater(text, floaterFont, x, y);
    floater->setColor(colour);
    ModifierLocationLine::start(floater, x, y, x, y - 75, 0.033f, Modifier::OptionBlocking)->setEaseInOut(true);
    ModifierAlpha::startFromCurrent(floater, 0, 0.1f, Modifier::OptionBlocking | Modifier::OptionRemoveParent);
    floater->setName("SPRITE_FLOATER");
    if (Sprite* marker = getLayerMarker("LAYER_FLOATERS"); marker && marker->getCanvas() == canvas)
        canvas->addSpriteAfter(floater, marker);
    else
        canvas->addSprite(floater);
}

void PlayScene::showHeaderText(const std::string& stringId)
{
    dropSprite(headerSprite);
    if (!level)
        return;
    auto* header = new TextSprite(bigFont, getResourceString(stringId), 0, 0);
    header->addRef();
    headerSprite = header;
    const int middleX = level->getX() + level->getColumns() * level->getBlockWidth() / 2;
    header->setAnchor(Sprite::AnchorTopCenter);
    header->setPosition(middleX, -header->getHeight());
    const Rect& clip = getResourceRect("RECT_LEVEL_BLOCKS_CLIP_RECT_" + getName());
    header->setClipRect(clip.x, clip.y, clip.width, clip.height);
    const int targetY = level->getY() + level->getRows() * level->getBlockHeight() / 2 - header->getHeight() / 2;
    ModifierLocationDrop::startFromCurrent(header, static_cast<float>(middleX), static_cast<float>(targetY), 0.03f,
                                           0.003f, Modifier::OptionBlocking);
    ModifierLocationWave::start(header, middleX, targetY, 25, 0, 0.0f, 100.0f, 0.06f, 0.004f, 0)->setAdjustX(false);
}
