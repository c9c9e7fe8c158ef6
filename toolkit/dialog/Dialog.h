// The toolkit's modal panel. A dialog opens by being added to its scene's canvas and closes by being
// removed from it. While it is on the canvas it is an input barrier: nothing beneath it gets mouse or
// key input, outside its own rectangle too. It listens to its own buttons: a button keeps itself as the
// dialog's result, the dialog tells its one listener, disables itself and (unless its owner closes it)
// leaves the canvas. A draggable dialog follows the mouse and stays wholly on the screen. Each dialog
// carries a tooltip manager made from the layout element "TOOLTIPS_DEFAULT", which follows it onto the
// canvas and leaves with it.
//
// The hand-over button ("BUTTON_CUTOVER") answers nothing: it hands the player over to the portal shell
// and leaves the dialog as it was.
#pragma once

#include "toolkit/sprite/SpriteContainer.h"
#include "toolkit/widget/ButtonListener.h"

#include <cstdint>

class ButtonBlit;
class DialogListener;
class Surface;
class SurfaceHolder;
class TooltipManagerSprite;

class Dialog : public SpriteContainer, public ButtonListener {
public:
    // Left presses, left releases and mouse-over events (the other two bits select nothing).
    static constexpr std::uint32_t DialogInputFlags = 0x386;
    static constexpr int CursorArrow = 2;
    static constexpr int CursorHand = 3;

    Dialog();
    // Margins and gaps 10.
    Dialog(int x, int y, int width, int height);
    ~Dialog() override;

    unsigned instanceSize() override { return sizeof(Dialog); }

    void onAddedToCanvas() override;
    // A dialog that listens to others (it opened them above itself) takes them along when it leaves its
    // canvas: none is left answering to a dialog that is gone.
    void onRemovedFromCanvas() override;
    // Leaving the canvas takes the tooltip manager along; the dialog forgets it.
    void setObsolete(bool obsolete) override;
    void onMouseMoved(int x, int y, int buttons) override;
    void onLeftPressed(int x, int y, int buttons, int doubleClick) override;
    void onLeftReleased(int x, int y, int buttons) override;

    bool onClick(ButtonBlit* button) override;
    bool onEnter(ButtonBlit* button) override { return true; }
    bool onLeave(ButtonBlit* button) override { return true; }

    // The whole image at (x, y), cut to the clip rectangle.
    virtual void drawImage(SurfaceHolder* image, Surface* target, int x, int y, int clipX, int clipY, int clipW,
                           int clipH);
    // The image part (srcX, srcY, width, height) at (x, y), cut to the clip rectangle.
    virtual void drawImagePart(SurfaceHolder* image, int srcX, int srcY, int width, int height, Surface* target, int x,
                               int y, int clipX, int clipY, int clipW, int clipH);

    // Tells the listener, when there is one, that the dialog was answered.
    void notifyListener();

    void setListener(DialogListener* newListener) { listener = newListener; }
    DialogListener* getListener() const { return listener; }
    // The button that answered the dialog, or null.
    ButtonBlit* getResult() const { return result; }
    // Holds the button (null clears the result).
    void setResult(ButtonBlit* button);
    void setDraggable(bool value) { draggable = value; }
    bool isDraggable() const { return draggable; }
    bool isDragging() const { return dragging; }
    void setCloseOnButton(bool value) { closeOnButton = value; }
    bool getCloseOnButton() const { return closeOnButton; }
    TooltipManagerSprite* getTooltipManager() const { return tooltipManager; }
    int getGrabOffsetX() const { return grabX; }
    int getGrabOffsetY() const { return grabY; }

protected:
    ButtonBlit* result = nullptr;
    TooltipManagerSprite* tooltipManager = nullptr;
    bool draggable = false;
    bool dragging = false;
    bool closeOnButton = true;
    int grabX = 0;
    int grabY = 0;
    DialogListener* listener = nullptr;

private:
    void setUp();
};
