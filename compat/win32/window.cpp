#include "compat/win32/window.h"

#include "compat/host/Host.h"
#include "compat/host/NativePresenter.h"
#include "compat/win32/controls.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- threads and their queues -------------------------------------------------------------------

struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
};

struct ThreadQueue {
    DWORD id = 0;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quit = false;
    int quitCode = 0;
};

std::atomic<DWORD> nextThreadId{1};
// A thread may still end after the program's static objects are gone (a worker or frame thread that
// outlives main), and its queue leaves this table when it does: the table is never destroyed.
std::mutex& queuesMutex = *new std::mutex;
std::map<DWORD, std::weak_ptr<ThreadQueue>>& queues = *new std::map<DWORD, std::weak_ptr<ThreadQueue>>;

struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder()
    {
        if (!queue)
            return;
        std::lock_guard<std::mutex> lock(queuesMutex);
        queues.erase(queue->id);
    }
};

std::shared_ptr<ThreadQueue>& ownQueue()
{
    thread_local QueueHolder holder;
    if (!holder.queue) {
        holder.queue = std::make_shared<ThreadQueue>();
        holder.queue->id = nextThreadId++;
        std::lock_guard<std::mutex> lock(queuesMutex);
        queues[holder.queue->id] = holder.queue;
    }
    return holder.queue;
}

std::shared_ptr<ThreadQueue> queueOf(DWORD threadId)
{
    std::lock_guard<std::mutex> lock(queuesMutex);
    auto found = queues.find(threadId);
    return found != queues.end() ? found->second.lock() : nullptr;
}

// ---- classes and windows ------------------------------------------------------------------------

struct WindowClass {
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int extraBytes = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    std::string name;
};

struct Window {
    HWND handle = nullptr;
    std::string className;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0;
    std::string text;
    RECT rect{}; // desktop coordinates, or the parent's client coordinates for a child
    bool visible = false;
    bool minimized = false;
    bool maximized = false;
    bool enabled = true;
    bool needsPaint = false;
    bool dying = false;      // DestroyWindow is under way: its messages are being sent
    bool destroying = false; // gone: only waits to leave the table
    LONG_PTR userData = 0;
    std::vector<BYTE> extra;
    DWORD thread = 0;
    bool presented = false; // shown by the desktop toolkit, driven by its thread
    bool active = false;    // shows activity (an animation that plays)
    int fontHeight = 0;     // pixels; 0 for the toolkit's own font
    bool bold = false;
};

// Never destroyed either, for the same reason: a late thread may still destroy its windows.
std::recursive_mutex& tableMutex = *new std::recursive_mutex;
std::map<std::string, WindowClass>& classes = *new std::map<std::string, WindowClass>; // by lower-case name
std::map<HWND, Window>& windows = *new std::map<HWND, Window>;
std::set<std::string>& offHostClasses = *new std::set<std::string>;
std::uintptr_t nextHandle = 0x10000;
HWND hosted = nullptr;
HWND foreground = nullptr;
HWND focus = nullptr;
int desktopOverrideWidth = 0;
int desktopOverrideHeight = 0;
HCURSOR currentCursor = nullptr;

// The keyboard as the key messages taken from the queues say: bit 7 down, bit 0 toggled.
std::atomic<std::uint8_t> keyStates[256];

void noteKey(const MSG& m)
{
    const bool down = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
    if (!down && m.message != WM_KEYUP && m.message != WM_SYSKEYUP)
        return;
    auto set = [down](std::size_t key) {
        std::uint8_t state = keyStates[key].load();
        if (down && (state & 0x80) == 0)
            state ^= 1;
        state = down ? (state | 0x80) : (state & 0x7F);
        keyStates[key].store(state);
    };
    const std::size_t key = m.wParam & 0xFF;
    set(key);
    // The left and right keys of Shift, Control and Alt (0xA0-0xA5) also move the shared one.
    if (key >= 0xA0 && key <= 0xA5)
        set(VK_SHIFT + (key - 0xA0) / 2);
}

// Whether this thread shows windows through the desktop toolkit.
thread_local bool presentingHere = false;

std::string lower(const char* text)
{
    std::string s = text != nullptr ? text : "";
    for (char& c : s)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

bool isTopLevel(DWORD style, HWND parent) { return (style & WS_CHILD) == 0 || parent == nullptr; }

// What the frame around a client area takes on each side.
RECT frameInsets(DWORD style, DWORD exStyle)
{
    if ((style & WS_CHILD) != 0)
        return (style & WS_BORDER) != 0 ? RECT{1, 1, 1, 1} : RECT{0, 0, 0, 0};
    if ((style & WS_CAPTION) == WS_CAPTION)
        return (style & WS_THICKFRAME) != 0 ? RECT{4, 24, 4, 4} : RECT{3, 23, 3, 3};
    if ((style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) != 0)
        return (style & WS_THICKFRAME) != 0 ? RECT{4, 4, 4, 4} : RECT{1, 1, 1, 1};
    return RECT{0, 0, 0, 0};
}

Window* find(HWND handle)
{
    auto found = windows.find(handle);
    return found != windows.end() && !found->second.destroying ? &found->second : nullptr;
}

Window* findAny(HWND handle)
{
    auto found = windows.find(handle);
    return found != windows.end() ? &found->second : nullptr;
}

void desktop(int& width, int& height)
{
    if (desktopOverrideWidth > 0 && desktopOverrideHeight > 0) {
        width = desktopOverrideWidth;
        height = desktopOverrideHeight;
        return;
    }
    compat::host::current().desktopSize(width, height);
}

// The client area's top-left corner in desktop coordinates.
POINT clientOrigin(const Window& w)
{
    const RECT insets = frameInsets(w.style, w.exStyle);
    POINT origin = {w.rect.left + insets.left, w.rect.top + insets.top};
    if ((w.style & WS_CHILD) != 0 && w.parent != nullptr) {
        if (Window* parent = findAny(w.parent)) {
            const POINT parentOrigin = clientOrigin(*parent);
            origin.x += parentOrigin.x;
            origin.y += parentOrigin.y;
        }
    }
    return origin;
}

SIZE clientSize(const Window& w)
{
    const RECT insets = frameInsets(w.style, w.exStyle);
    return SIZE{std::max<LONG>(0, w.rect.right - w.rect.left - insets.left - insets.right),
                std::max<LONG>(0, w.rect.bottom - w.rect.top - insets.top - insets.bottom)};
}

WNDPROC procedureOf(HWND handle)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(handle);
    return w != nullptr ? w->procedure : nullptr;
}

