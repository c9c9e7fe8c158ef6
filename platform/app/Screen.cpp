#include "platform/app/Screen.h"

#include "clipview/Clipview.h"
#include "compat/win32/path.h"
#include "platform/app/Application.h"
#include "platform/surface/DirectDrawSurface.h"
#include "platform/surface/DisplayDepth.h"
#include "platform/surface/DrawError.h"
#include "platform/surface/PixelFormat.h"
#include "platform/surface/SurfaceFactory.h"
#include "platform/surface/SurfaceHolder.h"
#include "runtime/DebugLog.h"
#include "runtime/GameException.h"

#include <cstdio>

namespace {

constexpr std::uint32_t movieFinishedMessage = 11045;
constexpr std::uint32_t movieClickedMessage = 11044;
constexpr int movieWidth = 410;
constexpr int movieHeight = 184;

HWND gameWindow = nullptr;
DisplayChannel channels[4] = {};
// The screen whose back buffer tells whether the display changed depth.
Screen* depthScreen = nullptr;

DisplayChannel channelOf(std::uint32_t mask)
{
    DisplayChannel c{mask, 0, 8};
    if (mask == 0)
        return c;
    int first = 0;
    while (((mask >> first) & 1) == 0)
        ++first;
    int last = 31;
    while (((mask >> last) & 1) == 0)
        --last;
    c.position = first;
    c.loss = 8 - (last - first + 1);
    return c;
}

[[noreturn]] void throwSurfaceFailure(HRESULT code)
{
    if (code == E_OUTOFMEMORY)
        throw GameTextException(0, "ERROR - There is not enough memory to continue the game!\n");
    const std::string detail = "Error code: " + std::to_string(code) + "\nError message: " + ddErrorName(code) + "\n";
    throw GameTextException(0, "ERROR - Could not initialize DirectDraw: %s\n", detail.c_str());
}

void wrapInto(SurfaceHolder* holder, IDirectDrawSurface4* surface, const char* name, bool clear)
{
    auto* wrapped = new DirectDrawSurface(surface);
    holder->setSurface(wrapped);
    wrapped->setName(name);
    if (clear)
        wrapped->fill(0);
}

bool backBufferDepthDiffers()
{
    if (depthScreen == nullptr || depthScreen->getDirectDraw() == nullptr || depthScreen->getBackBuffer() == nullptr)
        return false;
    Surface* back = depthScreen->getBackBuffer()->getSurface();
    if (back == nullptr)
        return false;
    return getDisplayBitDepth(depthScreen->getDirectDraw()) != back->getDesc().format.bitsPerPixel;
}

} // namespace

HWND getGameWindow() { return gameWindow; }

MovieState& movieState()
{
    static MovieState state;
    return state;
}

const DisplayChannel& displayChannel(int channel) { return channels[channel & 3]; }

void setDisplayPixelFormat(std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask,
                           std::uint32_t alphaMask)
{
    channels[0] = channelOf(redMask);
    channels[1] = channelOf(greenMask);
    channels[2] = channelOf(blueMask);
    channels[3] = channelOf(alphaMask);
}

void describePixelFormat(std::string& text, const PixelFormat& format)
{
    text.clear();
    struct Entry {
        char letter;
        std::uint32_t mask;
    } entries[3] = {{'R', format.redMask}, {'G', format.greenMask}, {'B', format.blueMask}};
    int positions[3];
    int bits[3];
    for (int i = 0; i < 3; ++i) {
        const DisplayChannel c = channelOf(entries[i].mask);
        positions[i] = c.position;
        bits[i] = 8 - c.loss;
    }
    // The three places from the highest position down; a place two channels share is "?".
    int order[3] = {0, 1, 2};
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j)
            if (positions[order[j]] > positions[order[i]])
                std::swap(order[i], order[j]);
    for (int place = 0; place < 3; ++place) {
        const int i = order[place];
        int sharing = 0;
        for (int j = 0; j < 3; ++j)
            sharing += positions[j] == positions[i];
        if (sharing > 1)
            text += "?";
        else
            text += entries[i].letter + std::to_string(bits[i]);
    }
}

