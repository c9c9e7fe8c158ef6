// The listener set of a widget-tree component: no duplicates, and notifyAll drops every listener that
// answers its notification with a non-zero result.
#pragma once

#include "runtime/containers/DynamicArray.h"

template <typename Event>
class EventListener {
public:
    virtual ~EventListener() = default;
    // Non-zero: remove this listener from the set that notified it.
    virtual int handleEvent(Event& event) = 0;
};

template <typename Event>
class ListenerList {
public:
    using Listener = EventListener<Event>;

    ListenerList() : listeners(10, 0, false) {}
    ListenerList(const ListenerList&) = delete;
    ListenerList& operator=(const ListenerList&) = delete;
    virtual ~ListenerList() = default;

    void add(Listener* listener)
    {
        if (!listeners.contains(listener))
            listeners.addElement(listener);
    }

    void remove(Listener* listener) { listeners.removeElement(listener); }

    // Listeners appended during the walk are notified in the same walk.
    void notifyAll(Event& event)
    {
        for (unsigned i = 0; i < listeners.size(); ++i) {
            if (listeners.elementAt(i)->handleEvent(event) != 0)
                listeners.removeElementAt(i--);
        }
    }

    unsigned size() const { return listeners.size(); }
    bool contains(Listener* listener) const { return listeners.contains(listener); }

private:
    OwningDynamicArray<Listener> listeners;
};
