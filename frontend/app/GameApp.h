// The game's application object: made before the program entry, it runs the game on the platform's
// frame loop. This first cut loads the layout documents and shows the load screen, which runs the
// resource catalogue's pass; the title, play and treasure screens come with the rest of the game.
#pragma once

#include "platform/app/Application.h"

class GameApp : public Application {
public:
    GameApp();

    int initGame() override;
    int getIconId() override { return 101; }
};
