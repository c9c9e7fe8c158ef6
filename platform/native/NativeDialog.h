// The update dialog: offers to look for a newer version of the game, runs the check on a worker with
// a progress animation, and shows the outcome with a download button. Its owner blocks in waitResult:
// true lets the game start; false means download, closed, or forced mode.
//
// The worker reports on its own thread while holding its lock, so the report is handed to the frame
// thread as a posted message and tested there: a report that arrives after a cancel is dropped.
#pragma once

#include "platform/native/FrameWindow.h"
#include "platform/native/UiWorker.h"
#include "platform/native/UpdateDialogShell.h"

#include <atomic>
#include <mutex>
#include <string>

class UiRecord;

class NativeDialog : public FrameWindow, public UpdateResultListener {
public:
    // Control ids.
    enum : int {
        StatusBarId = 106,
        TitleId = 110,
        VersionId = 111,
        SeparatorId = 112,
        OfferId = 113,
        LaterId = 114,
        CheckId = 115,
        AnimationId = 116,
        CheckingId = 117,
        CancelId = 118,
        FrameId = 119,
        UpdateFoundId = 126,
        NoUpdateId = 127,
        DownloadId = 128,
        ContinueId = 129,
        CheckFailedId = 130,
    };
    static constexpr std::size_t textCapacity = 1024;

    // Makes the frame (hidden and not built yet) and the worker. The shell is not owned.
    explicit NativeDialog(UpdateDialogShell* shell);
    ~NativeDialog() override;

    // Printf-style formatting into the dialog's text buffer (cut at 1024 characters); returns it.
    const char* format(const char* formatText, ...);
    // Polls every 300 ms until the dialog is done; returns the result.
    bool waitResult();
    void showCheckOffer();
    // Makes the build end on the check-offer page; called before the dialog is shown.
    void setAutoStart() { autoStart = true; }
    // The outcome of a check (null: none, as after a cancel). On the frame thread it is shown at once;
    // from another thread it is sent to the frame thread and shown before the call returns, except from
    // inside the worker's report, which is posted (the worker holds its lock while reporting, and the
    // frame thread takes that lock to cancel).
    void onUpdateResult(UiRecord* record) override;

    bool isDone() const { return done.load(); }

    // The frame's hooks (frame thread): the build on the first message, WM_DESTROY and the commands.
    void onCreate() override { build(); }
    void onDestroy() override;
    bool onCommand(int code, int id) override;
    void build();

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static constexpr UINT resultMessage = firstSubclassMessage;

    std::string entry(int index);
    void showResult(int32_t code, const std::string& text1, const std::string& text2);
    void finish(bool answer);

    UpdateDialogShell* shell;
    bool autoStart = false;
    std::atomic<bool> done{false};
    std::atomic<bool> result{false};
    char textBuffer[textCapacity + 1] = {};
    UiWorker* worker = nullptr;

    NativeButton* laterButton = nullptr;
    NativeButton* downloadButton = nullptr;
    NativeButton* checkButton = nullptr;
    NativeButton* cancelButton = nullptr;
    NativeButton* continueButton = nullptr;
    NativeStatusBar* statusBar = nullptr;
    GdiObjectHolder* logo = nullptr;
    NativeLabel* offerLabel = nullptr;
    NativeLabel* checkingLabel = nullptr;
    NativeLabel* updateFoundLabel = nullptr;
    NativeLabel* noUpdateLabel = nullptr;
    NativeLabel* checkFailedLabel = nullptr;
    NativeLabel* titleLabel = nullptr;
    NativeLabel* versionLabel = nullptr;
    NativeSeparator* separator = nullptr;
    NativeAnimation* animation = nullptr;
    HFONT titleFont = nullptr;

    // The check a report belongs to: a cancel moves on to the next, so a report still on its way is
    // dropped.
    std::atomic<unsigned> checkRun{0};
    std::mutex pendingMutex;
    struct Pending {
        unsigned run = 0;
        int32_t code = 0;
        std::string text1;
        std::string text2;
    } pending;
};
