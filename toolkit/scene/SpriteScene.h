// The screen that nearly every scene is: a Scene with a root sprite canvas that holds the screen's sprites.
// The application updates and draws the current scene once per frame; the scene passes the frame's
// values on to the canvas and renders it into the back buffer. The listener operations do nothing, so a
// screen can hand itself to its buttons and dialogs and override only what it needs.
#pragma once

#include "platform/app/Scene.h"
#include "toolkit/dialog/DialogListener.h"
#include "toolkit/widget/ButtonListener.h"

#include <string>

class SpriteCanvas;
class Surface;
class Sprite;

class SpriteScene : public Scene, public ButtonListener, public DialogListener {
public:
    // Every screen of the game is 640 by 480 with one tile of the same size.
    SpriteScene(Application* owner, const std::string& name, int width, int height, int tileWidth, int tileHeight);
    ~SpriteScene() override;

    // The canvas's update with the frame's seconds, milliseconds and measured frame rate.
    void updateSelf(Surface* target, const FrameTime& frameInfo) override;
    // Renders the root canvas into the target (nothing without one).
    void paint(Surface* target, const FrameTime& frameInfo) override;

    bool onClick(ButtonBlit* button) override { return false; }
    bool onEnter(ButtonBlit* button) override { return false; }
    bool onLeave(ButtonBlit* button) override { return false; }
    void onDialogClosed(Dialog* dialog) override {}

    SpriteCanvas* getCanvas() const { return canvas; }
    // The screens that have one store their tooltip manager here and free it themselves.
    Sprite* getTooltipManager() const { return tooltipManager; }
    void setTooltipManager(Sprite* manager) { tooltipManager = manager; }

protected:
    // The whole canvas drawn afresh into a new display surface of its size (one reference for the
    // caller), or null without a display or a canvas. Screens answer snapshot requests with it.
    Surface* snapshotCanvas();

    SpriteCanvas* canvas = nullptr;
    Sprite* tooltipManager = nullptr;
};