DWORD threadOf(HWND handle)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = findAny(handle);
    return w != nullptr ? w->thread : 0;
}

void wakeThread(DWORD thread)
{
    if (auto queue = queueOf(thread)) {
        std::lock_guard<std::mutex> lock(queue->mutex);
        queue->wake.notify_all();
    }
    compat::host::wakeNativePresenter();
}

// Tells the host where the shown window's client area is.
void placeOnHost(const Window& w)
{
    if (w.handle != hosted)
        return;
    const POINT origin = clientOrigin(w);
    const SIZE size = clientSize(w);
    compat::host::current().placeWindow(origin.x, origin.y, size.cx, size.cy);
}

// Handles messages sent to this thread's windows by other threads.
void handleSentMessages()
{
    auto& queue = ownQueue();
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard<std::mutex> lock(queue->mutex);
            if (queue->sent.empty())
                return;
            sent = queue->sent.front();
            queue->sent.pop_front();
        }
        const WNDPROC procedure = procedureOf(sent->window);
        const LRESULT result =
            procedure != nullptr ? procedure(sent->window, sent->message, sent->wParam, sent->lParam) : 0;
        {
            std::lock_guard<std::mutex> lock(queue->mutex);
            sent->result = result;
            sent->done = true;
        }
        queue->wake.notify_all();
    }
}

void postTo(DWORD thread, const MSG& message)
{
    auto queue = queueOf(thread);
    if (!queue)
        return;
    {
        std::lock_guard<std::mutex> lock(queue->mutex);
        queue->posted.push_back(message);
        queue->wake.notify_all();
    }
    compat::host::wakeNativePresenter();
}

LRESULT sendDirect(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC procedure = procedureOf(window);
    return procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
}

void setShowState(HWND handle, bool minimize, bool maximize, bool fromHost);

// Applies what a host message says about the shown window and delivers it.
void deliverHostMessage(const compat::host::Message& m)
{
    HWND window;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        window = hosted;
        if (find(window) == nullptr)
            return;
    }
    switch (m.message) {
    case WM_MOVE: {
        LPARAM origin;
        {
            std::lock_guard<std::recursive_mutex> lock(tableMutex);
            Window* w = find(window);
            const POINT now = clientOrigin(*w);
            const LONG dx = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(m.lParam))) - now.x;
            const LONG dy = static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(m.lParam))) - now.y;
            if (w->minimized || (dx == 0 && dy == 0))
                return;
            w->rect.left += dx;
            w->rect.right += dx;
            w->rect.top += dy;
            w->rect.bottom += dy;
            origin = m.lParam;
        }
        sendDirect(window, WM_MOVE, 0, origin);
        break;
    }
    case WM_SIZE:
        if (m.wParam == SIZE_MINIMIZED)
            setShowState(window, true, false, true);
        else if (m.wParam == SIZE_MAXIMIZED)
            setShowState(window, false, true, true);
        else
            setShowState(window, false, false, true);
        break;
    case WM_PAINT: InvalidateRect(window, nullptr, FALSE); break;
    case WM_KILLFOCUS:
    case WM_SETFOCUS:
    case WM_CLOSE: sendDirect(window, m.message, m.wParam, m.lParam); break;
    case WM_MOUSEMOVE:
        sendDirect(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                   static_cast<LPARAM>(HTCLIENT | (WM_MOUSEMOVE << 16)));
        PostMessageA(window, m.message, m.wParam, m.lParam);
        break;
    default: PostMessageA(window, m.message, m.wParam, m.lParam); break;
    }
}

// Picks up the host's events when this thread owns the shown window.
void pumpHost()
{
    HWND window;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        window = hosted;
        Window* w = find(window);
        if (w == nullptr || w->thread != ownQueue()->id)
            return;
    }
    std::vector<compat::host::Message> messages;
    compat::host::current().pumpEvents(messages);
    for (const auto& m : messages)
        deliverHostMessage(m);
}

bool ownsHostedWindow()
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(hosted);
    return w != nullptr && w->thread == ownQueue()->id;
}

bool isDescendant(HWND window, HWND ancestor)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    for (HWND h = window; h != nullptr;) {
        if (h == ancestor)
            return true;
        Window* w = findAny(h);
        h = w != nullptr ? w->parent : nullptr;
    }
    return false;
}

