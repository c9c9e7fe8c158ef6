// The openers of the game's dialogs. Each one builds its dialog and returns it, nothing more: no
// listener, no flag, no position, not on a canvas. The caller sets its DialogListener, optionally
// clears the close-on-button flag, and adds the dialog to its canvas (drawn last, input first).
// Each opener is defined beside its dialog.
#pragma once

#include <string>

class Dialog;

// The in-game menu panel drawn from the catalogue image, its buttons shown only inside the clip
// rectangle; `unused` is accepted for the play field's sake and ignored.
Dialog* openMainMenu(const std::string& imageId, int topMargin, int unused, int clipX, int clipY, int clipWidth,
                     int clipHeight);
// `required` is true from the title screen (a name must be given), false from the name list.
Dialog* openNameEntryDialog(bool required);
Dialog* openNameSelectDialog();
Dialog* openOptionsDialog();
Dialog* openHelpDialog();
Dialog* openHighscoreDialog();
Dialog* openCreditsDialog();
// `fromField` is true when the play field shows a treasure just found, false from the chest.
Dialog* openTreasureClaimedDialog(int treasure, bool fromField);
Dialog* openTreasureChestDialog();
// `modeName` is "CLASSIC" or "ENDLESS".
Dialog* openStartGameDialog(const std::string& modeName);
Dialog* openBonusDialog();
Dialog* openStopGameDialog();
