// The play field's group click: the cell under the mouse, the hovered group's score preview, the points
// and multiplier of a group, the removal with its statistics, sounds and stars, the special effects of
// tools and treasures and the event that tells the phase machine what happened.
#include "compat/win32/system/machine/timer.h"
#include "game/block/Block.h"
#include "game/block/BlockIcon.h"
#include "game/effects/Floater.h"
#include "game/field/GroupScore.h"
#include "game/field/PlayScene.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "platform/app/InputManager.h"
#include "platform/catalogue/CatalogueSound.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/GameException.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierFrame.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <algorithm>
#include <cstdint>

namespace {

// The colour of the score floaters; the floater's colour bar tints it as it rises.
constexpr std::uint32_t kFloaterColour = 0xFFFFFF;

PropertyManager& fieldProperties()
{
    Application* app = Application::instance();
    PropertyManager* store = app ? app->getPropertyManager() : nullptr;
    if (!store)
        throw GameTextException(0, "ID not found: %s\n", "INT_SCORE_INIT");
    return *store;
}

// The mean of the selected cells' top-left corners, x moved to the cell's middle; false when nothing is
// selected.
bool selectionCentre(const Level& level, int& x, int& y)
{
    std::int64_t sumX = 0;
    std::int64_t sumY = 0;
    std::int64_t count = 0;
    const BlockGrid& grid = level.getGrid();
    for (int column = 0; column < grid.getWidth(); ++column)
        for (int row = 0; row < grid.getHeight(); ++row) {
            const Block* block = grid.get(column, row);
            if (!block || block->getState() != BlockStateSelected)
                continue;
            sumX += level.getX() + static_cast<std::int64_t>(column) * level.getBlockWidth();
            sumY += level.getY() + static_cast<std::int64_t>(row) * level.getBlockHeight();
            ++count;
        }
    if (!count)
        return false;
    x = static_cast<int>(sumX / count) + level.getBlockWidth() / 2;
    y = static_cast<int>(sumY / count);
    return true;
}

// Whether the block still stands in the grid (a remembered pointer is only read once it is found there).
bool isInGrid(const Level& level, const Block* block)
{
    if (!block)
        return false;
    const BlockGrid& grid = level.getGrid();
    for (int column = 0; column < grid.getWidth(); ++column)
        for (int row = 0; row < grid.getHeight(); ++row)
            if (grid.get(column, row) == block)
                return true;
    return false;
}

} // namespace

void PlayScene::updateMouseCell()
{
    mouseCellX = -1;
    mouseCellY = -1;
    Application* app = Application::instance();
    InputManager* input = app ? app->getInputManager() : nullptr;
    if (!input || !level || phase != PlayPhase::Playing)
        return;
    const int mx = input->getMouseX();
    const int my = input->getMouseY();
    if (!contains(mx, my) || level->getBlockWidth() <= 0 || level->getBlockHeight() <= 0)
        return;
    mouseCellX = (mx - level->getX()) / level->getBlockWidth();
    const double top = static_cast<double>(level->getY()) + level->scrollRemainder();
    mouseCellY = static_cast<int>((static_cast<double>(my) - top) / level->getBlockHeight());
}

int PlayScene::computeGroupScore()
{
    if (!level)
        return 0;
    const ScoreValues values = ScoreValues::read(fieldProperties());
    const Block* block = level->getBlock(mouseCellX, mouseCellY);
    std::int64_t points = values.init;
    if (block) {
        const bool quattro = settings && settings->quattro;
        points = groupBasePoints(values, block->getType(), level->getSelectedCount(),
                                 Level::getMinimumGroup(BlockTypeColour, quattro));
    }
    return scaleGroupPoints(points, scoreMultiplier);
}

int PlayScene::computeGroupMultiplier()
{
    return level ? groupMultiplier(*level) : 1;
}

