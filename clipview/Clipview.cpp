// The movie host library: one movie window per process, a child of the caller's window, that watches
// its movie for the end and reports clicks inside it. The movie control is hosted only when one is
// registered; without one the window stays empty and no finished message ever comes.
#include "clipview/Clipview.h"

#include "clipview/FlashSite.h"

#include "compat/win32/window/controls.h"
#include "compat/win32/window/messages.h"
#include "compat/win32/path.h"
#include "compat/win32/window/window.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

namespace {

constexpr UINT_PTR kEndCheckTimer = 10;
constexpr UINT kEndCheckPeriodMs = 10;

void log(const char* text)
{
    if (!text)
        return;
    // Binary append so the line end is exactly CR LF on every platform.
    std::FILE* file = std::fopen("Clipview.log", "ab");
    if (!file)
        return;
    std::fprintf(file, "%s\r\n", text);
    std::fclose(file);
}

bool canOpen(const char* path)
{
    std::string host = compat::hostPath(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(host, error))
        return false;
    std::FILE* file = std::fopen(host.c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A path as the control takes it: each byte widened.
BSTR widen(const char* text)
{
    std::wstring wide(text, text + std::strlen(text));
    return SysAllocString(wide.c_str());
}

HRESULT putText(IShockwaveFlash* control, HRESULT (IShockwaveFlash::*put)(BSTR), const char* text)
{
    BSTR value = widen(text);
    const HRESULT result = (control->*put)(value);
    SysFreeString(value);
    return result;
}

// The movie control, made from the first name that gives one: a class id in its registry form
// ("{...}") or a ProgID.
IShockwaveFlash* createControl()
{
    IShockwaveFlash* control = nullptr;
    auto tryProgId = [&control](const wchar_t* progId) {
        CLSID classId;
        const HRESULT found = progId[0] == L'{' ? CLSIDFromString(progId, &classId) : CLSIDFromProgID(progId, &classId);
        if (found != S_OK)
            return;
        void* unknown = nullptr;
        if (CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown, &unknown) !=
                S_OK ||
            !unknown)
            return;
        auto* object = static_cast<IUnknown*>(unknown);
        void* flash = nullptr;
        if (object->QueryInterface(IID_IShockwaveFlash, &flash) == S_OK)
            control = static_cast<IShockwaveFlash*>(flash);
        object->Release();
    };
    tryProgId(L"ShockwaveFlash.ShockwaveFlash");
    for (int version = 10; !control && version >= 1; --version) {
        wchar_t progId[256];
        std::swprintf(progId, 256, L"ShockwaveFlash.ShockwaveFlash.%d", version);
        tryProgId(progId);
    }
    return control;
}

class FlashWindow final : public FlashEventOwner {
public:
    FlashWindow(HWND parent, const char* moviePath, int x, int y, int width, int height)
        : parent_(parent), sink_(new FlashEventSink(this)), x_(x), y_(y), width_(width), height_(height)
    {
        setPath(moviePath);
    }
    virtual ~FlashWindow()
    {
        if (control_)
            control_->Release();
        if (sink_)
            sink_->Release();
    }

    void onFSCommand(const char*, const char*) override {}

    void registerClass(HINSTANCE instance)
    {
        instance_ = instance;
        WNDCLASSEXA wc{};
        wc.cbSize = 48;
        wc.lpfnWndProc = windowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, IDC_HAND);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(5));
        wc.lpszClassName = "FlashClass";
        RegisterClassExA(&wc);
    }

    int createWindow(int showCommand)
    {
        window_ = CreateWindowExA(0, "FlashClass", "FlashClass", WS_CHILD | WS_CLIPSIBLINGS, x_, y_, width_, height_,
                                  parent_, nullptr, instance_, this);
        if (!window_)
            return 0;
        ShowWindow(window_, showCommand);
        UpdateWindow(window_);
        clicked_ = false;
        return 1;
    }

    // A second show moves the window; the new caller, path and size take the place of the old ones so
    // that the notifications and the click test follow the movie now shown.
    void moveTo(HWND parent, const char* moviePath, int x, int y, int width, int height)
    {
        parent_ = parent;
        setPath(moviePath);
        x_ = x;
        y_ = y;
        width_ = width;
        height_ = height;
        MoveWindow(window_, x, y, width, height, TRUE);
    }

