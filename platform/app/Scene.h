// One named screen of the application ("SCENE_LOAD", "SCENE_PLAY", ...). The application keeps its
// scenes in a list, makes one current and drives it once per frame through the component operations
// (update, draw, restore) that every scene inherits; these hooks tell the scene where it stands.
#pragma once

#include "platform/app/Component.h"

#include <string>

class AppEvent;
class Application;

class Scene : public Component {
public:
    Scene(Application* owner, const std::string& name);
    ~Scene() override;

    // Called once, right after the application appended the scene to its list.
    void onAdded() override {}
    // Called when the scene becomes current, after the application took its reference.
    virtual void enter() {}
    // Called on the current scene when another replaces it, before the application lets it go.
    virtual void leave() {}
    virtual Application* getOwner() const { return owner; }
    // The identifier by which the application finds the scene.
    const std::string& getName() const override { return sceneName; }
    // Every application event, after the application handled it, while this scene is current.
    virtual void onEvent(const AppEvent& event) {}

private:
    Application* owner;
    std::string sceneName;
};
