// The game's own screen transition: the left screen's picture slides out of the view while the entered
// screen's picture slides in from the opposite edge, with an optional separator strip travelling in the
// gap between them. Built from a layout element tagged "quarrytidetransition".
#pragma once

#include "toolkit/scene/TransitionSprite.h"

class RepeatingSprite;

class QuarrytideTransition : public TransitionSprite {
public:
    enum Direction : int { Right = 0, Left = 1, Down = 2, Up = 3 };

    QuarrytideTransition() = default;
    ~QuarrytideTransition() override;

    unsigned instanceSize() override { return sizeof(QuarrytideTransition); }

    // The sprite attributes, then the "repeatingsprite" child (the separator), "speed" and "direction".
    void readXML(const TiXmlElement* element) override;
    // Starts the moves once the pictures are set and the sprite is on its canvas; afterwards reports the
    // end once every move is over.
    void tick() override;
    void onRemovedFromCanvas() override;

    // Puts the pictures (and the separator) on the canvas and starts the three moves.
    void start();
    // One frame of a running transition: ends it when every move is over, else recycles the strip.
    void step();
    bool isRunning() const { return state == Running; }

    double getSpeed() const { return speed; }
    int getDirection() const { return direction; }
    RepeatingSprite* getSeparator() const { return separator; }

private:
    void removeSeparator();

    double speed = 1.0;
    RepeatingSprite* separator = nullptr;
    int direction = Down;
};

// Registers the "quarrytidetransition" tag; the screens call it so the tag is there before they build.
void registerQuarrytideTransitionCreator();
