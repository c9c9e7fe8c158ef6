// The root of the sprite family: a reference-counted drawable with a name, a position with an anchor, a
// bounding rectangle, optional frame, source and clip rectangles, a simple frame animation, a state word
// and an input word, a parent, the canvas that holds it and an ordered list of modifiers that animate it.
//
// A Sprite draws nothing itself (BitmapSprite and what derives from it do). Nothing deletes a sprite
// directly and no setter touches the canvas: a change only marks the sprite dirty, and a sprite leaves
// its canvas by being marked obsolete; the canvas repaints and unlinks at its own pace.
#pragma once

#include "runtime/ClassRecord.h"
#include "runtime/RefCounted.h"
#include "runtime/values/Point.h"
#include "runtime/values/Rect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FrameRate;
class Modifier;
class SpriteCanvas;
class Surface;

class Sprite : public RefObject {
public:
    // State word.
    enum : std::uint32_t {
        StateObsolete = 2,
        StateDirty = 4,
        StateInputBarrier = 8,
        StateMouseInside = 32,
        StateMarked = 64,
        StateRelative = 128,
        StateOnCanvas = 256,
        StateEnabled = 512,
        StateVisible = 1024,
    };
    // Input word: a canvas hands an event only to sprites that have its bit.
    enum : std::uint32_t {
        InputLeftPressed = 2,
        InputLeftReleased = 4,
        InputMiddlePressed = 8,
        InputMiddleReleased = 16,
        InputRightPressed = 32,
        InputRightReleased = 64,
        InputMouseOver = 512,
        InputKeyPressed = 4096,
        InputKeyReleased = 8192,
        InputKeyTyped = 16384,
    };
    // Where the position sits on the bounds.
    enum Anchor : std::int32_t {
        AnchorTopLeft = 0,
        AnchorTopCenter = 1,
        AnchorTopRight = 2,
        AnchorCenterLeft = 3,
        AnchorCenter = 4,
        AnchorCenterRight = 5,
        AnchorBottomLeft = 6,
        AnchorBottomCenter = 7,
        AnchorBottomRight = 8,
    };
    // What nextFrame does at either end of the frames.
    enum FrameWrap : std::int32_t { WrapNone = 0, WrapBounce = 1, WrapLoop = 2 };
    enum FrameDirection : std::int32_t { Forward = 0, Backward = 1 };

    static const ClassRecord classRecord;

    Sprite();
    Sprite(int x, int y, int width, int height);
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;
    ~Sprite() override;

    unsigned size() override { return instanceSize(); }

    virtual unsigned instanceSize() { return sizeof(Sprite); }
    virtual const ClassRecord* getClass() const { return &classRecord; }
    // Back to the state of a new sprite (the modifier list stays).
    virtual void reset();
    virtual void onRemovedFromCanvas();
    virtual void onAddedToCanvas();
    // The subclass's own per-frame work.
    virtual void tick() {}
    virtual void draw(Surface* target) {}
    // tick, then one run of the modifier list.
    virtual void update();
    // Hit test on the absolute bounds; the right and bottom edges are outside.
    virtual bool contains(int x, int y);

    virtual const std::string& getName() const { return name; }
    virtual void setName(const std::string& newName) { name = newName; }
    virtual bool isDirty() const { return hasStateFlags(StateDirty); }
    virtual void setDirty(bool dirty);
    virtual bool isObsolete() const { return hasStateFlags(StateObsolete); }
    virtual void setObsolete(bool obsolete);
    virtual bool isInputBarrier() const { return hasStateFlags(StateInputBarrier); }
    virtual void setInputBarrier(bool barrier);
    virtual bool isMarked() const { return hasStateFlags(StateMarked); }
    virtual void setMarked(bool marked);
    virtual bool isEnabled() const { return hasStateFlags(StateEnabled); }
    virtual void setEnabled(bool enabled);
    virtual bool isVisible() const { return hasStateFlags(StateVisible); }
    virtual void setVisible(bool visible);

    virtual const Rect& getBounds() const { return bounds; }
    virtual int getAbsoluteX() const;
    virtual int getAbsoluteY() const;
    virtual int getX() const { return position.x; }
    virtual int getY() const { return position.y; }
    virtual int getWidth() const { return bounds.width; }
    virtual int getHeight() const { return bounds.height; }
    virtual Sprite* getParent() const { return parent; }

    virtual void setX(int x);
    virtual void setY(int y);
    virtual void setWidth(int width);
    virtual void setHeight(int height);
    virtual void setBoundsFrom(const Rect& rect);
    virtual void setBounds(int x, int y, int width, int height);
    virtual void setPosition(int x, int y);
    virtual void setSize(int width, int height);
    // Holds the new parent, lets the old one go, marks dirty. A sprite is never its own parent.
    virtual void setParent(Sprite* newParent);

