// The desktop as the program measures it: its size and metrics, the display's device context, cursors
// and icons.
#include "compat/win32/window/window_internal.h"

#include "compat/host/Host.h"

using namespace compat::win32::detail;

namespace compat::win32::detail {

HCURSOR currentCursor = nullptr;

namespace {
int desktopOverrideWidth = 0;
int desktopOverrideHeight = 0;
} // namespace

void desktop(int& width, int& height)
{
    if (desktopOverrideWidth > 0 && desktopOverrideHeight > 0) {
        width = desktopOverrideWidth;
        height = desktopOverrideHeight;
        return;
    }
    compat::host::current().desktopSize(width, height);
}

} // namespace compat::win32::detail

namespace {

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
    if (HDC own = window != nullptr ? windowDC(window) : nullptr)
        return own;
    return &displayDC;
}

int ReleaseDC(HWND window, HDC dc)
{
    if (releaseWindowDC(dc))
        return 1;
    return dc == &displayDC ? 1 : 0;
}

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

namespace compat::testing {

void setDesktopSize(int width, int height)
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    desktopOverrideWidth = width;
    desktopOverrideHeight = height;
}

int currentCursorId()
{
    std::lock_guard<std::recursive_mutex> lock(tableMutex);
    return static_cast<int>(reinterpret_cast<std::uintptr_t>(currentCursor));
}

} // namespace compat::testing