    void loadMovie(const char* path, UINT finishedMessage, UINT clickedMessage)
    {
        // Without a control there is nothing to play or watch.
        if (!control_)
            return;
        clickedMessage_ = clickedMessage;
        finishedMessage_ = finishedMessage;
        finished_ = false;
        // A movie the control refuses is as good as no control: nothing to watch.
        if (FAILED(putText(control_, &IShockwaveFlash::put_Movie, path)) || FAILED(control_->Play()))
            return;
        SetTimer(window_, kEndCheckTimer, kEndCheckPeriodMs, onEndCheckTimer);
    }

    void stopMovie()
    {
        if (control_)
            control_->Stop();
        if (window_)
            KillTimer(window_, kEndCheckTimer);
    }

    void checkMovieEnd()
    {
        if (!control_ || finished_)
            return;
        // A control that cannot answer is taken as one with nothing playing.
        VARIANT_BOOL playing = VARIANT_FALSE;
        if (FAILED(control_->IsPlaying(&playing)) || playing == VARIANT_FALSE)
            return;
        long frame = 0;
        long frames = 0;
        if (FAILED(control_->CurrentFrame(&frame)) || FAILED(control_->get_TotalFrames(&frames)))
            return;
        if (frame >= frames - 1)
            notifyFinished();
    }

    // Posted once for each loaded movie.
    void notifyFinished()
    {
        finished_ = true;
        PostMessageA(parent_, finishedMessage_, 0, 0);
        KillTimer(window_, kEndCheckTimer);
    }

    void onCreate(HWND host)
    {
        site_ = new (std::nothrow) CContainer();
        log("new CContainer");
        if (!site_)
            return;
        log("CContainer success");
        site_->setHostWindow(host);
        control_ = createControl();
        if (!control_)
            return;
        control_->AddRef();
        site_->attachControl(control_);
        connectEvents();
        control_->put_EmbedMovie(VARIANT_TRUE);
        putText(control_, &IShockwaveFlash::put_Movie, path_);
        putText(control_, &IShockwaveFlash::put_WMode, "Opaque");
        putText(control_, &IShockwaveFlash::put_Quality2, "High");
        site_->activate(true);
    }

    void onDestroy(HWND window)
    {
        ShowWindow(window, SW_HIDE);
        SetWindowLongPtrA(window, GWL_USERDATA, 0);
        disconnectEvents();
        if (control_) {
            control_->Release();
            control_ = nullptr;
        }
        if (sink_) {
            sink_->Release();
            sink_ = nullptr;
        }
        if (site_) {
            site_->detachControl();
            site_->Release();
            site_ = nullptr;
        }
    }

    void notifyClicked() { PostMessageA(parent_, clickedMessage_, 0, 0); }

    bool isInside(int x, int y) const { return x > 0 && x < width_ && y > 0 && y < height_; }

