#include "game/effects/Warning.h"

#include "game/block/Block.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/SurfaceHolder.h"
#include "runtime/Random.h"
#include "toolkit/sprite/FrameRate.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/modifier/ModifierLocationWave.h"

#include <algorithm>

namespace {

Surface* warningImage()
{
    SurfaceHolder* holder = ResourceManager::getImage("IMAGE_WARNING");
    return holder ? holder->getSurface() : nullptr;
}

Surface* warningMask()
{
    SurfaceHolder* holder = ResourceManager::getImage("IMAGE_WARNING");
    return holder ? holder->getMask() : nullptr;
}

} // namespace

Warning::Warning(Block* watched, int x, int y, int targetY)
    : BitmapSprite(warningImage(), warningMask(), x, y), block(watched), baseX(x), baseY(y)
{
    setName("SPRITE_WARNING");
    if (block) {
        block->addRef();
        column = block->getColumn();
        row = block->getRow();
    }
    ModifierDelay::start(this, 5, Modifier::OptionBlocking);
    ModifierLocationLine::start(this, x, y, x, targetY, 0.05f, Modifier::OptionBlocking)->setEaseInOut(true);
    ModifierLocationWave::start(this, x, targetY, 10, 0, 0.0f, 5.0f, 0.1f, 0.1f, 1)->setAdjustX(false);
    if (!block) {
        ModifierDelay::start(this, 25, Modifier::OptionBlocking);
        ModifierAlpha::startFromCurrent(this, 0, 0.1f, Modifier::OptionRemoveParent);
    }
}

Warning::~Warning()
{
    releaseBlock();
}

void Warning::releaseBlock()
{
    if (block)
        block->release();
    block = nullptr;
}

void Warning::setX(int x)
{
    baseX = x;
    BitmapSprite::setX(baseX + jitterX);
}

void Warning::setY(int y)
{
    baseY = y;
    BitmapSprite::setY(baseY + jitterY);
}

void Warning::setAlpha(int a)
{
    BitmapSprite::setAlpha(block ? (block->getAlpha() * a) >> 8 : a);
}

void Warning::tick()
{
    if (getModifiers().empty()) {
        const float f1 = Random::global().nextFloat();
        const float f2 = Random::global().nextFloat();
        jitterX = static_cast<int>(f1 - 2.5f * intensity) + 1;
        jitterY = static_cast<int>(f2 - 2.5f * intensity);
        setX(baseX);
        setY(baseY);
        if (block)
            setAlpha((block->getAlpha() * 255) >> 8);
        intensity = std::min(1.0f, intensity + getFrameRate().ratio() * 0.005f);
    }
    if (block && (block->isObsolete() || block->getColumn() != column || block->getRow() != row)) {
        ModifierAlpha::startFromCurrent(this, 0, 0.1f, Modifier::OptionRemoveParent);
        releaseBlock();
    }
}
