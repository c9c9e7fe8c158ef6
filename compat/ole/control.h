// The interfaces of a windowless in-place control and its site, the movie control's own interface,
// and the timer service a site offers. Our own declarations: each holds the calls the movie host
// and its controls make, in the order of their tables.
#pragma once

#include "compat/ole/ole.h"
#include "compat/win32/gdi/gdi.h"
#include "compat/win32/window/window.h"

#include <cstdint>

constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006u);
constexpr LONG DISPID_UNKNOWN = -1;
using DISPID = LONG;
using LCID = DWORD;
using VARIANT_BOOL = short;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;

constexpr LONG OLEIVERB_SHOW = -1;
constexpr LONG OLEIVERB_HIDE = -3;
constexpr LONG OLEIVERB_INPLACEACTIVATE = -5;
constexpr DWORD DVASPECT_OPAQUE = 32;

struct DISPPARAMS {
    VARIANT* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct OLEINPLACEFRAMEINFO {
    UINT cb;
    BOOL fMDIApp;
    HWND hwndFrame;
    void* haccel;
    UINT cAccelEntries;
};

struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID locale, void** info) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPCOLESTR* names, UINT count, LCID locale, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                           void* exception, UINT* argumentError) = 0;
};

struct IOleClientSite : IUnknown {
    virtual HRESULT SaveObject() = 0;
    virtual HRESULT GetMoniker(DWORD assign, DWORD which, void** moniker) = 0;
    virtual HRESULT GetContainer(void** container) = 0;
    virtual HRESULT ShowObject() = 0;
    virtual HRESULT OnShowWindow(BOOL show) = 0;
    virtual HRESULT RequestNewObjectLayout() = 0;
};

struct IOleWindow : IUnknown {
    virtual HRESULT GetWindow(HWND* window) = 0;
    virtual HRESULT ContextSensitiveHelp(BOOL enterMode) = 0;
};

struct IOleInPlaceUIWindow : IOleWindow {
    virtual HRESULT GetBorder(RECT* border) = 0;
    virtual HRESULT RequestBorderSpace(const RECT* widths) = 0;
    virtual HRESULT SetBorderSpace(const RECT* widths) = 0;
    virtual HRESULT SetActiveObject(IUnknown* object, LPCOLESTR name) = 0;
};

struct IOleInPlaceFrame : IOleInPlaceUIWindow {
    virtual HRESULT InsertMenus(void* menu, void* widths) = 0;
    virtual HRESULT SetMenu(void* menu, void* olemenu, HWND activeObject) = 0;
    virtual HRESULT RemoveMenus(void* menu) = 0;
    virtual HRESULT SetStatusText(LPCOLESTR text) = 0;
    virtual HRESULT EnableModeless(BOOL enable) = 0;
    virtual HRESULT TranslateAccelerator(MSG* message, WORD id) = 0;
};

struct IOleInPlaceSite : IOleWindow {
    virtual HRESULT CanInPlaceActivate() = 0;
    virtual HRESULT OnInPlaceActivate() = 0;
    virtual HRESULT OnUIActivate() = 0;
    virtual HRESULT GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                     RECT* clip, OLEINPLACEFRAMEINFO* info) = 0;
    virtual HRESULT Scroll(SIZE extent) = 0;
    virtual HRESULT OnUIDeactivate(BOOL undoable) = 0;
    virtual HRESULT OnInPlaceDeactivate() = 0;
    virtual HRESULT DiscardUndoState() = 0;
    virtual HRESULT DeactivateAndUndo() = 0;
    virtual HRESULT OnPosRectChange(const RECT* position) = 0;
};

struct IOleInPlaceSiteEx : IOleInPlaceSite {
    virtual HRESULT OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) = 0;
    virtual HRESULT OnInPlaceDeactivateEx(BOOL noRedraw) = 0;
    virtual HRESULT RequestUIActivate() = 0;
};

struct IOleInPlaceSiteWindowless : IOleInPlaceSiteEx {
    virtual HRESULT CanWindowlessActivate() = 0;
    virtual HRESULT GetCapture() = 0;
    virtual HRESULT SetCapture(BOOL capture) = 0;
    virtual HRESULT GetFocus() = 0;
    virtual HRESULT SetFocus(BOOL focus) = 0;
    virtual HRESULT GetDC(const RECT* rect, DWORD flags, HDC* dc) = 0;
    virtual HRESULT ReleaseDC(HDC dc) = 0;
    virtual HRESULT InvalidateRect(const RECT* rect, BOOL erase) = 0;
    virtual HRESULT InvalidateRgn(void* region, BOOL erase) = 0;
    virtual HRESULT ScrollRect(int dx, int dy, const RECT* scroll, const RECT* clip) = 0;
    virtual HRESULT AdjustRect(RECT* rect) = 0;
    virtual HRESULT OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;
};

struct IOleControlSite : IUnknown {
    virtual HRESULT OnControlInfoChanged() = 0;
    virtual HRESULT LockInPlaceActive(BOOL lock) = 0;
    virtual HRESULT GetExtendedControl(IDispatch** control) = 0;
    virtual HRESULT TransformCoords(void* himetric, void* container, DWORD flags) = 0;
    virtual HRESULT TranslateAccelerator(MSG* message, DWORD modifiers) = 0;
    virtual HRESULT OnFocus(BOOL gotFocus) = 0;
    virtual HRESULT ShowPropertyFrame() = 0;
};

struct IServiceProvider : IUnknown {
    virtual HRESULT QueryService(const GUID& service, REFIID riid, void** object) = 0;
};