bool matches(const MSG& m, HWND window, UINT filterMin, UINT filterMax)
{
    if (window == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1))) {
        if (m.hwnd != nullptr)
            return false;
    } else if (window != nullptr && !isDescendant(m.hwnd, window)) {
        return false;
    }
    if (filterMin == 0 && filterMax == 0)
        return true;
    return m.message >= filterMin && m.message <= filterMax;
}

// ---- the desktop toolkit's view ------------------------------------------------------------------

compat::host::NativeKind nativeKindOf(const Window& w)
{
    using compat::host::NativeKind;
    if (isTopLevel(w.style, w.parent))
        return NativeKind::Frame;
    if (w.className == "button")
        return NativeKind::Button;
    if (w.className == "edit")
        return NativeKind::Edit;
    if (w.className == "static") {
        constexpr DWORD typeMask = 0x1F, etchedHorizontal = 0x10, etchedVertical = 0x11;
        const DWORD type = w.style & typeMask;
        return type == etchedHorizontal || type == etchedVertical || type == SS_ETCHEDFRAME ? NativeKind::Separator
                                                                                              : NativeKind::Label;
    }
    if (w.className == "sysanimate32")
        return NativeKind::Animation;
    if (w.className == "msctls_statusbar32")
        return NativeKind::StatusBar;
    return NativeKind::Panel;
}

// How the toolkit should show a presented window now; call with the table locked. False when its
// top-level window is gone.
bool nativeStateOf(const Window& w, compat::host::NativeState& state)
{
    const Window* top = &w;
    bool visible = w.visible;
    while (!isTopLevel(top->style, top->parent)) {
        top = findAny(top->parent);
        if (top == nullptr || top->destroying)
            return false;
        if (!isTopLevel(top->style, top->parent))
            visible = visible && top->visible; // a child shows only inside shown parents
    }
    state.handle = reinterpret_cast<std::uintptr_t>(w.handle);
    state.top = reinterpret_cast<std::uintptr_t>(top->handle);
    state.kind = nativeKindOf(w);
    state.text = w.text;
    const POINT topOrigin = clientOrigin(*top);
    if (top == &w) {
        const SIZE size = clientSize(w);
        state.x = topOrigin.x;
        state.y = topOrigin.y;
        state.width = size.cx;
        state.height = size.cy;
    } else {
        const Window* parent = findAny(w.parent);
        const POINT parentOrigin = parent != nullptr ? clientOrigin(*parent) : topOrigin;
        state.x = parentOrigin.x + w.rect.left - topOrigin.x;
        state.y = parentOrigin.y + w.rect.top - topOrigin.y;
        state.width = w.rect.right - w.rect.left;
        state.height = w.rect.bottom - w.rect.top;
    }
    state.visible = visible;
    state.minimized = top == &w && w.minimized;
    state.foreground = top == &w && foreground == w.handle;
    state.enabled = w.enabled;
    state.focused = focus == w.handle;
    state.defaultButton = state.kind == compat::host::NativeKind::Button && (w.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    state.active = w.active;
    state.fontHeight = w.fontHeight;
    state.bold = w.bold;
    return true;
}

void deliverNativeInput(const compat::host::NativeInput& input)
{
    using compat::host::NativeInput;
    const HWND window = reinterpret_cast<HWND>(input.handle);
    HWND parent;
    LONG_PTR id;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr || !w->presented || w->thread != ownQueue()->id)
            return;
        parent = w->parent;
        id = w->id;
        if (input.kind == NativeInput::TextEdited)
            w->text = input.text;
    }
    switch (input.kind) {
    case NativeInput::Clicked: sendDirect(window, BM_CLICK, 0, 0); break;
    case NativeInput::TextEdited:
        if (parent != nullptr)
            sendDirect(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), EN_CHANGE),
                       reinterpret_cast<LPARAM>(window));
        break;
    case NativeInput::CloseAsked: PostMessageA(window, WM_CLOSE, 0, 0); break;
    case NativeInput::KeyDown: PostMessageA(window, WM_KEYDOWN, static_cast<WPARAM>(input.key), 1); break;
    case NativeInput::KeyUp:
        PostMessageA(window, WM_KEYUP, static_cast<WPARAM>(input.key), static_cast<LPARAM>(0xC0000001u));
        break;
    case NativeInput::FocusTaken: SetFocus(window); break;
    }
}

// Brings the toolkit up to date with this thread's presented windows. With `takeInput`, first runs the
// toolkit and delivers what the user did, so the model has caught up with the user before the
// toolkit is made to follow it; without, only takes down the windows that are gone.
void presentWindows(bool takeInput)
{
    thread_local std::set<std::uintptr_t> shown; // handles the toolkit was given
    compat::host::NativePresenter& presenter = compat::host::nativePresenter();
    if (takeInput) {
        std::vector<compat::host::NativeInput> input;
        presenter.pump(input);
        for (const auto& i : input)
            deliverNativeInput(i);
    }
    std::vector<compat::host::NativeState> states;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        const DWORD self = ownQueue()->id;
        // Handles only grow, so parents come before their children.
        for (auto& entry : windows) {
            const Window& w = entry.second;
            compat::host::NativeState state;
            if (w.presented && !w.destroying && w.thread == self && nativeStateOf(w, state))
                states.push_back(std::move(state));
        }
    }
    std::set<std::uintptr_t> now;
    for (const auto& state : states)
        now.insert(state.handle);
    for (std::uintptr_t handle : shown)
        if (now.count(handle) == 0)
            presenter.destroyed(handle);
    shown = std::move(now);
    if (takeInput)
        for (const auto& state : states)
            presenter.update(state);
    if (states.empty()) {
        presenter.release();
        presentingHere = false;
    }
}

