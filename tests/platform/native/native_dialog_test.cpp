#include "compat/win32/system/machine/timer.h"
#include "platform/native/NativeDialog.h"
#include "platform/native/NativeTestSupport.h"
#include "platform/native/UiRecord.h"
#include "runtime/java/Vector.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace native_test;

namespace {

// Stands in for the online services: fixed texts, and a check that waits until the test answers it.
class FakeShell : public UpdateDialogShell {
public:
    explicit FakeShell(bool isForced = false) : forced(isForced)
    {
        for (int i = 0; i < 35; ++i)
            texts.push_back("e" + std::to_string(i));
        texts[2] = "New %s! ";
        texts[5] = "Version%s%s";
        texts[22] = "Every %d days";
        texts[33] = "9";
        texts[34] = "24";
    }

    HINSTANCE instanceHandle() override { return nullptr; }
    HICON icon() override { return nullptr; }
    HBITMAP logoBitmap() override { return CreateBitmap(100, 80, 1, 32, nullptr); }
    const char* caption() override { return "e1e0"; }
    bool isForced() override { return forced; }
    const char* text(int32_t index) override
    {
        return index >= 0 && index < static_cast<int32_t>(texts.size()) ? texts[index].c_str() : nullptr;
    }
    int32_t checkIntervalDays() override { return 7; }
    std::string version() override { return "1.2.3"; }
    void openDownloadPage() override { ++downloads; }

    bool updateQuery(Query& query) override
    {
        query.updateUrl = "http://127.0.0.1/update";
        query.version = "1.2.3";
        return true;
    }
    void checkForUpdate(bool mergeAds, const std::string& url, int32_t gameSetId, const std::string& version,
                        UiRecord* result) override
    {
        std::unique_lock<std::mutex> lock(mutex);
        ++checks;
        changed.notify_all();
        changed.wait(lock, [this] { return answered; });
        answered = false;
        result->set(answerCode, answerText1, answerText2);
        ++returned;
        changed.notify_all();
    }

    // Lets the waiting check return with this outcome.
    void answer(int32_t code, std::string text1 = "", std::string text2 = "")
    {
        std::lock_guard<std::mutex> lock(mutex);
        answerCode = code;
        answerText1 = std::move(text1);
        answerText2 = std::move(text2);
        answered = true;
        changed.notify_all();
    }
    bool waitForCheck(int count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] { return checks >= count; });
    }
    bool waitForReturn(int count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] { return returned >= count; });
    }

    bool forced;
    std::vector<std::string> texts;
    std::atomic<int> downloads{0};

private:
    std::mutex mutex;
    std::condition_variable changed;
    int checks = 0;
    int returned = 0;
    bool answered = false;
    int32_t answerCode = 0;
    std::string answerText1, answerText2;
};

// The owner's steps up to the wait: the dialog is built on the check-offer page when show returns.
std::unique_ptr<NativeDialog> openDialog(FakeShell& shell)
{
    auto dialog = std::make_unique<NativeDialog>(&shell);
    dialog->setAutoStart();
    dialog->show(true);
    dialog->bringToFront();
    return dialog;
}

std::string labelText(NativeDialog& dialog, int id) { return textOf(GetDlgItem(dialog.getHandle(), id)); }

bool animationPlaying(NativeDialog& dialog)
{
    return SendMessageA(GetDlgItem(dialog.getHandle(), NativeDialog::AnimationId), ACM_ISPLAYING, 0, 0) != 0;
}

// Which page controls are visible, as one string of ids, to compare pages in one line.
std::string pageOf(NativeDialog& dialog)
{
    std::string shown;
    for (int id : {NativeDialog::OfferId, NativeDialog::CheckingId, NativeDialog::UpdateFoundId,
                   NativeDialog::NoUpdateId, NativeDialog::CheckFailedId, NativeDialog::LaterId,
                   NativeDialog::DownloadId, NativeDialog::CheckId, NativeDialog::CancelId,
                   NativeDialog::ContinueId, NativeDialog::AnimationId})
        if (visible(dialog.getHandle(), id))
            shown += (shown.empty() ? "" : " ") + std::to_string(id);
    return shown;
}

std::string ids(std::initializer_list<int> list)
{
    std::string out;
    for (int id : list)
        out += (out.empty() ? "" : " ") + std::to_string(id);
    return out;
}

