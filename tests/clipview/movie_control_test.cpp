// Drives the movie window with a stand-in movie control registered under one of the control's
// ProgIDs: it reads the frame rate and frame count from the movie file's header, steps a frame on
// each tick of the timer service its site offers, and fires its script command event midway.
#include "clipview/Clipview.h"

#include "compat/ddraw/ddraw.h"
#include "compat/ddraw/testing.h"
#include "compat/host/testing.h"
#include "compat/ole/control.h"
#include "compat/win32/window/messages.h"
#include "compat/win32/system/machine/timer.h"
#include "compat/win32/window/window.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr CLSID kMovieClass = {0x51A7E001, 0x7E57, 0x4C0D, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr UINT kFinished = 11045;
constexpr UINT kClicked = 11044;

class MovieControl;
bool liveControl = false;
int madeControls = 0;
MovieControl* lastControl = nullptr;
bool lastControlGone = false;
std::vector<std::string> finalCalls;
std::string failingCall; // the call the next control made answers with E_FAIL

class MovieControl final : public IShockwaveFlash,
                           public IOleObject,
                           public IPersistStreamInit,
                           public IOleInPlaceObjectWindowless,
                           public IViewObject,
                           public IConnectionPointContainer,
                           public IConnectionPoint,
                           public ITimerSink {
public:
    std::vector<std::string> calls;
    std::vector<UINT> messages;
    IOleClientSite* site = nullptr;
    IDispatch* events = nullptr;
    ITimer* timer = nullptr;
    long frame = 0;
    long frames = 0;
    int rate = 0;
    bool playing = false;
    bool loaded = false;
    int draws = 0;
    LPARAM lastPoint = 0;
    RECT area{};
    std::string failing = failingCall;

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IShockwaveFlash)
            *object = static_cast<IShockwaveFlash*>(this);
        else if (riid == IID_IOleObject)
            *object = static_cast<IOleObject*>(this);
        else if (riid == IID_IPersistStreamInit)
            *object = static_cast<IPersistStreamInit*>(this);
        else if (riid == IID_IOleInPlaceObject || riid == IID_IOleInPlaceObjectWindowless)
            *object = static_cast<IOleInPlaceObjectWindowless*>(this);
        else if (riid == IID_IViewObject)
            *object = static_cast<IViewObject*>(this);
        else if (riid == IID_IConnectionPointContainer)
            *object = static_cast<IConnectionPointContainer*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override
    {
        const ULONG left = --references;
        if (left == 0) {
            lastControlGone = true;
            lastControl = nullptr;
            delete this;
        }
        return left;
    }

    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, void**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPCOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, void*, UINT*) override { return E_NOTIMPL; }

    HRESULT put_EmbedMovie(VARIANT_BOOL embed) override { return note(embed ? "EmbedMovie" : "EmbedMovie off"); }
    HRESULT put_Movie(BSTR path) override
    {
        // Header: signature, version, length, a frame rectangle of 5 + 4 n bits, then the frame rate
        // (8.8 fixed point) and the frame count, little-endian.
        std::string narrow(path, path + std::wcslen(path));
        std::ifstream in(narrow, std::ios::binary);
        unsigned char header[32] = {};
        in.read(reinterpret_cast<char*>(header), sizeof header);
        const int bits = 5 + 4 * (header[8] >> 3);
        const int at = 8 + (bits + 7) / 8;
        rate = header[at + 1];
        frames = header[at + 2] | header[at + 3] << 8;
        frame = 0;
        const HRESULT result = note("Movie " + narrow);
        loaded = SUCCEEDED(result);
        return result;
    }
    HRESULT put_WMode(BSTR mode) override { return note("WMode " + std::string(mode, mode + std::wcslen(mode))); }
    HRESULT put_Quality2(BSTR q) override { return note("Quality2 " + std::string(q, q + std::wcslen(q))); }
    HRESULT Play() override
    {
        const HRESULT result = note("Play");
        playing = playing || (SUCCEEDED(result) && loaded); // refused, or without a movie, nothing plays
        return result;
    }
    HRESULT Stop() override
    {
        playing = false;
        return note("Stop");
    }
    HRESULT IsPlaying(VARIANT_BOOL* on) override
    {
        if (failing == "IsPlaying") {
            *on = VARIANT_TRUE; // what a failed call leaves is not to be trusted
            return E_FAIL;
        }
        *on = playing ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT CurrentFrame(long* out) override
    {
        if (failing == "CurrentFrame") {
            *out = 1000;
            return E_FAIL;
        }
        *out = frame;
        return S_OK;
    }
    HRESULT get_TotalFrames(long* out) override
    {
        *out = frames;
        return S_OK;
    }

    HRESULT SetClientSite(IOleClientSite* newSite) override
    {
        if (site)
            site->Release();
        site = newSite;
        if (!site)
            return note("SetClientSite null");
        site->AddRef();
        return note("SetClientSite");
    }
    HRESULT DoVerb(LONG verb, MSG*, IOleClientSite*, LONG, HWND, const RECT*) override
    {
        if (verb == OLEIVERB_INPLACEACTIVATE)
            startTimer();
        return note("DoVerb " + std::to_string(verb));
    }
    HRESULT InitNew() override { return note("InitNew"); }
    HRESULT GetWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT InPlaceDeactivate() override { return note("InPlaceDeactivate"); }
    HRESULT UIDeactivate() override { return note("UIDeactivate"); }
    HRESULT SetObjectRects(const RECT* p, const RECT*) override
    {
        area = *p;
        return note("SetObjectRects " + std::to_string(p->right) + "x" + std::to_string(p->bottom));
    }
    HRESULT OnWindowMessage(UINT message, WPARAM, LPARAM lParam, LRESULT*) override
    {
        messages.push_back(message);
        lastPoint = lParam;
        return S_OK;
    }
    // Paints its area in the colour of the frame it shows.
    HRESULT Draw(DWORD, LONG, void*, void*, HDC, HDC dc, const RECT*, const RECT*, void*, std::uintptr_t) override
    {
        ++draws;
        const std::uint32_t colour = frameColour(frame);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = 1;
        info.bmiHeader.biHeight = 1;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        StretchDIBits(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, 0, 0, 1, 1, &colour,
                      &info, DIB_RGB_COLORS, SRCCOPY);
        return S_OK;
    }
    static std::uint32_t frameColour(long frame) { return 0xC00000u + static_cast<std::uint32_t>(frame) * 0x10u; }
    HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** point) override
    {
        if (riid != DIID_ShockwaveFlashEvents)
            return E_NOINTERFACE;
        *point = this;
        AddRef();
        return S_OK;
    }
    HRESULT Advise(IUnknown* sink, DWORD* cookie) override
    {
        void* dispatch = nullptr;
        sink->QueryInterface(DIID_ShockwaveFlashEvents, &dispatch);
        events = static_cast<IDispatch*>(dispatch);
        *cookie = 77;
        return note("Advise");
    }
    HRESULT Unadvise(DWORD cookie) override
    {
        if (events)
            events->Release();
        events = nullptr;
        return note("Unadvise " + std::to_string(cookie));
    }
    HRESULT OnTimer(VARIANT) override
    {
        if (!playing || frame >= frames - 1)
            return S_OK;
        ++frame;
        if (auto* windowless = siteAs<IOleInPlaceSiteWindowless>(IID_IOleInPlaceSiteWindowless)) {
            windowless->InvalidateRect(nullptr, FALSE); // the new frame wants showing
            windowless->Release();
        }
        if (frame == frames / 2 && events)
            fireCommand(L"shout", L"loud");
        return S_OK;
    }

    HRESULT fireCommand(const wchar_t* command, const wchar_t* arguments)
    {
        VARIANT args[2];
        args[0].vt = args[1].vt = VT_BSTR;
        args[0].bstrVal = SysAllocString(arguments);
        args[1].bstrVal = SysAllocString(command);
        DISPPARAMS params{args, nullptr, 2, 0};
        const HRESULT result = events->Invoke(DISPID_FSCOMMAND, IID_IUnknown, 0, 1, &params, nullptr, nullptr, nullptr);
        VariantClear(&args[0]);
        VariantClear(&args[1]);
        note("FSCommand " + std::to_string(result));
        return result;
    }

    template <class Interface>
    Interface* siteAs(REFIID riid)
    {
        void* out = nullptr;
        site->QueryInterface(riid, &out);
        return static_cast<Interface*>(out);
    }

    ~MovieControl()
    {
        finalCalls = calls;
        if (timer)
            timer->Release();
        if (site)
            site->Release();
    }

