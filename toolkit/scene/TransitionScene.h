// A screen that is entered through a transition: on entry it photographs the screen that asked for the
// switch and itself, hands both pictures to its transition sprite and plays that sprite on a canvas of
// its own until the sprite reports that its animation has ended; only then does it run its own entry
// step, onTransitionFinished. Without a transition sprite (none chosen, or none in the layouts) the entry
// step runs at once.
//
// A concrete scene overrides enter(), chooses its transition (chooseTransition: the layout element
// "TRANSITION_" + left screen + "_TO_" + entered screen) and then calls TransitionScene::enter().
//
// The scene holds a reference on the transition sprite it was given until the transition has played (or
// is replaced), so a transition that never plays is not lost.
#pragma once

#include "toolkit/scene/SceneSnapshot.h"
#include "toolkit/scene/SpriteScene.h"

#include <string>

class TransitionSprite;

class TransitionScene : public SpriteScene, public SceneSnapshot {
public:
    TransitionScene(Application* owner, const std::string& name, int width, int height, int tileWidth,
                    int tileHeight);
    ~TransitionScene() override;

    // The sprite to play at the next enter() (null: none).
    void setTransition(TransitionSprite* sprite);
    TransitionSprite* getTransition() const { return transitionSprite; }
    // The screen that asked for the switch; it calls this on the target before the switch.
    void setPreviousScene(SceneSnapshot* snapshot) { previousScene = snapshot; }
    SceneSnapshot* getPreviousScene() const { return previousScene; }
    // True when a previous screen is set and its name is exactly `name`.
    bool cameFrom(const std::string& name) const;

    // Starts the transition, or runs the entry step at once when there is none to play.
    void enter() override;
    // While the transition runs: the transition canvas, not the root canvas; once the sprite has
    // finished, takes the transition down and runs the entry step.
    void updateSelf(Surface* target, const FrameTime& frameInfo) override;
    void paint(Surface* target, const FrameTime& frameInfo) override;

    const std::string& getSceneName() const override { return getName(); }
    // The scene's own entry step, once per entry, after the transition.
    virtual void onTransitionFinished() = 0;

    bool isRunning() const { return running; }
    SpriteCanvas* getTransitionCanvas() const { return transitionCanvas; }

    // "TRANSITION_" + left + "_TO_" + entered.
    static std::string transitionId(const std::string& left, const std::string& entered);
    // A scene name without its "SCENE_" prefix ("SCENE_TITLE" gives "TITLE").
    static std::string shortName(const std::string& sceneName);
    // Builds the transition sprite of the layout element `id` through the object factory and sets it.
    // No element, or one that builds no transition sprite, sets none (logged, naming the identifier).
    bool setTransitionFromLayout(const std::string& id);
    // When the previous screen is `previousSceneName`: the transition from its short name to `entered`
    // (setTransitionFromLayout). Otherwise, and when that fails, no transition. True when one is set.
    bool chooseTransition(const std::string& previousSceneName, const std::string& entered);

protected:
    // Takes the transition canvas down; the sprite leaves with it.
    void dropTransitionCanvas();

    SceneSnapshot* previousScene = nullptr;
    SpriteCanvas* transitionCanvas = nullptr;
    TransitionSprite* transitionSprite = nullptr;
    bool running = false;
};
