#include "clipview/FlashSite.h"

#include <cstring>
#include <cwchar>
#include <new>

namespace {

constexpr UINT_PTR kControlTimer = 15003;

template <class Interface>
Interface* ask(IUnknown* object, REFIID riid)
{
    void* answer = nullptr;
    if (!object || object->QueryInterface(riid, &answer) != S_OK)
        return nullptr;
    return static_cast<Interface*>(answer);
}

class Timer final : public ITimer {
public:
    explicit Timer(HWND host) : host_(host) {}
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (riid == IID_ITimer || riid == IID_IUnknown) {
            *object = static_cast<ITimer*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    HRESULT Advise(VARIANT, VARIANT, VARIANT interval, DWORD, ITimerSink* sink, DWORD*) override
    {
        sink_ = sink;
        intervalMs_ = interval.ulVal;
        timerId_ = SetTimer(host_, kControlTimer, intervalMs_, onTick);
        return S_OK;
    }
    // The Win32 timer runs on until the movie window goes.
    HRESULT Unadvise(DWORD) override { return S_OK; }
    HRESULT Freeze(BOOL) override { return S_OK; }
    HRESULT GetTime(VARIANT*) override { return S_OK; }

    ITimerSink* sink() const { return sink_; }
    void destroy() { delete this; }

private:
    ~Timer() = default;
    static void onTick(HWND, UINT, UINT_PTR, DWORD time);

    ULONG references_ = 1;
    ITimerSink* sink_ = nullptr;
    HWND host_;
    UINT intervalMs_ = 0;
    UINT_PTR timerId_ = 0;
};

class TimerService final : public ITimerService {
public:
    explicit TimerService(HWND host) : host_(host) {}
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (riid == IID_ITimerService || riid == IID_IUnknown) {
            *object = static_cast<ITimerService*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    HRESULT CreateTimer(ITimer*, ITimer** timer) override
    {
        // The previous timer stays with whoever holds it (the service gives up its own reference, so
        // it goes when they let go); only the newest is driven.
        if (Timer* previous = current_) {
            current_ = nullptr;
            previous->Release();
        }
        current_ = new Timer(host_);
        return current_->QueryInterface(IID_ITimer, reinterpret_cast<void**>(timer));
    }
    HRESULT GetNamedTimer(const GUID&, ITimer**) override { return S_OK; }
    HRESULT SetNamedTimerReference(const GUID&, ITimer*) override { return S_OK; }

    Timer* current() const { return current_; }
    void forget(const Timer* timer)
    {
        if (current_ == timer)
            current_ = nullptr;
    }
    void destroy()
    {
        if (current_)
            current_->destroy();
        delete this;
    }

private:
    ~TimerService() = default;
    ULONG references_ = 1;
    HWND host_;
    Timer* current_ = nullptr;
};

TimerService* service = nullptr;

ULONG TimerService::Release()
{
    const ULONG left = --references_;
    if (left == 0) {
        if (service == this)
            service = nullptr;
        destroy();
    }
    return left;
}

// A timer its holder lets go of is no longer the service's to drive or to destroy.
ULONG Timer::Release()
{
    const ULONG left = --references_;
    if (left == 0) {
        if (service)
            service->forget(this);
        delete this;
    }
    return left;
}

void Timer::onTick(HWND, UINT, UINT_PTR, DWORD time)
{
    Timer* timer = service ? service->current() : nullptr;
    if (!timer || !timer->sink())
        return;
    VARIANT now;
    VariantInit(&now);
    now.vt = VT_UI4;
    now.ulVal = time;
    timer->sink()->OnTimer(now);
}

HRESULT unknownName(DISPID* ids)
{
    if (ids)
        ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

} // namespace

HRESULT CContainer::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite || riid == IID_IOleInPlaceSiteEx ||
             riid == IID_IOleInPlaceSiteWindowless)
        *object = static_cast<IOleInPlaceSiteWindowless*>(this);
    else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
        *object = static_cast<IOleInPlaceFrame*>(this);
    else if (riid == IID_IOleControlSite)
        *object = static_cast<IOleControlSite*>(this);
    else if (riid == IID_IServiceProvider)
        *object = static_cast<IServiceProvider*>(this);
    else if (riid == IID_IDispatch)
        *object = static_cast<IDispatch*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CContainer::AddRef() { return ++references_; }

ULONG CContainer::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

CContainer::~CContainer()
{
    if (control_)
        control_->Release();
    if (service) {
        TimerService* gone = service;
        service = nullptr;
        gone->destroy();
    }
}

HRESULT CContainer::GetWindow(HWND* window)
{
    if (!IsWindow(host_))
        return S_FALSE;
    if (window)
        *window = host_;
    return S_OK;
}

HRESULT CContainer::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                     RECT* clip, OLEINPLACEFRAMEINFO* info)
{
    if (frame) {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
    }
    if (document)
        *document = nullptr;
    RECT client{};
    GetClientRect(host_, &client);
    if (position)
        *position = client;
    if (clip)
        *clip = client;
    if (info) {
        info->cb = 20;
        info->fMDIApp = FALSE;
        info->hwndFrame = host_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT CContainer::OnInPlaceActivateEx(BOOL* noRedraw, DWORD)
{
    if (noRedraw)
        *noRedraw = TRUE;
    return S_OK;
}

HRESULT CContainer::SetCapture(BOOL capture)
{
    capture_ = capture != FALSE;
    if (capture_)
        ::SetCapture(host_);
    else
        ::ReleaseCapture();
    return S_OK;
}

HRESULT CContainer::SetFocus(BOOL focus)
{
    focus_ = focus != FALSE;
    ::SetFocus(focus_ ? host_ : nullptr);
    return S_OK;
}

HRESULT CContainer::GetDC(const RECT*, DWORD, HDC* dc)
{
    if (dcInUse_)
        return E_FAIL;
    if (!dc)
        return E_POINTER;
    *dc = ::GetDC(host_);
    dcInUse_ = true;
    return S_OK;
}

HRESULT CContainer::ReleaseDC(HDC dc)
{
    dcInUse_ = false;
    ::ReleaseDC(host_, dc);
    return S_OK;
}

HRESULT CContainer::InvalidateRect(const RECT* rect, BOOL erase)
{
    ::InvalidateRect(host_, rect, erase);
    return S_OK;
}

HRESULT CContainer::GetExtendedControl(IDispatch** control)
{
    if (!control)
        return E_INVALIDARG;
    *control = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

HRESULT CContainer::QueryService(const GUID&, REFIID riid, void** object)
{
    if (riid != IID_ITimerService)
        return E_NOINTERFACE;
    if (!service)
        service = new TimerService(host_);
    service->QueryInterface(riid, object);
    return S_OK;
}

HRESULT CContainer::GetIDsOfNames(REFIID, LPCOLESTR*, UINT, LCID, DISPID* ids) { return unknownName(ids); }

void CContainer::attachControl(IUnknown* control)
{
    if (!control)
        return;
    control_ = control;
    if (auto* object = ask<IOleObject>(control_, IID_IOleObject)) {
        object->SetClientSite(static_cast<IOleClientSite*>(this));
        object->Release();
    }
    if (auto* persist = ask<IPersistStreamInit>(control_, IID_IPersistStreamInit)) {
        persist->InitNew();
        persist->Release();
    }
}

void CContainer::detachControl()
{
    if (!control_)
        return;
    if (auto* object = ask<IOleObject>(control_, IID_IOleObject)) {
        object->SetClientSite(nullptr);
        object->Release();
    }
    if (auto* inPlace = ask<IOleInPlaceObject>(control_, IID_IOleInPlaceObject)) {
        inPlace->UIDeactivate();
        inPlace->InPlaceDeactivate();
        inPlace->Release();
    }
    control_->Release();
    control_ = nullptr;
}

void CContainer::setRect(int left, int top, int right, int bottom)
{
    rect_ = RECT{left, top, right, bottom};
    if (auto* inPlace = ask<IOleInPlaceObject>(control_, IID_IOleInPlaceObject)) {
        inPlace->SetObjectRects(&rect_, &rect_);
        inPlace->Release();
    }
}

void CContainer::activate(bool show)
{
    auto* object = ask<IOleObject>(control_, IID_IOleObject);
    if (!object)
        return;
    auto* site = static_cast<IOleClientSite*>(this);
    if (show) {
        object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, host_, &rect_);
        object->DoVerb(OLEIVERB_SHOW, nullptr, site, 0, host_, &rect_);
    } else {
        object->DoVerb(OLEIVERB_HIDE, nullptr, site, 0, host_, nullptr);
    }
    object->Release();
}

IUnknown* CContainer::getControl()
{
    if (control_)
        control_->AddRef();
    return control_;
}

void CContainer::forwardMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (auto* windowless = ask<IOleInPlaceObjectWindowless>(control_, IID_IOleInPlaceObjectWindowless)) {
        LRESULT result = 0;
        windowless->OnWindowMessage(message, wParam, lParam, &result);
        windowless->Release();
    }
}

void CContainer::draw(HDC dc)
{
    if (auto* view = ask<IViewObject>(control_, IID_IViewObject)) {
        view->Draw(DVASPECT_OPAQUE, 1, nullptr, nullptr, nullptr, dc, nullptr, nullptr, nullptr, 0);
        view->Release();
    }
}

HRESULT FlashEventSink::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IDispatch || riid == IID_IUnknown || riid == DIID_ShockwaveFlashEvents) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FlashEventSink::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT FlashEventSink::GetIDsOfNames(REFIID, LPCOLESTR*, UINT, LCID, DISPID* ids) { return unknownName(ids); }

namespace {
// At most 255 bytes of the text, in the single-byte form the game's texts use.
void narrow(const VARIANT& value, char (&out)[256])
{
    std::memset(out, 0, sizeof out);
    if (value.vt != VT_BSTR || !value.bstrVal)
        return;
    std::size_t n = 0;
    for (const wchar_t* c = value.bstrVal; *c && n < sizeof out - 1; ++c)
        out[n++] = *c < 0x100 ? static_cast<char>(*c) : '?';
}
} // namespace

HRESULT FlashEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, void*, UINT*)
{
    if (!owner_ || id != DISPID_FSCOMMAND)
        return S_OK;
    // Arguments arrive last first: the command is the second slot, its arguments the first.
    if (!params || params->cArgs < 2 || !params->rgvarg)
        return S_OK;
    char command[256];
    char arguments[256];
    narrow(params->rgvarg[1], command);
    narrow(params->rgvarg[0], arguments);
    owner_->onFSCommand(command, arguments);
    return S_OK;
}
