// The common frame of the game's framed dialogs and the kit that fills them.
//
// A GameDialog is built in three moves: its constructor makes the frame from the catalogue images
// (as wide as the header image, 0 without it), sets the margins (60, 60, 75, 65) and gap 5 and names
// the dialog; the subclass's constructor then adds its children from the top down with the add*
// helpers (each control from the layout template of its identifier, each placed below the previous
// one and centred, each button answering to the dialog); last it calls finish(), which sets the
// draggable flag, fits the height to the children and centres the dialog on the screen.
#pragma once

#include "toolkit/dialog/DialogListener.h"
#include "toolkit/dialog/FramedDialog.h"

#include <string>
#include <vector>

class ButtonBlit;
class PixelFontLabel;
class Sprite;
class SpriteContainer;
class TiXmlElement;

struct GameDialogFrame {
    std::string name;          // the dialog's identity for listeners ("DIALOG_...")
    std::string headerImageId; // sets the dialog's width
    std::string bottomImageId;
    int x = 0;
    int y = 0;
    int height = 450; // only matters until the height is fitted
    bool draggable = false;
};

// Layout margins and gaps of every framed game dialog.
constexpr int kGameDialogMarginLeft = 60;
constexpr int kGameDialogMarginRight = 60;
constexpr int kGameDialogMarginTop = 75;
constexpr int kGameDialogMarginBottom = 65;
constexpr int kGameDialogGap = 5;
constexpr int kButtonRowGap = 10;
// The frame's sides stand this far inside the dialog's rectangle on each side, and the tiled inside
// this far: controls keep within it.
constexpr int kGameDialogFrameInset = 30;

class GameDialog : public FramedDialog, public DialogListener {
public:
    explicit GameDialog(const GameDialogFrame& frame);
    ~GameDialog() override;
    unsigned instanceSize() override { return sizeof(GameDialog); }

    // A child dialog closed: the default re-enables this dialog.
    void onDialogClosed(Dialog* dialog) override;

protected:
    // A button from the layout element of `id` (a plain clickable area of button size when the layout
    // lacks it), answering to this dialog, placed below the previous child and centred.
    ButtonBlit* addButton(const std::string& id);
    // The buttons side by side, 10 pixels apart, below the previous child; buttons that do not fit between
    // the frame's sides go on further rows. Returns the last row.
    SpriteContainer* addButtonRow(const std::vector<std::string>& ids, std::vector<ButtonBlit*>* made = nullptr);
    // A text label configured by the layout element `elementId`, as wide as the dialog's inside.
    PixelFontLabel* addLabel(const std::string& text, const std::string& elementId);
    // Any sprite placed below the previous child and centred (the dialog holds it).
    void addBelow(Sprite* child);
    // The tooltip of a control is shown by this dialog's tooltip manager.
    void addTooltip(Sprite* control);
    // Steps after the children: draggable flag, height fitted to the children, centred on the screen.
    void finish();

    // Opens a child dialog over this one: this dialog is disabled until the child closes.
    void openChild(Dialog* child, bool closeOnButton = true);

    // (dialogs with inner rows) A button from the layout element of `id`, answering to this dialog,
    // its tooltip registered, not yet placed: the caller puts it into a row of its own.
    ButtonBlit* makeButton(const std::string& id);

private:
    bool draggableWhenDone = false;
    std::vector<Sprite*> tooltipSources;
};

// The layout string of `id` ("STRING_..."); the id itself when the layout lacks it.
std::string layoutString(const std::string& id);
// The layout integer of `id`, or `fallback`.
int layoutInt(const std::string& id, int fallback);
// Re-enables a dialog whose child has closed.
void reenableAfterChildDialog(Dialog* parent);