HRESULT probeDirectDraw(IDirectDraw4** directDraw)
{
    *directDraw = nullptr;
    IDirectDraw* first = nullptr;
    HRESULT result = DirectDrawCreate(nullptr, &first, nullptr);
    if (FAILED(result))
        return result;
    result = first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(directDraw));
    first->Release();
    return result;
}

Screen::Screen(int useBlitPresent) : useBlitPresent(useBlitPresent)
{
    primary = new SurfaceHolder();
    primary->addRef();
    backBuffer = new SurfaceHolder();
    backBuffer->addRef();
    depthScreen = this;
    setDisplayDepthCheck(backBufferDepthDiffers);
}

Screen::~Screen()
{
    releaseDirectDraw();
    if (flashClipper != nullptr) {
        flashClipper->Release();
        flashClipper = nullptr;
    }
    primary->release();
    backBuffer->release();
    if (depthScreen == this) {
        depthScreen = nullptr;
        setDisplayDepthCheck(nullptr);
    }
}

HRESULT Screen::create(HINSTANCE newInstance, WNDPROC procedure, const std::string& newTitle, int newWidth,
                       int newHeight, int newWindowed)
{
    instance = newInstance;
    windowProcedure = procedure;
    title = newTitle;
    width = newWidth;
    height = newHeight;
    windowed = newWindowed;
    savedWindowRect = RECT{0, 0, 0, 0};
    return open();
}

HRESULT Screen::toggleMode()
{
    if (modeSwitchAllowed == 0)
        return 0;
    if (windowed != 0 && window != nullptr)
        GetWindowRect(window, &savedWindowRect);
    windowed = windowed != 0 ? 0 : 1;
    destroyWindow();
    const HRESULT result = open();
    const bool savedSome = savedWindowRect.left != 0 || savedWindowRect.top != 0 || savedWindowRect.right != 0 ||
                           savedWindowRect.bottom != 0;
    if (SUCCEEDED(result) && windowed != 0 && savedSome)
        SetWindowPos(window, HWND_NOTOPMOST, savedWindowRect.left, savedWindowRect.top,
                     savedWindowRect.right - savedWindowRect.left, savedWindowRect.bottom - savedWindowRect.top,
                     SWP_SHOWWINDOW);
    return result;
}

HRESULT Screen::reopen()
{
    if (windowed != 0)
        return 0;
    destroyWindow();
    return open();
}

HRESULT Screen::present()
{
    Surface* front = primary->getSurface();
    Surface* back = backBuffer->getSurface();
    auto* frontSurface = dynamic_cast<DirectDrawSurface*>(front);
    auto* backSurface = dynamic_cast<DirectDrawSurface*>(back);
    if (frontSurface == nullptr || frontSurface->getInterface() == nullptr)
        return DDERR_SURFACELOST;
    IDirectDrawSurface4* frontInterface = frontSurface->getInterface();
    if (windowed == 0 && useBlitPresent == 0)
        return frontInterface->Flip(nullptr, DDFLIP_WAIT);
    if (backSurface == nullptr || backSurface->getInterface() == nullptr)
        return DDERR_SURFACELOST;
    if (windowed == 0 && flashClipper != nullptr)
        frontInterface->SetClipper(flashClipper);
    RECT target = targetRect;
    RECT source = clientRect;
    return frontInterface->Blt(&target, backSurface->getInterface(), &source, DDBLT_WAIT, nullptr);
}

HRESULT Screen::checkDisplay()
{
    HRESULT result = directDraw != nullptr ? directDraw->TestCooperativeLevel() : DD_OK;
    if (result == DDERR_EXCLUSIVEMODEALREADYSET)
        return result;
    IDirectDraw4* probe = nullptr;
    if (SUCCEEDED(probeDirectDraw(&probe))) {
        displayDepth = static_cast<int>(getDisplayBitDepth(probe));
        probe->Release();
    }
    destroyWindow();
    result = open();
    if (FAILED(result))
        DebugLog::instance().log(std::string("Display check failed: ") + ddErrorName(result) + "\n");
    return result;
}

