#include "platform/native/UiWorker.h"

#include "platform/native/UiRecord.h"
#include "runtime/java/Object.h"
#include "runtime/java/Thread.h"

#include <ace/OS_NS_Thread.h>

#include <mutex>

namespace {
thread_local int reportDepth = 0;

void report(UpdateResultListener* listener, UiRecord* record)
{
    ++reportDepth;
    struct Leave {
        ~Leave() { --reportDepth; }
    } leave;
    listener->onUpdateResult(record);
}
} // namespace

bool UiWorker::isReportingThread()
{
    return reportDepth > 0;
}

struct UiWorker::Shared {
    // Recursive: a listener may stop or restart the worker from inside its report.
    mutable std::recursive_mutex lock;
    java::Thread* thread = nullptr; // one reference held while attached
    UpdateResultListener* listener = nullptr;
    UpdateCheckService* shell = nullptr;
};

// The worker's thread is its own task, so the state of a run lives as long as the thread object: the
// run never reaches back into the UiWorker that started it.
class UiWorker::WorkerThread : public java::Runnable, public java::Thread {
public:
    explicit WorkerThread(std::shared_ptr<Shared> shared) : java::Thread(this), shared(std::move(shared)) {}
    void run() override { UiWorker::runFor(shared, this); }

private:
    std::shared_ptr<Shared> shared;
};

UiWorker::UiWorker(UpdateCheckService* shell) : shared(std::make_shared<Shared>())
{
    shared->shell = shell;
}

UiWorker::~UiWorker()
{
    stop(false);
}

bool UiWorker::isRunning() const
{
    std::lock_guard<std::recursive_mutex> guard(shared->lock);
    return shared->thread != nullptr;
}

void UiWorker::run()
{
    java::Thread* attached;
    {
        std::lock_guard<std::recursive_mutex> guard(shared->lock);
        attached = shared->thread;
    }
    runFor(shared, attached);
}

void UiWorker::runFor(const std::shared_ptr<Shared>& shared, java::Thread* attached)
{
    UiRecord record;
    UpdateCheckService::Query query;
    UpdateCheckService* shell = shared->shell;
    if (shell && shell->updateQuery(query)) {
        try {
            shell->checkForUpdate(true, query.updateUrl, query.gameSetId, query.version, &record);
        } catch (...) {
            // Nothing may leave the thread; a check that throws has failed.
            record.set(UiRecord::CheckFailed, "", "");
        }
    } else {
        record.set(UiRecord::CheckFailed, "", "");
    }

    java::Thread* finished = nullptr;
    {
        std::lock_guard<std::recursive_mutex> guard(shared->lock);
        if (shared->thread == attached) {
            if (shared->listener)
                report(shared->listener, &record);
            // The listener may have stopped or restarted the worker from inside its report.
            if (attached && shared->thread == attached) {
                shared->thread = nullptr;
                finished = attached;
            }
        }
    }
    java::releaseAndDelete(finished);
}

void UiWorker::start(UpdateResultListener* listener)
{
    WorkerThread* thread;
    {
        std::lock_guard<std::recursive_mutex> guard(shared->lock);
        if (shared->thread)
            return;
        shared->listener = listener;
        thread = new WorkerThread(shared);
        shared->thread = thread;
    }
    thread->start();

    // While the thread is attached its run has not returned, so a thread that is not running now
    // never started: the check failed.
    bool failed = false;
    {
        std::lock_guard<std::recursive_mutex> guard(shared->lock);
        if (shared->thread == thread && !thread->isRunning()) {
            shared->thread = nullptr;
            failed = true;
            UiRecord record;
            record.set(UiRecord::CheckFailed, "", "");
            if (shared->listener)
                report(shared->listener, &record);
        }
    }
    if (failed)
        java::releaseAndDelete(thread);
}

void UiWorker::stop(bool join)
{
    java::Thread* thread;
    {
        std::lock_guard<std::recursive_mutex> guard(shared->lock);
        thread = shared->thread;
        shared->thread = nullptr;
    }
    if (!thread)
        return;
    // A stop from inside the report runs on the worker thread itself, which cannot wait for itself.
    if (join && thread->getThreadId() != static_cast<uint32_t>(ACE_OS::thr_gettid()))
        java::Thread::join(thread);
    java::releaseAndDelete(thread);
}
