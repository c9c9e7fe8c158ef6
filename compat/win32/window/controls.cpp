// The standard controls (button, edit, static, animation, status bar) and their window procedures, the
// shell module the animation clip comes from, and moving between a dialog's controls.
#include "compat/win32/window/controls.h"

#include "compat/win32/window/gdi_objects.h"
#include "compat/win32/gdi/text.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

using namespace compat::win32::detail;

namespace {

// ---- control state ------------------------------------------------------------------------------

struct ControlState {
    HGDIOBJ font = nullptr;
    DWORD textLimit = 30000;
    bool clipOpen = false;
    bool playing = false;
};

std::mutex& controlMutex = *new std::mutex; // never destroyed, like the window table
std::map<HWND, ControlState>& controlStates = *new std::map<HWND, ControlState>;

const HMODULE shellModule = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x5E110000));
// The shell's animation clip that the update check shows.
constexpr LPARAM shellClip = 150;

template <typename F>
auto withState(HWND window, F&& f)
{
    std::lock_guard<std::mutex> lock(controlMutex);
    return f(controlStates[window]);
}

int controlId(HWND window) { return static_cast<int>(GetWindowLongPtrA(window, GWL_ID)); }

std::string classOf(HWND window)
{
    char name[64];
    const int n = GetClassNameA(window, name, sizeof name);
    std::string s(name, static_cast<std::size_t>(std::max(0, n)));
    for (char& c : s)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

// What every control does: keep its font, forget its state when it goes.
bool commonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_SETFONT: {
        withState(window, [&](ControlState& s) {
            s.font = reinterpret_cast<HGDIOBJ>(wParam);
            return 0;
        });
        LOGFONTA font{};
        {
            std::lock_guard<std::mutex> lock(gdiMutex);
            if (const GdiObject* o = lookup(reinterpret_cast<const void*>(wParam)); o != nullptr && !isStock(o))
                font = o->font;
        }
        compat::win32::setWindowFont(window, font.lfHeight < 0 ? -font.lfHeight : font.lfHeight,
                                     font.lfWeight >= FW_BOLD);
        if (lParam != 0)
            InvalidateRect(window, nullptr, TRUE);
        result = 0;
        return true;
    }
    case WM_GETFONT:
        result = withState(window, [](ControlState& s) { return reinterpret_cast<LRESULT>(s.font); });
        return true;
    case WM_NCDESTROY: {
        std::lock_guard<std::mutex> lock(controlMutex);
        controlStates.erase(window);
        result = 0;
        return true;
    }
    default: return false;
    }
}

