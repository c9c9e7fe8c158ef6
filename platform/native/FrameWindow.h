// A top-level native window that lives on a thread of its own, with the six controls and the pictures
// that live in it. The constructor starts the frame thread, which registers the window class, makes
// the window and runs its message loop; the constructor returns once the window exists (or could not
// be made). Everything the window does afterwards (building its controls on the first message,
// painting, commands) runs on the frame thread, so its owner may simply poll.
#pragma once

#include "platform/native/NativeWindow.h"
#include "runtime/java/Object.h"
#include "runtime/java/Runnable.h"

#include <atomic>
#include <string>

namespace java {
class Thread;
class Vector;
} // namespace java

class NativeButton;

class FrameWindow : public NativeWindow, public java::Runnable {
public:
    // The window class is classBase + ".Frame" + id. The icon is not owned.
    FrameWindow(HINSTANCE instance, HICON icon, int id, const std::string& title, const std::string& classBase);
    // Ends the frame thread (the window is destroyed on it) and waits for it.
    virtual ~FrameWindow();

    // In the frame, activating is bringing to the front.
    void activate() override { bringToFront(); }
    virtual void bringToFront();
    // Places the window in the middle of the screen, growing it by its frame and caption, so that the
    // size given before becomes about the client size.
    virtual void centerOnScreen();
    // Hooks, all called on the frame thread: the build on the window's first message, WM_DESTROY,
    // after the images are painted, and WM_COMMAND (true: handled).
    virtual void onCreate() {}
    virtual void onDestroy() {}
    virtual void onPaint(HDC dc, PAINTSTRUCT paint, RECT client) {}
    virtual bool onCommand(int code, int id) { return false; }

    // The frame thread's body.
    void run() override;
    // The frame's window procedure: finds the frame in the window's extra data and calls its hooks.
    static LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return CALLBACK_Frame(window, message, wParam, lParam);
    }

    std::string className() const;
    NativeButton* getDefaultButton() const { return defaultButton; }
    // The bitmaps painted on every paint, in the order added.
    java::Vector* getImages() const { return images; }

protected:
    // Ends the frame thread and waits for it; the hooks are not called any more afterwards. Subclasses
    // call it first in their destructor, before freeing what the hooks use. Safe to call again.
    void detachWindow();
    // Messages the window procedure does not know, on the frame thread; true when handled.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam) { return false; }

    // Message numbers of the frame's own.
    static constexpr UINT privateCall = windowThreadCall;
    static constexpr UINT privateQuit = WM_APP + 0x3F1;
    static constexpr UINT firstSubclassMessage = WM_APP + 0x3F8;

private:
    static LRESULT CALLBACK_Frame(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    NativeButton* defaultButton = nullptr;
    java::Vector* images = nullptr;
    bool built = false; // frame thread only
    std::atomic<bool> ready{false};
    java::Thread* thread = nullptr;
    std::string title;
    std::string classBase;
    HICON icon = nullptr;
    bool detached = false;

    friend class NativeWindow;
    friend class NativeButton;
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