using D = NativeDialog;

TEST(NativeDialog, BuildsTheCheckOfferPageWithItsTextsOnTheFirstMessage)
{
    for (bool forced : {false, true}) {
        SCOPED_TRACE(forced ? "forced" : "not forced");
        FakeShell shell(forced);
        auto dialog = openDialog(shell);
        HWND frame = dialog->getHandle();
        ASSERT_NE(frame, nullptr);
        char className[64];
        GetClassNameA(frame, className, sizeof className);
        EXPECT_STREQ(className, "Frame.Frame119");
        EXPECT_EQ(textOf(frame), "e1e0");
        EXPECT_TRUE(IsWindowVisible(frame));
        EXPECT_EQ(GetForegroundWindow(), frame);

        EXPECT_EQ(pageOf(*dialog), forced ? ids({D::OfferId, D::CheckId}) : ids({D::OfferId, D::LaterId, D::CheckId}));
        EXPECT_EQ(labelText(*dialog, D::OfferId), forced ? "e23" : "Every 7 days");
        EXPECT_TRUE(isDefaultButton(frame, D::CheckId));
        EXPECT_EQ(labelText(*dialog, D::StatusBarId), "Version.");
        EXPECT_EQ(labelText(*dialog, D::VersionId), "Version 1.2.3");
        EXPECT_EQ(labelText(*dialog, D::TitleId), "e0");
        EXPECT_EQ(labelText(*dialog, D::CheckId), "e15");
        for (int id : {D::TitleId, D::VersionId, D::SeparatorId, D::StatusBarId})
            EXPECT_TRUE(visible(frame, id)) << id;

        // The client area is 480 x 300; buttons sit on one row near the bottom.
        RECT client{};
        GetClientRect(frame, &client);
        EXPECT_EQ(client.right, 480);
        EXPECT_EQ(client.bottom, 300);
        WINDOWPLACEMENT later{}, check{}, title{}, version{};
        GetWindowPlacement(GetDlgItem(frame, D::LaterId), &later);
        GetWindowPlacement(GetDlgItem(frame, D::CheckId), &check);
        GetWindowPlacement(GetDlgItem(frame, D::TitleId), &title);
        GetWindowPlacement(GetDlgItem(frame, D::VersionId), &version);
        EXPECT_EQ(later.rcNormalPosition.left, 10);
        EXPECT_EQ(check.rcNormalPosition.right, 470);
        EXPECT_EQ(check.rcNormalPosition.top, later.rcNormalPosition.top);
        EXPECT_EQ(check.rcNormalPosition.bottom, 300 - 30);
        EXPECT_EQ(title.rcNormalPosition.bottom - title.rcNormalPosition.top, 24);
        EXPECT_EQ(version.rcNormalPosition.top, 10 + 24 + 5);

        // The title's font: Arial, 9 points bold.
        auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(GetDlgItem(frame, D::TitleId), WM_GETFONT, 0, 0));
        LOGFONTA logFont{};
        ASSERT_NE(GetObjectA(font, sizeof logFont, &logFont), 0);
        EXPECT_STREQ(logFont.lfFaceName, "Arial");
        EXPECT_EQ(logFont.lfHeight, -12);
        EXPECT_EQ(logFont.lfWeight, 700);
    }
}

struct Outcome {
    bool forced;
    int32_t code;
    std::string page;
    int defaultButton;
    std::string continueText;
};

