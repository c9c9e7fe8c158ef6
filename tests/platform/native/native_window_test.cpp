#include "platform/native/FrameWindow.h"
#include "platform/native/NativeTestSupport.h"
#include "platform/native/NativeWindow.h"
#include "runtime/java/Vector.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace native_test;

namespace {

// A frame that records its hooks; its controls are made by the test.
class RecordingFrame : public FrameWindow {
public:
    explicit RecordingFrame(int frameId = 7) : FrameWindow(nullptr, nullptr, frameId, "Test frame", "Test") {}
    ~RecordingFrame() override { detachWindow(); }

    void onCreate() override { log("create"); }
    void onDestroy() override { log("destroy"); }
    void onPaint(HDC dc, PAINTSTRUCT paint, RECT client) override { log("paint"); }
    bool onCommand(int code, int commandId) override
    {
        log("command " + std::to_string(code) + " " + std::to_string(commandId));
        return commandId != 99; // 99 goes on to the default procedure
    }

    void log(const std::string& entry)
    {
        std::lock_guard<std::mutex> lock(mutex);
        entries.push_back(entry);
    }
    std::vector<std::string> takeLog()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return std::move(entries);
    }

    // Runs on the frame thread, like the dialog's build.
    template <typename F>
    void onFrame(F&& f)
    {
        std::function<void()> call = f;
        SendMessageA(getHandle(), privateCall, 0, reinterpret_cast<LPARAM>(&call));
    }

private:
    std::mutex mutex;
    std::vector<std::string> entries;
};

class RecordingHolder : public GdiObjectHolder {
public:
    RecordingHolder(RecordingFrame* frame, std::string name)
        : GdiObjectHolder(frame, CreateBitmap(2, 2, 1, 32, nullptr)), frame(frame), name(std::move(name))
    {
    }
    void draw(HDC dc, PAINTSTRUCT paint, RECT client) override { frame->log("draw " + name); }

private:
    RecordingFrame* frame;
    std::string name;
};

TEST(FrameWindow, LivesOnItsOwnThreadAndFindsItselfInPointerSizedData)
{
    RecordingFrame frame(119);
    HWND window = frame.getHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(frame.className(), "Test.Frame119");
    char name[64];
    GetClassNameA(window, name, sizeof name);
    EXPECT_STREQ(name, "Test.Frame119");
    EXPECT_NE(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
    EXPECT_FALSE(IsWindowVisible(window));
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    // The whole pointer, not its low 4 bytes.
    EXPECT_EQ(GetWindowLongPtrA(window, 0), reinterpret_cast<LONG_PTR>(static_cast<FrameWindow*>(&frame)));
}

TEST(FrameWindow, HooksRunOnTheFrameThreadInOrder)
{
    auto frame = std::make_unique<RecordingFrame>();
    HWND window = frame->getHandle();
    std::unique_ptr<NativeButton> button;
    frame->onFrame([&] { button = std::make_unique<NativeButton>(frame.get(), 40, "OK"); });
    frame->takeLog();

    SendMessageA(window, WM_COMMAND, IDOK, 0);    // no default button: nothing
    SendMessageA(window, WM_COMMAND, IDCANCEL, 0); // Escape never reaches the hook
    button->makeDefault();
    SendMessageA(window, WM_COMMAND, IDOK, 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(12, 3), 0);
    EXPECT_EQ(frame->takeLog(), (std::vector<std::string>{"command 1 40", "command 3 12"}));

    // A command the hook declines goes on to the default procedure, which leaves the window alone.
    SendMessageA(window, WM_COMMAND, 99, 0);
    EXPECT_TRUE(IsWindow(window));

    RecordingHolder first(frame.get(), "first");
    RecordingHolder second(frame.get(), "second");
    frame->takeLog();
    frame->show(true); // showing paints at once
    EXPECT_EQ(frame->takeLog(), (std::vector<std::string>{"draw first", "draw second", "paint"}));

    SendMessageA(window, WM_CLOSE, 0, 0); // the close box
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(frame->takeLog(), std::vector<std::string>{"destroy"});
    button.reset();
}

TEST(FrameWindow, DestructionEndsTheThreadWithoutWaitingForAMessage)
{
    for (bool destroyedFirst : {false, true}) {
        const auto start = std::chrono::steady_clock::now();
        auto frame = std::make_unique<RecordingFrame>();
        HWND window = frame->getHandle();
        if (destroyedFirst)
            SendMessageA(window, WM_CLOSE, 0, 0);
        frame.reset();
        EXPECT_FALSE(IsWindow(window));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
}

TEST(NativeControls, OperationsFromAnotherThreadReachTheWindow)
{
    RecordingFrame frame;
    HWND window = frame.getHandle();
    std::unique_ptr<NativeButton> ok, cancel;
    std::unique_ptr<NativeEdit> edit;
    std::unique_ptr<NativeLabel> label;
    std::unique_ptr<NativeAnimation> animation;
    frame.onFrame([&] {
        ok = std::make_unique<NativeButton>(&frame, 1, "OK");
        cancel = std::make_unique<NativeButton>(&frame, 2, "Cancel");
        edit = std::make_unique<NativeEdit>(&frame, 3, 0);
        label = std::make_unique<NativeLabel>(&frame, 4, "", 0);
        animation = std::make_unique<NativeAnimation>(&frame, 5, 150, "shell32.dll");
    });
    // Made hidden, with their classes and styles.
    HWND okWindow = GetDlgItem(window, 1);
    ASSERT_EQ(okWindow, ok->getHandle());
    EXPECT_FALSE(IsWindowVisible(okWindow));
    EXPECT_NE(static_cast<DWORD>(GetWindowLongPtrA(okWindow, GWL_STYLE)) & WS_TABSTOP, 0u);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(edit->getHandle(), GWL_EXSTYLE)), WS_EX_CLIENTEDGE);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(label->getHandle(), GWL_EXSTYLE)), WS_EX_TRANSPARENT);
    EXPECT_EQ(SendMessageA(okWindow, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));

    // Texts: empty, and cut to 499.
    EXPECT_EQ(label->getText(), "");
    label->setText(std::string(600, 'a'));
    EXPECT_EQ(label->getText(), std::string(499, 'a'));

    // Placement keeps a hidden control hidden; show and hide come through.
    ok->setPlacement(10, 20, 80, 25);
    EXPECT_FALSE(IsWindowVisible(okWindow));
    WINDOWPLACEMENT placement{};
    GetWindowPlacement(okWindow, &placement);
    EXPECT_EQ(placement.rcNormalPosition.left, 10);
    EXPECT_EQ(placement.rcNormalPosition.bottom, 45);
    ok->show(true);
    EXPECT_TRUE(IsWindowVisible(okWindow));
    ok->enable(false);
    EXPECT_FALSE(IsWindowEnabled(okWindow));

    // The default button moves, and the old one becomes a plain push button.
    ok->makeDefault();
    cancel->makeDefault();
    EXPECT_EQ(frame.getDefaultButton(), cancel.get());
    EXPECT_FALSE(isDefaultButton(window, 1));
    EXPECT_TRUE(isDefaultButton(window, 2));

    // Width of the text less one pixel per character, measured with the GDI text.
    SIZE extent{};
    HDC dc = GetDC(okWindow);
    GetTextExtentPointA(dc, "OK", 2, &extent);
    ReleaseDC(okWindow, dc);
    EXPECT_EQ(ok->textWidth(), extent.cx - 2);
    EXPECT_GT(ok->textWidth(), 0);

    edit->activate();
    EXPECT_EQ(GetFocus(), edit->getHandle());
    edit->setTextLimit(12);
    EXPECT_EQ(SendMessageA(edit->getHandle(), EM_GETLIMITTEXT, 0, 0), 12);

    HWND clip = animation->getHandle();
    animation->play(-1);
    EXPECT_TRUE(SendMessageA(clip, ACM_ISPLAYING, 0, 0));
    animation->stop();
    EXPECT_FALSE(SendMessageA(clip, ACM_ISPLAYING, 0, 0));
    animation->play(1);
    frame.onFrame([&] { animation.reset(); }); // stops and closes the clip
    EXPECT_FALSE(SendMessageA(clip, ACM_PLAY, 1, 0));
}

