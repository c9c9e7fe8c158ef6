// Test hooks that act on the X desktop as a person would: a real pointer click and real key presses
// through the XTest extension, and a picture of the whole screen. Each call opens its own connection,
// so any thread may use them while another drives GTK.
#include "compat/host/GtkPresenter.h"
#include "compat/host/NativePresenter.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace compat::testing {

namespace {

class Connection {
public:
    Connection() : display(XOpenDisplay(nullptr)) {}
    ~Connection()
    {
        if (display != nullptr)
            XCloseDisplay(display);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* const display;
};

bool hasXTest(Display* display)
{
    int event = 0, error = 0, major = 0, minor = 0;
    return XTestQueryExtension(display, &event, &error, &major, &minor) != False;
}

} // namespace

bool clickDesktopAt(int x, int y)
{
    Connection c;
    if (c.display == nullptr || !hasXTest(c.display))
        return false;
    XTestFakeMotionEvent(c.display, DefaultScreen(c.display), x, y, CurrentTime);
    XSync(c.display, False);
    XTestFakeButtonEvent(c.display, 1, True, 20);
    XTestFakeButtonEvent(c.display, 1, False, 60);
    XSync(c.display, False);
    return true;
}

bool pressDesktopKey(const char* keysymName, bool shift)
{
    Connection c;
    if (c.display == nullptr || keysymName == nullptr || !hasXTest(c.display))
        return false;
    const KeySym symbol = XStringToKeysym(keysymName);
    const KeyCode code = symbol != NoSymbol ? XKeysymToKeycode(c.display, symbol) : 0;
    const KeyCode shiftCode = XKeysymToKeycode(c.display, XK_Shift_L);
    if (code == 0 || (shift && shiftCode == 0))
        return false;
    if (shift)
        XTestFakeKeyEvent(c.display, shiftCode, True, CurrentTime);
    XTestFakeKeyEvent(c.display, code, True, 20);
    XTestFakeKeyEvent(c.display, code, False, 20);
    if (shift)
        XTestFakeKeyEvent(c.display, shiftCode, False, 20);
    XSync(c.display, False);
    return true;
}

bool focusDesktopWindow(std::uintptr_t handle)
{
    const unsigned long id = compat::host::desktopWindowId(handle);
    Connection c;
    if (c.display == nullptr || id == 0)
        return false;
    XSetInputFocus(c.display, id, RevertToParent, CurrentTime);
    XSync(c.display, False);
    return true;
}

bool closeDesktopWindow(std::uintptr_t handle)
{
    const unsigned long id = compat::host::desktopWindowId(handle);
    Connection c;
    if (c.display == nullptr || id == 0)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = id;
    event.xclient.message_type = XInternAtom(c.display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(c.display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(c.display, id, False, NoEventMask, &event);
    XSync(c.display, False);
    return true;
}

bool captureDesktop(int& width, int& height, std::vector<std::uint32_t>& pixels)
{
    Connection c;
    if (c.display == nullptr)
        return false;
    const Window root = DefaultRootWindow(c.display);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(c.display, root, &attributes) == 0)
        return false;
    XImage* image = XGetImage(c.display, root, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return false;
    width = attributes.width;
    height = attributes.height;
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    auto channel = [](unsigned long pixel, unsigned long mask) -> std::uint32_t {
        if (mask == 0)
            return 0;
        int shift = 0;
        while (((mask >> shift) & 1) == 0)
            ++shift;
        const unsigned long top = mask >> shift;
        return static_cast<std::uint32_t>(((pixel & mask) >> shift) * 255 / top);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            pixels[static_cast<std::size_t>(y) * width + x] = channel(p, image->red_mask) << 16 |
                                                               channel(p, image->green_mask) << 8 |
                                                               channel(p, image->blue_mask);
        }
    XDestroyImage(image);
    return true;
}

} // namespace compat::testing
