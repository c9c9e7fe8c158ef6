// The two roots of objects whose lifetime is a count of holders. Neither locks: counts are touched
// only on the frame-loop thread.
#pragma once

#include <cstddef>

// Engine side: arrays, components, surfaces, buffers, fonts, the property store. release() tells the
// caller whether the object is still alive (0: it was destroyed).
class RefCounted {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) : count(0) {}
    RefCounted& operator=(const RefCounted&) { return *this; }
    virtual ~RefCounted() = default;

    int addRef() { return ++count; }

    // Destroys the object when the count reaches exactly 0. A count that went negative (a release
    // without an addRef) is returned as it is and destroys nothing.
    int release()
    {
        int remaining = --count;
        if (remaining == 0)
            delete this;
        return remaining;
    }

    int getRefCount() const { return count; }

private:
    int count = 0;
};

// Sprite side: sprites, blocks, factories, modifiers. Lives on the C heap; release() destroys the
// object as soon as the count drops below 1, so a release without an addRef destroys it too.
class RefObject {
public:
    RefObject() = default;
    RefObject(const RefObject&) : count(0) {}
    RefObject& operator=(const RefObject&) { return *this; }
    virtual ~RefObject() = default;

    // Size in bytes of the most derived object.
    virtual unsigned size() = 0;

    void addRef() { ++count; }

    void release()
    {
        if (--count < 1)
            delete this;
    }

    int getRefCount() const { return count; }

    // A null result (no memory) makes the new-expression yield null without running the constructor.
    static void* operator new(std::size_t bytes) noexcept;
    static void operator delete(void* p) noexcept;

private:
    int count = 0;
};
