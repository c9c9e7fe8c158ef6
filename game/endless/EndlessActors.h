// The endless mode's miner and cart. The miner rides in an elevator cart that hangs on a rope: the cart
// rises with the scrolling field until the rope is spent, then the elevator pulls it back up to the top
// with its looping sound while the miner cheers.
#pragma once

#include "game/actors/Jack.h"
#include "game/actors/MineCart.h"

// The miner of the endless mode: a blink and four poses (normal, wooh, happy, panic) from the layout.
class JackEndless : public Jack {
public:
    static const ClassRecord classRecord;

    JackEndless();

    unsigned instanceSize() override { return sizeof(JackEndless); }
    const ClassRecord* getClass() const override { return &classRecord; }
};

class MineCartEndless : public MineCart {
public:

    // The level number is not painted on this cart. The miner rides in it: the cart becomes his parent.
    MineCartEndless(int levelNumber, Jack* jack);
    ~MineCartEndless() override;

    unsigned instanceSize() override { return sizeof(MineCartEndless); }
    // Reports itself as a plain picture sprite.
    const ClassRecord* getClass() const override { return &BitmapSprite::classRecord; }

    // Taken off the canvas the cart lets its miner go (he holds the cart as his parent: the pair would
    // otherwise keep each other alive).
    void onRemovedFromCanvas() override;
    void dropRider();
    // The elevator sound ends once the elevator move has finished.
    void tick() override;
    void leave() override { stopElevatorSound(); }

    // Every frame with the field's scroll position (falling as the field moves up).
    void followScroll(double y);
    void stopElevatorSound();

    void setLeaving(bool value) { leaving = value; }
    bool isLeaving() const { return leaving; }
    Jack* getJack() const { return jack; }
    double getScrollOffset() const { return scrollOffset; }
    int getElevatorChannel() const { return elevatorChannel; }

private:
    Jack* jack = nullptr;
    // Scroll position minus the cart's y when it began following; 1.0 while not measured.
    double scrollOffset = 1.0;
    int ropeHeight = 0;
    int elevatorChannel = -1;
    bool leaving = false;
};