private:
    HRESULT note(const std::string& call)
    {
        calls.push_back(call);
        return call.compare(0, failing.size(), failing) == 0 && !failing.empty() ? E_FAIL : S_OK;
    }

    void startTimer()
    {
        auto* services = siteAs<IServiceProvider>(IID_IServiceProvider);
        ITimerService* service = nullptr;
        services->QueryService(IID_ITimerService, IID_ITimerService, reinterpret_cast<void**>(&service));
        services->Release();
        service->CreateTimer(nullptr, &timer);
        service->Release();
        VARIANT none{};
        VARIANT interval{};
        interval.vt = VT_UI4;
        interval.ulVal = static_cast<ULONG>(1000 / rate);
        timer->Advise(none, none, interval, 0, this, nullptr);
    }

    ULONG references = 1;
};

HRESULT makeMovieControl(REFIID riid, void** object)
{
    if (!liveControl)
        return E_FAIL;
    ++madeControls;
    auto* control = new MovieControl();
    lastControl = control;
    lastControlGone = false;
    const HRESULT result = control->QueryInterface(riid, object);
    control->Release();
    return result;
}

// The mouse messages the game window got.
std::vector<std::pair<UINT, LPARAM>> gameClicks;

LRESULT gameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)
        gameClicks.emplace_back(message, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The movie: 100 frames a second, frameCount frames.
void writeMovie(const std::string& path, int frameCount)
{
    const unsigned char header[] = {'F', 'W', 'S', 6, 13, 0, 0, 0, 0x00, 0, 100,
                                    static_cast<unsigned char>(frameCount), 0};
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(header), sizeof header);
}

class MovieControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        compat::ole::registerClass(kMovieClass, makeMovieControl);
        // Only version 9 is there: the plain ProgID and version 10 are tried first, nothing after.
        compat::ole::registerProgId(L"ShockwaveFlash.ShockwaveFlash.9", kMovieClass);
        liveControl = true;
        madeControls = 0;
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        compat::testing::useVirtualClock(true);
        WNDCLASSA wc{};
        wc.lpfnWndProc = gameProc;
        wc.lpszClassName = "MovieTestGame";
        RegisterClassA(&wc);
        game = CreateWindowExA(0, "MovieTestGame", "", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                               nullptr, nullptr);
        ASSERT_NE(game, nullptr);
        writeMovie(dir.file("ad.swf"), 6);
    }
    void TearDown() override
    {
        HideIEWindow();
        DestroyWindow(game);
        liveControl = false;
        failingCall.clear();
        compat::testing::useVirtualClock(false);
        std::filesystem::current_path(previous);
    }

    // Runs the loop for the given time; returns the game's notifications.
    std::vector<UINT> run(DWORD milliseconds)
    {
        std::vector<UINT> posted;
        for (DWORD step = 0; step <= milliseconds; step += 5) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                if (m.hwnd == game && (m.message == kFinished || m.message == kClicked))
                    posted.push_back(m.message);
                else
                    DispatchMessageA(&m);
            }
            compat::testing::advanceClock(5);
        }
        return posted;
    }

    HWND movieWindow()
    {
        auto* window = lastControl->siteAs<IOleWindow>(IID_IOleWindow);
        HWND movie = nullptr;
        EXPECT_EQ(window->GetWindow(&movie), S_OK);
        window->Release();
        return movie;
    }

    testsupport::TempDir dir;
    HWND game = nullptr;
    std::filesystem::path previous;
};

