// Runs a java::Runnable on an operating-system thread. The thread object stays alive while its body
// runs, so its creator may release it right after start(); join() waits on the object's monitor.
#pragma once

#include "runtime/java/Object.h"
#include "runtime/java/Runnable.h"

#include <atomic>
#include <cstdint>

namespace java {

class Thread : public Object {
public:
    explicit Thread(Runnable* target) : target(target) {}

    // Always false: nothing in this library marks a thread as started.
    virtual bool isStarted() { return started; }
    // Priorities and interruption are accepted for callers written against the usual thread
    // interface and have no effect here.
    virtual void setPriority(int priority) {}
    virtual void interrupt() {}
    // Spawns the thread. A failure writes "FATAL ERROR Unable to create thread" to standard error and
    // the program goes on without it.
    virtual void start();

    bool isRunning();
    uint32_t getThreadId() const { return threadId; }

    // Returns once the thread's target has returned (at once for null or a thread that is not running),
    // then gives the processor up once.
    static void join(Thread* thread);
    // Gives the processor up once, then sleeps `ms` milliseconds.
    static void sleep(int64_t ms);
    static void yield();

private:
    static void* body(void* argument);

    // Written only by the new thread.
    std::atomic<uint32_t> threadId{0};
    bool started = false;
    // Guarded by the monitor mutex, so that join() cannot miss the end of the run.
    bool running = false;
    Runnable* target;
};

} // namespace java
