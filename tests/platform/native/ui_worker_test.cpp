#include "platform/native/UiRecord.h"
#include "platform/native/UiWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// A one-shot signal with a bounded wait, so a broken worker fails a test instead of hanging it.
class Signal {
public:
    void raise()
    {
        std::lock_guard<std::mutex> guard(mutex);
        raised = true;
        changed.notify_all();
    }
    bool waitFor(std::chrono::milliseconds limit = 30000ms)
    {
        std::unique_lock<std::mutex> guard(mutex);
        return changed.wait_for(guard, limit, [this] { return raised; });
    }
    bool isRaised()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return raised;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool raised = false;
};

// Stands in for the online services: answers with a set outcome, optionally held until released.
class FakeShell : public UpdateCheckService {
public:
    bool updateQuery(Query& query) override
    {
        if (!hasSettings)
            return false;
        query.updateUrl = "http://127.0.0.1/update";
        query.gameSetId = 42;
        query.version = "1.1.0";
        return true;
    }
    void checkForUpdate(bool mergeAds, const std::string& url, int32_t gameSetId, const std::string& version,
                        UiRecord* result) override
    {
        ++calls;
        {
            std::lock_guard<std::mutex> guard(mutex);
            seen = {mergeAds ? "merge" : "no merge", url, std::to_string(gameSetId), version};
        }
        entered.raise();
        if (holdCheck)
            release.waitFor();
        result->set(1, "2.0.0", "New blocks");
        returned.raise(); // last: the shell is not touched after this
    }

    bool hasSettings = true;
    bool holdCheck = false;
    std::atomic<int> calls{0};
    std::mutex mutex;
    std::vector<std::string> seen;
    Signal entered, release, returned;
};

class FakeDialog : public UpdateResultListener {
public:
    void onUpdateResult(UiRecord* record) override
    {
        {
            std::lock_guard<std::mutex> guard(mutex);
            codes.push_back(record->getCode());
            texts.push_back(record->getText1() + "|" + record->getText2());
            reportThread = std::this_thread::get_id();
        }
        if (holdReport) {
            inReport.raise();
            leaveReport.waitFor();
        }
        reported.raise();
    }
    std::vector<int32_t> codesSoFar()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return codes;
    }

    bool holdReport = false;
    std::mutex mutex;
    std::vector<int32_t> codes;
    std::vector<std::string> texts;
    std::thread::id reportThread;
    Signal reported, inReport, leaveReport;
};

void waitUntilIdle(UiWorker& worker)
{
    for (int i = 0; i < 500 && worker.isRunning(); ++i)
        std::this_thread::sleep_for(10ms);
}

} // namespace

TEST(UiRecord, StartsEmptyAndTakesAllThreeValues)
{
    UiRecord record;
    EXPECT_EQ(record.getCode(), 0);
    EXPECT_EQ(record.getText1(), "");
    EXPECT_EQ(record.getText2(), "");
    record.set(1, "a", "b");
    EXPECT_EQ(record.getCode(), 1);
    EXPECT_EQ(record.getText1(), "a");
    EXPECT_EQ(record.getText2(), "b");
}

TEST(UiWorker, ReportsTheCheckOnTheWorkerThreadAndCanRunAgain)
{
    FakeShell shell;
    FakeDialog dialog;
    UiWorker worker(&shell);
    worker.start(&dialog);
    ASSERT_TRUE(dialog.reported.waitFor());
    waitUntilIdle(worker);
    EXPECT_FALSE(worker.isRunning());
    EXPECT_EQ(dialog.codesSoFar(), std::vector<int32_t>{1});
    EXPECT_EQ(dialog.texts[0], "2.0.0|New blocks");
    EXPECT_NE(dialog.reportThread, std::this_thread::get_id());
    EXPECT_EQ(shell.seen, (std::vector<std::string>{"merge", "http://127.0.0.1/update", "42", "1.1.0"}));

    FakeDialog second;
    worker.start(&second);
    ASSERT_TRUE(second.reported.waitFor());
    EXPECT_EQ(shell.calls, 2);
    waitUntilIdle(worker);
}

