// The native windows on a real desktop (run under a virtual X server by CTest): the frame and the
// update dialog show as GTK windows, a real pointer click on a button reaches the frame as that
// button's WM_COMMAND, real keys drive the dialog keyboard (Tab, Shift+Tab, Enter), and the close box
// closes the window and ends the frame thread. Skipped where no desktop toolkit may run.
#include "compat/host/dialog/NativePresenter.h"
#include "compat/host/testing.h"
#include "compat/win32/system/machine/timer.h"
#include "platform/native/NativeDialog.h"
#include "platform/native/NativeTestSupport.h"
#include "platform/native/UiRecord.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace native_test;

namespace {

struct DesktopRect {
    int x = 0, y = 0, width = 0, height = 0;
    int centreX() const { return x + width / 2; }
    int centreY() const { return y + height / 2; }
};

// Waits until the toolkit shows the window; false when it does not within 10 s.
bool shownAt(HWND window, DesktopRect& rect)
{
    return waitUntil([&] {
        return compat::testing::presentedRect(reinterpret_cast<std::uintptr_t>(window), rect.x, rect.y, rect.width,
                                              rect.height) &&
               rect.width > 0 && rect.height > 0;
    });
}

bool gone(HWND window)
{
    return waitUntil([&] {
        int x, y, w, h;
        return !compat::testing::presentedRect(reinterpret_cast<std::uintptr_t>(window), x, y, w, h);
    });
}

// Saves the desktop as a PNG where the test run keeps its screenshots; returns the picture.
compat::host::Picture screenshot(const char* name)
{
    compat::host::Picture picture;
    if (!compat::testing::captureDesktop(picture.width, picture.height, picture.pixels))
        return picture;
    if (const char* dir = std::getenv("QUARRYTIDE_SCREENSHOTS"))
        compat::host::writePng(picture, std::string(dir) + "/" + name);
    return picture;
}

std::size_t coloursIn(const compat::host::Picture& picture, const DesktopRect& rect)
{
    std::set<std::uint32_t> colours;
    for (int y = std::max(0, rect.y); y < std::min(picture.height, rect.y + rect.height); ++y)
        for (int x = std::max(0, rect.x); x < std::min(picture.width, rect.x + rect.width); ++x)
            colours.insert(picture.at(x, y));
    return colours.size();
}

class NativeDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* host = std::getenv("QUARRYTIDE_HOST");
        const char* display = std::getenv("DISPLAY");
        if ((host != nullptr && std::strcmp(host, "headless") == 0) || display == nullptr || *display == '\0')
            GTEST_SKIP() << "no desktop here";
        compat::testing::setDesktopSize(0, 0); // the real desktop
        compat::testing::useVirtualClock(false);
    }
};

// A frame with one button and a label, recording the commands it gets.
class ButtonFrame : public FrameWindow {
public:
    ButtonFrame() : FrameWindow(nullptr, nullptr, 7, "Press the button", "DesktopTest") {}
    ~ButtonFrame() override
    {
        detachWindow();
        delete button;
        delete label;
        delete edit;
    }

    void onCreate() override
    {
        label = new NativeLabel(this, 20, "A frame of its own thread, shown by GTK.", 0);
        label->setPlacement(10, 10, 280, 40);
        label->show(true);
        button = new NativeButton(this, 21, "Press me");
        button->setPlacement(90, 70, 120, 32);
        button->show(true);
        button->makeDefault();
        edit = new NativeEdit(this, 22, 0);
        edit->setPlacement(10, 110, 280, 26);
        edit->show(true);
    }
    bool onCommand(int code, int commandId) override
    {
        if (code == EN_CHANGE) {
            if (commandId == 22)
                ++edits;
            return true;
        }
        lastCode = code;
        lastId = commandId;
        ++commands;
        return true;
    }
    void onDestroy() override { destroyed = true; }