bool alive(HWND window)
{
    if (window == nullptr)
        return true;
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return find(window) != nullptr;
}

// A window of this thread waiting for WM_PAINT, or null.
HWND windowToPaint(HWND filter)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    const DWORD self = ownQueue()->id;
    for (auto& entry : windows) {
        Window& w = entry.second;
        if (w.needsPaint && !w.destroying && w.thread == self && (filter == nullptr || isDescendant(w.handle, filter)))
            return w.handle;
    }
    return nullptr;
}

bool takeMessage(MSG* out, HWND window, UINT filterMin, UINT filterMax, UINT remove)
{
    handleSentMessages();
    pumpHost();
    if (presentingHere)
        presentWindows(true);
    auto& queue = ownQueue();
    {
        std::unique_lock<std::mutex> lock(queue->mutex);
        for (auto it = queue->posted.begin(); it != queue->posted.end();) {
            if (!alive(it->hwnd)) {
                it = queue->posted.erase(it); // its window is gone
                continue;
            }
            if (matches(*it, window, filterMin, filterMax)) {
                *out = *it;
                if ((remove & PM_REMOVE) != 0) {
                    queue->posted.erase(it);
                    noteKey(*out);
                }
                return true;
            }
            ++it;
        }
        const bool quitWanted = window == nullptr && ((filterMin == 0 && filterMax == 0) ||
                                                      (WM_QUIT >= filterMin && WM_QUIT <= filterMax));
        if (queue->quit && quitWanted) {
            *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue->quitCode), 0, 0, {0, 0}};
            if ((remove & PM_REMOVE) != 0)
                queue->quit = false;
            return true;
        }
    }
    const bool paintWanted = (filterMin == 0 && filterMax == 0) || (WM_PAINT >= filterMin && WM_PAINT <= filterMax);
    if (paintWanted) {
        if (HWND paint = windowToPaint(window == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)) ? nullptr
                                                                                                        : window)) {
            *out = MSG{paint, WM_PAINT, 0, 0, 0, {0, 0}};
            return true;
        }
    }
    return false;
}

void setShowState(HWND handle, bool minimize, bool maximize, bool fromHost)
{
    UINT sizeType;
    LPARAM sizeParam;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(handle);
        if (w == nullptr)
            return;
        if (w->minimized == minimize && w->maximized == maximize)
            return;
        w->minimized = minimize;
        w->maximized = maximize;
        w->visible = true;
        const SIZE size = clientSize(*w);
        sizeType = minimize ? SIZE_MINIMIZED : maximize ? SIZE_MAXIMIZED : SIZE_RESTORED;
        sizeParam = minimize ? 0 : MAKELPARAM(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy));
        if (!fromHost && handle == hosted)
            compat::host::current().showWindow(minimize   ? compat::host::Show::Minimized
                                               : maximize ? compat::host::Show::Maximized
                                                          : compat::host::Show::Normal);
    }
    sendDirect(handle, WM_SIZE, sizeType, sizeParam);
}

void destroyTree(HWND handle)
{
    std::vector<HWND> children;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(handle);
        if (w == nullptr)
            return;
        w->dying = true;
        w->visible = false;
    }
    sendDirect(handle, WM_DESTROY, 0, 0);
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        for (auto& entry : windows)
            if (entry.second.parent == handle && (entry.second.style & WS_CHILD) != 0)
                children.push_back(entry.first);
    }
    for (HWND child : children)
        destroyTree(child);
    sendDirect(handle, WM_NCDESTROY, 0, 0);
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    if (Window* w = findAny(handle))
        w->destroying = true;
}

HCURSOR systemCursor(WORD id) { return reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(id)); }

bool isSystemCursorId(std::uintptr_t id)
{
    switch (id) {
    case 32512: case 32513: case 32514: case 32515: case 32649: case 32650: case 32651: return true;
    default: return false;
    }
}

// The desktop's and the windows' device contexts: measures only, no pixels.
struct DisplayDC final : HDC__ {
    int stretchDIBits(int, int, int, int, int, int, int, int, const void*, const BITMAPINFO*, UINT, DWORD) override
    {
        return 0;
    }
    int setDIBitsToDevice(int, int, DWORD, DWORD, int, int, UINT, UINT, const void*, const BITMAPINFO*,
                          UINT) override
    {
        return 0;
    }
};

DisplayDC displayDC;

} // namespace

ATOM RegisterClassExA(const WNDCLASSEXA* c)
{
    if (c == nullptr || c->lpszClassName == nullptr || c->lpfnWndProc == nullptr)
        return 0;
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    const std::string key = lower(c->lpszClassName);
    // A class that no window uses any more may be registered anew: the display registers its
    // window class again every time it is rebuilt.
    if (classes.count(key) != 0) {
        for (auto& entry : windows)
            if (!entry.second.destroying && entry.second.className == key)
                return 0;
    }
    WindowClass& wc = classes[key];
    wc.style = c->style;
    wc.procedure = c->lpfnWndProc;
    wc.extraBytes = std::max(0, c->cbWndExtra);
    wc.instance = c->hInstance;
    wc.icon = c->hIcon;
    wc.cursor = c->hCursor;
    wc.name = c->lpszClassName;
    return static_cast<ATOM>(0xC000 + (classes.size() & 0x3FFF));
}