TEST(NativeDialog, ShowsThePageOfEachCheckOutcome)
{
    const Outcome outcomes[] = {
        {false, 1, ids({D::UpdateFoundId, D::DownloadId, D::ContinueId}), D::DownloadId, "e17"},
        {true, 1, ids({D::UpdateFoundId, D::DownloadId, D::CancelId}), D::DownloadId, "e17"},
        {false, 0, ids({D::NoUpdateId, D::ContinueId}), D::ContinueId, "e17"},
        {true, 0, ids({D::NoUpdateId, D::ContinueId}), D::ContinueId, "e10"},
        {false, 3, ids({D::CheckFailedId, D::ContinueId}), D::ContinueId, "e17"},
        {true, 7, ids({D::CheckFailedId, D::ContinueId}), D::ContinueId, "e10"},
    };
    for (const Outcome& o : outcomes) {
        SCOPED_TRACE(std::to_string(o.code) + (o.forced ? " forced" : ""));
        FakeShell shell(o.forced);
        auto dialog = openDialog(shell);
        HWND frame = dialog->getHandle();
        press(frame, D::CheckId);
        EXPECT_EQ(pageOf(*dialog), ids({D::CheckingId, D::CancelId, D::AnimationId}));
        EXPECT_TRUE(animationPlaying(*dialog));
        EXPECT_TRUE(isDefaultButton(frame, D::CancelId));
        EXPECT_FALSE(isDefaultButton(frame, D::CheckId));
        ASSERT_TRUE(shell.waitForCheck(1));

        shell.answer(o.code, "2.0", "Faster digging. ");
        // The frame thread shows the page, then moves the default button: wait for both.
        ASSERT_TRUE(waitUntil([&] { return pageOf(*dialog) == o.page && isDefaultButton(frame, o.defaultButton); }))
            << pageOf(*dialog);
        EXPECT_FALSE(animationPlaying(*dialog));
        EXPECT_EQ(labelText(*dialog, D::ContinueId), o.continueText);
        if (o.code == 1) {
            EXPECT_EQ(labelText(*dialog, D::UpdateFoundId),
                      std::string("New 2.0! Faster digging. ") + (o.forced ? "e4" : "e3"));
        }
        EXPECT_FALSE(dialog->isDone());
    }
}

// A result handed in from another thread than the worker's report (here the owner's) is on screen when
// the call returns.
TEST(NativeDialog, AResultFromTheOwnersThreadIsShownBeforeTheCallReturns)
{
    struct Case {
        int32_t code;
        bool withRecord;
        int label;
        int defaultButton;
    };
    const Case cases[] = {
        {1, true, D::UpdateFoundId, D::DownloadId},
        {0, true, D::NoUpdateId, D::ContinueId},
        {0, false, D::NoUpdateId, D::ContinueId},
        {3, true, D::CheckFailedId, D::ContinueId},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + (c.withRecord ? "" : " without a record"));
        FakeShell shell;
        auto dialog = openDialog(shell);
        HWND frame = dialog->getHandle();
        UiRecord record;
        record.set(c.code, "2.0", "");
        dialog->onUpdateResult(c.withRecord ? &record : nullptr);
        EXPECT_TRUE(visible(frame, c.label));
        EXPECT_TRUE(visible(frame, c.defaultButton));
        EXPECT_TRUE(isDefaultButton(frame, c.defaultButton));
    }
}

TEST(NativeDialog, EveryWayOutSetsTheResultAndEndsTheWait)
{
    struct Way {
        bool forced;
        bool check;     // press check first and let it answer "update found"
        int button;     // 0: the close box
        bool expected;
        int downloads;
    };
    const Way ways[] = {
        {false, false, D::LaterId, true, 0},   {false, true, D::ContinueId, true, 0},
        {true, true, D::CancelId, false, 0},   {false, true, D::DownloadId, false, 1},
        {true, true, D::DownloadId, false, 1}, {false, true, 0, false, 0},
        {true, false, 0, false, 0},
    };
    for (const Way& w : ways) {
        SCOPED_TRACE(std::to_string(w.button) + (w.forced ? " forced" : ""));
        FakeShell shell(w.forced);
        auto dialog = openDialog(shell);
        HWND frame = dialog->getHandle();
        if (w.check) {
            press(frame, D::CheckId);
            ASSERT_TRUE(shell.waitForCheck(1));
            shell.answer(1, "2.0", "");
            ASSERT_TRUE(waitUntil([&] { return visible(frame, D::DownloadId); }));
        }
        if (w.button != 0)
            press(frame, w.button);
        else
            SendMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(dialog->waitResult(), w.expected);
        EXPECT_FALSE(IsWindow(frame));
        EXPECT_EQ(shell.downloads.load(), w.downloads);
    }
}

