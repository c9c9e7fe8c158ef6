// The site that hosts a windowless movie control inside the movie window, the sink for its events and
// the timer service it may ask its site for.
#pragma once

#include "compat/ole/control.h"

class FlashEventOwner {
public:
    virtual void onFSCommand(const char* command, const char* arguments) = 0;

protected:
    ~FlashEventOwner() = default;
};

class CContainer final : public IOleClientSite,
                         public IOleInPlaceSiteWindowless,
                         public IOleInPlaceFrame,
                         public IOleControlSite,
                         public IServiceProvider,
                         public IDispatch {
public:
    CContainer() = default;
    CContainer(const CContainer&) = delete;
    CContainer& operator=(const CContainer&) = delete;

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IOleClientSite
    HRESULT SaveObject() override { return E_NOTIMPL; }
    HRESULT GetMoniker(DWORD, DWORD, void**) override { return E_NOTIMPL; }
    HRESULT GetContainer(void**) override { return E_NOINTERFACE; }
    HRESULT ShowObject() override { return S_OK; }
    HRESULT OnShowWindow(BOOL) override { return S_OK; }
    HRESULT RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, shared by the in-place site and the frame
    HRESULT GetWindow(HWND* window) override;
    HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSiteWindowless
    HRESULT CanInPlaceActivate() override { return S_OK; }
    HRESULT OnInPlaceActivate() override { return S_OK; }
    HRESULT OnUIActivate() override { return S_OK; }
    HRESULT GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position, RECT* clip,
                             OLEINPLACEFRAMEINFO* info) override;
    HRESULT Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT OnUIDeactivate(BOOL) override { return E_NOTIMPL; }
    HRESULT OnInPlaceDeactivate() override { return S_OK; }
    HRESULT DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT OnPosRectChange(const RECT*) override { return S_OK; }
    HRESULT OnInPlaceActivateEx(BOOL* noRedraw, DWORD) override;
    HRESULT OnInPlaceDeactivateEx(BOOL) override { return S_OK; }
    HRESULT RequestUIActivate() override { return S_OK; }
    HRESULT CanWindowlessActivate() override { return S_OK; }
    HRESULT GetCapture() override { return capture_ ? S_OK : S_FALSE; }
    HRESULT SetCapture(BOOL capture) override;
    HRESULT GetFocus() override { return focus_ ? S_OK : S_FALSE; }
    HRESULT SetFocus(BOOL focus) override;
    HRESULT GetDC(const RECT*, DWORD, HDC* dc) override;
    HRESULT ReleaseDC(HDC dc) override;
    HRESULT InvalidateRect(const RECT* rect, BOOL erase) override;
    HRESULT InvalidateRgn(void*, BOOL) override { return S_OK; }
    HRESULT ScrollRect(int, int, const RECT*, const RECT*) override { return S_OK; }
    HRESULT AdjustRect(RECT*) override { return S_OK; }
    HRESULT OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT*) override { return S_OK; }

    // IOleInPlaceFrame
    HRESULT GetBorder(RECT*) override { return E_NOTIMPL; }
    HRESULT RequestBorderSpace(const RECT*) override { return E_NOTIMPL; }
    HRESULT SetBorderSpace(const RECT*) override { return E_NOTIMPL; }
    HRESULT SetActiveObject(IUnknown*, LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT InsertMenus(void*, void*) override { return E_NOTIMPL; }
    HRESULT SetMenu(void*, void*, HWND) override { return E_NOTIMPL; }
    HRESULT RemoveMenus(void*) override { return E_NOTIMPL; }
    HRESULT SetStatusText(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT EnableModeless(BOOL) override { return E_NOTIMPL; }
    HRESULT TranslateAccelerator(MSG*, WORD) override { return S_OK; }

    // IOleControlSite
    HRESULT OnControlInfoChanged() override { return E_NOTIMPL; }
    HRESULT LockInPlaceActive(BOOL) override { return E_NOTIMPL; }
    HRESULT GetExtendedControl(IDispatch** control) override;
    HRESULT TransformCoords(void*, void*, DWORD) override { return E_NOTIMPL; }
    HRESULT TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    HRESULT OnFocus(BOOL) override { return E_NOTIMPL; }
    HRESULT ShowPropertyFrame() override { return E_NOTIMPL; }

    // IServiceProvider
    HRESULT QueryService(const GUID& service, REFIID riid, void** object) override;

    // IDispatch: no ambient property is served.
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, void**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPCOLESTR*, UINT, LCID, DISPID* ids) override;
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, void*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

    void setHostWindow(HWND window) { host_ = window; }
    void attachControl(IUnknown* control);
    void detachControl();
    void setRect(int left, int top, int right, int bottom);
    void activate(bool show);
    IUnknown* getControl();
    void forwardMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void draw(HDC dc);

private:
    ~CContainer();

    ULONG references_ = 1;
    HWND host_ = nullptr;
    IUnknown* control_ = nullptr;
    RECT rect_{};
    bool capture_ = false;
    bool focus_ = false;
    bool dcInUse_ = false;
};

class FlashEventSink final : public IDispatch {
public:
    explicit FlashEventSink(FlashEventOwner* owner) : owner_(owner) {}

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, void**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPCOLESTR*, UINT, LCID, DISPID* ids) override;
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, void*, UINT*) override;

private:
    ~FlashEventSink() = default;
    ULONG references_ = 1;
    FlashEventOwner* owner_;
};