ATOM RegisterClassA(const WNDCLASSA* c)
{
    if (c == nullptr)
        return 0;
    WNDCLASSEXA ex{};
    ex.cbSize = sizeof ex;
    ex.style = c->style;
    ex.lpfnWndProc = c->lpfnWndProc;
    ex.cbClsExtra = c->cbClsExtra;
    ex.cbWndExtra = c->cbWndExtra;
    ex.hInstance = c->hInstance;
    ex.hIcon = c->hIcon;
    ex.hCursor = c->hCursor;
    ex.hbrBackground = c->hbrBackground;
    ex.lpszMenuName = c->lpszMenuName;
    ex.lpszClassName = c->lpszClassName;
    return RegisterClassExA(&ex);
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    const std::string key = lower(className);
    for (auto& entry : windows)
        if (!entry.second.destroying && entry.second.className == key)
            return FALSE;
    return classes.erase(key) != 0 ? TRUE : FALSE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    HWND handle;
    bool host = false;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        auto found = classes.find(lower(className));
        if (found == classes.end())
            return nullptr;
        if (parent != nullptr && find(parent) == nullptr)
            return nullptr;
        if ((style & WS_CHILD) != 0 && parent == nullptr)
            return nullptr;
        const WindowClass& wc = found->second;
        int deskW, deskH;
        desktop(deskW, deskH);
        if (width == CW_USEDEFAULT) {
            width = std::min(800, deskW);
            height = std::min(600, deskH);
        }
        if (x == CW_USEDEFAULT) {
            x = 32;
            y = 32;
        }
        handle = reinterpret_cast<HWND>(nextHandle);
        nextHandle += 4;
        Window& w = windows[handle];
        w.handle = handle;
        w.className = found->first;
        w.procedure = wc.procedure;
        w.style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
        w.exStyle = exStyle;
        w.parent = parent;
        w.instance = instance;
        w.id = (style & WS_CHILD) != 0 ? reinterpret_cast<LONG_PTR>(menu) : 0;
        w.text = windowName != nullptr ? windowName : "";
        w.rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
        w.extra.assign(static_cast<std::size_t>(wc.extraBytes), 0);
        w.thread = ownQueue()->id;
        if (isTopLevel(style, parent)) {
            w.presented = offHostClasses.count(w.className) != 0 && compat::host::nativePresenter().shows();
        } else {
            const Window* p = find(parent);
            w.presented = p != nullptr && p->presented && p->thread == w.thread;
        }
        if (w.presented)
            presentingHere = true;
        if (isTopLevel(style, parent) && hosted == nullptr && offHostClasses.count(w.className) == 0) {
            try {
                compat::host::Host& h = compat::host::current();
                const POINT origin = clientOrigin(w);
                const SIZE size = clientSize(w);
                const bool coversDesktop = (style & WS_POPUP) != 0 && x <= 0 && y <= 0 && width >= deskW &&
                                           height >= deskH;
                host = h.openWindow(w.text, origin.x, origin.y, size.cx, size.cy, coversDesktop);
            } catch (const std::exception&) {
                host = false;
            }
            if (!host) {
                windows.erase(handle);
                return nullptr;
            }
            hosted = handle;
        }
    }
    CREATESTRUCTA create{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style), windowName,
                         className, exStyle};
    if (sendDirect(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == 0 ||
        sendDirect(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if ((style & WS_VISIBLE) != 0)
        ShowWindow(handle, (style & WS_MINIMIZE) != 0 ? SW_MINIMIZE : (style & WS_MAXIMIZE) != 0 ? SW_MAXIMIZE
                                                                                                  : SW_SHOW);
    return handle;
}

BOOL DestroyWindow(HWND window)
{
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr || w->dying || w->thread != ownQueue()->id)
            return FALSE;
        if (window == hosted) {
            compat::host::current().closeWindow();
            hosted = nullptr;
        }
        w->visible = false;
    }
    destroyTree(window);
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        for (auto it = windows.begin(); it != windows.end();) {
            if (it->second.destroying) {
                if (foreground == it->first)
                    foreground = nullptr;
                if (focus == it->first)
                    focus = nullptr;
                it = windows.erase(it);
            } else {
                ++it;
            }
        }
    }
    // The toolkit takes the window down now: the thread may end without looking at its queue again.
    if (presentingHere)
        presentWindows(false);
    return TRUE;
}

BOOL IsWindow(HWND window)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return find(window) != nullptr ? TRUE : FALSE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_PAINT: ValidateRect(window, nullptr); return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE: ShowWindow(window, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(window, SW_MAXIMIZE); break;
        case SC_RESTORE: ShowWindow(window, SW_RESTORE); break;
        case SC_CLOSE: SendMessageA(window, WM_CLOSE, 0, 0); break;
        default: break;
        }
        return 0;
    case WM_SETTEXT: return SetWindowTextA(window, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT: return GetWindowTextA(window, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    default: return 0;
    }
}

LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
}