TEST_F(MovieControlTest, PlaysInAChildOfTheGameWindowAndPostsTheEndOnce)
{
    ASSERT_EQ(ShowIEWindow(reinterpret_cast<HINSTANCE>(0x400000), game, 10, 20, 320, 240, dir.file("ad.swf").c_str(),
                           kFinished, kClicked),
              0);
    ASSERT_NE(lastControl, nullptr);
    EXPECT_EQ(madeControls, 1);
    MovieControl& control = *lastControl;
    HWND movie = movieWindow();
    EXPECT_EQ(GetParent(movie), game);
    EXPECT_EQ(control.frames, 6);
    EXPECT_EQ(control.rate, 100);
    const std::vector<std::string> made = {"SetClientSite", "InitNew", "Advise", "EmbedMovie",
                                           "Movie " + dir.file("ad.swf"), "WMode Opaque", "Quality2 High",
                                           "DoVerb -5", "DoVerb -1"};
    ASSERT_GE(control.calls.size(), made.size());
    EXPECT_EQ(std::vector<std::string>(control.calls.begin(), control.calls.begin() + made.size()), made);

    // Frames 1..5 at one a tick; the end is frame 5 of 6, seen by the 10 ms poll.
    EXPECT_TRUE(run(30).empty());
    EXPECT_EQ(run(100), std::vector<UINT>{kFinished}) << "posted to the game's queue once";
    EXPECT_EQ(control.frame, 5);
    SendMessageA(movieWindow(), WM_ERASEBKGND, 0, 0);
    EXPECT_TRUE(run(100).empty()) << "neither the poll nor a redraw posts it again";
    EXPECT_NE(std::find(control.calls.begin(), control.calls.end(), "FSCommand 0"), control.calls.end())
        << "the script command midway is taken and changes nothing";

    // A second show loads the movie again: the end is watched anew.
    ASSERT_EQ(ShowIEWindow(reinterpret_cast<HINSTANCE>(0x400000), game, 10, 20, 320, 240, dir.file("ad.swf").c_str(),
                           kFinished, kClicked),
              0);
    EXPECT_EQ(control.frame, 0);
    EXPECT_EQ(run(100), std::vector<UINT>{kFinished});

    EXPECT_EQ(HideIEWindow(), 0);
    EXPECT_TRUE(lastControlGone) << "the site releases the control's only reference";
    const std::vector<std::string> takenDown = {"Stop", "Unadvise 77", "SetClientSite null", "UIDeactivate",
                                                "InPlaceDeactivate"};
    ASSERT_GE(finalCalls.size(), takenDown.size());
    EXPECT_EQ(std::vector<std::string>(finalCalls.end() - takenDown.size(), finalCalls.end()), takenDown);
}