TEST(UiWorker, StartWhileAttachedStartsNothing)
{
    FakeShell shell;
    shell.holdCheck = true;
    FakeDialog dialog;
    UiWorker worker(&shell);
    worker.start(&dialog);
    ASSERT_TRUE(shell.entered.waitFor());
    worker.start(&dialog);
    shell.release.raise();
    ASSERT_TRUE(dialog.reported.waitFor());
    waitUntilIdle(worker);
    EXPECT_EQ(shell.calls, 1);
    EXPECT_EQ(dialog.codesSoFar().size(), 1u);
}

TEST(UiWorker, WithoutSettingsReportsAFailureWithoutChecking)
{
    FakeShell shell;
    shell.hasSettings = false;
    FakeDialog dialog;
    UiWorker worker(&shell);
    worker.start(&dialog);
    ASSERT_TRUE(dialog.reported.waitFor());
    EXPECT_EQ(dialog.codesSoFar(), std::vector<int32_t>{3});
    EXPECT_EQ(dialog.texts[0], "|");
    EXPECT_EQ(shell.calls, 0);
    waitUntilIdle(worker);
}

TEST(UiWorker, StoppedRunNeverReports)
{
    for (bool join : {false, true}) {
        FakeShell shell;
        shell.holdCheck = true;
        FakeDialog dialog;
        UiWorker worker(&shell);
        worker.start(&dialog);
        ASSERT_TRUE(shell.entered.waitFor());
        if (join) {
            // The join returns only once the run is over.
            std::thread releaser([&shell] {
                std::this_thread::sleep_for(100ms);
                shell.release.raise();
            });
            worker.stop(true);
            EXPECT_TRUE(shell.returned.isRaised());
            releaser.join();
        } else {
            worker.stop(false);
            EXPECT_FALSE(worker.isRunning());
            shell.release.raise();
            ASSERT_TRUE(shell.returned.waitFor());
        }
        EXPECT_FALSE(dialog.reported.waitFor(200ms)) << "join " << join;
    }
}

TEST(UiWorker, StopWaitsForAReportUnderWay)
{
    // Once stop has returned the dialog may go away, so stop must not return in the middle of a report.
    // The report is let go only as the stop begins: a stop that did not wait for it would return while
    // the report is still on its way out.
    FakeShell shell;
    FakeDialog dialog;
    dialog.holdReport = true;
    UiWorker worker(&shell);
    worker.start(&dialog);
    ASSERT_TRUE(dialog.inReport.waitFor());

    dialog.leaveReport.raise();
    worker.stop(false);
    EXPECT_TRUE(dialog.reported.isRaised());
}

TEST(UiWorker, DialogAndWorkerMayGoWhileADetachedRunIsInTheCheck)
{
    FakeShell shell; // the program's one shell outlives every run
    shell.holdCheck = true;
    {
        auto dialog = std::make_unique<FakeDialog>();
        auto worker = std::make_unique<UiWorker>(&shell);
        worker->start(dialog.get());
        ASSERT_TRUE(shell.entered.waitFor());
        worker.reset(); // detaches
        dialog.reset();
    }
    shell.release.raise();
    ASSERT_TRUE(shell.returned.waitFor());
    // The run ends on its own; the sanitizer build reports any touch of the freed dialog or worker.
    std::this_thread::sleep_for(100ms);
}

TEST(UiWorker, ListenerMayStopTheWorkerFromItsReport)
{
    // The report runs under the worker's lock on the worker thread: a stop from there, even a joining
    // one, must neither deadlock nor wait for its own thread.
    class StoppingDialog : public FakeDialog {
    public:
        void onUpdateResult(UiRecord* record) override
        {
            worker->stop(true);
            FakeDialog::onUpdateResult(record);
        }
        UiWorker* worker = nullptr;
    };
    FakeShell shell;
    StoppingDialog dialog;
    UiWorker worker(&shell);
    dialog.worker = &worker;
    worker.start(&dialog);
    ASSERT_TRUE(dialog.reported.waitFor());
    EXPECT_FALSE(worker.isRunning());
    std::this_thread::sleep_for(50ms);
}