void PlayScene::showScorePreview()
{
    if (phase != PlayPhase::Playing || !level)
        return;
    int x = 0;
    int y = 0;
    if (!selectionCentre(*level, x, y))
        return;
    const int points = computeGroupScore();
    const int multiplier = computeGroupMultiplier();
    Block* underMouse = level->getBlock(mouseCellX, mouseCellY);

    bool replace = true;
    if (previewFloater) {
        if (previewX == x && previewY == y) {
            replace = false;
        } else if (points == previewPoints && isInGrid(*level, previewBlock) &&
                   previewBlock->getState() == BlockStateSelected) {
            // The same group seen from another block: the shown preview moves along.
            previewFloater->setPosition(x, y);
            replace = false;
        } else {
            hideScorePreview();
        }
    }
    if (replace) {
        auto* floater = new Floater(scoreFloaterText(points, multiplier), ResourceManager::getFont("FONT_SCORE"), x, y);
        floater->addRef();
        floater->setName("SPRITE_TEMP_FLOATER");
        floater->setAlpha(0);
        ModifierDelay::start(floater, getResourceInt("INT_SCORE_TEMP_FLOATER_APPEAR_DELAY"), Modifier::OptionBlocking);
        ModifierAlpha::start(floater, 0, 255, getResourceFloat("FLOAT_SCORE_TEMP_FLOATER_FADE_IN_SPEED"), 0);
        addSpriteAtLayer(floater, "LAYER_FLOATERS");
        previewFloater = floater;
    }
    previewX = x;
    previewY = y;
    previewPoints = points;
    previewBlock = underMouse;
}

void PlayScene::hideScorePreview()
{
    if (!previewFloater)
        return;
    if (SpriteCanvas* owner = previewFloater->getCanvas())
        owner->removeSprite(previewFloater);
    dropSprite(previewFloater);
}

void PlayScene::showScoreFloater(int points, int multiplier)
{
    int x = 0;
    int y = 0;
    if (!level || level->getSelectedCount() <= 0 || !selectionCentre(*level, x, y))
        return;
    createFloater(scoreFloaterText(points, multiplier), x, y, kFloaterColour);
}

void PlayScene::clearSelection()
{
    if (level)
        level->deselectAll();
    lastMouseCellX = -1;
    lastMouseCellY = -1;
}

void PlayScene::clickBlock(bool refreshMouse)
{
    if (!level)
        return;
    if (refreshMouse)
        updateMouseCell();
    const bool quattro = settings && settings->quattro;
    Block* block = level->getBlock(mouseCellX, mouseCellY);
    // Held while the click runs: the removal may take the block's last grid reference.
    if (block)
        block->addRef();
    struct Release {
        Block* block;
        ~Release()
        {
            if (block)
                block->release();
        }
    } keep{block};

    if (mouseCellX != lastMouseCellX || mouseCellY != lastMouseCellY) {
        lastMouseCellX = mouseCellX;
        lastMouseCellY = mouseCellY;
        if (block) {
            level->deselectAll();
            level->setSelectionOrigin(block);
            level->selectGroup(block);
            if (level->getSelectedCount() < Level::getMinimumGroup(block->getType(), quattro)) {
                hideScorePreview();
                level->deselectAll();
            } else {
                showScorePreview();
            }
        }
    }

    hideScorePreview();
    if (!block)
        return;
    gameStats.lastActionTime = timeGetTime();
    if (level->getSelectedCount() < Level::getMinimumGroup(block->getType(), quattro)) {
        clearSelection();
        return;
    }

    hasClicked = true;
    if (saveState == SaveState::None)
        saveState = SaveState::Playing;
    Sprite* icon = nullptr;
    if (block->getType() != BlockTypeGold && block->getIcon()) {
        icon = block->getIcon();
        icon->addRef();
        block->removeIcon();
    }

    const int selected = level->getSelectedCount();
    removedNow = block->getType() == BlockTypeBucket ? 0 : selected;
    levelStats.blocksremoved.set(levelStats.blocksremoved.get() + removedNow);

    const int points = computeGroupScore();
    const int multiplier = computeGroupMultiplier();
    const int total = groupTotal(points, multiplier);
    showScoreFloater(points, multiplier);
    score.set(static_cast<int>(std::clamp<std::int64_t>(static_cast<std::int64_t>(score.get()) + total, INT32_MIN,
                                                         INT32_MAX)));

    switch (block->getType()) {
    case BlockTypeColour:
        level->removeGroup(block, 0);
        playSound("SOUND_GAME6", 255);
        levelStats.biggestgroup = std::max(levelStats.biggestgroup, selected);
        levelStats.biggestscore = std::max(levelStats.biggestscore, total);
        sendEvent(PlayEvent::GroupRemoved);
        break;
    case BlockTypeBomb:
    case BlockTypeTnt:
    case BlockTypeColorBomb:
    case BlockTypeLineBomb:
    case BlockTypeHammer:
    case BlockTypeBucket:
    case BlockTypeHourglass:
    case BlockTypeRainbow:
        useTool(block, icon);
        sendEvent(PlayEvent::ToolUsed);
        break;
    case BlockTypeGold:
        levelStats.gold += selected;
        sendEvent(PlayEvent::GoldComplete);
        break;
    case BlockTypeTreasure:
        takeTreasure(block, icon);
        sendEvent(PlayEvent::TreasureTaken);
        break;
    default:
        break;
    }

    if (icon)
        icon->release();
    clearSelection();
}

