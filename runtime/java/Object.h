// Root of the java:: class library: every object carries a reference count that any thread may change
// and a monitor (a mutex with a condition variable) on which threads wait and are notified.
#pragma once

#include <ace/Condition_Thread_Mutex.h>
#include <ace/Thread_Mutex.h>

#include <cstdint>
#include <string>

namespace java {

class Object {
public:
    Object();
    // A copy is a new object: a count of 1 and a monitor of its own.
    Object(const Object& other);
    Object& operator=(const Object& other);
    // Writes a leak line to standard error when holders are left.
    virtual ~Object();

    // Returns the count left. 0 means the caller held the last reference and must delete the object;
    // the count itself never drops below 1.
    virtual int release();
    virtual void addRef();

    // Waits until notified or until `ms` milliseconds have passed (0: no time limit). The monitor is
    // taken and given back inside the call, so a notification sent before the call is not seen.
    virtual void wait(int64_t ms);
    virtual void wait();
    virtual void notify();
    virtual void notifyAll();

    virtual std::string toString();

protected:
    int refCount;
    ACE_Thread_Mutex* monitorMutex;
    ACE_Condition_Thread_Mutex* monitorCondition;
    ACE_Thread_Mutex countMutex;
};

// Drops one reference held by the caller and deletes the object when it was the last. Null is allowed.
inline void releaseAndDelete(Object* object)
{
    if (object && object->release() == 0)
        delete object;
}

} // namespace java
