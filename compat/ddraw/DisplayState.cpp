#include "compat/ddraw/DisplayState.h"

#include <cstring>

namespace compat::ddraw {

namespace {

constexpr DWORD defaultDesktopWidth = 1024;
constexpr DWORD defaultDesktopHeight = 768;

bool sameMode(const DisplayMode& a, const DisplayMode& b)
{
    return a.width == b.width && a.height == b.height && std::memcmp(&a.format, &b.format, sizeof(a.format)) == 0;
}

} // namespace

DDPIXELFORMAT rgbFormat(DWORD bitsPerPixel, DWORD red, DWORD green, DWORD blue, DWORD alpha)
{
    DDPIXELFORMAT f{};
    f.dwSize = 32;
    f.dwFlags = DDPF_RGB | (alpha != 0 ? DDPF_ALPHAPIXELS : 0);
    f.dwRGBBitCount = bitsPerPixel;
    f.dwRBitMask = red;
    f.dwGBitMask = green;
    f.dwBBitMask = blue;
    f.dwRGBAlphaBitMask = alpha;
    return f;
}

DDPIXELFORMAT displayFormat(DWORD bitsPerPixel)
{
    if (bitsPerPixel == 16)
        return rgbFormat(16, 0xF800, 0x07E0, 0x001F, 0);
    return rgbFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
}

DisplayState& DisplayState::instance()
{
    static DisplayState state = [] {
        DisplayState s;
        s.desktop = {defaultDesktopWidth, defaultDesktopHeight, displayFormat(32)};
        s.mode = s.desktop;
        return s;
    }();
    return state;
}

void DisplayState::changeMode(const DisplayMode& next)
{
    if (sameMode(mode, next))
        return;
    mode = next;
    ++generation;
}

DisplayMode currentDisplayMode() { return DisplayState::instance().mode; }

DisplayMode desktopMode() { return DisplayState::instance().desktop; }

void setDesktopSize(DWORD width, DWORD height)
{
    DisplayState& state = DisplayState::instance();
    state.desktop.width = width;
    state.desktop.height = height;
    if (state.exclusiveOwner == nullptr)
        state.changeMode(state.desktop);
}

bool isExclusive() { return DisplayState::instance().exclusiveOwner != nullptr; }

HWND cooperativeWindow() { return DisplayState::instance().window; }

void setPresentObserver(PresentObserver* observer) { DisplayState::instance().observer = observer; }

} // namespace compat::ddraw
