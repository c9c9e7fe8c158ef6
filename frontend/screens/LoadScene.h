// The load screen: one step of the resource catalogue's pass per frame, with the loading picture, a
// progress bar and, once the fonts are in, the loading message. When the pass is complete it lets the
// application enable its full-screen switch, plays the tune and starts the mine's ambience, and shows
// the logo. The title, play and treasure screens that follow it come with the rest of the game.
#pragma once

#include "platform/app/Scene.h"

class LoadScene : public Scene {
public:
    explicit LoadScene(Application* owner);

    void updateSelf(Surface* target, const FrameTime& frameInfo) override;
    void paint(Surface* target, const FrameTime& frameInfo) override;

private:
    void drawLoading(Surface* target);
    void drawLoaded(Surface* target);

    bool started = false;
    bool finished = false;
};
