// The load screen: starts the advertising SDK, loads the catalogue at one step every other frame
// behind the loading picture and its progress bar, then lets the application read its data, makes the
// play screen, starts the title's sounds and hands over to the title screen.
#pragma once

#include "frontend/screens/LoadProgress.h"
#include "platform/app/InputListener.h"
#include "platform/app/Scene.h"

#include <cstdint>
#include <memory>

class AnimatedLabel;

class LoadScene : public Scene, public InputListener {
public:
    explicit LoadScene(Application* owner);
    ~LoadScene() override;

    void enter() override;
    void leave() override;
    void updateSelf(Surface* target, const FrameTime& frameInfo) override;
    void paint(Surface* target, const FrameTime& frameInfo) override;
    void restore() override;
    // Once loading is done a key or a click asks for the title (again); before, input does nothing.
    void keyPressed(int key) override;
    void mousePressed(int x, int y, int buttons, int doubleClick) override;

    const LoadProgress* getProgress() const { return progress.get(); }
    const AnimatedLabel* getLabel() const { return label; }

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
    void begin();
    void makeLabel();
    void finish();
    void requestTitle();

    // The loading message, laid out and coloured by the data set's "LABEL_LOADING_MESSAGE". The screen
    // paints it itself, after the picture and the bar, so a frame it keeps is never drawn over twice.
    AnimatedLabel* label = nullptr;
    std::unique_ptr<LoadProgress> progress;
    std::uint32_t musicStartTime = 0;
    PaintedFrame painted;
};