void Screen::updateWindowRects()
{
    if (window == nullptr)
        return;
    GetClientRect(window, &clientRect);
    targetRect = clientRect;
    POINT topLeft = {targetRect.left, targetRect.top};
    POINT bottomRight = {targetRect.right, targetRect.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    targetRect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void Screen::drawText(int x, int y, const char* text, std::uint32_t textColour, std::uint32_t backColour,
                      int transparent)
{
    auto* back = dynamic_cast<DirectDrawSurface*>(backBuffer->getSurface());
    if (back == nullptr || back->getInterface() == nullptr || text == nullptr)
        return;
    HDC dc = nullptr;
    if (back->getInterface()->GetDC(&dc) != DD_OK)
        return;
    auto swap = [](std::uint32_t rgb) {
        return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    };
    SetTextColor(dc, swap(textColour));
    SetBkColor(dc, swap(backColour));
    SetBkMode(dc, transparent != 0 ? TRANSPARENT : OPAQUE);
    ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(std::char_traits<char>::length(text)), nullptr);
    back->getInterface()->ReleaseDC(dc);
}

void Screen::setWindowStyle(int maximizeBox)
{
    if (windowed == 0 || window == nullptr)
        return;
    LONG style = GetWindowLongA(window, GWL_STYLE);
    if (maximizeBox != 0)
        style |= static_cast<LONG>(WS_MAXIMIZEBOX);
    else
        style &= ~static_cast<LONG>(WS_MAXIMIZEBOX);
    SetWindowLongA(window, GWL_STYLE, style);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

HRESULT Screen::destroyWindow()
{
    const HRESULT result = releaseDirectDraw();
    if (FAILED(result))
        return result;
    destroyingWindow = 1;
    hideFlashWindow();
    if (window != nullptr) {
        const HWND old = window;
        window = nullptr;
        DestroyWindow(old);
        if (gameWindow == old)
            gameWindow = nullptr;
    }
    destroyingWindow = 0;
    return result;
}

HRESULT Screen::open()
{
    const int desktopWidth = GetSystemMetrics(SM_CXSCREEN);
    const int desktopHeight = GetSystemMetrics(SM_CYSCREEN);
    if (desktopWidth <= width || desktopHeight <= height) {
        modeSwitchAllowed = 0;
        windowed = 0;
    }

    IDirectDraw4* probe = nullptr;
    HRESULT result = probeDirectDraw(&probe);
    if (FAILED(result))
        return result;
    const std::uint32_t depth = getDisplayBitDepth(probe);
    probe->Release();
    if (depth != 16 && depth != 32) {
        modeSwitchAllowed = 0;
        windowed = 0;
    }

    window = windowed != 0 ? createWindowedWindow() : createFullScreenWindow();
    gameWindow = window;
    if (window == nullptr)
        return E_FAIL;

    ShowWindow(window, SW_SHOW);
    result = createDirectDraw();
    if (SUCCEEDED(result)) {
        Surface* back = backBuffer->getSurface();
        if (back != nullptr) {
            const PixelFormat& format = back->getDesc().format;
            setDisplayPixelFormat(format.redMask, format.greenMask, format.blueMask, format.alphaMask);
            if (Application* app = Application::instance()) {
                app->getSystemInfo().fullScreen = windowed == 0 ? 1 : 0;
                describePixelFormat(app->getSystemInfo().pixelFormatText, format);
            }
        }
        if (movieState().shown != 0)
            showFlashWindow(window, movieState().lastKind);
    }
    return result;
}

void Screen::registerWindowClass()
{
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = windowProcedure != nullptr ? windowProcedure : DefWindowProcA;
    Application* app = Application::instance();
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(app != nullptr ? app->getIconId() : 32512));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszMenuName = "";
    wc.lpszClassName = title.c_str();
    RegisterClassA(&wc);
}

HWND Screen::createWindowedWindow()
{
    registerWindowClass();
    DWORD style = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    Application* app = Application::instance();
    if (app != nullptr && app->isModeSwitchEnabled() != 0)
        style |= WS_MAXIMIZEBOX;
    HWND made = CreateWindowExA(0, title.c_str(), title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (made == nullptr)
        return nullptr;
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(made, GWL_STYLE)) & ~WS_VISIBLE, FALSE,
                       static_cast<DWORD>(GetWindowLongA(made, GWL_EXSTYLE)));
    HDC screenDC = GetDC(nullptr);
    const int desktopWidth = GetDeviceCaps(screenDC, HORZRES);
    const int desktopHeight = GetDeviceCaps(screenDC, VERTRES);
    ReleaseDC(nullptr, screenDC);
    // Centred across, a third of the free height above.
    const int x = (desktopWidth - r.right - r.left) / 2;
    const int y = (desktopHeight - r.bottom - r.top) / 3;
    MoveWindow(made, x, y, r.right - r.left, r.bottom - r.top, FALSE);
    return made;
}