    NativeButton* button = nullptr;
    NativeLabel* label = nullptr;
    NativeEdit* edit = nullptr;
    std::atomic<int> edits{0};
    std::atomic<int> commands{0};
    std::atomic<int> lastCode{-1};
    std::atomic<int> lastId{-1};
    std::atomic<bool> destroyed{false};
};

TEST_F(NativeDesktop, ARealClickOnTheButtonReachesTheFrameAndTheCloseBoxEndsItsThread)
{
    auto frame = std::make_unique<ButtonFrame>();
    HWND window = frame->getHandle();
    ASSERT_NE(window, nullptr);
    frame->setPlacement(200, 150, 300, 150);
    frame->show(true);
    frame->bringToFront();

    DesktopRect shownFrame, shownButton;
    ASSERT_TRUE(shownAt(window, shownFrame)) << "the frame never showed as a GTK window";
    ASSERT_NE(frame->button, nullptr);
    ASSERT_TRUE(shownAt(frame->button->getHandle(), shownButton));
    EXPECT_GE(shownFrame.width, 300 - 6); // the client area the model gives it, or more
    Sleep(200);                           // let the server draw what GTK sent

    ASSERT_TRUE(compat::testing::clickDesktopAt(shownButton.centreX(), shownButton.centreY()));
    ASSERT_TRUE(waitUntil([&] { return frame->commands.load() > 0; })) << "the click never reached the frame";
    EXPECT_EQ(frame->lastCode.load(), BN_CLICKED);
    EXPECT_EQ(frame->lastId.load(), 21);
    EXPECT_EQ(frame->commands.load(), 1);

    // A click beside the button is no command.
    ASSERT_TRUE(compat::testing::clickDesktopAt(shownFrame.x + 5, shownFrame.y + 60));
    Sleep(200);
    EXPECT_EQ(frame->commands.load(), 1);

    // Typing into the entry is the edit's text, with EN_CHANGE to the frame; clicking it focuses it.
    DesktopRect shownEdit;
    HWND edit = frame->edit->getHandle();
    ASSERT_TRUE(shownAt(edit, shownEdit));
    ASSERT_TRUE(compat::testing::clickDesktopAt(shownEdit.centreX(), shownEdit.centreY()));
    ASSERT_TRUE(waitUntil([&] { return GetFocus() == edit; }));
    ASSERT_TRUE(compat::testing::pressDesktopKey("g", false));
    ASSERT_TRUE(compat::testing::pressDesktopKey("o", true));
    ASSERT_TRUE(waitUntil([&] { return textOf(edit) == "gO"; })) << textOf(edit);
    EXPECT_EQ(frame->edits.load(), 2);
    EXPECT_EQ(frame->commands.load(), 1);

    ASSERT_TRUE(compat::testing::closeDesktopWindow(reinterpret_cast<std::uintptr_t>(window)));
    ASSERT_TRUE(waitUntil([&] { return frame->destroyed.load(); })) << "the close box did not close the frame";
    EXPECT_TRUE(gone(window));
    EXPECT_FALSE(IsWindow(window));

    const auto start = std::chrono::steady_clock::now();
    frame.reset(); // joins the frame thread
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// The owner may take the frame down while it shows; the next frame thread then shows its own window.
TEST_F(NativeDesktop, AFrameDestroyedWhileItShowsLeavesTheDesktopToTheNext)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        auto frame = std::make_unique<ButtonFrame>();
        HWND window = frame->getHandle();
        ASSERT_NE(window, nullptr);
        frame->setPlacement(100, 100, 300, 150);
        frame->show(true);
        DesktopRect shown;
        ASSERT_TRUE(shownAt(window, shown));
        const auto start = std::chrono::steady_clock::now();
        frame.reset();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        EXPECT_TRUE(gone(window));
    }
}