    HWND window() const { return window_; }

    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_CREATE:
            onCreate(window);
            break;
        case WM_DESTROY:
            onDestroy(window);
            break;
        case WM_SIZE:
            if (site_)
                site_->setRect(0, 0, static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF));
            if (control_ && !finished_) {
                if (wParam == 1)
                    control_->Stop();
                else if (wParam == 0)
                    control_->Play();
            }
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            checkMovieEnd();
            if (site_)
                site_->draw(dc);
            EndPaint(window, &paint);
            break;
        }
        case WM_ERASEBKGND:
        case WM_DISPLAYCHANGE: {
            HDC dc = GetDC(window);
            checkMovieEnd();
            if (site_)
                site_->draw(dc);
            ReleaseDC(window, dc);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (!clicked_ && site_)
                site_->forwardMessage(message, wParam, lParam);
            return 1;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_LBUTTONDOWN:
            if (site_)
                site_->forwardMessage(message, wParam, lParam);
            return 1;
        case WM_LBUTTONUP: {
            if (site_)
                site_->forwardMessage(message, wParam, lParam);
            const int x = static_cast<int>(lParam & 0xFFFF);
            const int y = static_cast<int>((lParam >> 16) & 0xFFFF);
            if (isInside(x, y)) {
                notifyClicked();
                clicked_ = true;
            }
            return 1;
        }
        default:
            break;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

private:
    static void onEndCheckTimer(HWND window, UINT, UINT_PTR, DWORD)
    {
        if (auto* self = reinterpret_cast<FlashWindow*>(GetWindowLongPtrA(window, GWL_USERDATA)))
            self->checkMovieEnd();
    }

    IConnectionPoint* findConnectionPoint()
    {
        IUnknown* control = site_ ? site_->getControl() : nullptr;
        if (!control)
            return nullptr;
        IConnectionPoint* point = nullptr;
        void* container = nullptr;
        if (control->QueryInterface(IID_IConnectionPointContainer, &container) == S_OK) {
            static_cast<IConnectionPointContainer*>(container)->FindConnectionPoint(DIID_ShockwaveFlashEvents, &point);
            static_cast<IConnectionPointContainer*>(container)->Release();
        }
        control->Release();
        return point;
    }

    void connectEvents()
    {
        if (!sink_)
            return;
        if (IConnectionPoint* point = findConnectionPoint()) {
            point->Advise(sink_, &cookie_);
            point->Release();
        }
    }

    void disconnectEvents()
    {
        if (IConnectionPoint* point = findConnectionPoint()) {
            point->Unadvise(cookie_);
            point->Release();
        }
    }

    void setPath(const char* moviePath)
    {
        std::memset(path_, 0, sizeof path_);
        std::strncpy(path_, moviePath, sizeof path_ - 1);
    }

    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    HWND parent_;
    CContainer* site_ = nullptr;
    DWORD cookie_ = 0;
    FlashEventSink* sink_;
    IShockwaveFlash* control_ = nullptr;
    char path_[260];
    int x_, y_, width_, height_;
    bool finished_ = false;
    UINT finishedMessage_ = 0;
    UINT clickedMessage_ = 0;
    bool clicked_ = false;
};

FlashWindow* current = nullptr;
bool setUp = false;

LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (auto* self = reinterpret_cast<FlashWindow*>(GetWindowLongPtrA(window, GWL_USERDATA)))
        return self->handle(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

extern "C" int ShowIEWindow(HINSTANCE instance, HWND parent, int x, int y, int width, int height,
                            const char* moviePath, UINT finishedMessage, UINT clickedMessage)
{
    if (!instance)
        return CLIPVIEW_NO_INSTANCE;
    if (width <= 0 || height <= 0)
        return CLIPVIEW_BAD_SIZE;
    if (!moviePath || !*moviePath)
        return CLIPVIEW_NO_PATH;
    if (!canOpen(moviePath))
        return CLIPVIEW_CANNOT_OPEN;
    log("showIEWindow begin");
    log(moviePath);
    if (current) {
        log("hideIEWindow begin");
        log("Move FlashWindow");
        current->moveTo(parent, moviePath, x, y, width, height);
        current->loadMovie(moviePath, finishedMessage, clickedMessage);
        ShowWindow(current->window(), SW_SHOW);
        SetWindowPos(current->window(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        UpdateWindow(current->window());
        log("hideIEWindow end");
        log("showIEWindow end");
        return CLIPVIEW_OK;
    }
    current = new (std::nothrow) FlashWindow(parent, moviePath, x, y, width, height);
    log("Create FlashWindow");
    if (!current)
        return CLIPVIEW_NO_MEMORY;
    if (!setUp) {
        CoInitialize(nullptr);
        current->registerClass(instance);
        log("Register");
        setUp = true;
    }
    current->createWindow(SW_SHOW);
    current->loadMovie(moviePath, finishedMessage, clickedMessage);
    log("Play");
    SetWindowPos(current->window(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    log("SetPos");
    UpdateWindow(current->window());
    log("Update");
    log("showIEWindow end");
    return CLIPVIEW_OK;
}

extern "C" int HideIEWindow()
{
    if (!current)
        return 0;
    current->stopMovie();
    ShowWindow(current->window(), SW_HIDE);
    DestroyWindow(current->window());
    delete current;
    current = nullptr;
    return 0;
}
