// The common base of the modifiers: small animators attached to one sprite. A sprite runs its list once
// per frame (Sprite::update); a modifier reports completion only by adding StateFinished, and a finished
// modifier with OptionRemoveParent marks its sprite obsolete. The sprite holds the modifier, not the
// reverse: the sprite pointer here is not counted.
#pragma once

#include "runtime/ClassRecord.h"
#include "runtime/RefCounted.h"

#include <string>

class FrameRate;
class Sprite;
class TiXmlElement;

class Modifier : public RefObject {
public:
    enum : int {
        OptionBlocking = 2,     // the modifiers behind this one wait until it has finished
        OptionRemoveParent = 4, // finishing marks the sprite obsolete
    };
    enum : int { StateFinished = 2 };

    static const ClassRecord classRecord;

    Modifier() = default;
    Modifier(const Modifier&) = delete;
    Modifier& operator=(const Modifier&) = delete;
    ~Modifier() override = default;

    unsigned size() override { return getSize(); }

    virtual unsigned getSize() { return sizeof(Modifier); }
    virtual const ClassRecord* getClass() const { return &classRecord; }
    // The per-frame step.
    virtual void update() {}
    // "name", "removeparent" and "blocking"; an absent attribute leaves its field alone.
    virtual void readXML(const TiXmlElement* element);

    void setSprite(Sprite* target) { sprite = target; }
    Sprite* getSprite() const { return sprite; }
    const std::string& getName() const { return name; }
    void setName(const std::string& newName) { name = newName; }

    bool hasState(int bits) const { return (state & bits) != 0; }
    void addState(int bits) { state |= bits; }
    int getState() const { return state; }
    bool hasOption(int bits) const { return (options & bits) != 0; }
    void setOptions(int word) { options = word; }
    void addOption(int bits) { options |= bits; }
    void removeOption(int bits) { options &= ~bits; }
    int getOptions() const { return options; }

    // The sprite's frame rate (a still one when the sprite is on no canvas or there is no sprite).
    const FrameRate& getFrameRate() const;

    static double lerp(double a, double b, float t) { return static_cast<double>(t) * (b - a) + a; }
    static double smoothstep(double t) { return t * t * (3.0 - 2.0 * t); }
    // What every value written to a sprite goes through: truncated toward zero, held inside the int range
    // (a runaway speed or a not-a-number gives the nearest edge or 0 instead of undefined behaviour).
    static int toInt(double value);

protected:
    // The end of every modifier, in this order: the finished bit, then "removeparent" marks the sprite
    // obsolete so that its canvas drops it once the frame's update is over.
    void finish();
    // Elapsed time of the frame in nominal frames (1.0 for 20 ms); 0 off a canvas.
    float frameRatio() const;

    Sprite* sprite = nullptr;
    std::string name;
    int options = 1;
    int state = 1;
};