// The control side: only the calls a host makes of an embedded control.
struct IOleObject : IUnknown {
    virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
    virtual HRESULT DoVerb(LONG verb, MSG* message, IOleClientSite* site, LONG index, HWND parent,
                           const RECT* position) = 0;
};

struct IPersistStreamInit : IUnknown {
    virtual HRESULT InitNew() = 0;
};

struct IOleInPlaceObject : IOleWindow {
    virtual HRESULT InPlaceDeactivate() = 0;
    virtual HRESULT UIDeactivate() = 0;
    virtual HRESULT SetObjectRects(const RECT* position, const RECT* clip) = 0;
};

struct IOleInPlaceObjectWindowless : IOleInPlaceObject {
    virtual HRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;
};

struct IViewObject : IUnknown {
    virtual HRESULT Draw(DWORD aspect, LONG index, void* aspectData, void* targetDevice, HDC targetDc, HDC dc,
                         const RECT* bounds, const RECT* windowBounds, void* cont, std::uintptr_t contArg) = 0;
};

struct IConnectionPoint : IUnknown {
    virtual HRESULT Advise(IUnknown* sink, DWORD* cookie) = 0;
    virtual HRESULT Unadvise(DWORD cookie) = 0;
};

struct IConnectionPointContainer : IUnknown {
    virtual HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** point) = 0;
};

// The movie control: the properties and playback calls a host uses.
struct IShockwaveFlash : IDispatch {
    virtual HRESULT put_EmbedMovie(VARIANT_BOOL embed) = 0;
    virtual HRESULT put_Movie(BSTR path) = 0;
    virtual HRESULT put_WMode(BSTR mode) = 0;
    virtual HRESULT put_Quality2(BSTR quality) = 0;
    virtual HRESULT Play() = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT IsPlaying(VARIANT_BOOL* playing) = 0;
    virtual HRESULT CurrentFrame(long* frame) = 0;
    virtual HRESULT get_TotalFrames(long* frames) = 0;
};
constexpr DISPID DISPID_FSCOMMAND = 150;

struct ITimerSink : IUnknown {
    virtual HRESULT OnTimer(VARIANT time) = 0;
};

struct ITimer : IUnknown {
    virtual HRESULT Advise(VARIANT minimum, VARIANT maximum, VARIANT interval, DWORD flags, ITimerSink* sink,
                           DWORD* cookie) = 0;
    virtual HRESULT Unadvise(DWORD cookie) = 0;
    virtual HRESULT Freeze(BOOL freeze) = 0;
    virtual HRESULT GetTime(VARIANT* time) = 0;
};

struct ITimerService : IUnknown {
    virtual HRESULT CreateTimer(ITimer* reference, ITimer** timer) = 0;
    virtual HRESULT GetNamedTimer(const GUID& name, ITimer** timer) = 0;
    virtual HRESULT SetNamedTimerReference(const GUID& name, ITimer* reference) = 0;
};

inline constexpr IID IID_IDispatch = {0x00020400, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleClientSite = {0x00000118, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleWindow = {0x00000114, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleInPlaceSite = {0x00000119, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleInPlaceSiteEx = {0x9C2CAD80, 0x3424, 0x11CF, {0xB6, 0x70, 0, 0xAA, 0, 0x4C, 0xD6, 0xD8}};
inline constexpr IID IID_IOleInPlaceSiteWindowless = {0x922EADA0, 0x3424, 0x11CF,
                                                      {0xB6, 0x70, 0, 0xAA, 0, 0x4C, 0xD6, 0xD8}};
inline constexpr IID IID_IOleInPlaceUIWindow = {0x00000115, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleInPlaceFrame = {0x00000116, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleControlSite = {0xB196B289, 0xBAB4, 0x101A, {0xB6, 0x9C, 0, 0xAA, 0, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IServiceProvider = {0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0, 0xAA, 0, 0x60, 0x09, 0xFA}};
inline constexpr IID IID_IOleObject = {0x00000112, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleInPlaceObject = {0x00000113, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IOleInPlaceObjectWindowless = {0x1C2056CC, 0x5EF4, 0x101B,
                                                        {0x8B, 0xC8, 0, 0xAA, 0, 0x3E, 0x3B, 0x29}};
inline constexpr IID IID_IPersistStreamInit = {0x7FD52380, 0x4E07, 0x101B, {0xAE, 0x2D, 0x08, 0, 0x2B, 0x2E, 0xC7, 0x13}};
inline constexpr IID IID_IViewObject = {0x0000010D, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IConnectionPointContainer = {0xB196B284, 0xBAB4, 0x101A,
                                                      {0xB6, 0x9C, 0, 0xAA, 0, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_ITimerService = {0x3050F35F, 0x98B5, 0x11CF, {0xBB, 0x82, 0, 0xAA, 0, 0xBD, 0xCE, 0x0B}};
inline constexpr IID IID_ITimer = {0x3050F360, 0x98B5, 0x11CF, {0xBB, 0x82, 0, 0xAA, 0, 0xBD, 0xCE, 0x0B}};
inline constexpr IID IID_IShockwaveFlash = {0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0, 0}};
inline constexpr IID DIID_ShockwaveFlashEvents = {0xD27CDB6D, 0xAE6D, 0x11CF,
                                                  {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0, 0}};

// Finds the class registered under a ProgID; REGDB_E_CLASSNOTREG (class id zeroed) when none is.
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* classId);
constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);
// Reads a class id in its registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (either case);
// CO_E_CLASSSTRING (class id zeroed) for any other text.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* classId);

namespace compat::ole {
// Registers a class under a ProgID (a later registration of the same ProgID replaces the earlier one).
void registerProgId(const wchar_t* progId, const CLSID& classId);
} // namespace compat::ole