// A shell whose check answers that there is no update once the test lets it.
class DesktopShell : public UpdateDialogShell {
public:
    DesktopShell()
    {
        texts.assign(35, "");
        texts[0] = "Quarrytide";
        texts[1] = "Update - ";
        texts[5] = "Version%s%s";
        texts[10] = "Quit";
        texts[12] = "&Later";
        texts[13] = "Download";
        texts[15] = "Check now";
        texts[16] = "Cancel";
        texts[17] = "Continue";
        texts[22] = "Look for a newer version of the game? It is looked for every %d days.";
        texts[24] = "Looking for a newer version...";
        texts[25] = "You have the newest version.";
        texts[27] = "The check failed.";
        texts[33] = "12";
        texts[34] = "24";
    }
    HINSTANCE instanceHandle() override { return nullptr; }
    HICON icon() override { return nullptr; }
    HBITMAP logoBitmap() override { return CreateBitmap(100, 80, 1, 32, nullptr); }
    const char* caption() override { return "Update - Quarrytide"; }
    bool isForced() override { return false; }
    const char* text(int32_t index) override
    {
        return index >= 0 && index < static_cast<int32_t>(texts.size()) ? texts[index].c_str() : nullptr;
    }
    int32_t checkIntervalDays() override { return 7; }
    std::string version() override { return "1.1.0"; }
    void openDownloadPage() override {}
    bool updateQuery(Query& query) override
    {
        query.updateUrl = "http://127.0.0.1/update";
        query.version = "1.1.0";
        return true;
    }
    void checkForUpdate(bool, const std::string&, int32_t, const std::string&, UiRecord* result) override
    {
        std::unique_lock<std::mutex> lock(mutex);
        ++checking;
        changed.wait_for(lock, std::chrono::seconds(10), [this] { return answered; });
        result->set(0, "", "");
        --checking;
        changed.notify_all();
    }
    void answer()
    {
        std::lock_guard<std::mutex> lock(mutex);
        answered = true;
        changed.notify_all();
    }
    // A check still under way (on a detached worker) ends before the shell goes.
    ~DesktopShell() override
    {
        answer();
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return checking == 0; });
    }

    std::vector<std::string> texts;

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool answered = false;
    int checking = 0;
};

