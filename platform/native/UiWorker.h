// Runs the online services' update check on a worker thread, so the update dialog stays responsive
// while the check talks to the network, and hands the outcome to the dialog as a UiRecord.
//
// The dialog may detach the worker at any time (stop). A detached run finishes its network call but
// never reports: the test "still attached?" and the report happen under one lock that stop also takes,
// so once stop has returned no report is under way or to come. The state a run needs is shared between
// the worker and its thread, so the worker (and, after stop, the listener) may be destroyed while a
// detached run is still in the network call.
#pragma once

#include "runtime/java/Runnable.h"

#include <cstdint>
#include <memory>
#include <string>

class UiRecord;

namespace java {
class Thread;
}

// Receives the outcome of a check (the update dialog).
class UpdateResultListener {
public:
    virtual ~UpdateResultListener() = default;
    // Called on the worker thread while the worker's lock is held: it must not wait for the thread
    // that stops the worker. The record is valid for the call only.
    virtual void onUpdateResult(UiRecord* record) = 0;
};

// What the worker needs of the online services' shell.
class UpdateCheckService {
public:
    // The update address, game set id and version from the service settings.
    struct Query {
        std::string updateUrl;
        int32_t gameSetId = 0;
        std::string version;
    };

    virtual ~UpdateCheckService() = default;
    // False when the service settings are not loaded.
    virtual bool updateQuery(Query& query) = 0;
    // Leaves the outcome in `result`: code 0 no update, 1 an update with its two texts, 3 the check
    // failed. With mergeAds it also refreshes the advertising packages once the request worked. Runs on
    // the calling thread and may take long.
    virtual void checkForUpdate(bool mergeAds, const std::string& url, int32_t gameSetId, const std::string& version,
                                UiRecord* result) = 0;
};

class UiWorker : public java::Runnable {
public:
    // The shell is not owned and must outlive every run (it is the program's one service shell).
    explicit UiWorker(UpdateCheckService* shell);
    // Detaches a running check, like stop(false).
    ~UiWorker() override;

    UiWorker(const UiWorker&) = delete;
    UiWorker& operator=(const UiWorker&) = delete;

    // One check on the calling thread, reported to the listener unless the worker is stopped meanwhile.
    void run() override;
    // Starts a check on a new thread that reports to `listener` (not owned); does nothing while a check
    // is attached.
    virtual void start(UpdateResultListener* listener);
    // Detaches the running check, if any; with `join`, also waits until its run has returned.
    virtual void stop(bool join);

    // Whether a check is attached (started and neither finished nor stopped).
    bool isRunning() const;
    // Whether the calling thread is inside a worker's report (holding that worker's lock).
    static bool isReportingThread();

private:
    struct Shared;
    class WorkerThread;

    static void runFor(const std::shared_ptr<Shared>& shared, java::Thread* attached);

    std::shared_ptr<Shared> shared;
};
