// The standard child controls ("button", "edit", "static", the animation and the status bar) as
// model windows that keep their state, the dialog keyboard (Tab, Escape, Enter), window placement,
// painting, and GDI fonts and bitmaps as objects. Our own declarations. Fonts are measured with the one
// FreeType face of GDI text, so a font's size changes nothing in what is measured.
#pragma once

#include "compat/win32/base.h"
#include "compat/win32/gdi/gdi.h"
#include "compat/win32/window/window.h"

#include <string>

// ---- GDI objects --------------------------------------------------------------------------------

using HGDIOBJ = void*;
using HFONT = struct HFONT__*;
using HBITMAP = struct HBITMAP__*;

constexpr int SYSTEM_FIXED_FONT = 16;
constexpr int DEFAULT_GUI_FONT = 17;
constexpr int LF_FACESIZE = 32;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;

struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};

struct TEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

struct XFORM {
    float eM11;
    float eM12;
    float eM21;
    float eM22;
    float eDx;
    float eDy;
};

constexpr int GM_COMPATIBLE = 1;
constexpr int GM_ADVANCED = 2;
constexpr DWORD MWT_IDENTITY = 1;

HGDIOBJ GetStockObject(int index);
HFONT CreateFontIndirectA(const LOGFONTA* font);
// A bitmap of that size; the bits are not kept (nothing draws pixels of native windows here).
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// Stock objects are never deleted; FALSE for an unknown or already deleted object.
BOOL DeleteObject(HGDIOBJ object);
// The font or bitmap this object is, for callers that inspect them.
int GetObjectA(HGDIOBJ object, int size, LPVOID buffer);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
BOOL GetTextExtentPointA(HDC dc, LPCSTR text, int length, SIZE* size);
int SetGraphicsMode(HDC dc, int mode);
BOOL ModifyWorldTransform(HDC dc, const XFORM* transform, DWORD mode);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
// The mapping is always the identity: device points are logical points.
BOOL DPtoLP(HDC dc, POINT* points, int count);

// ---- painting -----------------------------------------------------------------------------------

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

constexpr UINT DST_BITMAP = 0x0004;
using DRAWSTATEPROC = BOOL (*)(HDC, LPARAM, WPARAM, int, int);

HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
// Draws nothing (native windows have no pixels here); TRUE for a bitmap that exists.
BOOL DrawStateA(HDC dc, HBRUSH brush, DRAWSTATEPROC callback, LPARAM data, WPARAM dataSize, int x, int y, int cx,
                int cy, UINT flags);

// ---- windows ------------------------------------------------------------------------------------

struct WINDOWPLACEMENT {
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};
static_assert(sizeof(WINDOWPLACEMENT) == 44, "a window placement is 44 bytes");

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);
BOOL BringWindowToTop(HWND window);
HWND SetActiveWindow(HWND window);
// Minimises the window (it does not close it).
BOOL CloseWindow(HWND window);
BOOL IsChild(HWND parent, HWND window);

constexpr int COLOR_3DFACE = 15;

// ---- modules as data ----------------------------------------------------------------------------

constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;
// Only the system's shell library loads, as data for its animation resources.
HMODULE LoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags);
BOOL FreeLibrary(HMODULE module);

// ---- controls -----------------------------------------------------------------------------------

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

constexpr unsigned WM_SETFONT = 0x0030;
constexpr unsigned WM_GETFONT = 0x0031;
constexpr unsigned DM_GETDEFID = WM_USER + 0;
constexpr unsigned DM_SETDEFID = WM_USER + 1;
constexpr WORD DC_HASDEFID = 0x534B;

constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;

constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD BS_TYPEMASK = 0xF;
constexpr unsigned BM_SETSTYLE = 0x00F4;
constexpr unsigned BM_CLICK = 0x00F5;
constexpr WORD BN_CLICKED = 0;
constexpr WORD EN_CHANGE = 0x0300;

constexpr unsigned EM_LIMITTEXT = 0x00C5;
constexpr unsigned EM_GETLIMITTEXT = 0x00D5;

constexpr DWORD SS_ETCHEDFRAME = 0x12;

constexpr DWORD ACS_CENTER = 0x1;
constexpr DWORD ACS_TRANSPARENT = 0x2;
constexpr unsigned ACM_OPENA = WM_USER + 100;
constexpr unsigned ACM_PLAY = WM_USER + 101;
constexpr unsigned ACM_STOP = WM_USER + 102;
constexpr unsigned ACM_ISPLAYING = WM_USER + 104;

#define ANIMATE_CLASSA "SysAnimate32"
#define STATUSCLASSNAMEA "msctls_statusbar32"

inline WPARAM MAKEWPARAM(WORD low, WORD high)
{
    return static_cast<WPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}
inline LPARAM MAKELONG(WORD low, WORD high) { return MAKELPARAM(low, high); }

// Makes the child window with the given id; a status bar lays itself out along its parent's bottom.
HWND CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id);
HWND GetDlgItem(HWND dialog, int id);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
// Keys for the dialog: Tab moves the focus to the next visible, enabled tab stop (Shift+Tab to the
// previous one, as GetKeyState reports Shift); Escape becomes
// WM_COMMAND IDCANCEL; Enter becomes the focused push button's command, or WM_COMMAND IDOK. TRUE when the
// message was such a key for this dialog (and is then handled).
BOOL IsDialogMessageA(HWND dialog, LPMSG message);

namespace compat::win32 {
// Registers the control classes (again after the window table was reset); creating a control calls it.
void registerControlClasses();
} // namespace compat::win32

namespace compat::testing {
// Fonts and bitmaps made and not yet deleted.
int liveGdiObjects();
} // namespace compat::testing
