#include "game/actors/Jack.h"

#include "resources/layout/LayoutDocument.h"
#include "runtime/Random.h"
#include "toolkit/modifier/Modifier.h"
#include "toolkit/modifier/ModifierAlpha.h"
#include "toolkit/modifier/ModifierDelay.h"
#include "toolkit/modifier/ModifierFrame.h"
#include "toolkit/sprite/FrameRate.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"

#include <tinyxml.h>

#include <vector>

const ClassRecord Jack::classRecord("Jack", &XMLSprite::classRecord);
const ClassRecord JackClassic::classRecord("JackClassic", &Jack::classRecord);

namespace {

// A new held sprite of the layout element `id`, or null when the layout has none.
Sprite* partFromLayout(const std::string& id)
{
    Sprite* made = createSpriteFromXml(findLayoutElement(id));
    if (made)
        made->addRef();
    return made;
}

void setPartAlpha(Sprite* part, int alpha)
{
    if (auto* bitmap = dynamic_cast<BitmapSprite*>(part))
        bitmap->setAlpha(alpha);
}

int roll(int bound)
{
    return Random::global().nextInt(bound);
}

} // namespace

Jack::Jack()
{
    setPose(1);
}

Jack::Jack(const std::string& blinkId)
{
    blink = partFromLayout(blinkId);
    if (blink) {
        attach(blink);
        setPartAlpha(blink, 0);
    }
    setPose(1);
}

Jack::~Jack()
{
    for (Sprite*& part : poses) {
        if (part) {
            part->setParent(nullptr);
            part->release();
            part = nullptr;
        }
    }
    if (blink) {
        blink->setParent(nullptr);
        blink->release();
        blink = nullptr;
    }
}

void Jack::attach(Sprite* part)
{
    part->setParent(this);
    part->addStateFlags(StateRelative);
}

void Jack::detach(Sprite* part)
{
    if (!part)
        return;
    part->setParent(nullptr);
    if (SpriteCanvas* owner = part->getCanvas())
        owner->removeSprite(part);
}

void Jack::dropModifiers(Sprite* sprite)
{
    if (!sprite)
        return;
    const std::vector<Modifier*> running = sprite->getModifiers();
    for (Modifier* modifier : running)
        sprite->removeModifier(modifier);
}

Sprite* Jack::getPoseSprite(int index) const
{
    return index >= 0 && index < PoseCount ? poses[index] : nullptr;
}

void Jack::setPoseSprite(const std::string& id, int index)
{
    if (index < 0 || index >= PoseCount)
        return;
    Sprite* part = partFromLayout(id);
    if (!part)
        return;
    if (poses[index]) {
        detach(poses[index]);
        poses[index]->release();
    }
    poses[index] = part;
    attach(part);
    setPartAlpha(part, index == pose ? 255 : 0);
    if (hasStateFlags(StateOnCanvas) && getCanvas())
        getCanvas()->addSpriteAfter(part, this);
}

void Jack::setPose(int n)
{
    if (n == pose)
        return;
    dropModifiers(blink);
    for (Sprite* part : poses)
        if (part)
            setPartAlpha(part, 0);
    if (Sprite* shown = getPoseSprite(n))
        setPartAlpha(shown, 255);
    pose = n;
    setDirty(true);
}

void Jack::onAddedToCanvas()
{
    XMLSprite::onAddedToCanvas();
    addStateFlags(StateOnCanvas);
    SpriteCanvas* owner = getCanvas();
    if (!owner)
        return;
    // Over the miner, in order: the blink, then the poses by index.
    Sprite* below = this;
    if (blink) {
        owner->addSpriteAfter(blink, below);
        below = blink;
    }
    for (Sprite* part : poses) {
        if (part) {
            owner->addSpriteAfter(part, below);
            below = part;
        }
    }
}

void Jack::onRemovedFromCanvas()
{
    XMLSprite::onRemovedFromCanvas();
    removeStateFlags(StateOnCanvas);
    detach(blink);
    for (Sprite* part : poses)
        detach(part);
}

void Jack::tick()
{
    frameCounter = static_cast<int>(static_cast<float>(frameCounter) + 1.0f * getFrameRate().ratio());
    if (!blink || pose != 1 || frameCounter <= nextBlink)
        return;

    setPartAlpha(blink, 255);
    ModifierDelay::start(blink, 5 + roll(5), Modifier::OptionBlocking);
    ModifierAlpha::start(blink, 255, 0, 1.0f, Modifier::OptionBlocking);
    if (roll(100) < 20) {
        ModifierDelay::start(blink, 3 + roll(3), Modifier::OptionBlocking);
        ModifierAlpha::start(blink, 0, 255, 1.0f, Modifier::OptionBlocking);
        ModifierDelay::start(blink, 5 + roll(5), Modifier::OptionBlocking);
        ModifierAlpha::start(blink, 255, 0, 1.0f, Modifier::OptionBlocking);
    }
    nextBlink = roll(150) + 200;
    frameCounter = 0;
}

JackClassic::JackClassic() : Jack("SPRITE_JACK_BLINK_CLASSIC")
{
    readXML(findLayoutElement("SPRITE_JACK_CLASSIC"));
    setPoseSprite("SPRITE_JACK_HAPPY_CLASSIC", 3);
    setPoseSprite("SPRITE_JACK_PANIC_CLASSIC", 4);
    arm = partFromLayout("SPRITE_JACK_ARM_CLASSIC");
    if (arm) {
        attach(arm);
        arm->setFrameCount(3);
        arm->setFrameWrap(WrapNone);
        setPartAlpha(arm, 0);
    }
}

JackClassic::~JackClassic()
{
    if (arm) {
        arm->setParent(nullptr);
        arm->release();
        arm = nullptr;
    }
}

void JackClassic::onAddedToCanvas()
{
    Jack::onAddedToCanvas();
    if (arm && getCanvas())
        getCanvas()->addSpriteAfter(arm, this);
}

void JackClassic::onRemovedFromCanvas()
{
    Jack::onRemovedFromCanvas();
    detach(arm);
}

void JackClassic::raiseArm()
{
    if (!arm)
        return;
    setPartAlpha(arm, 255);
    arm->setFrameDirection(Forward);
    ModifierFrame::start(arm, 10, 1, Modifier::OptionBlocking);
}

void JackClassic::lowerArm()
{
    if (!arm)
        return;
    arm->setFrameDirection(Backward);
    ModifierFrame::start(arm, 10, 1, Modifier::OptionBlocking);
    ModifierAlpha::startFromCurrent(arm, 0, 1.0f, 1);
}
