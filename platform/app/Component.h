// A node of the component tree: the application's scenes and the load screen's few widgets are
// components. A node has a parent (not counted), children in a counted array, a name, an id, a type
// code, state flags, an event mask, listeners and a small flag set. The application calls a scene's
// update and draw once per frame and the tree passes both down to the children.
//
// Nothing deletes a child directly during a frame: a child marked obsolete is dropped by its parent's
// next update, so the frame that marked it finishes with it intact.
#pragma once

#include "platform/app/ComponentEvent.h"
#include "platform/app/ComponentListener.h"
#include "platform/app/FrameTime.h"
#include "platform/surface/Restorable.h"
#include "runtime/RefCounted.h"
#include "runtime/containers/DynamicArray.h"
#include "runtime/containers/ListenerList.h"

#include <cstdint>
#include <string>

class Surface;

class Component : public RefCounted, public ComponentListener, public Restorable {
public:
    // Type codes of the component classes; scenes keep the plain code.
    enum : std::uint32_t {
        TypeComponent = 0x80000001,
        TypeVisual = 0x80000002, // VisualComponent and InteractiveComponent
        TypeAnimation = 0x80000005,
        TypeLabel = 0x80000006, // Label and AnimatedLabel
    };
    static constexpr unsigned FlagWords = 5;
    static constexpr unsigned FlagCount = FlagWords * 32;
    static constexpr unsigned ChildCapacityIncrement = 10;

    using Children = RefDynamicArray<Component>;
    using Listeners = ComponentListenerList;

    Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;
    ~Component() override;

    // Per frame. update runs only while enabled and active; draw only while enabled and visible, and
    // clears the dirty mark afterwards.
    virtual void update(Surface* target, const FrameTime& frameInfo);
    virtual void updateSelf(Surface* target, const FrameTime& frameInfo) {}
    virtual void updateChildren(Surface* target, const FrameTime& frameInfo);
    virtual void draw(Surface* target, const FrameTime& frameInfo);
    virtual void paint(Surface* target, const FrameTime& frameInfo) {}
    virtual void drawChildren(Surface* target, const FrameTime& frameInfo);

    // After a lost display: marks this subtree dirty and lets each node rebuild its own resources (at
    // most once per frame, through Restorable::check and restoreLost).
    virtual void restore();
    virtual void restoreChildren();

    // Handles the event here, then passes it to every child whose event mask is contained in the
    // event's kind bits (a mask of 0 takes every event).
    virtual void dispatchEvent(ComponentEvent& event);
    virtual void handleEvent(ComponentEvent& event);

    // Children. The array exists from the first addChild on.
    virtual Children* getChildren() { return children; }
    virtual void addChild(Component* child);
    virtual void removeChild(Component* child);
    virtual void removeChildAt(int index);
    virtual void removeAllChildren();
    virtual void disposeChildren();
    virtual int getChildCount() const;
    // -1 when the child is not in the list; 0 when this component never had children.
    virtual int indexOfChild(Component* child) const;
    virtual Component* findChildById(int id) const;
    virtual Component* findChildByName(const std::string& name) const;
    // Throws DynamicArrayException for an index outside the list; null without a list.
    virtual Component* getChildAt(int index) const;
    virtual void dispose();

    virtual void setParent(Component* p) { parent = p; }
    virtual Component* getParent() const { return parent; }
    virtual Component* getNextSibling() const { return nextSibling; }
    virtual Component* getRoot();
    // Pre-order walk of root's subtree: start with root->getNext(nullptr, root), continue with
    // next->getNext(next, root) until null.
    virtual Component* getNext(Component* from, Component* root);

    // Hooks.
    virtual void onAdded() {}
    virtual void onRemoved() {}
    virtual void onDispose() {}

    virtual bool isActive() const { return active != 0; }
    virtual bool isEnabled() const { return enabled != 0; }
    virtual bool isVisible() const { return visible != 0; }
    virtual bool isInvalid() const { return invalid != 0; }
    virtual bool isDirty() const { return dirty != 0; }
    virtual bool isNotifying() const { return notifying != 0; }
    virtual bool isObsolete() const { return obsolete != 0; }
    // Each of these also marks the component dirty.
    virtual void setActive(bool b);
    virtual void setEnabled(bool b);
    virtual void setVisible(bool b);
    virtual void setInvalid(bool b);
    virtual void setDirty(bool b) { dirty = b ? 1 : 0; }
    virtual void setObsolete(bool b);
    virtual void setNotifying(bool b) { notifying = b ? 1 : 0; }
    virtual void setId(int newId) { id = newId; }
    virtual void setType(std::uint32_t code) { type = code; }
    virtual int getId() const { return id; }
    virtual std::uint32_t getType() const { return type; }
    virtual void setEventMask(std::uint32_t mask) { eventMask = mask; }
    virtual std::uint32_t getEventMask() const { return eventMask; }
    virtual bool hasId(int other) const { return id == other; }
    virtual bool isType(std::uint32_t code) const { return type == code; }
    virtual const std::string& getName() const { return name; }
    virtual void setName(const std::string& text) { name = text; }

    virtual Listeners* getListeners();
    virtual void addListener(ComponentListener* listener);
    virtual void removeListener(ComponentListener* listener);
    virtual void fireEvent(ComponentEvent& event);

    // Flag n is bit n % 32 of word n / 32; flags outside the set are ignored (never set).
    virtual void setFlag(unsigned n, bool on);
    virtual bool hasFlag(unsigned n) const;

    // Appends one line per node of this subtree (see Component.cpp for the format).
    virtual void dump(std::string& out, const Component* expectedParent, int depth) const;

protected:
    Component* parent = nullptr;
    Component* nextSibling = nullptr;
    Children* children = nullptr;
    std::string name;
    std::int32_t enabled = 1;
    std::int32_t active = 1;
    std::int32_t visible = 1;
    std::int32_t invalid = 0;
    std::int32_t dirty = 1;
    std::int32_t obsolete = 0;
    std::int32_t notifying = 0;
    std::int32_t id = 0;
    std::uint32_t type = TypeComponent;
    Listeners* listeners = nullptr;
    std::uint32_t eventMask = 0;
    std::uint32_t flags[FlagWords] = {};

private:
    void notifyMembership(Component* child, std::uint32_t kind);
};
