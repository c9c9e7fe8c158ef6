// The program's main window and the DirectDraw display behind it: a primary surface and a back
// buffer into which every frame is drawn, in a 640 by 480 window or an exclusive 640 by 480 full-screen
// mode of 16 bits. It presents the back buffer once a frame, rebuilds window and display after the
// display was lost or the player switched between window and full screen, writes text with GDI, and
// shows and hides the movie window over the game.
#pragma once

#include "compat/ddraw/ddraw.h"
#include "compat/win32/window/window.h"

#include <cstdint>
#include <string>

class PixelFormat;
class SurfaceHolder;

class Screen {
public:
    explicit Screen(int useBlitPresent);
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    virtual ~Screen();

    virtual HRESULT create(HINSTANCE instance, WNDPROC windowProcedure, const std::string& title, int width,
                           int height, int windowed);
    virtual HRESULT toggleMode();
    virtual HRESULT reopen();
    virtual IDirectDraw4* getDirectDraw() { return directDraw; }
    virtual SurfaceHolder* getPrimary() { return primary; }
    virtual SurfaceHolder* getBackBuffer() { return backBuffer; }
    virtual HWND getWindow() { return window; }
    virtual HINSTANCE getInstance() { return instance; }
    virtual HRESULT present();
    virtual HRESULT checkDisplay();
    virtual int isDestroyingWindow() { return destroyingWindow; }
    virtual void updateWindowRects();
    // Colours as 0xRRGGBB.
    virtual void drawText(int x, int y, const char* text, std::uint32_t textColour, std::uint32_t backColour,
                          int transparent);
    virtual int isWindowed() { return windowed; }
    virtual int isModeSwitchAllowed() { return modeSwitchAllowed; }
    virtual void setWindowStyle(int maximizeBox);
    virtual int getWidth() { return width; }
    virtual int getHeight() { return height; }
    virtual HRESULT destroyWindow();
    virtual HRESULT open();
    virtual HWND createFullScreenWindow();
    virtual HWND createWindowedWindow();
    virtual HRESULT createDirectDraw();
    virtual HRESULT setExclusiveMode();
    virtual HRESULT setNormalMode();
    virtual HRESULT initFullScreen(int backBufferCount);
    virtual HRESULT initWindowed();
    virtual HRESULT restoreSurfaces();
    virtual HRESULT releaseDirectDraw();

    void showFlashWindow(HWND window, int kind);
    void hideFlashWindow();

    int usesBlitPresent() const { return useBlitPresent; }
    int getDisplayDepth() const { return displayDepth; }
    const RECT& getClientRect() const { return clientRect; }
    const RECT& getTargetRect() const { return targetRect; }

private:
    void registerWindowClass();
    // Makes the primary (with its fallbacks) and the back buffer; throws on failure.
    HRESULT createSurfaces(bool fullScreen, int backBufferCount);

    IDirectDraw4* directDraw = nullptr;
    SurfaceHolder* primary = nullptr;
    SurfaceHolder* backBuffer = nullptr;
    RECT savedWindowRect{};
    RECT clientRect{};
    RECT targetRect{};
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    WNDPROC windowProcedure = nullptr;
    int windowed = 1;
    int modeSwitchAllowed = 1;
    int destroyingWindow = 0;
    int width = 640;
    int height = 480;
    std::string title;
    int displayDepth = 0;
    int useBlitPresent;
    IDirectDrawClipper* flashClipper = nullptr;
};

// DirectDrawCreate with the default device, asked for IDirectDraw4; the first object is released.
HRESULT probeDirectDraw(IDirectDraw4** directDraw);
// The display's channel layout, read by the software blitters.
void setDisplayPixelFormat(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask,
                           std::uint32_t alphaMask);
struct DisplayChannel {
    std::uint32_t mask;
    int position;
    int loss;
};
// 0 red, 1 green, 2 blue, 3 alpha.
const DisplayChannel& displayChannel(int channel);
// "R5G6B5", "R8G8B8", ...: the channels from the highest bit position down, each with its width.
void describePixelFormat(std::string& text, const PixelFormat& format);

// The main window, published for the window procedure and the program entry; null when none.
HWND getGameWindow();

// What the front end keeps about the movie shown over the game: the screen reads it when it shows a
// movie and when it rebuilds the display.
struct MovieState {
    int x = 115;
    int y = 258;
    std::string paths[3];     // by movie kind (1 and 2 are shown)
    std::string overridePath; // shown instead when overrideIndex is not negative and the file opens
    int overrideIndex = -1;
    int shown = 0;            // a movie is up
    int lastKind = 0;
};
MovieState& movieState();