TEST(NativeControls, ControlsWithoutAWindowDoNothing)
{
    RecordingFrame frame;
    frame.onFrame([] {});
    std::unique_ptr<NativeButton> button;
    {
        // A second frame with the same class cannot be made: its controls have no windows.
        RecordingFrame orphan;
        ASSERT_EQ(orphan.getHandle(), nullptr);
        button = std::make_unique<NativeButton>(&orphan, 1, "OK");
        EXPECT_EQ(button->getHandle(), nullptr);
        button->show(true);
        button->setText("x");
        EXPECT_EQ(button->getText(), "");
        EXPECT_EQ(button->textWidth(), 0);
        button->makeDefault();
    }
}

TEST(NativeControls, PointFontsFollowTheScreenResolution)
{
    struct Case {
        int points;
        int flags;
        LONG height;
        LONG weight;
        BYTE italic, underline, strikeOut;
    };
    const Case cases[] = {
        {9, 0, -12, 0, 0, 0, 0},
        {8, 1, -11, 700, 0, 0, 0},
        {9, 1 | 4, -12, 700, 0, 1, 0},
        {12, 2 | 8, -16, 0, 1, 0, 1},
    };
    for (const Case& c : cases) {
        HFONT font = createPointFont("Arial", c.points, c.flags);
        ASSERT_NE(font, nullptr);
        LOGFONTA logFont{};
        ASSERT_NE(GetObjectA(font, sizeof logFont, &logFont), 0);
        EXPECT_EQ(logFont.lfHeight, c.height) << c.points;
        EXPECT_EQ(logFont.lfWeight, c.weight);
        EXPECT_EQ(logFont.lfItalic, c.italic);
        EXPECT_EQ(logFont.lfUnderline, c.underline);
        EXPECT_EQ(logFont.lfStrikeOut, c.strikeOut);
        EXPECT_EQ(logFont.lfWidth, 0);
        EXPECT_STREQ(logFont.lfFaceName, "Arial");
        DeleteObject(font);
    }
}

} // namespace
