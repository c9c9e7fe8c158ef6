// Building the sprite of a named child element (a slider's knob, a tooltip manager's renderer, a
// renderer's label) from inside the parent's own building. A layout can make a child refer back to an
// element that is being built (a slider whose "button" names the slider): such a child, and a nesting
// deeper than any real layout, builds nothing instead of building for ever.
#pragma once

class Sprite;
class TiXmlElement;

// The new sprite (reference count 0), or null when the element is null, builds no sprite, or is
// already being built.
Sprite* createNestedSpriteFromXml(const TiXmlElement* child);

// Marks an element as being built for as long as it lives.
class NestedBuild {
public:
    explicit NestedBuild(const TiXmlElement* element);
    ~NestedBuild();
    NestedBuild(const NestedBuild&) = delete;
    NestedBuild& operator=(const NestedBuild&) = delete;

private:
    bool pushed = false;
};