LONG_PTR GetWindowLongPtrA(HWND window, int index)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr)
        return 0;
    switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->procedure);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent);
    case GWL_ID: return w->id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(w->style | (w->visible ? WS_VISIBLE : 0) | (w->minimized ? WS_MINIMIZE : 0) |
                                     (w->maximized ? WS_MAXIMIZE : 0));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(w->exStyle);
    case GWL_USERDATA: return w->userData;
    default: break;
    }
    if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w->extra.size())
        return 0;
    LONG_PTR value;
    std::memcpy(&value, w->extra.data() + index, sizeof value);
    return value;
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr)
        return 0;
    const LONG_PTR old = GetWindowLongPtrA(window, index);
    switch (index) {
    case GWL_WNDPROC: w->procedure = reinterpret_cast<WNDPROC>(value); return old;
    case GWL_ID: w->id = value; return old;
    case GWL_STYLE:
        w->style = static_cast<DWORD>(value) & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
        return old;
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); return old;
    case GWL_USERDATA: w->userData = value; return old;
    default: break;
    }
    if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w->extra.size())
        return 0;
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
}

LONG GetWindowLongA(HWND window, int index)
{
    if (index >= 0) {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr || static_cast<std::size_t>(index) + sizeof(LONG) > w->extra.size())
            return 0;
        LONG value;
        std::memcpy(&value, w->extra.data() + index, sizeof value);
        return value;
    }
    return static_cast<LONG>(GetWindowLongPtrA(window, index));
}

LONG SetWindowLongA(HWND window, int index, LONG value)
{
    if (index >= 0) {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr || static_cast<std::size_t>(index) + sizeof(LONG) > w->extra.size())
            return 0;
        LONG old;
        std::memcpy(&old, w->extra.data() + index, sizeof old);
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
    }
    if (index == GWL_STYLE || index == GWL_EXSTYLE)
        return static_cast<LONG>(SetWindowLongPtrA(window, index, static_cast<LONG_PTR>(static_cast<DWORD>(value))));
    return static_cast<LONG>(SetWindowLongPtrA(window, index, value));
}

HWND GetParent(HWND window)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    return w != nullptr ? w->parent : nullptr;
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId)
{
    if (processId != nullptr)
        *processId = 1;
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    return w != nullptr ? w->thread : 0;
}

int GetClassNameA(HWND window, LPSTR className, int size)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr || className == nullptr || size <= 0)
        return 0;
    auto found = classes.find(w->className);
    const std::string& name = found != classes.end() ? found->second.name : w->className;
    const int n = static_cast<int>(std::min<std::size_t>(name.size(), static_cast<std::size_t>(size - 1)));
    std::memcpy(className, name.data(), static_cast<std::size_t>(n));
    className[n] = '\0';
    return n;
}

int GetWindowTextA(HWND window, LPSTR text, int size)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr || text == nullptr || size <= 0)
        return 0;
    const int n = static_cast<int>(std::min<std::size_t>(w->text.size(), static_cast<std::size_t>(size - 1)));
    std::memcpy(text, w->text.data(), static_cast<std::size_t>(n));
    text[n] = '\0';
    return n;
}

BOOL SetWindowTextA(HWND window, LPCSTR text)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr)
        return FALSE;
    w->text = text != nullptr ? text : "";
    if (window == hosted)
        compat::host::current().setTitle(w->text);
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    const SIZE size = clientSize(*w);
    *rect = RECT{0, 0, size.cx, size.cy};
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    *rect = w->rect;
    if ((w->style & WS_CHILD) != 0 && w->parent != nullptr) {
        if (Window* parent = find(w->parent)) {
            const POINT origin = clientOrigin(*parent);
            rect->left += origin.x;
            rect->right += origin.x;
            rect->top += origin.y;
            rect->bottom += origin.y;
        }
    }
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr || point == nullptr)
        return FALSE;
    const POINT origin = clientOrigin(*w);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr || point == nullptr)
        return FALSE;
    const POINT origin = clientOrigin(*w);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle)
{
    if (rect == nullptr)
        return FALSE;
    const RECT insets = frameInsets(style, exStyle);
    rect->left -= insets.left;
    rect->top -= insets.top + (menu ? 20 : 0);
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    bool moved = false, sized = false;
    LPARAM moveParam = 0, sizeParam = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr)
            return FALSE;
        RECT next = w->rect;
        if ((flags & SWP_NOMOVE) == 0) {
            next.right = x + (next.right - next.left);
            next.bottom = y + (next.bottom - next.top);
            next.left = x;
            next.top = y;
        }
        if ((flags & SWP_NOSIZE) == 0) {
            next.right = next.left + std::max(0, width);
            next.bottom = next.top + std::max(0, height);
        }
        moved = next.left != w->rect.left || next.top != w->rect.top;
        sized = (next.right - next.left) != (w->rect.right - w->rect.left) ||
                (next.bottom - next.top) != (w->rect.bottom - w->rect.top) || (flags & SWP_FRAMECHANGED) != 0;
        if ((flags & SWP_NOZORDER) == 0) {
            if (insertAfter == HWND_TOPMOST)
                w->exStyle |= WS_EX_TOPMOST;
            else if (insertAfter == HWND_NOTOPMOST)
                w->exStyle &= ~WS_EX_TOPMOST;
        }
        w->rect = next;
        const POINT origin = (w->style & WS_CHILD) != 0 ? POINT{next.left, next.top} : clientOrigin(*w);
        const SIZE size = clientSize(*w);
        moveParam = MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y));
        sizeParam = MAKELPARAM(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy));
        if (moved || sized)
            placeOnHost(*w);
    }
    if (sized)
        sendDirect(window, WM_NCCALCSIZE, FALSE, 0);
    if (moved)
        sendDirect(window, WM_MOVE, 0, moveParam);
    if (sized)
        sendDirect(window, WM_SIZE, SIZE_RESTORED, sizeParam);
    if ((flags & SWP_SHOWWINDOW) != 0)
        ShowWindow(window, SW_SHOWNA);
    else if ((flags & SWP_HIDEWINDOW) != 0)
        ShowWindow(window, SW_HIDE);
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL ShowWindow(HWND window, int command)
{
    bool wasVisible;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr)
            return FALSE;
        wasVisible = w->visible;
    }
    switch (command) {
    case SW_HIDE: {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        find(window)->visible = false;
        if (window == hosted)
            compat::host::current().showWindow(compat::host::Show::Hidden);
        break;
    }
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED: setShowState(window, true, false, false); break;
    case SW_MAXIMIZE: setShowState(window, false, true, false); break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        setShowState(window, false, false, false);
        [[fallthrough]];
    default: {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w != nullptr && !w->visible) {
            w->visible = true;
            w->needsPaint = true;
            if (window == hosted)
                compat::host::current().showWindow(w->minimized   ? compat::host::Show::Minimized
                                                   : w->maximized ? compat::host::Show::Maximized
                                                                  : compat::host::Show::Normal);
        }
        break;
    }
    }
    return wasVisible ? TRUE : FALSE;
}

