// Something that wants to hear of a component's events (today: a notifying child being added to or
// removed from a parent). Every component is one too and answers with 0 and no effect.
#pragma once

#include "platform/app/ComponentEvent.h"
#include "runtime/containers/ListenerList.h"

class ComponentListener {
public:
    ComponentListener() : entry(this) {}
    ComponentListener(const ComponentListener&) : entry(this) {}
    ComponentListener& operator=(const ComponentListener&) { return *this; }
    virtual ~ComponentListener() = default;

    // A non-zero answer takes the listener off the list that notified it.
    virtual int onComponentEvent(ComponentEvent& event) { return 0; }

    // The entry that stands for this listener in a component's ListenerList. It is a member rather than
    // a base so that a component's own handleEvent (its event dispatch) keeps its name.
    class Entry : public EventListener<ComponentEvent> {
    public:
        explicit Entry(ComponentListener* owner) : owner(owner) {}
        int handleEvent(ComponentEvent& event) override { return owner->onComponentEvent(event); }
        ComponentListener* getOwner() const { return owner; }

    private:
        ComponentListener* owner;
    };

    Entry* listenerEntry() { return &entry; }

private:
    Entry entry;
};

// A component's listener set: the ListenerList of the tree's events, taking component listeners as
// they are (each stands in the list through its entry).
class ComponentListenerList : public ListenerList<ComponentEvent> {
    using Base = ListenerList<ComponentEvent>;

public:
    using Base::add;
    using Base::contains;
    using Base::remove;

    void add(ComponentListener* listener) { Base::add(listener->listenerEntry()); }
    void remove(ComponentListener* listener) { Base::remove(listener->listenerEntry()); }
    bool contains(ComponentListener* listener) const { return Base::contains(listener->listenerEntry()); }
};
