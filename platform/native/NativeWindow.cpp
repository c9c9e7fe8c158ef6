#include "platform/native/NativeWindow.h"

#include "platform/native/FrameWindow.h"
#include "runtime/java/Vector.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr int textCapacity = 500;
}

// ---- NativeWindow -------------------------------------------------------------------------------

void NativeWindow::onWindowThread(const std::function<void()>& call)
{
    if (handle == nullptr)
        return;
    const DWORD owner = GetWindowThreadProcessId(handle, nullptr);
    if (owner == 0)
        return;
    if (owner == GetCurrentThreadId()) {
        call();
        return;
    }
    // The frame's window procedure runs the call on its thread; the caller waits for it.
    HWND frame = parentHandle != nullptr ? parentHandle : handle;
    SendMessageA(frame, FrameWindow::privateCall, 0, reinterpret_cast<LPARAM>(&call));
}

void NativeWindow::setPlacement(int x, int y, int width, int height)
{
    onWindowThread([&] {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (!GetWindowPlacement(handle, &placement))
            return;
        placement.length = 44;
        placement.showCmd = IsWindowVisible(handle) ? SW_SHOWNA : SW_HIDE;
        placement.rcNormalPosition = RECT{x, y, x + width, y + height};
        SetWindowPlacement(handle, &placement);
    });
}

void NativeWindow::redraw()
{
    onWindowThread([&] { RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE); });
}

void NativeWindow::show(bool visible)
{
    onWindowThread([&] {
        ShowWindow(handle, visible ? SW_SHOWNORMAL : SW_HIDE);
        UpdateWindow(handle);
    });
}

void NativeWindow::enable(bool enabled)
{
    onWindowThread([&] { EnableWindow(handle, enabled ? TRUE : FALSE); });
}

void NativeWindow::setText(std::string text)
{
    onWindowThread([&] { SetWindowTextA(handle, text.c_str()); });
}

std::string NativeWindow::getText()
{
    std::string result;
    onWindowThread([&] {
        char buffer[textCapacity];
        const int n = GetWindowTextA(handle, buffer, textCapacity);
        if (n > 0)
            result.assign(buffer, static_cast<std::size_t>(n));
    });
    return result;
}

void NativeWindow::setFont(HFONT font)
{
    onWindowThread([&] {
        HGDIOBJ chosen = font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT);
        if (chosen != nullptr)
            SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), FALSE);
    });
}

void NativeWindow::activate()
{
    onWindowThread([&] {
        SetActiveWindow(handle);
        SetForegroundWindow(handle);
    });
}

int NativeWindow::textWidth()
{
    int width = 0;
    onWindowThread([&] {
        char buffer[textCapacity];
        const int n = std::max(0, GetWindowTextA(handle, buffer, textCapacity));
        HDC dc = GetDC(handle);
        if (dc == nullptr)
            return;
        SIZE extent{0, 0};
        if (GetTextExtentPointA(dc, buffer, n, &extent))
            width = extent.cx - n;
        ReleaseDC(handle, dc);
    });
    return width;
}

// ---- controls -----------------------------------------------------------------------------------

NativeControl::NativeControl(FrameWindow* frame, int controlId)
{
    parent = frame;
    id = controlId;
    if (frame != nullptr) {
        parentHandle = frame->handle;
        instance = frame->instance;
    }
}

void NativeControl::create(DWORD exStyle, const char* className, DWORD style)
{
    // Children belong to the frame's thread: they are made there.
    NativeWindow* frame = parent;
    auto make = [&] {
        compat::win32::registerControlClasses();
        handle = CreateWindowExA(exStyle, className, nullptr, style, 0, 0, 0, 0, parentHandle,
                                 reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), instance, nullptr);
    };
    if (frame != nullptr)
        frame->onWindowThread(make);
}

NativeButton::NativeButton(FrameWindow* frame, int controlId, const std::string& text)
    : NativeControl(frame, controlId)
{
    create(0, "button", WS_CHILD | WS_TABSTOP);
    setFont(nullptr);
    setText(text);
}

