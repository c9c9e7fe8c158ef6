// A thin layer over native child windows for the one native window of the program, the update dialog:
// a common base with the operations every window offers, six controls, a point-size font factory and
// a bitmap that the frame window paints.
//
// Operations called on a thread other than the one that owns the window are carried to that thread
// as sent messages through the frame window, and the caller waits until they are done. Operations on
// a control whose window was not made (or is gone) do nothing.
#pragma once

#include "compat/win32/controls.h"
#include "compat/win32/window.h"
#include "runtime/java/Object.h"

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

// A control of a frame: made hidden at 0, 0 with size 0 x 0 as a child of the frame's window.
class NativeControl : public NativeWindow {
protected:
    NativeControl(FrameWindow* parent, int id);
    void create(DWORD exStyle, const char* className, DWORD style);
};

class NativeButton final : public NativeControl {
public:
    NativeButton(FrameWindow* parent, int id, const std::string& text);
    ~NativeButton() = default;
    // Makes this the frame's default push button (Enter chooses it), turning the previous one back into
    // a plain push button.
    void makeDefault();
};

class NativeEdit final : public NativeControl {
public:
    NativeEdit(FrameWindow* parent, int id, DWORD style);
    ~NativeEdit() = default;
    // Takes the keyboard focus.
    void activate() override;
    void setTextLimit(int limit);
};

class NativeLabel final : public NativeControl {
public:
    NativeLabel(FrameWindow* parent, int id, const std::string& text, DWORD style);
    ~NativeLabel() = default;
};

class NativeAnimation final : public NativeControl {
public:
    // Opens the clip `resourceId` of the module `moduleName`, loaded as data.
    NativeAnimation(FrameWindow* parent, int id, int resourceId, const std::string& moduleName);
    // Stops and closes the clip.
    ~NativeAnimation();
    // Plays the clip `repeat` times (-1: for ever), from the first frame to the last.
    void play(int repeat);
    void stop();
};

class NativeSeparator final : public NativeControl {
public:
    NativeSeparator(FrameWindow* parent, int id);
    ~NativeSeparator() = default;
};

class NativeStatusBar final : public NativeControl {
public:
    NativeStatusBar(FrameWindow* parent, int id, const std::string& text);
    ~NativeStatusBar() = default;
    // The bar lays itself out along the bottom of its parent.
    void setPlacement(int x, int y, int width, int height) override;
};

// A font of `pointSize` points at the screen's resolution; style bits: 1 bold, 2 italic, 4 underline,
// 8 strike-out. The caller owns the font.
HFONT createPointFont(const std::string& face, int pointSize, int styleFlags);

// A bitmap that its frame paints at (x, y) of the client area on every paint. The holder owns the
// bitmap and puts itself on the frame's list of images while it lives.
class GdiObjectHolder : public java::Object {
public:
    GdiObjectHolder(FrameWindow* owner, HBITMAP bitmap);
    ~GdiObjectHolder() override;

    virtual void draw(HDC dc, PAINTSTRUCT paint, RECT client);
    virtual void setPosition(int newX, int newY);

    HBITMAP getBitmap() const { return bitmap; }

private:
    FrameWindow* owner;
    int x = 0;
    int y = 0;
    HBITMAP bitmap;
};