TEST_F(MovieControlTest, ClicksInsideAreReportedAndInputReachesTheControl)
{
    ASSERT_EQ(ShowIEWindow(reinterpret_cast<HINSTANCE>(0x400000), game, 0, 0, 320, 240, dir.file("ad.swf").c_str(),
                           kFinished, kClicked),
              0);
    MovieControl& control = *lastControl;
    HWND movie = movieWindow();
    control.Stop();
    SendMessageA(movie, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(movie, WM_LBUTTONUP, 0, MAKELPARAM(0, 5));
    EXPECT_TRUE(run(0).empty()) << "the edge is outside";
    SendMessageA(movie, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageA(movie, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    SendMessageA(movie, WM_LBUTTONUP, 0, MAKELPARAM(319, 239));
    EXPECT_EQ(run(0), (std::vector<UINT>{kClicked, kClicked}));
    EXPECT_EQ(control.messages, (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONUP, WM_LBUTTONUP, WM_LBUTTONUP}))
        << "moves stop reaching the control after the first click";
    EXPECT_TRUE(run(200).empty()) << "a stopped movie never counts as finished";

    SendMessageA(movie, WM_SIZE, 0, MAKELPARAM(200, 100));
    EXPECT_EQ(control.calls.back(), "Play") << "a restore plays again";
    EXPECT_NE(std::find(control.calls.begin(), control.calls.end(), "SetObjectRects 200x100"), control.calls.end());
    const int before = control.draws;
    SendMessageA(movie, WM_ERASEBKGND, 0, 0);
    EXPECT_EQ(control.draws, before + 1);

    EXPECT_EQ(HideIEWindow(), 0);
}

TEST_F(MovieControlTest, ShowsItsCurrentFrameOverTheGameAndTakesTheClicksOverIt)
{
    // The game presents one colour through its primary surface.
    IDirectDraw* first = nullptr;
    ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
    IDirectDraw4* dd = nullptr;
    ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&dd)), S_OK);
    first->Release();
    ASSERT_EQ(dd->SetCooperativeLevel(game, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc{};
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface4* primary = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &primary, nullptr), DD_OK);
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0x336699;
    ASSERT_EQ(primary->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    auto shown = [] { return compat::testing::headlessState().lastFrame; };
    ASSERT_EQ(shown().at(100, 100), 0x336699u);

    ASSERT_EQ(ShowIEWindow(reinterpret_cast<HINSTANCE>(0x400000), game, 10, 20, 320, 240, dir.file("ad.swf").c_str(),
                           kFinished, kClicked),
              0);
    MovieControl& control = *lastControl;
    const compat::host::Picture withMovie = shown();
    EXPECT_EQ(withMovie.at(10, 20), MovieControl::frameColour(0));
    EXPECT_EQ(withMovie.at(329, 259), MovieControl::frameColour(0));
    for (auto [x, y] : {std::pair{9, 20}, {10, 19}, {330, 259}, {329, 260}, {600, 400}})
        EXPECT_EQ(withMovie.at(x, y), 0x336699u) << "the game at " << x << "," << y;
    run(30);
    ASSERT_GT(control.frame, 0);
    EXPECT_EQ(shown().at(100, 100), MovieControl::frameColour(control.frame)) << "the frame the movie is at";
    if (const char* folder = std::getenv("QUARRYTIDE_SCREENSHOTS"))
        compat::host::writePng(shown(), std::string(folder) + "/movie-over-game.png");

    // A click inside goes to the movie in its own coordinates; one outside to the game.
    gameClicks.clear();
    compat::testing::injectHostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 60));
    compat::testing::injectHostMessage(WM_LBUTTONUP, 0, MAKELPARAM(50, 60));
    EXPECT_EQ(run(0), std::vector<UINT>{kClicked});
    EXPECT_EQ(control.lastPoint, MAKELPARAM(40, 40));
    EXPECT_TRUE(gameClicks.empty());
    compat::testing::injectHostMessage(WM_LBUTTONUP, 0, MAKELPARAM(400, 300));
    EXPECT_TRUE(run(0).empty());
    EXPECT_EQ(gameClicks, (std::vector<std::pair<UINT, LPARAM>>{{WM_LBUTTONUP, MAKELPARAM(400, 300)}}));

    // Taken down, the game shows there again and takes the clicks.
    EXPECT_EQ(HideIEWindow(), 0);
    EXPECT_EQ(shown().at(100, 100), 0x336699u);
    gameClicks.clear();
    compat::testing::injectHostMessage(WM_LBUTTONUP, 0, MAKELPARAM(50, 60));
    EXPECT_TRUE(run(0).empty());
    EXPECT_EQ(gameClicks.size(), 1u);

    primary->Release();
    dd->Release();
    compat::testing::resetDisplay();
}

TEST_F(MovieControlTest, WithoutAWorkingControlTheMovieNeverFinishes)
{
    struct Case {
        const char* what;
        bool live;
        const char* failing;
    };
    const Case cases[] = {
        {"nothing registered answers", false, ""},
        {"the movie is refused", true, "Movie"},
        {"play is refused", true, "Play"},
        {"the control cannot say whether it plays", true, "IsPlaying"},
        {"the control cannot say its frame", true, "CurrentFrame"},
    };
    for (const Case& c : cases) {
        liveControl = c.live;
        failingCall = c.failing;
        ASSERT_EQ(ShowIEWindow(reinterpret_cast<HINSTANCE>(0x400000), game, 0, 0, 320, 240,
                               dir.file("ad.swf").c_str(), kFinished, kClicked),
                  0)
            << c.what;
        EXPECT_TRUE(run(200).empty()) << c.what;
        EXPECT_EQ(HideIEWindow(), 0);
    }
}

