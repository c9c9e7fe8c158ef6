// The treasure screen: the lantern-lit cave wall with the player's treasure chest on it. Reached from
// the title screen; closing the chest goes back there.
#pragma once

#include "platform/app/InputListener.h"
#include "toolkit/scene/TransitionScene.h"

class TreasureScene : public TransitionScene, public InputListener {
public:
    explicit TreasureScene(Application* owner);
    ~TreasureScene() override;

    void enter() override;
    void leave() override;
    void onTransitionFinished() override;
    // The chest closed, whatever its answer: back to the title screen.
    void onDialogClosed(Dialog* dialog) override;
    Surface* takeSnapshot(const std::string& callerName) override;
};