HWND Screen::createFullScreenWindow()
{
    registerWindowClass();
    return CreateWindowExA(WS_EX_TOPMOST, title.c_str(), title.c_str(), WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance,
                           nullptr);
}

HRESULT Screen::createDirectDraw()
{
    HRESULT result = probeDirectDraw(&directDraw);
    if (FAILED(result))
        return result;
    displayDepth = static_cast<int>(getDisplayBitDepth(directDraw));
    return windowed != 0 ? setNormalMode() : setExclusiveMode();
}

HRESULT Screen::setExclusiveMode()
{
    HRESULT result = directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    if (result != DD_OK && result != DDERR_HWNDALREADYSET)
        return result;
    result = directDraw->SetDisplayMode(static_cast<DWORD>(width), static_cast<DWORD>(height), 16, 0, 0);
    if (FAILED(result))
        return result;
    clientRect = RECT{0, 0, width, height};
    targetRect = clientRect;
    result = initFullScreen(2);
    if (FAILED(result))
        result = initFullScreen(1);
    if (FAILED(result))
        result = initWindowed();
    return result;
}

HRESULT Screen::setNormalMode()
{
    if (FAILED(directDraw->SetCooperativeLevel(window, DDSCL_NORMAL)))
        return E_FAIL;
    updateWindowRects();
    HRESULT result = initWindowed();
    if (SUCCEEDED(result)) {
        IDirectDrawClipper* clipper = nullptr;
        if (SUCCEEDED(directDraw->CreateClipper(0, &clipper, nullptr))) {
            auto* front = dynamic_cast<DirectDrawSurface*>(primary->getSurface());
            if (SUCCEEDED(clipper->SetHWnd(0, window)) && front != nullptr && front->getInterface() != nullptr)
                front->getInterface()->SetClipper(clipper);
            clipper->Release();
        }
    }
    return result;
}

