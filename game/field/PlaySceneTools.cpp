// The play field's special blocks: what a used tool or a taken treasure does to the field, a treasure's
// life from its drop to its taking or disappearance, and the hourglass picture.
#include "compat/win32/system/machine/timer.h"
#include "game/block/Block.h"
#include "game/field/BlinkPlan.h"
#include "game/field/PlayScene.h"
#include "game/field/TreasureDrop.h"
#include "game/stats/StatsManager.h"
#include "platform/catalogue/CatalogueHost.h"
#include "platform/catalogue/CatalogueSound.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/sound/SoundManager.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/Random.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierFrame.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <algorithm>
#include <cstdint>

namespace {

// Modifier waits count nominal frames of the canvas.
constexpr double kFrameRate = 50.0;


// A tool's or treasure's icon, taken from its block, plays its frames, waits and fades away.
void animateIconAway(Sprite* icon, const char* movesId, int fadeOptions)
{
    if (!icon)
        return;
    if (auto* bitmap = dynamic_cast<BitmapSprite*>(icon))
        bitmap->setAlpha(255);
    ModifierFrame::start(icon, getResourceInt(movesId), 1, 0);
    ModifierDelay::start(icon, 8.0, Modifier::OptionBlocking);
    ModifierAlpha::start(icon, 255, 0, 0.06f, fadeOptions);
}

bool treasureEverDropped(const StatsManager& stats)
{
    for (const TreasureDesc& treasure : stats.treasures)
        if (treasure.dropcount > 0)
            return true;
    return false;
}

} // namespace

void PlayScene::useTool(Block* block, Sprite* icon)
{
    const int type = block->getType();
    // A bucket repaints its square; a treasure lying in it stays a treasure, with its timer and picture.
    Block* treasure = nullptr;
    int treasureIndex = 0;
    if (type == BlockTypeBucket) {
        treasure = dynamic_cast<Block*>(droppedTreasure);
        if (treasure && treasure->getType() == BlockTypeTreasure)
            treasureIndex = treasure->getColour();
        else
            treasure = nullptr;
    }
    level->removeGroup(block, 0);
    if (treasure && treasure->getType() != BlockTypeTreasure)
        level->repaintBlock(treasure, BlockTypeTreasure, treasureIndex);

    playSound(type == BlockTypeBomb || type == BlockTypeTnt ? "SOUND_DYNAMITE" : "SOUND_USE_TOOL", 255);
    animateIconAway(icon, "INT_TOOL_ICON_REMOVE_MOVES_PER_FRAME", Modifier::OptionRemoveParent);
    if (type != BlockTypeHourglass)
        return;
    speedUpActive = false;
    hourglassTimer.restart(timeGetTime());
    gameoverTimer.stop();
    level->setShakingRows(0);
    if (earthquakeChannel != -1) {
        stopSound(earthquakeChannel);
        earthquakeChannel = -1;
    }
    startHourglassEffect(icon);
}

void PlayScene::takeTreasure(Block* block, Sprite* icon)
{
    level->removeGroup(block, 0);
    playSound("SOUND_TREASURE_TAKEN", 255);
    treasureTimer.stop();
    levelStats.acquiredTreasures.push_back(block->getColour());
    StatsManager& stats = StatsManager::instance();
    stats.acquireTreasure();
    dropSprite(droppedTreasure);
    animateIconAway(icon, "INT_TREASURE_ICON_REMOVE_MOVES_PER_FRAME", Modifier::OptionBlocking);

    const int current = stats.currentTreasure;
    SurfaceHolder* picture =
        current >= 0 && current < StatsManager::kTreasureCount ? stats.treasures[current].getSurface() : nullptr;
    if (!picture)
        return;
    auto* shown = new BitmapSprite(picture->getSurface(), picture->getMask(), 0, 0);
    shown->addRef();
    shown->fitSizeToImage();
    shown->setAnchor(AnchorCenter);
    if (icon)
        shown->setPosition(icon->getAbsoluteX(), icon->getAbsoluteY());
    else
        shown->setPosition(block->getAbsoluteX() + block->getWidth() / 2, block->getAbsoluteY() + block->getHeight() / 2);
    shown->setAlpha(0);
    ModifierAlpha::start(shown, 0, 255, getResourceFloat("FLOAT_TREASURE_FADEIN_SPEED"), 0);
    addSpriteAtLayer(shown, "LAYER_TOP");
    dropSprite(treasureSprite);
    treasureSprite = shown;
}

bool PlayScene::dropTreasure()
{
    if (!level)
        return false;
    StatsManager& stats = StatsManager::instance();
    const bool first = !treasureEverDropped(stats);
    const TreasureRows range = treasureDropRows(level->getRows(), first);
    const int column = findTreasureColumn(*level, range, Random::global());
    if (column < 0)
        return false;
    stats.dropTreasure();
    if (stats.currentTreasure < 0 || stats.currentTreasure >= StatsManager::kTreasureCount)
        return false;

    auto* treasure = new Block(level, column, -1, BlockTypeTreasure, stats.currentTreasure, 1, true);
    treasure->addRef();
    // It enters above the field and falls onto its column.
    treasure->setY(getY() - treasure->getHeight());
    level->setBlock(column, 0, treasure);
    treasure->setCell(column, 0);
    level->applyGravity();
    // On a column one row below the top there is no gap to fall into: it still comes into view.
    if (!treasure->isFalling())
        treasure->startFall(treasure->getRow());
    if (SpriteCanvas* owner = getCanvas())
        treasure->addToCanvas(owner);
    dropSprite(droppedTreasure);
    droppedTreasure = treasure;
    if (first) {
        hideHint();
        requestHint(7);
    }
    return true;
}

