// Sprites that build other sprites while they read their layout element (a strip's template, a
// scroller's layers, a slider's knob, a tooltip's renderer and label) can meet their own element again:
// a child looked up through the enclosing scope or a "setup" chain may be an ancestor, and such loops
// can branch. Each such reader holds a NestedBuild while it reads; a child that is already being built,
// a nesting deeper than any real layout, or more readers inside one outermost read than any real layout
// needs, builds nothing instead of building for ever.
#pragma once

class Sprite;
class TiXmlElement;

class NestedBuild {
public:
    static constexpr int kMaxDepth = 16;
    static constexpr int kMaxReaders = 4096;

    // Marks `element` (when given) as being built for as long as the guard lives.
    explicit NestedBuild(const TiXmlElement* element = nullptr);
    ~NestedBuild();
    NestedBuild(const NestedBuild&) = delete;
    NestedBuild& operator=(const NestedBuild&) = delete;

    bool tooDeep() const;
    // True for the first refusal inside one outermost read, so a loop is logged once.
    bool reportRefusal() const;

private:
    bool pushed = false;
};

// The new sprite (reference count 0) built from a named child element, or null when the element is
// null, builds no sprite, is already being built, or the nesting is too deep.
Sprite* createNestedSpriteFromXml(const TiXmlElement* child);