LRESULT CALLBACK_Button(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (commonMessage(window, message, wParam, lParam, result))
        return result;
    switch (message) {
    case BM_SETSTYLE: {
        const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
        SetWindowLongPtrA(window, GWL_STYLE, (style & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK));
        if (lParam != 0)
            InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case BM_CLICK:
        if (IsWindowEnabled(window))
            SendMessageA(GetParent(window), WM_COMMAND,
                         MAKEWPARAM(static_cast<WORD>(controlId(window)), BN_CLICKED),
                         reinterpret_cast<LPARAM>(window));
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK_Edit(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (commonMessage(window, message, wParam, lParam, result))
        return result;
    switch (message) {
    case EM_LIMITTEXT:
        withState(window, [&](ControlState& s) {
            s.textLimit = wParam != 0 ? static_cast<DWORD>(wParam) : 0x7FFFFFFE;
            return 0;
        });
        return 0;
    case EM_GETLIMITTEXT:
        return withState(window, [](ControlState& s) { return static_cast<LRESULT>(s.textLimit); });
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK_Static(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (commonMessage(window, message, wParam, lParam, result))
        return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK_Animate(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (commonMessage(window, message, wParam, lParam, result))
        return result;
    switch (message) {
    case ACM_OPENA: {
        const bool open = reinterpret_cast<HMODULE>(wParam) == shellModule && lParam == shellClip;
        withState(window, [&](ControlState& s) {
            s.clipOpen = open;
            s.playing = false;
            return 0;
        });
        compat::win32::setWindowActive(window, false);
        return open ? TRUE : FALSE;
    }
    case ACM_PLAY: {
        const LRESULT playing = withState(window, [](ControlState& s) {
            s.playing = s.clipOpen;
            return static_cast<LRESULT>(s.playing ? TRUE : FALSE);
        });
        compat::win32::setWindowActive(window, playing != FALSE);
        return playing;
    }
    case ACM_STOP:
        withState(window, [](ControlState& s) {
            s.playing = false;
            return 0;
        });
        compat::win32::setWindowActive(window, false);
        return TRUE;
    case ACM_ISPLAYING:
        return withState(window, [](ControlState& s) { return static_cast<LRESULT>(s.playing ? TRUE : FALSE); });
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

constexpr int statusBarHeight = 20;

void layOutStatusBar(HWND bar)
{
    RECT client{};
    if (!GetClientRect(GetParent(bar), &client))
        return;
    MoveWindow(bar, 0, client.bottom - statusBarHeight, client.right, statusBarHeight, TRUE);
}

LRESULT CALLBACK_StatusBar(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (commonMessage(window, message, wParam, lParam, result))
        return result;
    if (message == WM_SIZE) {
        layOutStatusBar(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool isPushButton(HWND window)
{
    if (classOf(window) != "button")
        return false;
    const auto type = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool isTabStop(HWND window)
{
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    return (style & WS_TABSTOP) != 0 && (style & WS_VISIBLE) != 0 && IsWindowEnabled(window);
}

} // namespace

HMODULE LoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags)
{
    if (name == nullptr || (flags & LOAD_LIBRARY_AS_DATAFILE) == 0)
        return nullptr;
    std::string base = name;
    const auto slash = base.find_last_of("\\/");
    if (slash != std::string::npos)
        base = base.substr(slash + 1);
    for (char& c : base)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return base == "shell32.dll" || base == "shell32" ? shellModule : nullptr;
}

BOOL FreeLibrary(HMODULE module) { return module == shellModule ? TRUE : FALSE; }

// ---- controls -----------------------------------------------------------------------------------

HWND CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id)
{
    compat::win32::registerControlClasses();
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWL_HINSTANCE));
    HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, text, static_cast<DWORD>(style), 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), instance, nullptr);
    if (bar != nullptr)
        layOutStatusBar(bar);
    return bar;
}

HWND GetDlgItem(HWND dialog, int id)
{
    for (HWND child : compat::win32::childWindows(dialog))
        if (controlId(child) == id)
            return child;
    return nullptr;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr ? SendMessageA(item, message, wParam, lParam) : 0;
}

BOOL IsDialogMessageA(HWND dialog, LPMSG message)
{
    if (message == nullptr || dialog == nullptr || !IsWindow(dialog))
        return FALSE;
    if (message->hwnd != dialog && !IsChild(dialog, message->hwnd))
        return FALSE;
    const auto key = static_cast<int>(message->wParam);
    const bool dialogKey = key == VK_TAB || key == VK_ESCAPE || key == VK_RETURN;
    if (message->message == WM_CHAR || message->message == WM_KEYUP)
        return dialogKey ? TRUE : FALSE; // the key's other halves are taken with it
    if (message->message != WM_KEYDOWN || !dialogKey)
        return FALSE;

    if (key == VK_TAB) {
        std::vector<HWND> stops;
        for (HWND child : compat::win32::childWindows(dialog))
            if (isTabStop(child))
                stops.push_back(child);
        if (!stops.empty()) {
            auto at = std::find(stops.begin(), stops.end(), GetFocus());
            if (GetKeyState(VK_SHIFT) < 0)
                SetFocus(at == stops.end() || at == stops.begin() ? stops.back() : *(at - 1));
            else
                SetFocus(at == stops.end() || at + 1 == stops.end() ? stops.front() : *(at + 1));
        }
        return TRUE;
    }
    if (key == VK_ESCAPE) {
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    HWND focused = GetFocus();
    if (focused != nullptr && IsChild(dialog, focused) && isPushButton(focused) && IsWindowVisible(focused) &&
        IsWindowEnabled(focused)) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(controlId(focused)), BN_CLICKED),
                     reinterpret_cast<LPARAM>(focused));
    } else {
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
    return TRUE;
}

namespace compat::win32 {

void registerControlClasses()
{
    struct Entry {
        const char* name;
        WNDPROC procedure;
    };
    static const Entry entries[] = {{"button", CALLBACK_Button},
                                    {"edit", CALLBACK_Edit},
                                    {"static", CALLBACK_Static},
                                    {ANIMATE_CLASSA, CALLBACK_Animate},
                                    {STATUSCLASSNAMEA, CALLBACK_StatusBar}};
    for (const Entry& e : entries) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = e.procedure;
        wc.lpszClassName = e.name;
        // Registering again while windows of the class live fails and changes nothing.
        RegisterClassA(&wc);
    }
}

} // namespace compat::win32