TEST(NativeDialog, CancelWhileCheckingShowsNoUpdateAndDropsTheLateResult)
{
    FakeShell shell;
    auto dialog = openDialog(shell);
    HWND frame = dialog->getHandle();
    press(frame, D::CheckId);
    ASSERT_TRUE(shell.waitForCheck(1));
    press(frame, D::CancelId);
    EXPECT_EQ(pageOf(*dialog), ids({D::NoUpdateId, D::ContinueId}));
    EXPECT_FALSE(animationPlaying(*dialog));

    shell.answer(1, "2.0", "");
    ASSERT_TRUE(shell.waitForReturn(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    SendMessageA(frame, WM_NULL, 0, 0);
    EXPECT_EQ(pageOf(*dialog), ids({D::NoUpdateId, D::ContinueId}));
    press(frame, D::ContinueId);
    EXPECT_TRUE(dialog->waitResult());
}

TEST(NativeDialog, EnterChoosesTheDefaultButtonAndEscapeDoesNothing)
{
    FakeShell shell;
    auto dialog = openDialog(shell);
    HWND frame = dialog->getHandle();
    PostMessageA(frame, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(frame, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(shell.waitForCheck(1)); // Enter pressed check
    EXPECT_EQ(pageOf(*dialog), ids({D::CheckingId, D::CancelId, D::AnimationId}));
    PostMessageA(frame, WM_KEYDOWN, VK_ESCAPE, 0);
    shell.answer(0);
    ASSERT_TRUE(waitUntil([&] { return visible(frame, D::NoUpdateId); }));
    EXPECT_FALSE(dialog->isDone());
    PostMessageA(frame, WM_KEYDOWN, VK_RETURN, 0); // continue
    EXPECT_TRUE(dialog->waitResult());
}

TEST(NativeDialog, FormatCutsLongServerTextsAndMissingEntriesReadEmpty)
{
    FakeShell shell;
    shell.texts.resize(3); // entries from 3 on are missing
    shell.texts[2] = "%s";
    auto dialog = openDialog(shell);
    const std::string huge(5000, 'x');
    EXPECT_EQ(std::string(dialog->format("%s", huge.c_str())), huge.substr(0, NativeDialog::textCapacity));
    EXPECT_STREQ(dialog->format(nullptr), "");

    HWND frame = dialog->getHandle();
    EXPECT_EQ(labelText(*dialog, D::CheckId), "");
    press(frame, D::CheckId);
    ASSERT_TRUE(shell.waitForCheck(1));
    shell.answer(1, huge, "tail");
    ASSERT_TRUE(waitUntil([&] { return visible(frame, D::UpdateFoundId); }));
    EXPECT_EQ(labelText(*dialog, D::UpdateFoundId), huge.substr(0, NativeDialog::textCapacity) + "tail");
}

TEST(NativeDialog, DestroyedWhileTheCheckStillRuns)
{
    FakeShell shell;
    {
        auto dialog = openDialog(shell);
        press(dialog->getHandle(), D::CheckId);
        ASSERT_TRUE(shell.waitForCheck(1));
    } // the owner gives up while the network call goes on
    shell.answer(1, "2.0", "");
    ASSERT_TRUE(shell.waitForReturn(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the detached run ends on its own
}

TEST(NativeDialog, WithoutAWindowTheWaitEndsAndTheGameMayStart)
{
    FakeShell shell;
    auto first = openDialog(shell);
    // A second frame of the same class cannot be made while the first lives.
    NativeDialog second(&shell);
    EXPECT_EQ(second.getHandle(), nullptr);
    second.setAutoStart();
    second.show(true);
    EXPECT_TRUE(second.waitResult());
    EXPECT_FALSE(first->isDone());
}

TEST(NativeDialog, WaitResultPollsEvery300Milliseconds)
{
    FakeShell shell;
    auto dialog = openDialog(shell);
    compat::testing::useVirtualClock(true);
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        press(dialog->getHandle(), D::LaterId);
    });
    EXPECT_TRUE(dialog->waitResult());
    closer.join();
    const DWORD slept = compat::testing::sleptMilliseconds();
    compat::testing::useVirtualClock(false);
    EXPECT_GT(slept, 0u);
    EXPECT_EQ(slept % 300, 0u);
}

TEST(NativeDialog, TheLogoIsPaintedAndFreedWithTheDialog)
{
    const int before = compat::testing::liveGdiObjects();
    {
        FakeShell shell;
        auto dialog = openDialog(shell);
        EXPECT_EQ(compat::testing::liveGdiObjects(), before + 2); // logo and title font
        ASSERT_NE(dialog->getImages(), nullptr);
        EXPECT_EQ(dialog->getImages()->size(), 1);
    }
    EXPECT_EQ(compat::testing::liveGdiObjects(), before);
}

} // namespace
