#include "game/effects/ClearBonus.h"

#include "game/effects/Floater.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierLocation.h"
#include "toolkit/modifier/ModifierLocationWave.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/TextSprite.h"

#include <cstdio>

namespace {

constexpr int kArrowFrames = 4;

} // namespace

ClearBonus::ClearBonus(BitmapFont* textFont, BitmapFont* headlineFont, int bonusPoints, int factor, int areaX,
                       int areaY, int areaWidth, int areaHeight, int bottomY)
{
    centreX = areaX + areaWidth / 2;
    setBounds(centreX, areaY, 1, 1);
    headlineTargetY = getResourceInt("INT_CLEAR_BONUS_YPOS");

    // The arrow picture holds four frames stacked vertically, dark to bright.
    SurfaceHolder* arrow = ResourceManager::getImage("IMAGE_ARROW");
    Surface* arrowImage = arrow ? arrow->getSurface() : nullptr;
    const int a = arrowImage ? static_cast<int>(arrowImage->getDesc().width) : 0;
    const int q = arrowImage ? static_cast<int>(arrowImage->getDesc().height) / kArrowFrames : 0;
    // A picture less than four rows high would make a column of endless zero-height arrows.
    if (a > 0 && q > 0) {
        int index = 0;
        for (long long row = static_cast<long long>(bottomY) - q; row > static_cast<long long>(areaY) - q; row -= q) {
            auto* sprite = new BitmapSprite(arrowImage, arrow->getMask(), centreX - a / 2, static_cast<int>(row));
            sprite->addRef();
            sprite->setClipRect(areaX, areaY, areaWidth, areaHeight);
            sprite->setAlpha(0);
            sprite->setFrames(kArrowFrames, a, q);
            sprite->setFrame(index < 3 ? 3 - index : 0);
            arrows.push_back(sprite);
            ++index;
        }
    }

    const int fontHeight = headlineFont ? headlineFont->getLineHeight() : 0;
    headline = new TextSprite(headlineFont, getResourceString("STRING_CLEAR_BONUS"), centreX, -3 * fontHeight);
    headline->addRef();
    headline->setClipRect(areaX, areaY, areaWidth, areaHeight);
    headline->setAlpha(0);
    headline->setAnchor(AnchorTopCenter);
    ModifierAlpha::startFromCurrent(headline, 255, 0.1f, Modifier::OptionBlocking);
    ModifierLocationDrop::start(headline, static_cast<float>(headline->getX()), static_cast<float>(headline->getY()),
                                static_cast<float>(headline->getX()), static_cast<float>(headlineTargetY), 0.03f,
                                0.003f, Modifier::OptionBlocking)
        ->setAdjustX(false);
    ModifierLocationWave::start(headline, headline->getX(), headlineTargetY, 25, 0, 0.0f, 100.0f, 0.06f, 0.004f, 1)
        ->setAdjustX(false);

    char text[48];
    if (factor < 2)
        std::snprintf(text, sizeof text, "+%d", bonusPoints);
    else
        std::snprintf(text, sizeof text, "+%dx%d", bonusPoints, factor);
    points = new Floater(text, textFont, centreX, headlineTargetY + 40 + headline->getHeight());
    points->addRef();
    points->setAlpha(0);

    ModifierLocationLine::start(this, getX(), getY(), getX(), bottomY, 0.05f, Modifier::OptionBlocking);
    setName("SPRITE_BONUS_ARROW");
}

ClearBonus::~ClearBonus()
{
    for (BitmapSprite* arrow : arrows)
        arrow->release();
    arrows.clear();
    if (points)
        points->release();
    if (headline)
        headline->release();
}

void ClearBonus::onAddedToCanvas()
{
    Sprite::onAddedToCanvas();
    SpriteCanvas* owner = getCanvas();
    if (!owner)
        return;
    for (BitmapSprite* arrow : arrows)
        owner->addSpriteBefore(arrow, this);
    owner->addSpriteAfter(points, this);
    owner->addSpriteAfter(headline, this);
}

void ClearBonus::onRemovedFromCanvas()
{
    Sprite::onRemovedFromCanvas();
    ModifierAlpha::startFromCurrent(headline, 0, 0.1f, Modifier::OptionBlocking | Modifier::OptionRemoveParent);
    ModifierAlpha::startFromCurrent(points, 0, 0.1f, Modifier::OptionBlocking | Modifier::OptionRemoveParent);
}

void ClearBonus::tick()
{
    if (finished)
        return;
    for (BitmapSprite* arrow : arrows) {
        if (arrow->getY() < getY() && arrow->getAlpha() == 0) {
            arrow->setAlpha(1);
            ModifierDelay::start(arrow, 25, Modifier::OptionBlocking);
            ModifierAlpha::start(arrow, 1, 64, 0.1f, Modifier::OptionBlocking);
            ModifierDelay::start(arrow, 40, Modifier::OptionBlocking);
            ModifierAlpha::start(arrow, 64, 0, 0.04f, Modifier::OptionRemoveParent);
        }
    }
    if (!getModifiers().empty())
        return;
    ModifierDelay::start(this, 100, Modifier::OptionBlocking | Modifier::OptionRemoveParent);
    ModifierDelay::start(points, 25, Modifier::OptionBlocking);
    ModifierAlpha::start(points, 0, 255, 0.1f, 1);
    ModifierLocationLine::start(points, points->getX(), points->getBaseY(), points->getX(), points->getBaseY() - 35,
                                0.012f, 1);
    finished = true;
}
