#include "game/endless/EndlessActors.h"

#include "platform/app/Application.h"
#include "platform/catalogue/CatalogueSound.h"
#include "platform/sound/SoundManager.h"
#include "resources/layout/LayoutDocument.h"
#include "toolkit/modifier/ModifierLocation.h"

const ClassRecord JackEndless::classRecord("JackEndless", &Jack::classRecord);

JackEndless::JackEndless() : Jack("SPRITE_JACK_BLINK_ENDLESS")
{
    addPose("SPRITE_JACK_NORMAL_ENDLESS", 1);
    addPose("SPRITE_JACK_WOOH_ENDLESS", 2);
    addPose("SPRITE_JACK_HAPPY_ENDLESS", 3);
    addPose("SPRITE_JACK_PANIC_ENDLESS", 4);
}

MineCartEndless::MineCartEndless(int, Jack* rider)
    : MineCart("IMAGE_CART_ENDLESS", "IMAGE_CART_GOLD_ENDLESS", getResourcePoint("POINT_MINE_CART_GOLD_POS_ENDLESS"),
               getResourceInt("INT_NR_OF_MINE_CART_GOLD_STAGES_ENDLESS")),
      jack(rider), ropeHeight(getResourceInt("INT_JACK_ROPE_HEIGHT"))
{
    if (jack) {
        jack->addRef();
        jack->setParent(this);
    }
}

MineCartEndless::~MineCartEndless()
{
    stopElevatorSound();
    dropRider();
}

void MineCartEndless::dropRider()
{
    Jack* rider = jack;
    jack = nullptr;
    if (!rider)
        return;
    if (rider->getParent() == this)
        rider->setParent(nullptr);
    rider->release();
}

void MineCartEndless::onRemovedFromCanvas()
{
    MineCart::onRemovedFromCanvas();
    dropRider();
    stopElevatorSound();
}

void MineCartEndless::tick()
{
    if (getModifiers().empty())
        stopElevatorSound();
    MineCart::tick();
}

void MineCartEndless::stopElevatorSound()
{
    if (elevatorChannel == -1)
        return;
    if (Application* app = Application::instance())
        if (SoundManager* sound = app->getSoundManager())
            sound->stopSound(elevatorChannel);
    elevatorChannel = -1;
}

void MineCartEndless::followScroll(double y)
{
    const bool moving = !getModifiers().empty();
    if (leaving || moving) {
        if (!moving && leaving) {
            leaving = false;
            setGoldAmount(0);
        }
        scrollOffset = 1.0;
        return;
    }
    if (scrollOffset == 1.0)
        scrollOffset = y - getY();
    setY(static_cast<int>(y - static_cast<int>(scrollOffset)));
    if (y - scrollOffset < -ropeHeight) {
        // The rope is spent: the elevator pulls the cart back to the top.
        scrollOffset = 1.0;
        if (ModifierLocationLine* move = ModifierLocationLine::start(this, getX(), getY(), getX(), 0,
                                                                     getResourceFloat("FLOAT_JACK_ASCEND_SPEED"),
                                                                     Modifier::OptionBlocking)) {
            move->setAdjustX(false);
            move->setEaseInOut(true);
        }
        if (jack)
            jack->setPose(2);
        if (elevatorChannel == -1)
            elevatorChannel = loopSound("SOUND_MINE_ELEVATOR", 255);
    } else if (jack && jack->getPose() == 2) {
        jack->setPose(1);
    }
}
