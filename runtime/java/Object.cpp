#include "runtime/java/Object.h"

#include <ace/Condition_Thread_Mutex.h>
#include <ace/OS_NS_sys_time.h>
#include <ace/Time_Value.h>

#include <cinttypes>
#include <cstdio>

namespace java {

Object::Object()
    : refCount(1),
      monitorMutex(new ACE_Thread_Mutex()),
      monitorCondition(new ACE_Condition_Thread_Mutex(*monitorMutex))
{
}

Object::Object(const Object&) : Object() {}

Object& Object::operator=(const Object&)
{
    return *this;
}

Object::~Object()
{
    if (refCount != 1) {
        std::fprintf(stderr, "##DEBUG## memory leak for object at %08" PRIXPTR " ref count = %d ##DEBUG##\n",
                     reinterpret_cast<uintptr_t>(this), refCount);
        std::fflush(stderr);
    }
    delete monitorCondition;
    delete monitorMutex;
}

int Object::release()
{
    countMutex.acquire();
    int remaining = 0;
    if (refCount > 1)
        remaining = --refCount;
    countMutex.release();
    return remaining;
}

void Object::addRef()
{
    countMutex.acquire();
    ++refCount;
    countMutex.release();
}

void Object::wait()
{
    monitorMutex->acquire();
    monitorCondition->wait();
    monitorMutex->release();
}

void Object::wait(int64_t ms)
{
    if (ms == 0) {
        wait();
        return;
    }
    ACE_Time_Value deadline = ACE_OS::gettimeofday()
        + ACE_Time_Value(static_cast<time_t>(ms / 1000), static_cast<suseconds_t>((ms % 1000) * 1000));
    monitorMutex->acquire();
    monitorCondition->wait(&deadline);
    monitorMutex->release();
}

void Object::notify()
{
    monitorMutex->acquire();
    monitorCondition->signal();
    monitorMutex->release();
}

void Object::notifyAll()
{
    monitorMutex->acquire();
    monitorCondition->broadcast();
    monitorMutex->release();
}

std::string Object::toString()
{
    return std::string();
}

} // namespace java
