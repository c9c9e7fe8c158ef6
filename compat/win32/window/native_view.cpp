// Windows of the classes kept off the host are shown by the desktop toolkit instead: what the toolkit
// is told about each, and what the user did in it delivered back as messages.
#include "compat/win32/window/window_internal.h"

#include "compat/host/dialog/NativePresenter.h"
#include "compat/win32/window/controls.h"

#include <set>

using namespace compat::win32::detail;

namespace compat::win32::detail {

thread_local bool presentingHere = false;

} // namespace compat::win32::detail

namespace {

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

} // namespace

namespace compat::win32::detail {

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

} // namespace compat::win32::detail

namespace compat::win32 {

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

} // namespace compat::win32
