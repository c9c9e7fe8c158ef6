// The in-game menu: a picture that the play field slides over the playing area, with a column of six
// buttons (help, options, the online score list, the treasure chest, stop game, resume). It opens the
// other dialogs above itself, slides away on resume, and tells the play field whenever it leaves the
// canvas or the stop-game question is answered with yes or no.
#pragma once

#include "toolkit/dialog/Dialog.h"
#include "toolkit/dialog/DialogListener.h"

#include <string>
#include <vector>

class SurfaceHolder;

class MainMenuPanel : public Dialog, public DialogListener {
public:
    // The panel's buttons, top to bottom.
    static const char* const kButtonIds[6];
    // Where the online score list lives (scheme and host, no trailing slash).
    static const char* const kScoreListServer;

    MainMenuPanel(const std::string& imageId, int topMargin, int clipX, int clipY, int clipWidth, int clipHeight);
    ~MainMenuPanel() override;
    unsigned instanceSize() override { return sizeof(MainMenuPanel); }

    void onRemovedFromCanvas() override;
    void draw(Surface* target) override;

    bool onClick(ButtonBlit* button) override;
    void onDialogClosed(Dialog* dialog) override;

    SpriteContainer* getButtonColumn() const { return column; }

private:
    void openAbove(Dialog* dialog, bool closeOnButton = true);

    SurfaceHolder* image = nullptr;
    SpriteContainer* column = nullptr;
    // Set once resume has started the slide out: the leaving menu takes no further button, so it
    // reports resume to the play field when it is gone.
    bool resuming = false;
};

// The online score list's address; a signed-in player's name is passed form-encoded.
std::string scoreListAddress(bool signedIn, const std::string& userName);
// The signed-in user from the program's arguments (the program name first, then the shell's, each read
// from its second character: the third is 0 when nobody is signed in, the fourth is the user's name).
bool signedInUser(const std::vector<std::string>& arguments, std::string& userName);