void NativeButton::makeDefault()
{
    if (parent == nullptr)
        return;
    parent->onWindowThread([&] {
        if (NativeButton* old = parent->defaultButton)
            SendDlgItemMessageA(parentHandle, old->id, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        parent->defaultButton = this;
        SendMessageA(handle, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        SendMessageA(parentHandle, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    });
}

NativeEdit::NativeEdit(FrameWindow* frame, int controlId, DWORD style) : NativeControl(frame, controlId)
{
    create(WS_EX_CLIENTEDGE, "edit", style | WS_CHILD | WS_BORDER | WS_TABSTOP);
    if (handle != nullptr)
        setFont(nullptr);
}

void NativeEdit::activate()
{
    onWindowThread([&] { SetFocus(handle); });
}

void NativeEdit::setTextLimit(int limit)
{
    onWindowThread([&] { SendMessageA(handle, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0); });
}

NativeLabel::NativeLabel(FrameWindow* frame, int controlId, const std::string& text, DWORD style)
    : NativeControl(frame, controlId)
{
    create(WS_EX_TRANSPARENT, "static", style | WS_CHILD);
    if (handle != nullptr) {
        setFont(nullptr);
        setText(text);
    }
}

NativeAnimation::NativeAnimation(FrameWindow* frame, int controlId, int resourceId, const std::string& moduleName)
    : NativeControl(frame, controlId)
{
    create(0, ANIMATE_CLASSA, WS_CHILD | ACS_CENTER | ACS_TRANSPARENT);
    if (handle == nullptr)
        return;
    // The module stays loaded: it is a data file the clip reads from while it plays.
    HMODULE module = LoadLibraryExA(moduleName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module != nullptr)
        onWindowThread([&] {
            SendMessageA(handle, ACM_OPENA, reinterpret_cast<WPARAM>(module), static_cast<LPARAM>(resourceId & 0xFFFF));
        });
}

NativeAnimation::~NativeAnimation()
{
    stop();
    onWindowThread([&] { SendMessageA(handle, ACM_OPENA, 0, 0); });
}

void NativeAnimation::play(int repeat)
{
    onWindowThread([&] {
        SendMessageA(handle, ACM_PLAY, static_cast<WPARAM>(static_cast<std::intptr_t>(repeat)),
                     MAKELONG(0, static_cast<WORD>(0xFFFF)));
    });
}

void NativeAnimation::stop()
{
    onWindowThread([&] { SendMessageA(handle, ACM_STOP, 0, 0); });
}

NativeSeparator::NativeSeparator(FrameWindow* frame, int controlId) : NativeControl(frame, controlId)
{
    create(0, "static", WS_CHILD | SS_ETCHEDFRAME);
}

NativeStatusBar::NativeStatusBar(FrameWindow* frame, int controlId, const std::string& text)
    : NativeControl(frame, controlId)
{
    if (frame == nullptr)
        return;
    frame->onWindowThread([&] {
        handle = CreateStatusWindowA(static_cast<LONG>(WS_CHILD), text.c_str(), parentHandle,
                                     static_cast<UINT>(id));
    });
}

void NativeStatusBar::setPlacement(int x, int y, int width, int height) {}

// ---- fonts --------------------------------------------------------------------------------------

HFONT createPointFont(const std::string& face, int pointSize, int styleFlags)
{
    HDC dc = GetDC(nullptr);
    if (dc == nullptr)
        return nullptr;
    SetGraphicsMode(dc, GM_ADVANCED);
    ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    const double dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    const double dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    POINT point{static_cast<LONG>(pointSize * 10 * dpiX / 72.0), static_cast<LONG>(pointSize * 10 * dpiY / 72.0)};
    DPtoLP(dc, &point, 1);

    LOGFONTA font{};
    font.lfHeight = -static_cast<LONG>(std::abs(static_cast<double>(point.y)) / 10.0 + 0.5);
    font.lfWeight = (styleFlags & 1) != 0 ? FW_BOLD : 0;
    font.lfItalic = (styleFlags & 2) != 0 ? 1 : 0;
    font.lfUnderline = (styleFlags & 4) != 0 ? 1 : 0;
    font.lfStrikeOut = (styleFlags & 8) != 0 ? 1 : 0;
    std::strncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    HFONT result = CreateFontIndirectA(&font);
    ReleaseDC(nullptr, dc);
    return result;
}

// ---- GdiObjectHolder ----------------------------------------------------------------------------

GdiObjectHolder::GdiObjectHolder(FrameWindow* frame, HBITMAP image) : owner(frame), bitmap(image)
{
    if (owner != nullptr && owner->getImages() != nullptr)
        owner->getImages()->addElement(this);
}

GdiObjectHolder::~GdiObjectHolder()
{
    if (owner != nullptr && owner->getImages() != nullptr)
        owner->getImages()->removeElement(this);
    if (bitmap != nullptr)
        DeleteObject(bitmap);
}

void GdiObjectHolder::draw(HDC dc, PAINTSTRUCT paint, RECT client)
{
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, x, y, 0, 0, DST_BITMAP);
}

void GdiObjectHolder::setPosition(int newX, int newY)
{
    x = newX;
    y = newY;
}