TEST_F(NativeDesktop, TheUpdateDialogShowsAndIsDrivenByRealKeysAndClicks)
{
    // The game's own window stays with the screen host on this thread, as at start-up.
    WNDCLASSA gameClass{};
    gameClass.lpfnWndProc = DefWindowProcA;
    gameClass.lpszClassName = "DesktopTestGame";
    ASSERT_NE(RegisterClassA(&gameClass), 0);
    HWND game = CreateWindowExA(0, "DesktopTestGame", "Game", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 640, 480,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(compat::win32::hostedWindow(), game);

    DesktopShell shell;
    auto dialog = std::make_unique<NativeDialog>(&shell);
    HWND frame = dialog->getHandle();
    ASSERT_NE(frame, nullptr);
    dialog->setAutoStart();
    dialog->show(true);
    dialog->bringToFront();

    DesktopRect shownFrame, shownCheck;
    ASSERT_TRUE(shownAt(frame, shownFrame)) << "the dialog never showed as a GTK window";
    ASSERT_TRUE(shownAt(GetDlgItem(frame, NativeDialog::CheckId), shownCheck));
    Sleep(300);
    const compat::host::Picture offer = screenshot("native_update_dialog.png");
    ASSERT_GT(offer.width, 0) << "no picture of the desktop";
    EXPECT_GT(coloursIn(offer, shownFrame), 8u) << "the dialog's window shows next to nothing";

    // There is no window manager: the test gives the dialog the keyboard as one would on a click.
    ASSERT_TRUE(compat::testing::focusDesktopWindow(reinterpret_cast<std::uintptr_t>(frame)));
    HWND later = GetDlgItem(frame, NativeDialog::LaterId);
    HWND check = GetDlgItem(frame, NativeDialog::CheckId);
    ASSERT_TRUE(compat::testing::pressDesktopKey("Tab", false));
    ASSERT_TRUE(waitUntil([&] { return GetFocus() == later; })) << "Tab did not reach the dialog keyboard";
    ASSERT_TRUE(compat::testing::pressDesktopKey("Tab", true));
    ASSERT_TRUE(waitUntil([&] { return GetFocus() == check; })) << "Shift+Tab did not move the focus back";
    EXPECT_TRUE(waitUntil([] { return GetKeyState(VK_SHIFT) >= 0; })); // let go again

    // Enter on the focused check button starts the check: a spinner turns while it runs, and the answer
    // shows the no-update page.
    ASSERT_TRUE(compat::testing::pressDesktopKey("Return", false));
    DesktopRect shownSpinner;
    ASSERT_TRUE(shownAt(GetDlgItem(frame, NativeDialog::AnimationId), shownSpinner));
    Sleep(300);
    screenshot("native_update_dialog_checking.png");
    shell.answer();
    ASSERT_TRUE(waitUntil([&] { return visible(frame, NativeDialog::NoUpdateId); }));
    DesktopRect shownContinue, shownNoUpdate;
    ASSERT_TRUE(shownAt(GetDlgItem(frame, NativeDialog::ContinueId), shownContinue));
    ASSERT_TRUE(shownAt(GetDlgItem(frame, NativeDialog::NoUpdateId), shownNoUpdate));
    int x, y, w, h;
    EXPECT_FALSE(compat::testing::presentedRect(reinterpret_cast<std::uintptr_t>(check), x, y, w, h))
        << "the check button still shows";
    Sleep(300);
    screenshot("native_update_dialog_no_update.png");

    ASSERT_TRUE(compat::testing::clickDesktopAt(shownContinue.centreX(), shownContinue.centreY()));
    ASSERT_TRUE(waitUntil([&] { return dialog->isDone(); })) << "the click on continue did not end the dialog";
    EXPECT_TRUE(dialog->waitResult()); // continue lets the game start
    EXPECT_TRUE(gone(frame));
    const auto start = std::chrono::steady_clock::now();
    dialog.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(DestroyWindow(game));
    UnregisterClassA("DesktopTestGame", nullptr);
}

// Where the toolkit cannot reach a display, the window model works alone: the frame is made, shown
// and driven by its messages as in a headless run. Run from a headless run only, which has not started
// the toolkit in this process.
TEST(NativeWithoutDisplay, TheModelWorksAloneWhenTheToolkitCannotOpenADisplay)
{
    const char* host = std::getenv("QUARRYTIDE_HOST");
    if (host == nullptr || std::strcmp(host, "headless") != 0)
        GTEST_SKIP() << "needs a headless run";
    compat::host::current(); // the screen host stays the headless one chosen before
    const std::string savedHost = host;
    const char* display = std::getenv("DISPLAY");
    const std::string savedDisplay = display != nullptr ? display : "";
    unsetenv("QUARRYTIDE_HOST");
    setenv("DISPLAY", "127.0.0.1:97", 1); // no X server answers there

    auto frame = std::make_unique<ButtonFrame>();
    HWND window = frame->getHandle();
    setenv("QUARRYTIDE_HOST", savedHost.c_str(), 1);
    if (savedDisplay.empty())
        unsetenv("DISPLAY");
    else
        setenv("DISPLAY", savedDisplay.c_str(), 1);
    ASSERT_NE(window, nullptr);
    frame->show(true);
    ASSERT_NE(frame->button, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    press(window, 21);
    EXPECT_EQ(frame->commands.load(), 1);
    int x, y, w, h;
    EXPECT_FALSE(compat::testing::presentedRect(reinterpret_cast<std::uintptr_t>(window), x, y, w, h));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(waitUntil([&] { return frame->destroyed.load(); }));
    frame.reset();
}

} // namespace