TEST_F(MovieControlTest, SiteAnswersWithItsResultCodes)
{
    ASSERT_EQ(ShowIEWindow(reinterpret_cast<HINSTANCE>(0x400000), game, 0, 0, 320, 240, dir.file("ad.swf").c_str(),
                           kFinished, kClicked),
              0);
    MovieControl& control = *lastControl;
    IOleClientSite* site = control.site;
    EXPECT_EQ(site->QueryInterface(IID_IOleClientSite, nullptr), E_POINTER);
    void* none = &control;
    EXPECT_EQ(site->QueryInterface(IID_ITimer, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    auto* windowless = control.siteAs<IOleInPlaceSiteWindowless>(IID_IOleInPlaceSiteWindowless);
    EXPECT_EQ(windowless->GetCapture(), S_FALSE);
    EXPECT_EQ(windowless->SetCapture(TRUE), S_OK);
    EXPECT_EQ(windowless->GetCapture(), S_OK);
    windowless->SetCapture(FALSE);
    HDC dc = nullptr;
    HDC second = nullptr;
    EXPECT_EQ(windowless->GetDC(nullptr, 0, &dc), S_OK);
    EXPECT_EQ(windowless->GetDC(nullptr, 0, &second), E_FAIL) << "one device context at a time";
    EXPECT_EQ(windowless->ReleaseDC(dc), S_OK);
    EXPECT_EQ(windowless->GetDC(nullptr, 0, &dc), S_OK);
    windowless->ReleaseDC(dc);
    windowless->Release();

    auto* services = control.siteAs<IServiceProvider>(IID_IServiceProvider);
    EXPECT_EQ(services->QueryService(IID_ITimerService, IID_ITimer, &none), E_NOINTERFACE);
    ITimerService* service = nullptr;
    EXPECT_EQ(services->QueryService(IID_IUnknown, IID_ITimerService, reinterpret_cast<void**>(&service)), S_OK);
    services->Release();

    // A newer timer takes the ticks: the control's own timer no longer moves its frame.
    struct Sink final : ITimerSink {
        int ticks = 0;
        HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
        ULONG AddRef() override { return 1; }
        ULONG Release() override { return 1; }
        HRESULT OnTimer(VARIANT) override
        {
            ++ticks;
            return S_OK;
        }
    } sink;
    ITimer* newer = nullptr;
    ASSERT_EQ(service->CreateTimer(nullptr, &newer), S_OK);
    VARIANT none2{};
    VARIANT interval{};
    interval.vt = VT_UI4;
    interval.ulVal = 10;
    newer->Advise(none2, none2, interval, 0, &sink, nullptr);
    run(50);
    EXPECT_GT(sink.ticks, 3);
    EXPECT_EQ(control.frame, 0);

    auto* controlSite = control.siteAs<IOleControlSite>(IID_IOleControlSite);
    EXPECT_EQ(controlSite->GetExtendedControl(nullptr), E_INVALIDARG);
    controlSite->Release();
    auto* ambient = control.siteAs<IDispatch>(IID_IDispatch);
    DISPID id = 0;
    LPCOLESTR name = L"BackgroundColor";
    EXPECT_EQ(ambient->GetIDsOfNames(IID_IUnknown, &name, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    ambient->Release();

    // Events other than the script command are ignored, and a short command cannot overrun.
    VARIANT one{};
    DISPPARAMS params{&one, nullptr, 1, 0};
    EXPECT_EQ(control.events->Invoke(DISPID_FSCOMMAND, IID_IUnknown, 0, 1, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(control.events->Invoke(7, IID_IUnknown, 0, 1, nullptr, nullptr, nullptr, nullptr), S_OK);

    newer->Release();
    service->Release();
    EXPECT_EQ(HideIEWindow(), 0);
}

} // namespace
