#include "runtime/java/Exception.h"
#include "runtime/java/String.h"
#include "runtime/java/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>

using namespace java;

TEST(JavaObject, ReleaseReportsTheLastHolderWithoutDroppingBelowOne)
{
    Object object;
    EXPECT_EQ(object.release(), 0);
    object.addRef();
    object.addRef();
    EXPECT_EQ(object.release(), 2);
    EXPECT_EQ(object.release(), 1);
    EXPECT_EQ(object.release(), 0);
    EXPECT_EQ(object.release(), 0);
}

TEST(JavaObject, DeletingWithHoldersLeftWritesTheLeakLine)
{
    testing::internal::CaptureStderr();
    auto* object = new Object();
    object->addRef();
    delete object;
    std::string line = testing::internal::GetCapturedStderr();
    EXPECT_EQ(line.rfind("##DEBUG## memory leak for object at ", 0), 0u) << line;
    EXPECT_NE(line.find(" ref count = 2 ##DEBUG##\n"), std::string::npos) << line;

    testing::internal::CaptureStderr();
    delete new Object();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(JavaObject, CopyHasItsOwnCount)
{
    Object original;
    original.addRef();
    Object copy(original);
    EXPECT_EQ(copy.release(), 0);
    EXPECT_EQ(original.release(), 1);
}

namespace {

// Lets the waiter block for a while, then notifies its object until the waiter has come back, so the
// test does not depend on who runs first. `notifying` tells whether the first notification was sent.
class Notifier : public Runnable {
public:
    explicit Notifier(Object& object) : object(object) {}
    void run() override
    {
        Thread::sleep(300);
        notifying = true;
        while (!done) {
            object.notify();
            Thread::sleep(5);
        }
    }
    Object& object;
    std::atomic<bool> notifying{false};
    std::atomic<bool> done{false};
};

double secondsOf(void (*wait)(Object&), Object& object)
{
    auto start = std::chrono::steady_clock::now();
    wait(object);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

TEST(JavaObject, WaitReturnsOnNotify)
{
    for (void (*wait)(Object&) : {+[](Object& o) { o.wait(); }, +[](Object& o) { o.wait(int64_t(0)); },
                                  +[](Object& o) { o.wait(int64_t(60000)); }}) {
        Object object;
        Notifier notifier(object);
        auto* thread = new Thread(&notifier);
        thread->start();
        EXPECT_LT(secondsOf(wait, object), 30.0);
        // The waiter stayed blocked until a notification came.
        EXPECT_TRUE(notifier.notifying);
        notifier.done = true;
        Thread::join(thread);
        releaseAndDelete(thread);
    }
}

TEST(JavaObject, TimedWaitEndsAtItsDeadlineWithoutNotify)
{
    Object object;
    double seconds = secondsOf([](Object& o) { o.wait(int64_t(1200)); }, object);
    EXPECT_GE(seconds, 1.15);
    EXPECT_LT(seconds, 30.0);
}

TEST(JavaExceptions, CaughtByBaseAndCopiedAsFreshObjects)
{
    try {
        throw InterruptedIOException(7);
    } catch (const IOException& caught) {
        EXPECT_EQ(caught.getMessage(), nullptr);
        EXPECT_EQ(dynamic_cast<const InterruptedIOException&>(caught).getBytesTransferred(), 7);
    }
    EXPECT_THROW(throw EOFException(), Exception);
    EXPECT_THROW(throw IndexOutOfBoundsException(), Exception);
}

TEST(JavaExceptions, IOExceptionCopySharesItsMessage)
{
    IOException original("Unable to connect");
    auto* message = const_cast<String*>(original.getMessage());
    ASSERT_NE(message, nullptr);
    EXPECT_STREQ(message->c_str(), "Unable to connect");
    EXPECT_EQ(original.toString(), "Unable to connect");
    {
        IOException copy(original);
        EXPECT_EQ(copy.getMessage(), message);
        message->addRef();
        EXPECT_EQ(message->release(), 2);

        IOException assigned;
        assigned = copy;
        IOException& same = assigned;
        assigned = same;
        message->addRef();
        EXPECT_EQ(message->release(), 3);
    }
    message->addRef();
    EXPECT_EQ(message->release(), 1);
}
