#include "platform/native/NativeWindow.h"

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
    SendMessageA(frame, windowThreadCall, 0, reinterpret_cast<LPARAM>(&call));
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