namespace {
// One state flag of a window, read under the table's lock; FALSE for a window that does not exist.
BOOL windowFlag(HWND window, bool Window::*flag)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    return w != nullptr && w->*flag ? TRUE : FALSE;
}
} // namespace

BOOL IsWindowVisible(HWND window)
{
    return windowFlag(window, &Window::visible);
}

BOOL IsIconic(HWND window)
{
    return windowFlag(window, &Window::minimized);
}

BOOL IsZoomed(HWND window)
{
    return windowFlag(window, &Window::maximized);
}

BOOL EnableWindow(HWND window, BOOL enable)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr)
        return FALSE;
    const bool wasDisabled = !w->enabled;
    w->enabled = enable != FALSE;
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window)
{
    return windowFlag(window, &Window::enabled);
}

BOOL SetForegroundWindow(HWND window)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    if (find(window) == nullptr)
        return FALSE;
    foreground = window;
    if (window == hosted)
        compat::host::current().raiseWindow();
    return TRUE;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    const std::string wantedClass = lower(className);
    for (const auto& entry : windows) {
        const Window& w = entry.second;
        if (w.destroying || !isTopLevel(w.style, w.parent))
            continue;
        if (className != nullptr && lower(w.className.c_str()) != wantedClass)
            continue;
        if (windowName != nullptr && w.text != windowName)
            continue;
        return w.handle;
    }
    return nullptr;
}

HWND GetForegroundWindow()
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return foreground;
}

HWND SetFocus(HWND window)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    const HWND old = focus;
    if (window == nullptr || find(window) != nullptr)
        focus = window;
    return old;
}

HWND GetFocus()
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return focus;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    DWORD thread;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr)
            return FALSE;
        w->needsPaint = true;
        thread = w->thread;
    }
    wakeThread(thread);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    Window* w = find(window);
    if (w == nullptr)
        return FALSE;
    w->needsPaint = false;
    return TRUE;
}

BOOL UpdateWindow(HWND window)
{
    bool paint;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        Window* w = find(window);
        if (w == nullptr)
            return FALSE;
        paint = w->needsPaint;
    }
    if (paint)
        sendDirect(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* rect, void* region, UINT flags)
{
    if ((flags & RDW_INVALIDATE) != 0 && !InvalidateRect(window, rect, FALSE))
        return FALSE;
    if ((flags & RDW_UPDATENOW) != 0)
        UpdateWindow(window);
    return IsWindow(window);
}

BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT remove)
{
    if (message == nullptr)
        return FALSE;
    return takeMessage(message, window, filterMin, filterMax, remove) ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax)
{
    if (message == nullptr)
        return -1;
    const bool threadFilter = window == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
    for (;;) {
        if (window != nullptr && !threadFilter && !IsWindow(window))
            return -1;
        if (takeMessage(message, window, filterMin, filterMax, PM_REMOVE))
            return message->message == WM_QUIT ? 0 : 1;
        if (ownsHostedWindow()) {
            compat::host::current().waitEvents(10);
        } else if (presentingHere) {
            compat::host::nativePresenter().wait(10);
        } else {
            auto& queue = ownQueue();
            std::unique_lock<std::mutex> lock(queue->mutex);
            queue->wake.wait_for(lock, std::chrono::milliseconds(20));
        }
    }
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD thread;
    if (window == nullptr) {
        thread = ownQueue()->id;
    } else {
        thread = threadOf(window);
        if (thread == 0 || !IsWindow(window))
            return FALSE;
    }
    postTo(thread, MSG{window, message, wParam, lParam, 0, {0, 0}});
    return TRUE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto queue = queueOf(threadId);
    if (!queue)
        return FALSE;
    postTo(threadId, MSG{nullptr, message, wParam, lParam, 0, {0, 0}});
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const DWORD thread = threadOf(window);
    if (thread == 0 || !IsWindow(window))
        return 0;
    if (thread == ownQueue()->id)
        return sendDirect(window, message, wParam, lParam);

    auto target = queueOf(thread);
    if (!target)
        return 0;
    auto sent = std::make_shared<SentMessage>();
    sent->window = window;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    {
        std::lock_guard<std::mutex> lock(target->mutex);
        target->sent.push_back(sent);
        target->wake.notify_all();
    }
    compat::host::wakeNativePresenter();
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(target->mutex);
            if (target->wake.wait_for(lock, std::chrono::milliseconds(5), [&] { return sent->done; }))
                return sent->result;
        }
        // Messages sent to this thread meanwhile are handled, so two threads sending to each
        // other do not wait for ever.
        handleSentMessages();
        if (!IsWindow(window)) {
            std::lock_guard<std::mutex> lock(target->mutex);
            if (sent->done)
                return sent->result;
            auto& pending = target->sent;
            pending.erase(std::remove(pending.begin(), pending.end(), sent), pending.end());
            return 0;
        }
    }
}

