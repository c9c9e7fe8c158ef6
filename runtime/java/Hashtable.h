// Maps java::String keys to counted java::Object values over my_hash_map (16 slots at first, load
// factor 0.5). Not locked: one thread uses a table at a time.
#pragma once

#include "runtime/java/Object.h"
#include "runtime/java/String.h"
#include "runtime/java/my_hash_map.h"

namespace java {

// Walks the keys or the values of a table in slot order. Not a java::Object: its user deletes it. The
// table must not change while it is walked.
class HashtableEnumeration {
public:
    HashtableEnumeration(my_hash_map* map, bool keys);
    virtual bool hasMoreElements();
    // Null when there are no more. Keys come as new Strings the caller releases; values come as the
    // stored pointers without a reference added.
    virtual Object* nextElement();
    virtual ~HashtableEnumeration() = default;

private:
    bool keys;
    my_hash_map* map;
    my_hash_map::position position;
};

class Hashtable : public Object {
public:
    Hashtable();
    ~Hashtable() override;

    Hashtable(const Hashtable&) = delete;
    Hashtable& operator=(const Hashtable&) = delete;

    // Copies every key of `other` with its value, in the other table's slot order.
    virtual void putAll(Hashtable* other);
    // The table adds its own reference to the value; a present key gets the new value.
    virtual void put(const String& key, Object* value);
    // The value with one reference added for the caller, or null.
    virtual Object* get(const String& key);
    virtual int size();
    virtual void clear();
    // Returns whether the key was present.
    virtual bool remove(const String& key);
    // New enumerations the caller deletes.
    virtual HashtableEnumeration* keys();
    virtual HashtableEnumeration* elements();

    my_hash_map map;
};

} // namespace java