void PlayScene::updateTreasure()
{
    StatsManager& stats = StatsManager::instance();
    if (treasureTimer.isRunning()) {
        const int elapsed = treasureTimer.getElapsed();
        if (elapsed < 0) {
            static bool blinkStartRead = false;
            if (!blinkStartRead) {
                treasureBlinkStart = getResourceInt("INT_TREASURE_BLINK_START_TIME");
                blinkStartRead = true;
            }
            if (droppedTreasure && elapsed >= -treasureBlinkStart && droppedTreasure->getModifiers().empty())
                applyBlinkPlan(droppedTreasure,
                               makeBlinkPlan(treasureBlinkStart, getResourceInt("INT_TREASURE_BLINK_TIME"), kFrameRate),
                               0, 255, 1.0f);
            return;
        }
        // Its time is up: the treasure vanishes.
        playSound("SOUND_TREASURE_DIAPPEAR", 255);
        treasureTimer.stop();
        if (Sprite* gone = droppedTreasure) {
            gone->addRef();
            dropSprite(droppedTreasure);
            if (level)
                level->removeBlock(dynamic_cast<Block*>(gone), 0);
            if (SpriteCanvas* owner = gone->getCanvas())
                owner->removeSprite(gone);
            gone->release();
        }
        if (earthquakeChannel != -1 && !(level && level->isTopReached())) {
            stopSound(earthquakeChannel);
            earthquakeChannel = -1;
        }
        return;
    }
    if (stats.isTreasureDue() && !droppedTreasure && dropTreasure()) {
        treasureTimer.restart(timeGetTime() + static_cast<DWORD>(getResourceInt("INT_TREASURE_REMOVE_TIME")));
        playSound("SOUND_TREASURE_APPEAR", 255);
    }
}

void PlayScene::startHourglassEffect(Sprite* icon)
{
    if (hourglassSprite) {
        ModifierAlpha::startFromCurrent(hourglassSprite, 0, 0.2f, Modifier::OptionRemoveParent);
        dropSprite(hourglassSprite);
    }
    SurfaceHolder* image = ResourceManager::getImage("IMAGE_HOURGLASS_ICON");
    if (!image)
        return;
    auto* hourglass = new BitmapSprite(image->getSurface(), image->getMask(), 0, 0);
    hourglass->addRef();
    hourglass->fitSizeToImage();
    hourglass->setFrameCountFromImage(getResourceInt("INT_NR_OF_TIMER_FRAMES"));
    hourglass->setFrame(0);
    hourglass->setAnchor(AnchorCenter);
    const Point& target = getResourcePoint("POINT_TIMER_POS");
    if (!icon) {
        hourglass->setPosition(target.x, target.y);
    } else {
        const int fromX = icon->getAbsoluteX();
        const int fromY = icon->getAbsoluteY();
        hourglass->setPosition(fromX, fromY);
        hourglass->setAlpha(0);
        ModifierAlpha::start(hourglass, 0, 255, 0.03f, 0);
        ModifierLocationLine* move = ModifierLocationLine::start(hourglass, fromX, fromY, target.x, target.y,
                                                                 getResourceFloat("FLOAT_TIMER_FLOAT_SPEED"), 0);
        if (move)
            move->setEaseInOut(true);
    }
    addSpriteAtLayer(hourglass, "LAYER_TOP");
    hourglassSprite = hourglass;
}

bool PlayScene::updateHourglass()
{
    if (!hourglassTimer.isEnabled() || hourglassTimer.isPaused() || speedUpActive)
        return false;
    static const int duration = getResourceInt("INT_HOURGLASS_TOOL_DURATION");
    static const int blinkStart = getResourceInt("INT_HOURGLASS_BLINK_START_TIME");
    const int elapsed = hourglassTimer.getElapsed();
    if (elapsed < duration) {
        // The blinks span what is left after the blink start, counted in frames like a treasure's.
        if (hourglassSprite && elapsed >= blinkStart && hourglassSprite->getModifiers().empty())
            applyBlinkPlan(hourglassSprite,
                           makeBlinkPlan(static_cast<double>(duration) - blinkStart,
                                         getResourceInt("INT_TREASURE_BLINK_TIME"), kFrameRate),
                           64, 255, 0.5f);
    } else {
        hourglassTimer.stop();
        if (hourglassSprite) {
            if (SpriteCanvas* owner = hourglassSprite->getCanvas())
                owner->removeSprite(hourglassSprite);
            dropSprite(hourglassSprite);
        }
    }
    if (hourglassSprite && duration > 0) {
        const int frames = hourglassSprite->getFrameCount();
        const std::int64_t frame = static_cast<std::int64_t>(std::max(0, elapsed)) * frames / duration;
        hourglassSprite->setFrame(static_cast<int>(std::min<std::int64_t>(frame, std::max(0, frames - 1))));
    }
    return true;
}
