#include "game/effects/Shine.h"

#include "game/block/Block.h"
#include "game/level/Level.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/raster/Blend.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"

#include <algorithm>

namespace {

// The picture's own mask, else a mask stored under the same name.
Surface* shineMask()
{
    const char* id = "IMAGE_SHINE_ALPHA";
    SurfaceHolder* holder = ResourceManager::getImage(id);
    if (holder && holder->getMask())
        return holder->getMask();
    return ResourceManager::getMask(id);
}

} // namespace

Shine::Shine(Level* level) : BitmapSprite(nullptr, nullptr, 0, 0), level(level)
{
    // Held so that a band left on the canvas never reads a level that is gone.
    if (level)
        level->addRef();
    const int fieldHeight = level ? level->getRows() * level->getBlockHeight() : 0;
    setBounds(0, level ? level->getY() : 0, 1, fieldHeight);
    makeWhiteSurface();
}

Shine::~Shine()
{
    releaseWhiteSurface();
    if (level)
        level->release();
    level = nullptr;
}

void Shine::makeWhiteSurface()
{
    Surface* mask = shineMask();
    if (!mask || mask->getDesc().width == 0 || mask->getDesc().height == 0)
        return;
    white = createDirectDrawSurface(ResourceManager::getDirectDraw(), mask->getDesc().width, mask->getDesc().height);
    if (!white)
        return;
    // Made with no reference: the shine holds the one it releases.
    white->addRef();
    const std::uint32_t colour = 0xFFFFFF;
    white->fill(white->getDesc().format.packPixel(&colour));
}

void Shine::releaseWhiteSurface()
{
    if (white)
        white->release();
    white = nullptr;
}

void Shine::tick()
{
    if (level) {
        const BlockGrid& grid = level->getGrid();
        for (int row = 0; row < grid.getHeight(); ++row)
            for (int column = 0; column < grid.getWidth(); ++column) {
                Block* block = grid.get(column, row);
                if (block && block->getType() == BlockTypeGold && block->getState() == 0)
                    block->setDirty(true);
            }
    }
    setDirty(true);
}

void Shine::draw(Surface* target)
{
    Surface* mask = shineMask();
    if (!target || !level || !mask)
        return;
    if (!white)
        makeWhiteSurface();
    if (!white)
        return;
    const int maskWidth = static_cast<int>(mask->getDesc().width);
    const int maskHeight = static_cast<int>(mask->getDesc().height);
    const auto strength = static_cast<std::uint8_t>((std::clamp(getAlpha(), 0, 255) * 200) >> 8);
    if (strength == 0)
        return;
    const BlockGrid& grid = level->getGrid();
    for (int row = 0; row < grid.getHeight(); ++row)
        for (int column = 0; column < grid.getWidth(); ++column) {
            Block* block = grid.get(column, row);
            if (!block || block->getType() != BlockTypeGold)
                continue;
            const long long bandTop = static_cast<long long>(getY()) + static_cast<long long>(column) * level->getBlockHeight();
            const long long blockY = block->getAbsoluteY();
            const long long top = std::max(bandTop, blockY);
            const long long bottom = std::min(bandTop + maskHeight, blockY + block->getHeight());
            const int width = std::min(block->getWidth(), maskWidth);
            if (width <= 0 || bottom - top <= 0)
                continue;
            const HRESULT result =
                blitBlendDispatch(white, 0, static_cast<int>(top - bandTop), width, static_cast<int>(bottom - top),
                                  target, block->getAbsoluteX(), static_cast<int>(top), mask, strength);
            if (result < 0) {
                // A lost display takes the white surface with it: make it again for the next frame.
                releaseWhiteSurface();
                makeWhiteSurface();
            }
        }
}
