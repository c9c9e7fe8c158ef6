// The player's settings: effects and music volumes (heard and stored as the sliders move), full
// screen and the play hints (applied by OK), and the credits behind the info button. CANCEL puts the
// volumes back as they were when the dialog opened.
#pragma once

#include "frontend/dialogs/GameDialog.h"

class ButtonBlit;
class Slider;

class OptionsDialog : public GameDialog {
public:
    OptionsDialog();
    ~OptionsDialog() override;
    unsigned instanceSize() override { return sizeof(OptionsDialog); }

    // Reads the stored volumes and the display and hint states into the controls.
    void loadVolumes();
    // Writes the sliders' volumes to the sound manager and the stored settings.
    void tick() override;
    bool onClick(ButtonBlit* button) override;

    Slider* getSfxSlider() const { return sfxSlider; }
    Slider* getMusicSlider() const { return musicSlider; }
    ButtonBlit* getFullScreenToggle() const { return fullScreenToggle; }
    ButtonBlit* getHintsToggle() const { return hintsToggle; }

private:
    Slider* sfxSlider = nullptr;
    Slider* musicSlider = nullptr;
    ButtonBlit* fullScreenToggle = nullptr;
    ButtonBlit* hintsToggle = nullptr;
    int openedSfxVolume = 0;
    int openedMusicVolume = 0;
};