HRESULT Screen::createSurfaces(bool fullScreen, int backBufferCount)
{
    DDSURFACEDESC2 desc{};
    desc.dwSize = 124;
    desc.dwFlags = DDSD_CAPS;
    if (fullScreen && useBlitPresent == 0) {
        desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
        desc.dwBackBufferCount = static_cast<DWORD>(backBufferCount);
    } else {
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
    }
    IDirectDrawSurface4* front = nullptr;
    HRESULT result = directDraw->CreateSurface(&desc, &front, nullptr);
    auto primaryOnly = [&](DWORD caps) {
        desc.dwFlags = DDSD_CAPS;
        desc.dwBackBufferCount = 0;
        desc.ddsCaps.dwCaps = caps;
        useBlitPresent = 1;
        return directDraw->CreateSurface(&desc, &front, nullptr);
    };
    if (result == DDERR_NODIRECTDRAWHW || result == DDERR_OUTOFVIDEOMEMORY)
        result = primaryOnly(DDSCAPS_PRIMARYSURFACE | DDSCAPS_SYSTEMMEMORY);
    if (fullScreen && result == DDERR_NOFLIPHW)
        result = primaryOnly(DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY);
    if (result == DDERR_NODIRECTDRAWHW)
        result = primaryOnly(DDSCAPS_PRIMARYSURFACE | DDSCAPS_SYSTEMMEMORY | DDSCAPS_ALPHA);
    if (FAILED(result))
        throwSurfaceFailure(result);
    wrapInto(primary, front, "PrimaryBuffer", fullScreen);

    IDirectDrawSurface4* back = nullptr;
    auto separate = [&](DWORD memory) {
        DDSURFACEDESC2 b{};
        b.dwSize = 124;
        b.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        b.dwWidth = static_cast<DWORD>(width);
        b.dwHeight = static_cast<DWORD>(height);
        b.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | memory;
        return directDraw->CreateSurface(&b, &back, nullptr);
    };
    if (fullScreen && useBlitPresent == 0) {
        DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
        result = front->GetAttachedSurface(&caps, &back);
        if (result == DDERR_OUTOFVIDEOMEMORY) {
            useBlitPresent = 1;
            result = separate(DDSCAPS_SYSTEMMEMORY);
        }
    } else if (fullScreen) {
        result = separate(DDSCAPS_SYSTEMMEMORY);
    } else {
        result = separate(useBlitPresent != 0 ? DDSCAPS_SYSTEMMEMORY : DDSCAPS_VIDEOMEMORY);
        if (result == DDERR_OUTOFVIDEOMEMORY) {
            useBlitPresent = 1;
            result = separate(DDSCAPS_SYSTEMMEMORY);
        }
    }
    front->Release();
    if (FAILED(result))
        throwSurfaceFailure(result);
    wrapInto(backBuffer, back, "BackBuffer", true);
    back->Release();
    return DD_OK;
}

HRESULT Screen::initFullScreen(int backBufferCount) { return createSurfaces(true, backBufferCount); }

HRESULT Screen::initWindowed() { return createSurfaces(false, 0); }

HRESULT Screen::restoreSurfaces()
{
    HRESULT result = primary->restoreSurfaces();
    if (SUCCEEDED(result)) {
        result = backBuffer->restoreSurfaces();
        if (result == DDERR_IMPLICITLYCREATED)
            result = 0;
    }
    return result;
}

HRESULT Screen::releaseDirectDraw()
{
    if (directDraw == nullptr)
        return 0;
    directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
    primary->setSurface(nullptr);
    backBuffer->setSurface(nullptr);
    directDraw->Release();
    directDraw = nullptr;
    return 0;
}

void Screen::showFlashWindow(HWND, int kind)
{
    HideIEWindow();
    if (kind != 1 && kind != 2)
        return;
    MovieState& movie = movieState();
    std::string path = movie.paths[kind];
    if (movie.overrideIndex >= 0) {
        if (FILE* file = std::fopen(compat::hostPath(movie.overridePath).c_str(), "r")) {
            std::fclose(file);
            path = movie.overridePath;
        }
    }
    ShowIEWindow(instance, window, movie.x, movie.y, movieWidth, movieHeight, path.c_str(), movieFinishedMessage,
                    movieClickedMessage);
    if (windowed == 0 && directDraw != nullptr) {
        IDirectDrawClipper* clipper = nullptr;
        if (SUCCEEDED(directDraw->CreateClipper(0, &clipper, nullptr))) {
            clipper->SetHWnd(0, window);
            if (flashClipper != nullptr)
                flashClipper->Release();
            flashClipper = clipper;
        }
        directDraw->FlipToGDISurface();
    }
}

void Screen::hideFlashWindow()
{
    if (flashClipper != nullptr) {
        flashClipper->Release();
        flashClipper = nullptr;
    }
    HideIEWindow();
}
