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
    void begin();
    void finish();
    void requestTitle();

    std::unique_ptr<LoadProgress> progress;
    std::uint32_t musicStartTime = 0;
};