void PostQuitMessage(int exitCode)
{
    auto& queue = ownQueue();
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->quit = true;
    queue->quitCode = exitCode;
    queue->wake.notify_all();
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (message == nullptr || message->hwnd == nullptr)
        return 0;
    return sendDirect(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL TranslateMessage(const MSG* message)
{
    if (message == nullptr)
        return FALSE;
    switch (message->message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: return TRUE;
    default: return FALSE;
    }
}

int TranslateAcceleratorA(HWND window, HACCEL table, LPMSG message) { return 0; }

DWORD GetCurrentThreadId() { return ownQueue()->id; }

SHORT GetKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 0xFF)
        return 0;
    const std::uint8_t state = keyStates[virtualKey].load();
    return static_cast<SHORT>(((state & 0x80) != 0 ? 0xFF80 : 0) | (state & 1));
}

int GetSystemMetrics(int index)
{
    int width, height;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        desktop(width, height);
    }
    switch (index) {
    case SM_CXSCREEN: return width;
    case SM_CYSCREEN: return height;
    // The frame and caption that frameInsets gives a captioned window without a sizing border.
    case SM_CYCAPTION: return 20;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    default: return 0;
    }
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    const auto id = reinterpret_cast<std::uintptr_t>(name);
    if (instance != nullptr || !isSystemCursorId(id))
        return nullptr;
    return systemCursor(static_cast<WORD>(id));
}

HCURSOR SetCursor(HCURSOR cursor)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    const HCURSOR old = currentCursor;
    currentCursor = cursor;
    if (cursor != nullptr)
        compat::host::current().setCursor(static_cast<int>(reinterpret_cast<std::uintptr_t>(cursor)));
    return old;
}

HCURSOR GetCursor()
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return currentCursor;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name)
{
    const auto id = reinterpret_cast<std::uintptr_t>(name);
    if (id == 0 || id > 0xFFFF)
        return nullptr;
    return reinterpret_cast<HICON>(id);
}

HDC GetDC(HWND window)
{
    if (window != nullptr && !IsWindow(window))
        return nullptr;
    return &displayDC;
}

int ReleaseDC(HWND window, HDC dc) { return dc == &displayDC ? 1 : 0; }

int GetDeviceCaps(HDC dc, int index)
{
    if (dc == nullptr)
        return 0;
    int width, height;
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        desktop(width, height);
    }
    switch (index) {
    case HORZRES: return width;
    case VERTRES: return height;
    case BITSPIXEL: return 32;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    default: return 0;
    }
}

namespace compat::win32 {

HWND hostedWindow()
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return hosted;
}

void keepClassOffHost(const char* className)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    offHostClasses.insert(lower(className));
}

void setWindowActive(HWND window, bool active)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    if (Window* w = find(window))
        w->active = active;
}

void setWindowFont(HWND window, int pixelHeight, bool bold)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    if (Window* w = find(window)) {
        w->fontHeight = std::max(0, pixelHeight);
        w->bold = bold;
    }
}

std::vector<HWND> childWindows(HWND parent)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    std::vector<HWND> children;
    // Handles only grow, so the table's order is the order of making.
    for (auto& entry : windows)
        if (!entry.second.destroying && entry.second.parent == parent && (entry.second.style & WS_CHILD) != 0)
            children.push_back(entry.first);
    return children;
}

} // namespace compat::win32

namespace compat::testing {

void setDesktopSize(int width, int height)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    desktopOverrideWidth = width;
    desktopOverrideHeight = height;
}

void resetWindows()
{
    {
        std::lock_guard<std::recursive_mutex> lock(tableMutex);
        if (hosted != nullptr)
            compat::host::current().closeWindow();
        windows.clear();
        classes.clear();
        hosted = nullptr;
        foreground = nullptr;
        focus = nullptr;
        currentCursor = nullptr;
    }
    for (auto& key : keyStates)
        key.store(0);
    auto& queue = ownQueue();
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->posted.clear();
    queue->sent.clear();
    queue->quit = false;
}

int currentCursorId()
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return static_cast<int>(reinterpret_cast<std::uintptr_t>(currentCursor));
}

void setKeyState(int virtualKey, bool down)
{
    if (virtualKey < 0 || virtualKey > 0xFF)
        return;
    MSG m{nullptr, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtualKey), 0, 0, {0, 0}};
    noteKey(m);
}

} // namespace compat::testing