    virtual void setStateFlags(std::uint32_t flags) { stateFlags = flags; }
    virtual void addStateFlags(std::uint32_t flags) { stateFlags |= flags; }
    virtual void removeStateFlags(std::uint32_t flags) { stateFlags &= ~flags; }
    // True when any of the bits is set.
    virtual bool hasStateFlags(std::uint32_t flags) const { return (stateFlags & flags) != 0; }
    virtual void setInputFlags(std::uint32_t flags) { inputFlags = flags; }
    virtual void addInputFlags(std::uint32_t flags) { inputFlags |= flags; }
    virtual void removeInputFlags(std::uint32_t flags) { inputFlags &= ~flags; }
    virtual bool hasInputFlags(std::uint32_t flags) const { return (inputFlags & flags) != 0; }

    // Null removes the clip rectangle (and marks dirty).
    virtual void setClipRectFrom(const Rect* rect);
    virtual void setClipRect(int x, int y, int width, int height);

    // Input handlers; the canvas calls them for the events the input word takes.
    virtual void onKeyPressed(int key) {}
    virtual void onKeyReleased(int key) {}
    virtual void onKeyTyped(int character) {}
    virtual void onSpareEventA() {}
    virtual void onSpareEventB() {}
    virtual void onMouseEntered(int x, int y) {}
    virtual void onMouseExited(int x, int y) {}
    virtual void onMouseMoved(int x, int y, int buttons) {}
    virtual void onLeftPressed(int x, int y, int buttons, int doubleClick) {}
    virtual void onLeftReleased(int x, int y, int buttons) {}
    virtual void onMiddlePressed(int x, int y, int buttons, int doubleClick) {}
    virtual void onMiddleReleased(int x, int y, int buttons) {}
    virtual void onRightPressed(int x, int y, int buttons, int doubleClick) {}
    virtual void onRightReleased(int x, int y, int buttons) {}

    // Kind test along the class records (not the C++ inheritance).
    bool isKindOf(const ClassRecord* record) const { return getClass()->isKindOf(record); }

    // Recomputes the bounds' corner; does not mark dirty.
    void setAnchor(int mode);
    int getAnchor() const { return anchorMode; }
    void setFrameRect(int x, int y, int width, int height);
    void setSourceRect(int x, int y, int width, int height);
    // Null deletes the source rectangle without marking dirty.
    void setSourceRectFrom(const Rect* rect);
    // Selects frame n of the frame rectangle's strip; without a frame rectangle nothing happens.
    void setFrame(int n);
    void nextFrame();
    // Treats the current size as n frames stacked vertically (n below 1 changes nothing).
    void setFrameCount(int n);

    const Rect* getFrameRect() const { return frameRect.get(); }
    const Rect* getSourceRect() const { return sourceRect.get(); }
    const Rect* getClipRect() const { return clipRect.get(); }
    const Rect& getDrawnBounds() const { return drawnBounds; }
    void setDrawnBounds(const Rect& rect) { drawnBounds = rect; }
    int getFrame() const { return frameIndex; }
    int getFrameCount() const { return frameCount; }
    int getFrameStepX() const { return frameStepX; }
    int getFrameStepY() const { return frameStepY; }
    void setFrameStep(int x, int y)
    {
        frameStepX = x;
        frameStepY = y;
    }
    int getFrameDirection() const { return frameDirection; }
    void setFrameDirection(int direction) { frameDirection = direction; }
    int getFrameWrap() const { return frameWrap; }
    void setFrameWrap(int mode) { frameWrap = mode; }
    std::uint32_t getStateFlags() const { return stateFlags; }
    std::uint32_t getInputFlags() const { return inputFlags; }

    // The list holds one reference on each modifier; the modifier gets a plain pointer back.
    void addModifier(Modifier* modifier);
    // Drops every entry of the modifier and marks the sprite dirty.
    void removeModifier(Modifier* modifier);
    const std::vector<Modifier*>& getModifiers() const { return modifiers; }

    SpriteCanvas* getCanvas() const { return canvas; }
    // Set by the canvas; not counted.
    void setCanvas(SpriteCanvas* owner) { canvas = owner; }
    // The owner canvas's frame rate; off a canvas a still one (rate 50, no elapsed time).
    const FrameRate& getFrameRate() const;

protected:
    void updateCorner();
    void runModifiers();

    std::vector<Modifier*> modifiers;
    Point position;
    Rect bounds;
    Rect drawnBounds;
    std::int32_t anchorMode = 0;
    std::unique_ptr<Rect> frameRect;
    std::unique_ptr<Rect> sourceRect;
    std::unique_ptr<Rect> clipRect;
    std::int32_t frameIndex = -1;
    std::int32_t frameCount = 0;
    std::int32_t frameStepX = 0;
    std::int32_t frameStepY = 0;
    std::int32_t frameDirection = Forward;
    std::int32_t frameWrap = WrapNone;
    SpriteCanvas* canvas = nullptr;
    Sprite* parent = nullptr;
    std::string name;
    std::uint32_t stateFlags = StateEnabled | StateVisible;
    std::uint32_t inputFlags = 0;
};
