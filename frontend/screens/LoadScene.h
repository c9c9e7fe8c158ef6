// The load screen: starts the advertising SDK, loads the catalogue at one step every other frame
// behind the loading picture, its message and its progress bar, then lets the application read its
// data, makes the title, play and treasure screens, starts the title's sounds and hands over to the
// title screen, which slides in over a picture of this one.
#pragma once

#include "frontend/screens/LoadProgress.h"
#include "platform/app/InputListener.h"
#include "platform/app/Scene.h"
#include "toolkit/scene/SceneSnapshot.h"

#include <cstdint>
#include <memory>

class AnimatedLabel;
class AnimationComponent;

class LoadScene : public Scene, public InputListener, public SceneSnapshot {
public:
    explicit LoadScene(Application* owner);
    ~LoadScene() override;

    // Starts the SDK and the catalogue and makes the message and the bar.
    void onAdded() override;
    // Shows the message and the bar and listens for input.
    void enter() override;
    // Starts the title music at once when its time has not come yet.
    void leave() override;
    void updateSelf(Surface* target, const FrameTime& frameInfo) override;
    void draw(Surface* target, const FrameTime& frameInfo) override;
    void paint(Surface* target, const FrameTime& frameInfo) override;
    void restoreLost() override;
    // Once loading is done a key or a click asks for the title (again); before, input does nothing.
    void keyPressed(int key) override;
    void mousePressed(int x, int y, int buttons, int doubleClick) override;

    // The screen as it stands, drawn into a new surface of its size (one reference for the caller).
    Surface* takeSnapshot(const std::string& callerName) override;
    const std::string& getSceneName() const override { return getName(); }

    const LoadProgress* getProgress() const { return progress.get(); }
    const AnimatedLabel* getLabel() const { return label; }
    AnimationComponent* getLoadBar() const { return bar; }
    // When the title music is due (timeGetTime), 0 when it is not waiting.
    std::uint32_t getMusicStartTime() const { return musicStartTime; }

private:
    // What a frame of the load screen shows, and where and when it was drawn.
    struct PaintedFrame {
        Surface* target = nullptr;
        Surface* picture = nullptr;
        Surface* bar = nullptr;
        int barWidth = -1;
        bool message = false;
        std::uint32_t number = 0;
    };

    bool keepsLastFrame(const PaintedFrame& frame);
    void makeLabel();
    void makeBar();
    // The shown percentage on the screen: the message set again, the bar as wide as its share.
    void showProgress();
    void finish();
    void requestTitle();
    void startTitleMusic();

    AnimatedLabel* label = nullptr;
    // Over "IMAGE_LOADBAR" at "POINT_LOADINGBAR", clipped: its width is how much of the bar shows.
    AnimationComponent* bar = nullptr;
    int barFullWidth = 0;
    int barFullHeight = 0;
    std::unique_ptr<LoadProgress> progress;
    std::uint32_t musicStartTime = 0;
    PaintedFrame painted;
};
