// The play field's hints: which of the sixteen hints applies to the field now, the panel that brings it
// with the blocks it speaks of blinking, and the two stocks it is spent from (the player's, kept by the
// statistics, and this game's). A hint is offered only while both of its stocks last; a hint asked for
// by its own number shows even when they are spent, but a stock never falls below 0.
#include "compat/win32/system/machine/timer.h"
#include "game/block/Block.h"
#include "game/effects/HintSprite.h"
#include "game/field/PlayScene.h"
#include "game/stats/StatsManager.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierLocation.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace {

constexpr int kAnyHint = 16;
// Idle time after which the idle hints (0, 1 and 5) are offered.
constexpr std::uint32_t kIdleMs = 3000;

// The hints that point at the lowest block of one type, in the order they are tried after gold.
struct TypeHint {
    int id;
    int type;
};
constexpr TypeHint kTypeHints[] = {
    {7, BlockTypeTreasure}, {6, BlockTypeBlocker},   {8, BlockTypeColorBomb},  {9, BlockTypeBomb},
    {10, BlockTypeTnt},     {11, BlockTypeLineBomb}, {12, BlockTypeBucket},    {13, BlockTypeHammer},
    {14, BlockTypeHourglass}, {15, BlockTypeRainbow},
};

// The text of a hint; a list shorter than the hint numbers gives an empty text.
std::string hintText(int id)
{
    const LayoutStringList& texts = getResourceList("STRINGS_HINTS");
    return id >= 0 && static_cast<std::size_t>(id) < texts.size() ? texts[static_cast<std::size_t>(id)] : std::string();
}

} // namespace

bool PlayScene::isHintInStock(int id) const
{
    if (id < 0 || id >= kHintKinds)
        return false;
    const StatsManager& stats = StatsManager::instance();
    return stats.hintsEnabled && stats.hintCounts[id] >= 1 && hintCounts[id] > 0;
}

void PlayScene::spendHint(int id)
{
    if (id < 0 || id >= kHintKinds)
        return;
    StatsManager& stats = StatsManager::instance();
    if (stats.hintCounts[id] > 0)
        stats.useHint(id);
    if (hintCounts[id] > 0)
        --hintCounts[id];
}

HintSprite* PlayScene::showHint(std::vector<Block*>& blocks, int id)
{
    blocks.clear();
    if (phase != PlayPhase::Playing && phase != PlayPhase::ToolEffect)
        return nullptr;
    if (!level)
        return nullptr;
    const std::uint32_t elapsed = timeGetTime() - gameStats.lastActionTime;
    const bool idle = elapsed > kIdleMs;
    // Hints about a kind of block show when asked for by number, or when any hint is asked for and
    // their stocks last; the others only while their stocks last.
    auto offered = [&](int hintId) { return id == hintId || (id == kAnyHint && isHintInStock(hintId)); };

    int chosen = -1;
    const int goldHint = getName() == "CLASSIC" ? 3 : 4;
    if (Block* gold = level->getLowestBlockOfType(BlockTypeGold); gold && offered(goldHint)) {
        chosen = goldHint;
        blocks.push_back(gold);
    }
    for (const TypeHint& typeHint : kTypeHints) {
        if (chosen >= 0)
            break;
        if (Block* block = level->getLowestBlockOfType(typeHint.type); block && offered(typeHint.id)) {
            chosen = typeHint.id;
            blocks.push_back(block);
        }
    }
    const int blockCount = level->getBlockCount();
    if (chosen < 0 && idle && !hasClicked && isHintInStock(0))
        chosen = 0;
    if (chosen < 0 && idle && !speedUpUsed && blockCount < 26 && isHintInStock(1))
        chosen = 1;
    if (chosen < 0 && level->getLevelNumber() > 1 && idle && blockCount >= 1 && blockCount <= 15 && isHintInStock(5))
        chosen = 5;
    if (chosen < 0 && isHintInStock(2)) {
        const BlockGrid& grid = level->getGrid();
        for (int x = 0; x < grid.getWidth(); ++x)
            for (int y = grid.getHeight() - 1; y >= 0; --y) {
                Block* block = grid.get(x, y);
                if (block && block->getType() == BlockTypeColour && block->getMultiplier() > 1)
                    blocks.push_back(block);
            }
        if (!blocks.empty())
            chosen = 2;
    }
    if (chosen < 0)
        return nullptr;

    auto* made = new HintSprite(hintText(chosen), chosen, id == chosen);
    const Rect& clip = getResourceRect("RECT_HINT_CLIP_RECT_" + getName());
    made->setClipRect(clip.x, clip.y, clip.width, clip.height);
    made->setAnchor(Sprite::AnchorTopCenter);
    made->setPosition(clip.x + clip.width / 2, getResourceInt("INT_HINT_Y_POS_" + getName()));
    return made;
}

void PlayScene::requestHint(int id)
{
    std::vector<Block*> blocks;
    HintSprite* made = showHint(blocks, id);
    if (!made)
        return;
    made->addRef();
    const int top = made->getAbsoluteY();
    const int height = made->getHeight();
    if (id == kAnyHint && level) {
        // An automatic hint does not cover a field that has grown up to it.
        Block* highest = level->getTopBlock();
        if (highest && highest->getAbsoluteY() <= top + height + level->getBlockHeight()) {
            made->release();
            return;
        }
    }
    if (hint)
        hideHint();
    hint = made;

    ModifierLocationLine* slide = ModifierLocationLine::start(hint, 0, -height, 0, top, 0.03f, 0);
    // Only up and down: the panel stays centred on its rectangle.
    slide->setAdjustX(false);
    slide->setEaseInOut(true);
    addSpriteAtLayer(hint, "LAYER_HINTDIALOG");

    spendHint(hint->getHintNumber());
    const std::size_t blinking = std::min<std::size_t>(blocks.size(), kHintBlockRoom);
    for (std::size_t i = 0; i < blinking; ++i)
        blinkSprite(blocks[i]);
}

void PlayScene::hideHint()
{
    if (!hint)
        return;
    ModifierLocationLine* slide = ModifierLocationLine::start(hint, 0, hint->getAbsoluteY(), 0, -hint->getHeight(),
                                                              0.03f, Modifier::OptionRemoveParent);
    slide->setAdjustX(false);
    slide->setEaseInOut(true);
    hint->release();
    hint = nullptr;
    // The next automatic hint comes a little more than the usual wait later.
    hintTimer.restart(timeGetTime() + 50);
}

void PlayScene::blinkSprite(Sprite* sprite)
{
    if (!sprite)
        return;
    ModifierDelay::start(sprite, 35, Modifier::OptionBlocking);
    for (int i = 0; i < 13; ++i) {
        ModifierAlpha::start(sprite, 255, 100, 0.3f, Modifier::OptionBlocking);
        ModifierAlpha::start(sprite, 100, 255, 0.3f, Modifier::OptionBlocking);
        ModifierDelay::start(sprite, 5, Modifier::OptionBlocking);
    }
}
