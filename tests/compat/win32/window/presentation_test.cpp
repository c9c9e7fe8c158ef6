// What the desktop toolkit is told about windows kept off the game's host, and how what the user does
// there comes back as the controls' messages, with a recording presenter in the toolkit's place.
#include "compat/host/dialog/NativePresenter.h"
#include "compat/win32/window/controls.h"
#include "compat/win32/window/window.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <vector>

namespace {

using compat::host::NativeInput;
using compat::host::NativeKind;
using compat::host::NativeState;

class RecordingPresenter final : public compat::host::NativePresenter {
public:
    bool shows() const override { return true; }
    void update(const NativeState& state) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (states.count(state.handle) == 0)
            made.push_back(state.handle);
        states[state.handle] = state;
    }
    void destroyed(std::uintptr_t handle) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        states.erase(handle);
        gone.push_back(handle);
    }
    void pump(std::vector<NativeInput>& out) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto& input : queued)
            out.push_back(input);
        queued.clear();
    }
    void wait(int) override {}
    void release() override
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++releases;
    }

    NativeState of(HWND window)
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto found = states.find(reinterpret_cast<std::uintptr_t>(window));
        return found != states.end() ? found->second : NativeState{};
    }
    bool knows(HWND window)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return states.count(reinterpret_cast<std::uintptr_t>(window)) != 0;
    }
    void user(NativeInput::Kind kind, HWND window, int key = 0, std::string text = "")
    {
        std::lock_guard<std::mutex> lock(mutex);
        queued.push_back(NativeInput{kind, reinterpret_cast<std::uintptr_t>(window), key, std::move(text)});
    }

    std::mutex mutex;
    std::map<std::uintptr_t, NativeState> states;
    std::vector<std::uintptr_t> made;
    std::vector<std::uintptr_t> gone;
    std::vector<NativeInput> queued;
    int releases = 0;
};

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen>& seen()
{
    static std::vector<Seen> messages;
    return messages;
}

