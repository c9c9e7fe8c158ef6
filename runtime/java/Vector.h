// A growable array of java::Object pointers that holds one reference to each element. Not locked: one
// thread uses a vector at a time. Indices outside the elements are ignored or answered with null.
#pragma once

#include "runtime/java/Object.h"

#include <memory>

namespace java {

class Vector : public Object {
public:
    Vector();
    // Releases every element.
    ~Vector() override;

    Vector(const Vector&) = delete;
    Vector& operator=(const Vector&) = delete;

    // Null elements and indices outside 0..size() are ignored; index size() appends.
    virtual void insertElementAt(int index, Object* element);
    // Null is ignored. A full array grows by ten slots.
    virtual void addElement(Object* element);
    virtual void removeAllElements();
    virtual int size();
    // The element with one reference added for the caller, or null for an index outside the elements.
    virtual Object* elementAt(int index);
    // Removes every slot holding this very pointer, in one forward scan.
    virtual void removeElement(Object* element);
    virtual void removeElementAt(int index);
    // Requests of ten slots or fewer, and requests below the element count, leave the array as it is;
    // otherwise the array gets exactly n slots.
    virtual void ensureCapacity(unsigned n);
    virtual bool contains(Object* element);

    int capacity() const { return capacity_; }

private:
    static constexpr int initialCapacity = 10;
    static constexpr int growth = 10;

    int count_ = 0;
    int capacity_ = initialCapacity;
    std::unique_ptr<Object*[]> items;
};

} // namespace java
