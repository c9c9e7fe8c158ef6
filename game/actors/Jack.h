// The miner beside the play field: a layout-built sprite that shows one of a few poses and blinks now and
// then while he stands in his normal pose. The play field and the modes set the pose to reflect the game
// (1 normal, 2 endless only, 3 happy, 4 panic). The blink and the pose pictures are sprites of their own,
// drawn relative to the miner and above him (the blink over his open eyes, then the poses in order); each
// pose picture is an overlay shown at full alpha while its pose is on.
#pragma once

#include "toolkit/sprite/XMLSprite.h"

#include <string>

class Jack : public XMLSprite {
public:
    static constexpr int PoseCount = 5;

    static const ClassRecord classRecord;

    // A miner without a blink (a stand-alone picture or a test double).
    Jack();
    // The blink comes from the layout element `blinkId`; a layout without it leaves the miner unblinking.
    explicit Jack(const std::string& blinkId);
    ~Jack() override;

    unsigned instanceSize() override { return sizeof(Jack); }
    const ClassRecord* getClass() const override { return &classRecord; }

    void onAddedToCanvas() override;
    void onRemovedFromCanvas() override;
    // The blink.
    void tick() override;

    // Builds the picture of pose `index` (0 to 4) from the layout element `id`, replacing a previous one.
    // An index out of range or an element the layout lacks changes nothing.
    void setPoseSprite(const std::string& id, int index);
    void addPose(const std::string& id, int index) { setPoseSprite(id, index); }
    // Shows pose n; the current pose changes nothing, another stops a running blink where it is.
    virtual void setPose(int n);
    int getPose() const { return pose; }

    Sprite* getBlinkSprite() const { return blink; }
    Sprite* getPoseSprite(int index) const;
    int getNextBlink() const { return nextBlink; }
    int getFrameCounter() const { return frameCounter; }

protected:
    // Attaches a part drawn relative to the miner.
    void attach(Sprite* part);
    static void detach(Sprite* part);
    static void dropModifiers(Sprite* sprite);

    Sprite* blink = nullptr;
    Sprite* poses[PoseCount] = {};
    int nextBlink = 0;
    int frameCounter = 0;
    int pose = 0;
};

// The miner of the classic mode: his picture and place from "SPRITE_JACK_CLASSIC", a happy and a panic
// pose, and an arm he raises and lowers.
class JackClassic : public Jack {
public:
    static const ClassRecord classRecord;

    JackClassic();
    ~JackClassic() override;

    unsigned instanceSize() override { return sizeof(JackClassic); }
    const ClassRecord* getClass() const override { return &classRecord; }

    void onAddedToCanvas() override;
    void onRemovedFromCanvas() override;

    // The arm steps up through its frames once.
    void raiseArm();
    // The arm steps back down and fades out.
    void lowerArm();

    Sprite* getArm() const { return arm; }

private:
    Sprite* arm = nullptr;
};