void PlayScene::removeBlockSprite(Block* block, int delay)
{
    if (!block)
        return;
    block->addRef();
    const bool clickedSpecial = level && block == level->getSelectionOrigin() && block->getType() != BlockTypeColour;
    if (!clickedSpecial) {
        // A treasure destroyed by a bomb is gone for good. One whose time ran out was let go before
        // the level removes it and has had its sound.
        if (block->getType() == BlockTypeTreasure && droppedTreasure == block) {
            playSound("SOUND_TREASURE_DIAPPEAR", 255);
            treasureTimer.stop();
            dropSprite(droppedTreasure);
        }
        createStar("IMAGE_STAR_SMALL_ALPHA", block->getAbsoluteX() + block->getWidth() / 2,
                   block->getAbsoluteY() + block->getHeight() / 2, getStarColour(block->getType(), block->getColour()),
                   delay);
    }
    if (BlockIcon* icon = block->getIcon()) {
        if (SpriteCanvas* owner = icon->getCanvas())
            owner->removeSprite(icon);
        block->removeIcon();
    }
    ModifierDelay::start(block, delay, Modifier::OptionBlocking | Modifier::OptionRemoveParent);
    block->setState(BlockStateRemoving);
    if (level)
        level->setRemovingCount(level->getRemovingCount() + 1);
    block->release();
}

void PlayScene::createStar(const std::string& image, int x, int y, std::uint32_t colour)
{
    createStar(image, x, y, colour, 0);
}

void PlayScene::createStar(const std::string& image, int x, int y, std::uint32_t colour, int delay)
{
    Surface* map = ResourceManager::getMask(image);
    if (!map) {
        SurfaceHolder* holder = ResourceManager::getImage(image);
        map = holder ? holder->getMask() : nullptr;
    }
    if (!map)
        return;
    const int frames = std::max(1, getResourceInt("INT_NR_OF_STAR_FRAMES"));
    auto* star = new BitmapSprite(nullptr, map, 0, 0);
    star->addRef();
    // The colour stays 0xAARRGGBB: the sprite converts it to the screen's format when it draws.
    star->setMaskColor(colour);
    star->fitSizeToImage();
    star->setFrameCountFromImage(frames);
    star->setFrame(0);
    star->setPosition(x - star->getWidth() / 2, y - star->getHeight() / 2);
    star->setClipRect(getX(), 0, getWidth(), getResourceInt("INT_GAME_HEIGHT"));
    star->setAlpha(0);
    if (delay > 0)
        ModifierDelay::start(star, delay, Modifier::OptionBlocking);
    ModifierAlpha::startFromCurrent(star, 175, 1.0f, 0);
    ModifierFrame::start(star, 0, 1, Modifier::OptionBlocking | Modifier::OptionRemoveParent);
    addSpriteAtLayer(star, "LAYER_STARS");
    star->release();
}
