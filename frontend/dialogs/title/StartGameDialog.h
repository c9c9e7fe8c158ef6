// Before a new game: the difficulty (easy, normal and, once earned, hard), the block set (one of three,
// stepped through over a preview) and, once earned, whether a group needs three or four blocks. It
// opens with the choices the player last started this mode with; the title screen reads the choices
// after "BUTTON_OK".
#pragma once

#include "frontend/dialogs/GameDialog.h"

#include <string>

class BitmapSprite;

class StartGameDialog : public GameDialog {
public:
    explicit StartGameDialog(const std::string& modeName);
    ~StartGameDialog() override;
    unsigned instanceSize() override { return sizeof(StartGameDialog); }

    bool onClick(ButtonBlit* button) override;

    // 0 easy, 1 normal, 2 hard (an index into "LIST_DIFFICULTY_NAMES").
    int getDifficulty() const;
    // 3 or 4.
    int getGroupSize() const;
    // The previewed block set, locked or not (the play screen lowers a locked one).
    int getBlockSet() const;

    void selectDifficulty(int index);
    void selectGroupSize(int size);
    // Wraps around in both directions.
    void selectBlockSet(int index);

    BitmapSprite* getBlocksPreview() const { return blocksPreview; }
    BitmapSprite* getUnavailablePreview() const { return unavailablePreview; }
    ButtonBlit* getHardToggle() const { return hardToggle; }
    ButtonBlit* getThreeToggle() const { return threeToggle; }

private:
    BitmapSprite* blocksPreview = nullptr;
    BitmapSprite* unavailablePreview = nullptr;
    ButtonBlit* easyToggle = nullptr;
    ButtonBlit* normalToggle = nullptr;
    ButtonBlit* hardToggle = nullptr;
    ButtonBlit* threeToggle = nullptr;
    ButtonBlit* fourToggle = nullptr;
};
