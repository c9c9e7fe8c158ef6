#include "runtime/java/Thread.h"

#include <ace/Condition_Thread_Mutex.h>
#include <ace/OS_NS_Thread.h>
#include <ace/OS_NS_unistd.h>
#include <ace/Thread.h>
#include <ace/Time_Value.h>

#include <cstdio>

namespace java {

void Thread::start()
{
    // The body's reference and the running flag are set here rather than on the new thread: a creator
    // that releases the thread at once, or joins it at once, must find the run already accounted for.
    addRef();
    monitorMutex->acquire();
    running = true;
    monitorMutex->release();

    // Detached: nothing joins at the operating-system level, and the system must reclaim the thread.
    if (ACE_Thread::spawn(&Thread::body, this, THR_NEW_LWP | THR_DETACHED) != 0) {
        std::fputs("FATAL ERROR Unable to create thread\n", stderr);
        std::fflush(stderr);
        monitorMutex->acquire();
        running = false;
        monitorMutex->release();
        release();
    }
}

bool Thread::isRunning()
{
    monitorMutex->acquire();
    bool result = running;
    monitorMutex->release();
    return result;
}

void* Thread::body(void* argument)
{
    Thread* self = static_cast<Thread*>(argument);
    self->threadId = static_cast<uint32_t>(ACE_OS::thr_gettid());
    if (self->target)
        self->target->run();

    self->monitorMutex->acquire();
    self->running = false;
    self->monitorCondition->broadcast();
    self->monitorMutex->release();

    releaseAndDelete(self);
    return nullptr;
}

void Thread::join(Thread* thread)
{
    if (!thread)
        return;
    thread->addRef();
    thread->monitorMutex->acquire();
    while (thread->running)
        thread->monitorCondition->wait();
    thread->monitorMutex->release();
    yield();
    releaseAndDelete(thread);
}

void Thread::sleep(int64_t ms)
{
    yield();
    if (ms <= 0)
        return;
    ACE_OS::sleep(ACE_Time_Value(static_cast<time_t>(ms / 1000), static_cast<suseconds_t>((ms % 1000) * 1000)));
}

void Thread::yield()
{
    ACE_OS::thr_yield();
}

} // namespace java
