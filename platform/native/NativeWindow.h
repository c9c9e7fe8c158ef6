// A thin layer over native windows for the one native window of the program, the update dialog: the
// common base with the operations every window offers, and a point-size font factory. The frame window
// and the controls that live in it build on it (FrameWindow.h).
//
// Operations called on a thread other than the one that owns the window are carried to that thread
// as sent messages through the frame window, and the caller waits until they are done. Operations on
// a window that was not made (or is gone) do nothing.
#pragma once

#include "compat/win32/window/controls.h"
#include "compat/win32/window/window.h"

#include <functional>
#include <string>

class FrameWindow;

class NativeWindow {
public:
    NativeWindow() = default;
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    // Places the window at x, y (a child in its parent's client coordinates) with that size; a hidden
    // window stays hidden.
    virtual void setPlacement(int x, int y, int width, int height);
    virtual void redraw();
    virtual void show(bool visible);
    virtual void enable(bool enabled);
    virtual void setText(std::string text);
    // At most 499 characters; empty when there is no text or no window.
    virtual std::string getText();
    // A null font stands for the stock GUI font.
    virtual void setFont(HFONT font);
    virtual void activate();

    // The width of the window's text in its device context, less one pixel per character.
    int textWidth();

    HWND getHandle() const { return handle; }
    int getId() const { return id; }

protected:
    // Destroying a wrapper leaves its window alone: child windows go with their parent.
    ~NativeWindow() = default;

    // Runs `call` on the thread that owns the window: at once on that thread, else as a message sent
    // through the owning frame. Nothing runs when there is no window.
    void onWindowThread(const std::function<void()>& call);

    // The message that carries such a call to the frame's thread: its window procedure runs the
    // std::function<void()> that lParam points to.
    static constexpr UINT windowThreadCall = WM_APP + 0x3F0;

    FrameWindow* parent = nullptr;
    int id = 0;
    HWND parentHandle = nullptr;
    HWND handle = nullptr;
    HINSTANCE instance = nullptr;

    friend class FrameWindow;
    friend class NativeControl;
    friend class NativeButton;
    friend class NativeStatusBar;
};

// A font of `pointSize` points at the screen's resolution; style bits: 1 bold, 2 italic, 4 underline,
// 8 strike-out. The caller owns the font.
HFONT createPointFont(const std::string& face, int pointSize, int styleFlags);
