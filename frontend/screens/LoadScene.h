// The load screen: starts the advertising SDK, loads the catalogue at one step every other frame
// behind the loading picture and its progress bar, then lets the application read its data, makes the
// play screen, starts the title's sounds and hands over to the title screen.
#pragma once

#include "frontend/screens/LoadProgress.h"
#include "platform/app/Scene.h"

#include <cstdint>
#include <memory>

class LoadScene : public Scene {
public:
    explicit LoadScene(Application* owner);

    void enter() override;
    void leave() override;
    void updateSelf(Surface* target, const FrameTime& frameInfo) override;
    void paint(Surface* target, const FrameTime& frameInfo) override;

    const LoadProgress* getProgress() const { return progress.get(); }

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
    void finish();
    void requestTitle();

    std::unique_ptr<LoadProgress> progress;
    std::uint32_t musicStartTime = 0;
    PaintedFrame painted;
};
