// The program's generic message dialogs and the building blocks of the game's own dialogs.
//
// Each message dialog is a framed dialog 350 high at (100, 100), as wide as its header image, with one
// text (looked up by the caller) and one or two buttons from the layout ("BUTTON_OK", "BUTTON_YES",
// "BUTTON_NO", "BUTTON_CUTOVER"), fitted in height to what it holds and centred on the screen. The
// dialog is returned without a reference and not on a canvas: the caller sets its listener, adds it to
// its scene's canvas and, when told, reads the pressed button (the result) by its name.
#pragma once

#include <string>

class BitmapSprite;
class ButtonBlit;
class ButtonListener;
class FramedDialog;
class PixelFontInputLabel;
class PixelFontLabel;
class Sprite;
class SpriteContainer;
class SurfaceHolder;
class TiXmlElement;

// Puts the sprite in the middle of the screen.
void centerOnScreen(Sprite* sprite);
// A new label with the text, then configured by the layout element (null reads nothing).
PixelFontLabel* createPixelFontLabel(const std::string& text, const TiXmlElement* element);
// A new text field configured by the layout element (null reads nothing).
PixelFontInputLabel* createInputLabel(const TiXmlElement* element);
// A new sprite of the catalogue image's size that draws the image (through its mask map when it has
// one); without the image, an empty sprite.
BitmapSprite* createImageSprite(const std::string& imageId);
BitmapSprite* createImageSpriteFromImage(SurfaceHolder* image);
// The dialog button the layout element describes, reporting to the listener. A button the layout
// lacks still has to answer its dialog, or the player could never close it: a plain clickable area of
// the usual button size, named like the missing element (and the omission logged).
ButtonBlit* createDialogButton(const std::string& id, const TiXmlElement* element, ButtonListener* listener);
// A row of the control with a label beside it (the label 15 pixels wider than its text); the control
// reports to the listener and the row carries the control's tooltip.
SpriteContainer* createLabeledControl(const std::string& text, const TiXmlElement* labelElement, ButtonBlit* control,
                                      ButtonListener* listener);

// "BUTTON_OK"; draggable.
FramedDialog* showOkDialog(const std::string& name, const std::string& headerImageId, const std::string& text);
// "BUTTON_YES" and "BUTTON_NO" side by side; draggable.
FramedDialog* showYesNoDialog(const std::string& name, const std::string& headerImageId, const std::string& text);
// The same, not draggable; a large one has the tall bottom piece and 200 pixels of extra height.
FramedDialog* showYesNoDialogLarge(const std::string& name, const std::string& headerImageId, const std::string& text,
                                   bool large);
// "BUTTON_OK"; draggable. With the second text shown, 200 pixels taller, with the second text at
// y 200 in the extra room.
FramedDialog* showOkSliderDialog(const std::string& name, const std::string& headerImageId, const std::string& text,
                                 const std::string& secondText, bool showSecondText);
// "BUTTON_CUTOVER", which hands the player over to the portal shell and leaves the dialog open; not
// draggable.
FramedDialog* showCutoverDialog(const std::string& name, const std::string& headerImageId, const std::string& text);
