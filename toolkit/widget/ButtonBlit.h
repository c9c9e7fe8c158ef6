// The toolkit's push button. It keeps one of eight looks (normal, highlight, pressed, disabled, and the
// same four in the selected half), follows the pointer across its hit area, plays the sounds its layout
// element names, can flip as a toggle or stay selected as a group member, can be clicked from the
// keyboard, and tells one ButtonListener about clicks and crossings. It draws like a bitmap sprite;
// subclasses turn the state into a frame or a caption colour through setState.
#pragma once

#include "toolkit/sprite/TooltipSource.h"
#include "toolkit/sprite/XMLSprite.h"

#include <memory>
#include <string>

class ButtonListener;

class ButtonBlit : public XMLSprite, public TooltipSource {
public:
    enum State : int {
        StateNormal = 0,
        StateHighlight = 1,
        StatePressed = 2,
        StateDisabled = 3,
        StateSelectedNormal = 4,
        StateSelectedHighlight = 5,
        StateSelectedPressed = 6,
        StateSelectedDisabled = 7,
    };
    // Sprite state bit: a press the button takes is consumed.
    static constexpr std::uint32_t StateConsumesPress = 16;
    // Hand and arrow cursor shapes of the application.
    static constexpr int CursorArrow = 2;
    static constexpr int CursorHand = 3;

    // Left, top, right, bottom: edge moves of a relative area, or x, y, width, height of an absolute one.
    struct HitArea {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    static const ClassRecord classRecord;

    ButtonBlit();

    unsigned instanceSize() override { return sizeof(ButtonBlit); }
    const ClassRecord* getClass() const override { return &classRecord; }

    void readXML(const TiXmlElement* element) override;
    virtual void setUsable(bool usable);
    virtual void setState(int newState);

    void setListener(ButtonListener* newListener) { listener = newListener; }
    ButtonListener* getListener() const { return listener; }
    int getState() const { return state; }
    bool isSelected() const { return state >= 4 && state <= 7; }
    void setSelected(bool selected);
    // Active and neither disabled state.
    bool isUsable() const { return active && state != StateDisabled && state != StateSelectedDisabled; }
    // Sound, listener, cursor; no state change.
    void click();

    bool contains(int x, int y) override;
    void onMouseMoved(int x, int y, int buttons) override;
    void onLeftPressed(int x, int y, int buttons, int doubleClick) override;
    void onLeftReleased(int x, int y, int buttons) override;
    void onKeyReleased(int key) override;
    void onKeyTyped(int character) override;

    std::string getTooltip() override { return tooltip; }
    Rect getTooltipRect() override;
    bool isTooltipActive() override { return isUsable(); }
    bool isTooltipChanged() override { return false; }

    void setTooltip(const std::string& text) { tooltip = text; }
    void setToggle(bool value) { toggle = value; }
    bool isToggle() const { return toggle; }
    void setGroup(const std::string& value) { group = value; }
    const std::string& getGroup() const { return group; }
    void setHotkey(char key) { hotkey = key; }
    char getHotkey() const { return hotkey; }
    void setHotkeyCode(int code) { hotkeyCode = code; }
    int getHotkeyCode() const { return hotkeyCode; }
    void setDoHand(bool value) { doHand = value; }
    void setPressSound(const std::string& id) { pressSound = id; }
    void setEnterSound(const std::string& id) { enterSound = id; }
    void setLeaveSound(const std::string& id) { leaveSound = id; }
    void setDeselectSound(const std::string& id) { deselectSound = id; }
    // Null removes the hit area.
    void setHitArea(const HitArea* area, bool relative);
    const HitArea* getHitArea() const { return hitArea.get(); }
    bool isHitAreaRelative() const { return hitAreaRelative; }

protected:
    // Plays a non-empty sound identifier once at full volume.
    virtual void playEffect(const std::string& soundId);
    void enter();
    void leave();

    ButtonListener* listener = nullptr;
    int pressX = 0;
    int pressY = 0;
    int lastX = 0;
    int lastY = 0;
    bool doHand = true;
    char hotkey = 0;
    int hotkeyCode = -1;
    std::string tooltip;
    std::string pressSound;
    std::string enterSound;
    std::string leaveSound;
    std::string deselectSound;
    bool pressSoundPlayed = false;
    std::string group;
    bool toggle = false;
    int state = StateNormal;
    std::unique_ptr<HitArea> hitArea;
    bool hitAreaRelative = true;
};
