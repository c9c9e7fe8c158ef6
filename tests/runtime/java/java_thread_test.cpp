#include "runtime/java/System.h"
#include "runtime/java/Thread.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace java;

namespace {

// Blocks in run() until released, so a test can look at a thread while its target is running.
class Gate : public Runnable {
public:
    void run() override
    {
        entered = true;
        while (!open)
            Thread::sleep(1);
        finished = true;
    }
    std::atomic<bool> entered{false};
    std::atomic<bool> open{false};
    std::atomic<bool> finished{false};
};

class Opener : public Runnable {
public:
    explicit Opener(Gate& gate) : gate(gate) {}
    void run() override
    {
        while (!gate.entered)
            Thread::sleep(1);
        Thread::sleep(50);
        gate.open = true;
    }
    Gate& gate;
};

} // namespace

TEST(JavaThread, JoinReturnsOnlyAfterTheTargetReturned)
{
    Gate gate;
    Opener opener(gate);
    auto* thread = new Thread(&gate);
    auto* helper = new Thread(&opener);
    EXPECT_FALSE(thread->isStarted());
    thread->start();
    helper->start();
    EXPECT_FALSE(thread->isStarted());
    // Joined at once: the target may not have begun yet, and join must still wait for it.
    Thread::join(thread);
    EXPECT_TRUE(gate.finished);
    EXPECT_FALSE(thread->isRunning());
    EXPECT_NE(thread->getThreadId(), 0u);

    Thread::join(thread); // already finished: no wait
    Thread::join(nullptr);
    Thread::join(helper);
    releaseAndDelete(thread);
    releaseAndDelete(helper);
}

TEST(JavaThread, ReleasedRightAfterStartDeletesItselfWhenDone)
{
    Gate gate;
    testing::internal::CaptureStderr();
    auto* thread = new Thread(&gate);
    thread->start();
    EXPECT_EQ(thread->release(), 1);
    gate.open = true;
    while (!gate.finished)
        Thread::sleep(1);
    Thread::sleep(50);
    // No leak line; a missing delete would be reported by the leak checker of the sanitizer build.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(JavaThread, WithoutTargetEndsAtOnce)
{
    auto* thread = new Thread(nullptr);
    thread->start();
    Thread::join(thread);
    EXPECT_FALSE(thread->isRunning());
    releaseAndDelete(thread);
}

TEST(JavaSystem, CurrentTimeMillisStaysBelowTwoToTheThirtyTwo)
{
    int64_t first = System::currentTimeMillis();
    EXPECT_GE(first, 0);
    EXPECT_LT(first, int64_t(1) << 32);
}