LRESULT CALLBACK_Presented(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND || message == WM_CLOSE) {
        seen().push_back({message, wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class Presentation : public ::testing::Test {
protected:
    void SetUp() override
    {
        compat::testing::resetWindows();
        compat::testing::presentWith(&presenter);
        compat::win32::keepClassOffHost("PresentedFrame");
        compat::win32::registerControlClasses();
        WNDCLASSA wc{};
        wc.lpfnWndProc = CALLBACK_Presented;
        wc.lpszClassName = "PresentedFrame";
        ASSERT_NE(RegisterClassA(&wc), 0);
        frame = CreateWindowExA(0, "PresentedFrame", "Frame", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 50, 306,
                                226, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(frame, nullptr);
        seen().clear();
    }
    void TearDown() override
    {
        compat::testing::resetWindows();
        pump();
        compat::testing::presentWith(nullptr);
    }

    HWND child(const char* className, const char* text, int id, DWORD style, int x, int y, int width, int height)
    {
        HWND h = CreateWindowExA(0, className, text, WS_CHILD | style, x, y, width, height, frame,
                                 reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        return h;
    }
    // The frame's message loop, once round: the toolkit is brought up to date and its input delivered.
    void pump()
    {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            if (!IsDialogMessageA(frame, &m))
                DispatchMessageA(&m);
    }

    RecordingPresenter presenter;
    HWND frame = nullptr;
};

TEST_F(Presentation, TheToolkitIsToldEachWindowAsTheModelHasIt)
{
    HWND button = child("button", "&OK", 1, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 20, 80, 25);
    HWND label = child("static", "Hello", 2, WS_VISIBLE, 10, 60, 200, 40);
    HWND line = child("static", "", 3, WS_VISIBLE | SS_ETCHEDFRAME, 10, 105, 280, 2);
    HWND clip = child(ANIMATE_CLASSA, "", 4, WS_VISIBLE, 100, 110, 80, 50);
    HWND edit = child("edit", "", 5, WS_TABSTOP, 10, 170, 200, 20);
    HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Ready", frame, 6);
    pump();

    const NativeState top = presenter.of(frame);
    EXPECT_EQ(top.kind, NativeKind::Frame);
    EXPECT_EQ(top.text, "Frame");
    EXPECT_EQ(top.top, reinterpret_cast<std::uintptr_t>(frame));
    // The client area on the desktop: inside the caption and the frame.
    EXPECT_EQ(std::vector<int>({top.x, top.y, top.width, top.height}), std::vector<int>({103, 73, 300, 200}));
    EXPECT_TRUE(top.visible);

    struct Expected {
        HWND window;
        NativeKind kind;
        std::vector<int> place;
        bool visible;
    };
    const Expected table[] = {
        {button, NativeKind::Button, {10, 20, 80, 25}, true},   {label, NativeKind::Label, {10, 60, 200, 40}, true},
        {line, NativeKind::Separator, {10, 105, 280, 2}, true}, {clip, NativeKind::Animation, {100, 110, 80, 50}, true},
        {edit, NativeKind::Edit, {10, 170, 200, 20}, false},    {bar, NativeKind::StatusBar, {0, 180, 300, 20}, true},
    };
    for (const Expected& e : table) {
        const NativeState s = presenter.of(e.window);
        SCOPED_TRACE(static_cast<int>(e.kind));
        EXPECT_EQ(s.kind, e.kind);
        EXPECT_EQ(s.top, reinterpret_cast<std::uintptr_t>(frame));
        EXPECT_EQ(std::vector<int>({s.x, s.y, s.width, s.height}), e.place);
        EXPECT_EQ(s.visible, e.visible);
    }
    EXPECT_TRUE(presenter.of(button).defaultButton);
    EXPECT_EQ(presenter.of(button).text, "&OK"); // mnemonics are the toolkit's to show
    EXPECT_EQ(presenter.of(bar).text, "Ready");
    // Parents come before their children.
    EXPECT_EQ(presenter.made.front(), reinterpret_cast<std::uintptr_t>(frame));

    // Changes made through the window calls reach the toolkit at the next look at the queue.
    SetWindowTextA(label, "Bye");
    ShowWindow(edit, SW_SHOW);
    EnableWindow(button, FALSE);
    SendMessageA(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SetFocus(edit);
    HMODULE shell = LoadLibraryExA("shell32.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    SendMessageA(clip, ACM_OPENA, reinterpret_cast<WPARAM>(shell), 150);
    SendMessageA(clip, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF));
    LOGFONTA bold{};
    bold.lfHeight = -16;
    bold.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirectA(&bold);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    MoveWindow(frame, 200, 100, 306, 226, TRUE);
    SetForegroundWindow(frame);
    pump();
    EXPECT_TRUE(presenter.of(frame).foreground);
    EXPECT_FALSE(presenter.of(label).foreground);
    EXPECT_EQ(presenter.of(label).text, "Bye");
    EXPECT_EQ(presenter.of(label).fontHeight, 16);
    EXPECT_TRUE(presenter.of(label).bold);
    EXPECT_TRUE(presenter.of(edit).visible);
    EXPECT_TRUE(presenter.of(edit).focused);
    EXPECT_FALSE(presenter.of(button).enabled);
    EXPECT_FALSE(presenter.of(button).defaultButton);
    EXPECT_TRUE(presenter.of(clip).active);
    EXPECT_EQ(presenter.of(frame).x, 203);
    EXPECT_EQ(presenter.of(button).x, 10); // children keep their place in the client area

    SendMessageA(clip, ACM_STOP, 0, 0);
    CloseWindow(frame); // minimises it
    pump();
    EXPECT_TRUE(presenter.of(frame).minimized);
    ShowWindow(frame, SW_HIDE);
    pump();
    EXPECT_FALSE(presenter.of(clip).active);
    EXPECT_FALSE(presenter.of(frame).visible);

    // Destroyed windows are taken down at once, and with the last one the toolkit is let go.
    DestroyWindow(button);
    EXPECT_FALSE(presenter.knows(button));
    EXPECT_EQ(presenter.releases, 0);
    DestroyWindow(frame);
    EXPECT_FALSE(presenter.knows(frame));
    EXPECT_FALSE(presenter.knows(label));
    EXPECT_EQ(presenter.releases, 1);
    DeleteObject(font);
}

TEST_F(Presentation, OnlyWindowsKeptOffTheHostAreShownByTheToolkit)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "GameWindow";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND game = CreateWindowExA(0, "GameWindow", "Game", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(game, nullptr);
    HWND gameChild = CreateWindowExA(0, "button", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, game, nullptr, nullptr,
                                     nullptr);
    pump();
    EXPECT_TRUE(presenter.knows(frame));
    EXPECT_FALSE(presenter.knows(game));
    EXPECT_FALSE(presenter.knows(gameChild));
}

TEST_F(Presentation, WhatTheUserDoesArrivesAsTheControlsMessages)
{
    HWND first = child("button", "One", 10, WS_VISIBLE | WS_TABSTOP, 10, 10, 80, 25);
    HWND second = child("button", "Two", 11, WS_VISIBLE | WS_TABSTOP, 100, 10, 80, 25);
    HWND edit = child("edit", "", 12, WS_VISIBLE | WS_TABSTOP, 10, 50, 200, 20);
    pump();

    presenter.user(NativeInput::Clicked, second);
    pump();
    ASSERT_EQ(seen().size(), 1u);
    EXPECT_EQ(seen()[0].message, WM_COMMAND);
    EXPECT_EQ(seen()[0].wParam, MAKEWPARAM(11, BN_CLICKED));
    EXPECT_EQ(seen()[0].lParam, reinterpret_cast<LPARAM>(second));

    EnableWindow(first, FALSE);
    presenter.user(NativeInput::Clicked, first); // a disabled button does nothing
    presenter.user(NativeInput::Clicked, reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0xDEAD0)));
    pump();
    EXPECT_EQ(seen().size(), 1u);
    EnableWindow(first, TRUE);

    presenter.user(NativeInput::FocusTaken, edit);
    presenter.user(NativeInput::TextEdited, edit, 0, "abc");
    pump();
    EXPECT_EQ(GetFocus(), edit);
    char text[16] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "abc");
    ASSERT_EQ(seen().size(), 2u);
    EXPECT_EQ(seen()[1].wParam, MAKEWPARAM(12, EN_CHANGE));
    EXPECT_EQ(presenter.of(edit).text, "abc");

    // Keys go through the dialog keyboard: Shift+Tab from the edit goes back to the second button.
    presenter.user(NativeInput::KeyDown, edit, VK_SHIFT);
    presenter.user(NativeInput::KeyDown, edit, VK_TAB);
    presenter.user(NativeInput::KeyUp, edit, VK_TAB);
    presenter.user(NativeInput::KeyUp, edit, VK_SHIFT);
    pump();
    EXPECT_EQ(GetFocus(), second);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    presenter.user(NativeInput::KeyDown, second, VK_RETURN);
    pump();
    ASSERT_EQ(seen().size(), 3u);
    EXPECT_EQ(seen()[2].wParam, MAKEWPARAM(11, BN_CLICKED));

    // The close box asks the window to close; the window decides.
    presenter.user(NativeInput::CloseAsked, frame);
    pump();
    ASSERT_EQ(seen().size(), 4u);
    EXPECT_EQ(seen()[3].message, WM_CLOSE);
    EXPECT_TRUE(IsWindow(frame));
}

} // namespace
