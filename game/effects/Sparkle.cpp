#include "game/effects/Sparkle.h"

#include "resources/layout/LayoutDocument.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierFrame.h"
#include "toolkit/sprite/SpriteCanvas.h"

Sparkle::Sparkle(Sprite* followed, Surface* mask, int dx, int dy, int alpha, bool drifting)
    : BitmapSprite(nullptr, mask, 0, 0), followed(followed), dx(dx), dy(dy), drifting(drifting)
{
    setClipRect(0, 0, getResourceInt("INT_GAME_WIDTH"), getResourceInt("INT_GAME_HEIGHT"));
    if (followed) {
        followed->addRef();
        setPosition(followed->getAbsoluteX() + dx, followed->getAbsoluteY() + dy);
    } else {
        setPosition(dx, dy);
    }
    setMaskColor(0xFFFFFF);
    fitSizeToImage();
    setFrameCountFromImage(getResourceInt("INT_NR_OF_SPARKLE_FRAMES"));
    setFrame(0);
    const int shown = alpha < 0 ? getResourceInt("INT_SPARKLE_ALPHA") : alpha;
    setAlpha(shown);
    ModifierFrame::startTimed(this, 2.0, 1, 1);
    ModifierDelay::start(this, 25, Modifier::OptionBlocking);
    ModifierAlpha::start(this, shown, 0, 0.2f, Modifier::OptionRemoveParent);
}

Sparkle::~Sparkle()
{
    releaseFollowed();
}

void Sparkle::releaseFollowed()
{
    if (followed) {
        followed->release();
        followed = nullptr;
    }
}

void Sparkle::tick()
{
    const float f = getFrameRate().ratio();
    stepCounter = static_cast<int>(static_cast<float>(stepCounter) + f);
    if (drifting && stepCounter > 3) {
        dx = static_cast<int>(static_cast<float>(dx) + f);
        stepCounter = 0;
        if (!followed)
            setX(dx);
    }
    if (followed) {
        setPosition(followed->getAbsoluteX() + dx, followed->getAbsoluteY() + dy);
        if (followed->isObsolete() && getCanvas())
            getCanvas()->removeSprite(this);
    }
}

void Sparkle::onRemovedFromCanvas()
{
    BitmapSprite::onRemovedFromCanvas();
    releaseFollowed();
}
