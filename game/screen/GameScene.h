// The play screen ("SCENE_PLAY"): the screen every game runs on. The title screen fills in its new-game
// settings and switches here; each entry makes a new play field of the chosen mode, puts it on the
// screen's canvas and starts it once the transition into the screen has played. When the field has
// finished (phase Leave) the screen stores the game and goes back to the title screen.
//
// Play fields are made by a factory hook, so that the screen knows the modes only by name; the game
// installs its own, and tests install fields of their own.
#pragma once

#include "game/field/GameSettings.h"
#include "platform/app/InputListener.h"
#include "toolkit/scene/TransitionScene.h"

#include <string>

class PlayScene;

class GameScene : public TransitionScene, public InputListener {
public:
    // Makes the play field of the settings' mode (holding no reference), or null for a mode it does not
    // know.
    using PlayFieldFactory = PlayScene* (*)(GameSettings* settings);

    explicit GameScene(Application* owner);
    ~GameScene() override;

    // Installs the maker of play fields; null puts the game's own back.
    static void setPlayFieldFactory(PlayFieldFactory factory);
    // The game's own maker: the classic field for "CLASSIC"; no other mode has a field yet.
    static PlayScene* createGameField(GameSettings* settings);

    // Lowers a block set the player has not unlocked yet, makes the field and chooses the transition.
    void enter() override;
    // Lets the field go and fades the music out.
    void leave() override;
    // Goes back to the title screen once the field has finished; otherwise the screen's frame.
    void updateSelf(Surface* target, const FrameTime& frameInfo) override;
    // Losing the display pauses the game.
    void onEvent(const AppEvent& event) override;
    // Empties the screen that was left, starts the field and listens to the input.
    void onTransitionFinished() override;
    // The whole canvas drawn into a new display surface, for every caller.
    Surface* takeSnapshot(const std::string& callerName) override;

    // Writes the running field's saved game; also called when the program is asked to quit.
    void storeGame();

    GameSettings& getSettings() { return settings; }
    PlayScene* getPlayScene() const { return playScene; }

    // The block set the player may use: a set not unlocked yet falls back to the best one that is.
    static int allowedBlockSet(int blockSet);

private:
    void dropPlayScene();
    void backToTitle();

    GameSettings settings;
    PlayScene* playScene = nullptr;
};
