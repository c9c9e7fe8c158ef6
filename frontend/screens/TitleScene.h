// The title screen ("SCENE_TITLE"), the hub of the game: the two mode buttons, the column of small
// buttons (help, online score list, quit, options), the treasure chest with its glow and sparkles, the
// change-name button, the welcome balloon and the blinking miner. From here a game is started or
// continued, the player's name is entered or changed, the treasure screen is visited or the game quits.
// The screen is rebuilt from the layout each time it is entered and emptied when it is left.
#pragma once

#include "platform/app/InputListener.h"
#include "toolkit/scene/TransitionScene.h"

#include <string>

class BitmapSprite;
class ButtonBlit;
class Dialog;
class PixelFontLabel;
struct GameSettings;

class TitleScene : public TransitionScene, public InputListener {
public:
    explicit TitleScene(Application* owner);
    ~TitleScene() override;

    void enter() override;
    void leave() override;
    void onTransitionFinished() override;
    // The screen's frame, then the chest's glow and sparkles.
    void updateSelf(Surface* target, const FrameTime& frameInfo) override;
    Surface* takeSnapshot(const std::string& callerName) override;

    bool onClick(ButtonBlit* button) override;
    bool onEnter(ButtonBlit* button) override;
    bool onLeave(ButtonBlit* button) override;
    void onDialogClosed(Dialog* dialog) override;

    // Starts the game the play screen's settings describe (a new one deletes the mode's saved game).
    void startGame();
    // The mode buttons' tooltips (with the saved-game note) and the balloon's welcome.
    void updateTexts();
    // One frame of the chest: a chance of a sparkle and a step of the glow's pulse.
    void animateChest();

    // The user signed in through the game portal (empty when signed out), named in the score list's
    // address. Set by the program entry.
    static void setSignedInUser(const std::string& name);
    // The online score list's address for that user (the name URL-encoded, so it cannot add parameters).
    static std::string scoreListAddress(const std::string& user);

    BitmapSprite* getSaveGameIcon() const { return saveGameIcon; }
    BitmapSprite* getClosedGlow() const { return closedGlow; }
    BitmapSprite* getOpenedGlow() const { return openedGlow; }
    BitmapSprite* getCurrentGlow() const { return currentGlow; }
    ButtonBlit* getChestButton() const { return chestButton; }
    bool isIdle() const { return idle; }
    void setIdle(bool value) { idle = value; }

private:
    bool enteredFromLoad() const;
    GameSettings* playSettings() const;
    void startMode(const std::string& mode);
    // The continue question built from the mode's saved game, or null when the game cannot be read.
    Dialog* savedGameQuestion(GameSettings& settings);
    void showDialog(Dialog* dialog, bool closeOnButton);
    void setTooltipsEnabled(bool enabled);
    void makeSparkle(double progress);

    PixelFontLabel* balloon = nullptr;
    ButtonBlit* chestButton = nullptr;
    BitmapSprite* closedGlow = nullptr;
    BitmapSprite* openedGlow = nullptr;
    BitmapSprite* currentGlow = nullptr;
    BitmapSprite* saveGameIcon = nullptr;
    // The icon's layout y, beside the classic button.
    int saveGameIconY = 0;
    bool glowRising = true;
    // Cleared at every click, set when a dialog of the screen closes: the chest rests meanwhile. Set at
    // the start, so the chest shines on a plain first entry.
    bool idle = true;
};
