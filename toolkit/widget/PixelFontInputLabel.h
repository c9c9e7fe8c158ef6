// The toolkit's one-line text field: a PixelFontLabel that takes typed characters through a character
// filter and a length limit, edits with the usual keys (Backspace, Delete, Home, End, Left, Right, with
// Ctrl for word steps), selects with Shift or the mouse, shows the selection and a blinking cursor as
// inverted rectangles, and refuses what its filter or its limit refuses with the exclamation beep.
//
// Text is single-byte; a byte of 161 or more is half of a double-byte character, and the cursor moves
// and deletes over such pairs whole.
#pragma once

#include "toolkit/widget/PixelFontLabel.h"

#include <memory>
#include <string>

class PixelFontInputLabel;

// The cursor's blink: visible for timeOn milliseconds, then hidden for timeOff, over and over; drawn as
// an inverted rectangle.
class CursorBlinker {
public:
    explicit CursorBlinker(PixelFontInputLabel* owner) : owner(owner) {}

    // Advances the phase by the frame's milliseconds; true when the visibility flipped.
    bool update(int elapsedMs);
    // Starts a new visible period.
    void restart();
    void setSize(int newWidth, int newHeight)
    {
        width = newWidth;
        height = newHeight;
    }
    void draw(Surface* target, int x, int y);

    PixelFontInputLabel* getOwner() const { return owner; }
    int timeOn = 750;
    int timeOff = 250;
    int phase = 0;
    bool visible = true;
    int width = 0;
    int height = 0;
    bool changed = false;

private:
    PixelFontInputLabel* owner;
};

class PixelFontInputLabel : public PixelFontLabel {
public:
    // Keys the field edits with (virtual-key codes).
    enum Key : int {
        KeyBackspace = 8,
        KeyTab = 9,
        KeyEnter = 13,
        KeyShift = 16,
        KeyCtrl = 17,
        KeyEscape = 27,
        KeyEnd = 35,
        KeyHome = 36,
        KeyLeft = 37,
        KeyRight = 39,
        KeyDelete = 46,
    };
    // What is held down while editing.
    enum Held : int { HeldCtrl = 1, HeldShift = 2, HeldMouse = 8 };
    // Sprite state bit: a press on the field is consumed.
    static constexpr std::uint32_t StateConsumesPress = 16;

    static const ClassRecord classRecord;
    // The characters a field accepts unless "charfilter" says otherwise.
    static const std::string& defaultCharacterSet();

    PixelFontInputLabel();
    ~PixelFontInputLabel() override;

    unsigned instanceSize() override { return sizeof(PixelFontInputLabel); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void readXML(const TiXmlElement* element) override;
    void drawAt(Surface* target, int x, int y) override;
    // The blink of the cursor.
    void tick() override;

    // The label's setText; the cursor goes to the end of the new text.
    void setText(const std::string& newText) override;

    void setFocused(bool value);
    bool isFocused() const { return focused; }
    // Clamped to the text; restarts the blink; extends the selection while selecting.
    void setCursor(int position);
    int getCursor() const { return cursor; }
    int getCursorX() const { return cursorX; }
    // Equal indices leave no selection (the end becomes -1).
    void setSelection(int start, int end);
    void setSelectionStart(int start);
    void setSelectionEnd(int end);
    void selectAll();
    void clearSelection() { setSelection(-1, -1); }
    bool hasSelection() const { return selectionStart != -1 && selectionEnd != -1; }
    int getSelectionStart() const { return selectionStart; }
    int getSelectionEnd() const { return selectionEnd; }
    // Erases the selected characters and puts the cursor where they began; false without a selection.
    bool deleteSelection();

    void setNumbersOnly(bool value) { numbersOnly = value; }
    bool isNumbersOnly() const { return numbersOnly; }
    // Below 0: no limit.
    void setMaxLength(int value) { maxLength = value; }
    int getMaxLength() const { return maxLength; }
    void setCharFilter(const std::string& value) { charFilter = value; }
    const std::string& getCharFilter() const { return charFilter; }
    void setReadOnly(bool value) { readOnly = value; }
    bool isReadOnly() const { return readOnly; }
    void setCursorWidth(int value) { cursorWidth = value; }
    int getCursorWidth() const { return cursorWidth; }
    bool isSelecting() const { return selecting; }
    int getHeldInput() const { return heldInput; }
    CursorBlinker& getBlinker() { return *blinker; }

    void onKeyPressed(int key) override;
    void onKeyReleased(int key) override;
    void onKeyTyped(int character) override;
    void onMouseMoved(int x, int y, int buttons) override;
    void onLeftPressed(int x, int y, int buttons, int doubleClick) override;
    void onLeftReleased(int x, int y, int buttons) override;
    void onMouseExited(int x, int y) override;

    // The character index under a screen x.
    int characterAt(int x) const;

protected:
    int textWidth(int from, int to) const;
    // Bytes of a double-byte half (161 or more) among the first `count` bytes of the text.
    int highBytesBefore(int count) const;
    int stepLeft(int from) const;
    int stepRight(int from) const;
    // Erases count bytes at position; the text changed and the sprite needs repainting.
    void erase(int position, int count);
    // Left or Right without Ctrl: a selection left behind by a finished Shift drag goes instead.
    bool dropsSelection();

    bool numbersOnly = false;
    int cursor = 0;
    int maxLength = -1;
    std::string charFilter;
    int selectionStart = -1;
    int selectionEnd = -1;
    bool selecting = false;
    int heldInput = 0;
    bool readOnly = false;
    bool focused = false;
    int cursorX = 0;
    int cursorWidth = 2;
    std::unique_ptr<CursorBlinker> blinker;
    // Where the button went down, until it comes up.
    int pressX = -1;
    int pressY = -1;
};
