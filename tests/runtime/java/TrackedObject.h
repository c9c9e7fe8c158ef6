// What the java container tests need of their elements: an object that records its own deletion,
// and its reference count read without changing it.
#pragma once

#include "runtime/java/Object.h"

namespace java_test {

class Tracked : public java::Object {
public:
    explicit Tracked(bool* destroyed = nullptr) : destroyed(destroyed) {}
    ~Tracked() override
    {
        if (destroyed)
            *destroyed = true;
    }
    bool* destroyed;
};

inline int countOf(java::Object* object)
{
    object->addRef();
    return object->release();
}

} // namespace java_test
